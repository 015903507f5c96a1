// Move-only owners for the Windows resources the program holds: each releases
// its resource once, in its destructor, with the one call that matches how the
// resource was obtained. They do nothing else.
//
// Names follow std::unique_ptr: get(), reset(), release(), and put() hands an
// API the address to fill (the old value is released first).
#pragma once
#include <windows.h>
#include <ole2.h>

namespace fw {

// An owned value of Traits::Value, released with Traits::Close. A value for
// which Traits::IsSet is false is empty and never closed.
template <class Traits>
class Scoped {
 public:
  using Value = typename Traits::Value;

  Scoped() = default;
  explicit Scoped(Value v) : v_(v) {}
  ~Scoped() { reset(); }
  Scoped(Scoped&& other) noexcept : v_(other.release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Value get() const { return v_; }
  explicit operator bool() const { return Traits::IsSet(v_); }
  Value release() {
    Value v = v_;
    v_ = Traits::Empty();
    return v;
  }
  void reset(Value v = Traits::Empty()) {
    if (Traits::IsSet(v_)) Traits::Close(v_);
    v_ = v;
  }
  Value* put() {
    reset();
    return &v_;
  }

 private:
  Value v_ = Traits::Empty();
};

// Traits for values whose empty value is null.
template <class T, auto CloseFn>
struct NullIsEmpty {
  using Value = T;
  static T Empty() { return nullptr; }
  static bool IsSet(T v) { return v != nullptr; }
  static void Close(T v) { CloseFn(v); }
};

// Kernel handles. Some APIs fail with INVALID_HANDLE_VALUE (CreateFile,
// CreateToolhelp32Snapshot), others with NULL (CreateEvent, OpenProcess):
// both mean "no handle" here.
struct KernelHandleTraits {
  using Value = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static bool IsSet(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
using ScopedHandle = Scoped<KernelHandleTraits>;

// GDI objects: bitmaps, brushes, pens, fonts, regions. An object must not be
// selected into a DC when it is deleted (DeleteObject fails then and the object
// leaks), so a ScopedSelect must end before the ScopedGdi it selected.
template <class T>
using ScopedGdi = Scoped<NullIsEmpty<T, DeleteObject>>;
using ScopedBitmap = ScopedGdi<HBITMAP>;
using ScopedBrush = ScopedGdi<HBRUSH>;
using ScopedFont = ScopedGdi<HFONT>;
using ScopedPen = ScopedGdi<HPEN>;
using ScopedRegion = ScopedGdi<HRGN>;

// A DC from CreateCompatibleDC (or CreateDC); DeleteDC, never ReleaseDC.
using ScopedMemDC = Scoped<NullIsEmpty<HDC, DeleteDC>>;

// Icons and cursors made with CreateIconIndirect, CopyImage, ImageList_GetIcon...
// (not shared ones from LoadIcon, which must not be destroyed).
using ScopedIcon = Scoped<NullIsEmpty<HICON, DestroyIcon>>;

// A module from LoadLibrary.
using ScopedModule = Scoped<NullIsEmpty<HMODULE, FreeLibrary>>;

// Selects `obj` into `dc` and puts the previous object back at the end. Not for
// regions: selecting a region copies it and returns no previous object.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~ScopedSelect() {
    if (dc_ && old_) SelectObject(dc_, old_);
  }
  ScopedSelect(ScopedSelect&& other) noexcept : dc_(other.dc_), old_(other.old_) {
    other.dc_ = nullptr;
  }
  ScopedSelect& operator=(ScopedSelect&&) = delete;
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC for a window (or the screen when hwnd is null).
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ScopedWindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  ScopedWindowDC(ScopedWindowDC&& other) noexcept : hwnd_(other.hwnd_), dc_(other.dc_) {
    other.dc_ = nullptr;
  }
  ScopedWindowDC& operator=(ScopedWindowDC&&) = delete;
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint, for WM_PAINT handlers.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~ScopedPaint() {
    if (hwnd_) EndPaint(hwnd_, &ps_);
  }
  ScopedPaint(ScopedPaint&& other) noexcept : hwnd_(other.hwnd_), ps_(other.ps_), dc_(other.dc_) {
    other.hwnd_ = nullptr;
  }
  ScopedPaint& operator=(ScopedPaint&&) = delete;
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;

  HDC get() const { return dc_; }
  const PAINTSTRUCT& ps() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// A counted reference to a COM object: Release at the end. Taking over a
// pointer keeps its reference (what an API returned through an out-parameter);
// copy() adds one.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  ComPtr copy() const {
    if (p_) p_->AddRef();
    return ComPtr(p_);
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T* release() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  void reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  T** put() {
    reset();
    return &p_;
  }
  // For QueryInterface and CoCreateInstance, which fill a void**.
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  T* p_ = nullptr;
};

// OleInitialize for this thread, undone only when it succeeded (S_FALSE, "already
// initialised", also counts and must be balanced: OleInitialize documentation).
class ScopedOleInit {
 public:
  ScopedOleInit() : hr_(OleInitialize(nullptr)) {}
  ~ScopedOleInit() {
    if (SUCCEEDED(hr_)) OleUninitialize();
  }
  ScopedOleInit(const ScopedOleInit&) = delete;
  ScopedOleInit& operator=(const ScopedOleInit&) = delete;

  HRESULT result() const { return hr_; }
  bool ok() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

// CoInitializeEx for this thread, with the same rule.
class ScopedCoInit {
 public:
  explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED)
      : hr_(CoInitializeEx(nullptr, model)) {}
  ~ScopedCoInit() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ScopedCoInit(const ScopedCoInit&) = delete;
  ScopedCoInit& operator=(const ScopedCoInit&) = delete;

  HRESULT result() const { return hr_; }
  bool ok() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

}  // namespace fw
