// Checks the resources linked into LgTarvo.exe, read from the built file as
// data: the skin images the drawing code cuts into states and colour keys, the
// icons, the version, the manifest and the dialog templates.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Support.h"
#include "resource.h"

namespace {

namespace gp = Gdiplus::DllExports;

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const uint32_t kKey = 0xFFFF00FF;  // opaque magenta as 32bppARGB

// Pixels are compared as text so a failure shows them readably.
std::string Argb(uint32_t p) {
  char s[16];
  snprintf(s, sizeof(s), "%08X", static_cast<unsigned>(p));
  return s;
}
const std::string kKeyText = Argb(kKey);

// The launcher mapped as a data file, and GDI+ for decoding its images.
class Resources : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = test::ExeDir() + L"LgTarvo.exe";
    module_ = LoadLibraryExW(path.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot open LgTarvo.exe, error " << GetLastError();
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override {
    if (gdiplus_) Gdiplus::GdiplusShutdown(gdiplus_);
    if (module_) FreeLibrary(module_);
  }

  // The bytes of a resource, or an empty vector when there is none.
  std::vector<BYTE> Bytes(LPCWSTR type, WORD id, WORD lang) const {
    HRSRC found = FindResourceExW(module_, type, MAKEINTRESOURCEW(id), lang);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const BYTE* p = static_cast<const BYTE*>(LockResource(loaded));
    if (!p) return {};
    return std::vector<BYTE>(p, p + SizeofResource(module_, found));
  }
  std::vector<BYTE> Bytes(LPCWSTR type, WORD id) const {
    return Bytes(type, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  }

  HMODULE module_ = nullptr;
  ULONG_PTR gdiplus_ = 0;
};

// ---------------------------------------------------------------------------
// Skin images

struct Image {
  int w = 0, h = 0;
  std::vector<uint32_t> argb;  // top row first
  uint32_t At(int x, int y) const { return argb[y * w + x]; }
};

bool Decode(const std::vector<BYTE>& png, Image* out) {
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
  ULONG written = 0;
  stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
  Gdiplus::GpBitmap* bitmap = nullptr;
  bool ok = gp::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok;
  if (ok) {
    UINT w = 0, h = 0;
    gp::GdipGetImageWidth(bitmap, &w);
    gp::GdipGetImageHeight(bitmap, &h);
    Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    Gdiplus::BitmapData data{};
    ok = w && h &&
         gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                &data) == Gdiplus::Ok;
    if (ok) {
      out->w = static_cast<int>(w);
      out->h = static_cast<int>(h);
      out->argb.resize(static_cast<size_t>(w) * h);
      for (UINT y = 0; y < h; ++y)
        std::memcpy(&out->argb[y * w], static_cast<const BYTE*>(data.Scan0) + y * data.Stride,
                    w * 4);
      gp::GdipBitmapUnlockBits(bitmap, &data);
    }
    gp::GdipDisposeImage(bitmap);
  }
  stream->Release();
  return ok;
}

// What an image must show beyond its size.
enum Expect : unsigned {
  kNone = 0,
  kKeyTopCorners = 1,     // a window cut from it gets rounded top corners
  kKeyOnlyInBorder = 2,   // stretched frame: key colour only in the fixed corner pieces
  kKeyStateTopRight = 4,  // each state's top-right pixel (the window's rounded corner)
  kKeyEnds = 8,           // round ends of a bar: the four image corners
  kKeyTopLeft = 16,       // see-through top strip of the picture notice
  kRealAlpha = 32,        // layered window: opaque, transparent and partial pixels
};

struct SkinCase {
  WORD id;
  int w, h, states;
  unsigned expect;
};

const SkinCase kSkins[] = {
    {IDR_PNG_LOGIN_BACK, 888, 518, 1, kRealAlpha},
    {IDR_PNG_FRAME_LIGHT, 30, 51, 1, kKeyTopCorners | kKeyOnlyInBorder},
    {IDR_PNG_CAPTION_CLOSE, 132, 28, 4, kKeyStateTopRight},
    {IDR_PNG_PUSH_BUTTON, 228, 23, 4, kNone},
    {IDR_PNG_FRAME_DARK, 30, 51, 1, kKeyTopCorners | kKeyOnlyInBorder},
    {IDR_PNG_CAPTION_MAX, 108, 27, 4, kNone},
    {IDR_PNG_CAPTION_MIN, 108, 27, 4, kNone},
    {IDR_PNG_CAPTION_RESTORE, 108, 27, 4, kNone},
    {IDR_PNG_CAPTION_HIDE, 108, 27, 4, kNone},
    {IDR_PNG_CAPTION_SYSTEM, 176, 28, 4, kNone},
    {IDR_PNG_TAB_BACK, 567, 22, 3, kNone},
    {IDR_PNG_TAB_CLOSE, 39, 13, 3, kNone},
    {IDR_PNG_PADLOCK, 14, 16, 1, kNone},
    {IDR_PNG_NOTICE_TALL, 250, 191, 1, kNone},
    {IDR_PNG_NOTICE_CLOSE, 144, 14, 4, kNone},
    {IDR_PNG_PICTURE_CLOSE, 216, 22, 4, kNone},
    {IDR_PNG_PICTURE_BACK, 160, 212, 1, kKeyTopLeft},
    {IDR_PNG_NOTICE_SHORT, 250, 167, 1, kNone},
    {IDR_PNG_SOUND_OFF, 108, 27, 4, kNone},
    {IDR_PNG_SOUND_ON, 108, 27, 4, kNone},
    {IDR_PNG_HALL_BUTTON1, 316, 28, 4, kNone},
    {IDR_PNG_HALL_BUTTON2, 316, 28, 4, kNone},
    {IDR_PNG_PROGRESS_TRACK, 390, 21, 1, kKeyEnds},
    {IDR_PNG_PROGRESS_FILL, 390, 21, 1, kKeyEnds},
    {IDR_PNG_ADD_LOGIN_BACK, 284, 150, 1, kKeyTopCorners},
};

int DifferingPixels(const Image& img, int stateWidth, int a, int b) {
  int n = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < stateWidth; ++x)
      n += img.At(a * stateWidth + x, y) != img.At(b * stateWidth + x, y);
  return n;
}

