// The RAII owners: each releases its resource exactly once, a move hands it on.
#include <gtest/gtest.h>

#include "framework/Scoped.h"

namespace {

bool IsOpenHandle(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

}  // namespace

TEST(Scoped, KernelAndGdiOwnersReleaseOnceAndMovesHandOn) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  {
    fw::ScopedHandle a(event);
    fw::ScopedHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), event);
    fw::ScopedBitmap bmp(bitmap);
    fw::ScopedMemDC mem(dc);
    fw::ScopedBitmap other;
    other = std::move(bmp);
    EXPECT_TRUE(IsOpenHandle(event));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  }
  EXPECT_FALSE(IsOpenHandle(event));
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(dc), 0u);

  // CreateFile fails with INVALID_HANDLE_VALUE: that is an empty owner.
  fw::ScopedHandle missing(CreateFileW(L"C:\\no\\such\\file", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);

  // release() gives the handle back without closing it.
  fw::ScopedHandle kept(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE raw = kept.release();
  EXPECT_FALSE(kept);
  EXPECT_TRUE(IsOpenHandle(raw));
  CloseHandle(raw);
}

TEST(Scoped, SelectPutsThePreviousObjectBack) {
  fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
  HGDIOBJ initial = GetCurrentObject(dc.get(), OBJ_BITMAP);
  fw::ScopedBitmap bmp(CreateBitmap(4, 4, 1, 1, nullptr));
  {
    fw::ScopedSelect sel(dc.get(), bmp.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bmp.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), initial);
}

namespace {

struct CountedUnknown : IUnknown {
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

}  // namespace

TEST(Scoped, ComPtrKeepsTheReferenceItTookAndCopiesAddOne) {
  CountedUnknown object;  // one reference, as an API's out-parameter hands it over
  {
    fw::ComPtr<IUnknown> first(&object);
    EXPECT_EQ(object.refs, 1u);
    fw::ComPtr<IUnknown> second = first.copy();
    EXPECT_EQ(object.refs, 2u);
    fw::ComPtr<IUnknown> third(std::move(second));
    EXPECT_EQ(object.refs, 2u);
    *third.put() = nullptr;  // put() releases what it held
    EXPECT_EQ(object.refs, 1u);
  }
  EXPECT_EQ(object.refs, 0u);
}

TEST(Scoped, OleInitIsBalancedEvenWhenAlreadyInitialised) {
  {
    fw::ScopedOleInit outer;
    EXPECT_EQ(outer.result(), S_OK);
    fw::ScopedOleInit inner;
    EXPECT_EQ(inner.result(), S_FALSE);  // counts too, and is undone too
  }
  // Fully uninitialised again: another apartment model is accepted.
  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(hr, S_OK);
  if (SUCCEEDED(hr)) CoUninitialize();
}