TEST_F(Resources, SkinImagesHaveTheirSizeStatesAndKeyColour) {
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(testing::Message() << "PNG " << c.id);
    const std::vector<BYTE> png = Bytes(L"PNG", c.id, kChinese);
    ASSERT_FALSE(png.empty()) << "no resource of type PNG, language 2052";
    Image img;
    ASSERT_TRUE(Decode(png, &img));
    ASSERT_EQ(img.w, c.w);
    ASSERT_EQ(img.h, c.h);

    // States side by side, equal widths, and each one looks different.
    ASSERT_EQ(img.w % c.states, 0);
    const int sw = img.w / c.states;
    for (int a = 0; a < c.states; ++a) {
      for (int b = a + 1; b < c.states; ++b) {
        EXPECT_GE(DifferingPixels(img, sw, a, b), 10) << "states " << a << " and " << b;
      }
    }

    // Only the login background is blended by the window manager; every other
    // skin is flattened over white when loaded, so it must be opaque.
    int opaque = 0, clear = 0, partial = 0;
    for (uint32_t p : img.argb) {
      const uint32_t alpha = p >> 24;
      (alpha == 255 ? opaque : alpha == 0 ? clear : partial)++;
    }
    if (c.expect & kRealAlpha) {
      EXPECT_GT(opaque, img.w * img.h / 2);
      EXPECT_GT(clear, 100);
      EXPECT_GT(partial, 100);
      EXPECT_EQ(img.At(0, 0) >> 24, 0u) << "corner outside the artwork";
    } else {
      EXPECT_EQ(opaque, img.w * img.h) << "partly transparent pixels";
    }

    const uint32_t centre = img.At(sw / 2, img.h / 2);
    if (c.expect & (kKeyTopCorners | kKeyEnds | kKeyTopLeft)) {
      EXPECT_NE(Argb(centre), kKeyText);
    }
    if (c.expect & kKeyTopCorners) {
      EXPECT_EQ(Argb(img.At(0, 0)), kKeyText);
      EXPECT_EQ(Argb(img.At(img.w - 1, 0)), kKeyText);
    }
    if (c.expect & kKeyOnlyInBorder) {
      // The frame is drawn with border 4; only its corner squares are copied
      // 1:1 and cut from the window, anything else would be stretched.
      std::string stray;
      for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
          if (img.At(x, y) == kKey && !(y < 9 && (x < 4 || x >= img.w - 4)))
            stray += " " + std::to_string(x) + "," + std::to_string(y);
        }
      }
      EXPECT_EQ(stray, "") << "key colour outside the fixed corner pieces";
    }
    if (c.expect & kKeyStateTopRight) {
      for (int s = 0; s < c.states; ++s)
        EXPECT_EQ(Argb(img.At(s * sw + sw - 1, 0)), kKeyText) << "state " << s;
    }
    if (c.expect & kKeyEnds) {
      EXPECT_EQ(Argb(img.At(0, 0)), kKeyText);
      EXPECT_EQ(Argb(img.At(img.w - 1, 0)), kKeyText);
      EXPECT_EQ(Argb(img.At(0, img.h - 1)), kKeyText);
      EXPECT_EQ(Argb(img.At(img.w - 1, img.h - 1)), kKeyText);
    }
    if (c.expect & kKeyTopLeft) {
      EXPECT_EQ(Argb(img.At(0, 0)), kKeyText);
    }
  }
}

// ---------------------------------------------------------------------------
// Icons, version, manifest

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(Resources, IconsHold16_32And48PixelImagesWith32Bits) {
  for (WORD id : {WORD(IDI_MAIN), WORD(IDI_FAVOURITE)}) {
    SCOPED_TRACE(testing::Message() << "icon " << id);
    const std::vector<BYTE> group = Bytes(RT_GROUP_ICON, id);
    ASSERT_GE(group.size(), 6u);
    WORD count = 0;
    std::memcpy(&count, &group[4], 2);
    ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconEntry));
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
      GroupIconEntry e;
      std::memcpy(&e, &group[6 + i * sizeof(e)], sizeof(e));
      sizes.push_back(e.width);
      EXPECT_EQ(e.bitCount, 32);
      // The image itself must make an icon of its size.
      std::vector<BYTE> image = Bytes(RT_ICON, e.id);
      ASSERT_EQ(image.size(), e.bytes);
      HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                            0x00030000, e.width, e.height, 0);
      EXPECT_NE(icon, nullptr) << "image " << e.width;
      if (icon) DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
  }
}

TEST_F(Resources, VersionIs3_0_0_1) {
  const std::vector<BYTE> info = Bytes(RT_VERSION, VS_VERSION_INFO);
  ASSERT_FALSE(info.empty());
  const VS_FIXEDFILEINFO* fixed = nullptr;
  for (size_t at = 0; at + sizeof(VS_FIXEDFILEINFO) <= info.size(); at += 4) {
    DWORD signature;
    std::memcpy(&signature, &info[at], 4);
    if (signature == VS_FFI_SIGNATURE) {
      fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(&info[at]);
      break;
    }
  }
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00030000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00030000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  // The text form, as shown in the file's properties.
  const std::wstring text(reinterpret_cast<const wchar_t*>(info.data()), info.size() / 2);
  EXPECT_NE(text.find(std::wstring(L"FileVersion") + L'\0'), std::wstring::npos);
  EXPECT_NE(text.find(std::wstring(L"3.0.0.1") + L'\0'), std::wstring::npos);
}

TEST_F(Resources, ManifestAsksForAdministratorAndCommonControls6) {
  const std::vector<BYTE> manifest = Bytes(RT_MANIFEST, 1);
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
}

// ---------------------------------------------------------------------------
// Dialog templates

// Reads a DLGTEMPLATEEX; any read past the end sets `bad`.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<BYTE>& b) : b_(b) {}
  bool bad = false;
  WORD Word() { return Get<WORD>(); }
  DWORD DWord() { return Get<DWORD>(); }
  short Short() { return Get<short>(); }
  BYTE Byte() { return Get<BYTE>(); }
  // A string or, after 0xFFFF, an ordinal written as "#n".
  std::wstring SzOrOrd() {
    WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring s;
    for (WORD c = first; c && !bad; c = Word()) s += static_cast<wchar_t>(c);
    return s;
  }
  void AlignDWord() { at_ = (at_ + 3) & ~size_t(3); }

 private:
  template <class T>
  T Get() {
    T v{};
    if (at_ + sizeof(T) > b_.size()) {
      bad = true;
      return v;
    }
    std::memcpy(&v, &b_[at_], sizeof(T));
    at_ += sizeof(T);
    return v;
  }
  const std::vector<BYTE>& b_;
  size_t at_ = 0;
};

struct Item {
  DWORD id;
  std::wstring cls, text;
  short x, y, cx, cy;
  DWORD style;
};

struct Dialog {
  DWORD style = 0, exStyle = 0;
  short cx = 0, cy = 0;
  std::wstring title, face;
  WORD points = 0;
  std::vector<Item> items;
};

bool ParseDialog(const std::vector<BYTE>& bytes, Dialog* d) {
  TemplateReader r(bytes);
  if (r.Word() != 1 || r.Word() != 0xFFFF) return false;  // version 1, extended
  r.DWord();                                              // help id
  d->exStyle = r.DWord();
  d->style = r.DWord();
  const WORD count = r.Word();
  r.Short();
  r.Short();
  d->cx = r.Short();
  d->cy = r.Short();
  r.SzOrOrd();  // menu
  r.SzOrOrd();  // window class
  d->title = r.SzOrOrd();
  if (d->style & DS_SETFONT) {
    d->points = r.Word();
    r.Word();  // weight
    r.Byte();  // italic
    r.Byte();  // character set
    d->face = r.SzOrOrd();
  }
  for (WORD i = 0; i < count && !r.bad; ++i) {
    r.AlignDWord();
    Item it;
    r.DWord();  // help id
    r.DWord();  // extended style
    it.style = r.DWord();
    it.x = r.Short();
    it.y = r.Short();
    it.cx = r.Short();
    it.cy = r.Short();
    it.id = r.DWord();
    it.cls = r.SzOrOrd();
    it.text = r.SzOrOrd();
    const WORD extra = r.Word();
    for (WORD k = 0; k < extra; ++k) r.Byte();
    // The predefined classes are stored as atoms.
    if (it.cls == L"#128") it.cls = L"Button";
    if (it.cls == L"#129") it.cls = L"Edit";
    if (it.cls == L"#130") it.cls = L"Static";
    d->items.push_back(it);
  }
  return !r.bad;
}

// An expected control: class, id, text, place in dialog units, and the style
// bits (within `mask`) that make it the kind of control it is.
struct Want {
  const wchar_t* cls;
  DWORD id;
  const wchar_t* text;
  short x, y, cx, cy;
  DWORD mask, bits;
};

const DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
const DWORD kButton = kVisibleChild | BS_TYPEMASK, kStatic = kVisibleChild | SS_TYPEMASK;
const DWORD kEdit = kVisibleChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kBar = kVisibleChild | WS_BORDER;

Want Push(DWORD id, const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Button", id, t, x, y, cx, cy, kButton, kVisibleChild | BS_PUSHBUTTON};
}
Want Default(DWORD id, const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Button", id, t, x, y, cx, cy, kButton, kVisibleChild | BS_DEFPUSHBUTTON};
}
Want Group(DWORD id, const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Button", id, t, x, y, cx, cy, kButton, kVisibleChild | BS_GROUPBOX};
}
Want Label(DWORD id, const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Static", id, t, x, y, cx, cy, kStatic, kVisibleChild | SS_LEFT};
}
Want Centred(DWORD id, const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Static", id, t, x, y, cx, cy, kStatic, kVisibleChild | SS_CENTER};
}
Want Icon(const wchar_t* t, short x, short y, short cx, short cy) {
  return {L"Static", DWORD(-1), t, x, y, cx, cy, kStatic, kVisibleChild | SS_ICON};
}
Want Edit(DWORD id, short x, short y, short cx, short cy) {
  return {L"Edit", id, L"", x, y, cx, cy, kEdit, kEdit};
}
Want Progress(DWORD id, short x, short y, short cx, short cy) {
  return {L"msctls_progress32", id, L"", x, y, cx, cy, kBar, kBar};
}

struct DialogCase {
  WORD id;
  short cx, cy;
  WORD points;
  DWORD style;    // within kDialogMask
  DWORD exStyle;  // within WS_EX_APPWINDOW
  const wchar_t* title;
  std::vector<Want> controls;
};

const DWORD kDialogMask =
    WS_POPUP | WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD kPopup = WS_POPUP | DS_SETFONT;

const std::vector<DialogCase>& DialogCases() {
  static const std::vector<DialogCase> cases = {
      {IDD_HOST, 389, 246, 9, kPopup | WS_VISIBLE | WS_SYSMENU, WS_EX_APPWINDOW, L"", {
          Push(IDC_HOST_HIDE, L"", 362, 0, 25, 14),
          Push(IDC_HOST_SOUND, L"", 333, 0, 25, 14),
          Push(IDC_HOST_SYSTEM, L"系统", 304, 0, 25, 14),
          Label(IDC_HOST_ADD_LOGIN, L"登录其他账号", 231, 3, 42, 8)}},
      {IDD_MESSAGE_BOX, 316, 183, 8, kPopup | WS_SYSMENU, 0, L"", {}},
      {IDD_UPDATE_PROGRESS, 281, 71, 8, kPopup | WS_SYSMENU, 0, L"", {
          Progress(IDC_UPDATE_PROGRESS, 11, 36, 258, 12)}},
      {IDD_LOGIN, 592, 319, 8, kPopup, 0, L"", {}},
      {IDD_HOTKEYS, 206, 233, 8, kPopup, 0, L"", {
          Default(IDOK, L"确定", 95, 210, 50, 14),
          Push(IDCANCEL, L"取消", 149, 210, 50, 14),
          Group(IDC_HK_BOSS_GROUP, L"老板键设置", 7, 26, 192, 48),
          Label(IDC_HK_BOSS_LABEL, L"请输入老板键", 22, 41, 50, 8),
          Edit(IDC_HK_BOSS_EDIT, 22, 56, 102, 12),
          Label(IDC_HK_BOSS_EXAMPLE, L"例如: Ctrl + X", 128, 58, 46, 8),
          Group(IDC_HK_SWITCH_GROUP, L"窗口切换键设置", 7, 89, 192, 48),
          Label(IDC_HK_SWITCH_LABEL, L"请输入窗口切换键", 22, 103, 65, 8),
          Edit(IDC_HK_SWITCH_EDIT, 22, 119, 102, 12),
          Label(IDC_HK_SWITCH_EXAMPLE, L"例如: Ctrl + Tab", 128, 121, 54, 8),
          Group(IDC_HK_SOUND_GROUP, L"声音键设置", 7, 152, 192, 48),
          Label(IDC_HK_SOUND_LABEL, L"请输入声音键", 22, 167, 49, 8),
          Edit(IDC_HK_SOUND_EDIT, 22, 183, 102, 12),
          Label(IDC_HK_SOUND_EXAMPLE, L"例如: Ctrl + Q", 128, 184, 48, 8)}},
      {IDD_FAVOURITE, 316, 97, 8, kPopup | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU, 0, L"添加收藏", {
          Default(IDOK, L"收藏", 205, 66, 50, 14),
          Push(IDCANCEL, L"取消", 259, 66, 50, 14),
          Icon(L"#155", 22, 9, 20, 20),
          Label(DWORD(-1), L"将该游戏添加到本地收藏夹，可通过IE直接打开游戏页", 52, 18, 237, 8),
          Label(DWORD(-1), L"收藏名称：", 22, 41, 41, 8),
          Edit(IDC_FAV_NAME, 72, 40, 229, 14)}},
      {IDD_NOTICE, 196, 122, 8, kPopup | WS_SYSMENU, 0, L"", {
          Label(IDC_NOTICE_PICTURE, L"Pic", 10, 41, 50, 49),
          Centred(IDC_NOTICE_TITLE, L"Title", 67, 30, 87, 9),
          Label(IDC_NOTICE_CONTENT, L"Content", 67, 42, 89, 8),
          Label(IDC_NOTICE_DETAILS, L"详细>>", 130, 103, 28, 8)}},
      {IDD_ADD_LOGIN, 189, 92, 8, kPopup, 0, L"", {
          Push(IDOK, L"是", 95, 71, 42, 14),
          Push(IDCANCEL, L"否", 141, 71, 42, 14),
          Label(IDC_ADD_LOGIN_TEXT,
                L"在当前窗口新增标签页？\r\n"
                L"点击\"是\"，在当前窗口登录(支持3个标签页)；\r\n"
                L"点击\"否\"，在新窗口中登录。", 14, 31, 160, 30)}},
      {IDD_HALL_DOWNLOAD, 278, 85, 8, kPopup | WS_SYSMENU, 0, L"", {
          Push(IDOK, L"确定", 172, 62, 50, 14),
          Push(IDCANCEL, L"取消", 222, 62, 50, 14),
          Label(IDC_HALL_PERCENT, L"已加载 %100", 110, 28, 58, 10),
          Progress(IDC_HALL_PROGRESS, 10, 41, 258, 12)}},
  };
  return cases;
}

TEST_F(Resources, DialogTemplatesHaveTheirLayout) {
  for (const DialogCase& c : DialogCases()) {
    SCOPED_TRACE(testing::Message() << "dialog " << c.id);
    Dialog d;
    ASSERT_TRUE(ParseDialog(Bytes(RT_DIALOG, c.id, kChinese), &d))
        << "missing or not DLGTEMPLATEEX";
    EXPECT_EQ(d.cx, c.cx);
    EXPECT_EQ(d.cy, c.cy);
    EXPECT_EQ(d.style & kDialogMask, c.style);
    EXPECT_EQ(d.exStyle & WS_EX_APPWINDOW, c.exStyle);
    EXPECT_EQ(d.title, c.title);
    EXPECT_EQ(d.points, c.points);
    EXPECT_EQ(d.face, L"MS Shell Dlg");
    ASSERT_EQ(d.items.size(), c.controls.size());
    for (size_t i = 0; i < d.items.size(); ++i) {
      const Item& got = d.items[i];
      const Want& want = c.controls[i];
      SCOPED_TRACE(testing::Message() << "control " << i << ", id " << static_cast<int>(want.id));
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(CompareStringOrdinal(got.cls.c_str(), -1, want.cls, -1, TRUE), CSTR_EQUAL);
      EXPECT_EQ(got.text, want.text);
      EXPECT_EQ(got.x, want.x);
      EXPECT_EQ(got.y, want.y);
      EXPECT_EQ(got.cx, want.cx);
      EXPECT_EQ(got.cy, want.cy);
      EXPECT_EQ(got.style & want.mask, want.bits);
    }
  }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The templates must also make windows: every control's class exists and its
// text arrives as written.
TEST_F(Resources, DialogTemplatesCreateTheirWindows) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  for (const DialogCase& c : DialogCases()) {
    SCOPED_TRACE(testing::Message() << "dialog " << c.id);
    HRSRC found = FindResourceExW(module_, RT_DIALOG, MAKEINTRESOURCEW(c.id), kChinese);
    ASSERT_NE(found, nullptr);
    auto tmpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module_, found)));
    HWND dlg = CreateDialogIndirectParamW(module_, tmpl, nullptr, NoDialogProc, 0);
    ASSERT_NE(dlg, nullptr) << "error " << GetLastError();
    for (const Want& want : c.controls) {
      if (want.id == DWORD(-1)) continue;
      HWND item = GetDlgItem(dlg, static_cast<int>(want.id));
      ASSERT_NE(item, nullptr) << "control " << want.id;
      wchar_t text[256] = {};
      GetWindowTextW(item, text, 256);
      EXPECT_EQ(std::wstring(text), want.text) << "control " << want.id;
    }
    DestroyWindow(dlg);
  }
}

}  // namespace
