#include "skin/MessageBox.h"

#include <cstring>
#include <vector>

#include "framework/Scoped.h"
#include "resource.h"
#include "skin/MessageBoxLayout.h"
#include "skin/SkinImage.h"

static_assert(msgbox::kTypeOk == MB_OK && msgbox::kTypeOkCancel == MB_OKCANCEL &&
                  msgbox::kTypeYesNo == MB_YESNO,
              "box types are the system's");
static_assert(msgbox::kResultOk == IDOK && msgbox::kResultCancel == IDCANCEL &&
                  msgbox::kResultYes == IDYES && msgbox::kResultNo == IDNO,
              "answers are the system's");

namespace {

// The message is plain text: an "&" in it (an account name, say) is shown,
// not taken for a mnemonic prefix.
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX;
constexpr UINT kDrawFlags = DT_NOPREFIX;

RECT ToRect(const frame::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// One state of a 4-state strip; zero for a missing or unreadable strip.
msgbox::Size StateSize(HBITMAP strip) {
  BITMAP bm{};
  if (!strip || !GetObjectW(strip, sizeof(bm), &bm)) return {};
  return msgbox::Size{bm.bmWidth / 4, bm.bmHeight};
}

}  // namespace

int SkinMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  return SkinMessageBox(owner, text, caption, type, nullptr);
}

int SkinMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, HMODULE module) {
  // One strip per button: each button's image list is made from its own.
  HBITMAP btn1 = LoadSkinImage(IDR_PNG_PUSH_BUTTON, module);
  HBITMAP btn2 = LoadSkinImage(IDR_PNG_PUSH_BUTTON, module);
  HBITMAP close = LoadSkinImage(IDR_PNG_CAPTION_CLOSE, module);
  HBITMAP back = LoadSkinImage(IDR_PNG_FRAME_LIGHT, module);
  CMessageBox box(owner, module);
  box.SetContent(type, caption, text, back, close, btn1, btn2);
  return static_cast<int>(box.DoModal());
}

CMessageBox::CMessageBox(HWND parent, HINSTANCE module)
    : CDlgEx(IDD_MESSAGE_BOX, module), m_hParent(parent) {}

CMessageBox::CMessageBox(HWND parent, const DLGTEMPLATE* dialogTemplate)
    : CDlgEx(dialogTemplate), m_hParent(parent) {}

CMessageBox::~CMessageBox() {
  // The window (a box torn down while it runs) goes while the buttons
  // still exist; then the images, which nothing paints with any more.
  DestroyDetached();
  const HBITMAP none[4] = {};
  DeleteImagesExcept(none);
}

void CMessageBox::DeleteImagesExcept(const HBITMAP (&keep)[4]) {
  const HBITMAP held[4] = {m_hBack, m_hClose, m_hBtn1, m_hBtn2};
  for (int i = 0; i < 4; ++i) {
    const HBITMAP h = held[i];
    // The frame deletes the background it has taken.
    if (!h || h == m_bmpBack.get()) continue;
    bool skip = false;
    for (HBITMAP k : keep) skip = skip || k == h;
    for (int j = 0; j < i; ++j) skip = skip || held[j] == h;  // deleted once
    if (!skip) DeleteObject(h);
  }
}

void CMessageBox::SetContent(UINT type, LPCWSTR caption, LPCWSTR text, HBITMAP back, HBITMAP close,
                             HBITMAP btn1, HBITMAP btn2) {
  const HBITMAP given[4] = {back, close, btn1, btn2};
  DeleteImagesExcept(given);
  m_nType = type;
  m_strTitle = caption ? caption : L"";
  m_strText = text ? text : L"";
  m_hBack = back;
  m_hClose = close;
  m_hBtn1 = btn1;
  m_hBtn2 = btn2;
  m_crText = RGB(0, 0, 0);
}

bool CMessageBox::OnInitDialog() {
  CDlgEx::OnInitDialog();
  HWND hwnd = Hwnd();

  m_nCaptionHeight = msgbox::kCaptionHeight;
  m_nBorder = msgbox::kBorder;
  m_nBtnRight = 0;
  m_nBtnTop = 0;
  m_nBtnGap = 0;
  SetSkin(m_hClose, m_hBack, FALSE, TRUE, nullptr, nullptr, nullptr);
  SetTitle(m_strTitle.c_str());

  m_nLines = msgbox::CountLines(m_strText);
  m_pFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  SIZE text{};
  {
    fw::ScopedWindowDC dc(hwnd);
    text = MeasureMessage(dc.get());
  }
  // A missing strip still leaves buttons to answer with (text only).
  msgbox::Size button = StateSize(m_hBtn1);
  if (button.cx <= 0 || button.cy <= 0)
    button = msgbox::Size{msgbox::kFallbackButtonWidth, msgbox::kFallbackButtonHeight};

  // Where the template put it; only the size is the message's.
  const msgbox::Size size = msgbox::WindowSize(text.cx, text.cy, m_nLines, button.cx, button.cy);
  SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT client = GetClientRect();
  const std::vector<msgbox::BoxButton> wanted = msgbox::ButtonsOf(m_nType);
  const std::vector<frame::Rect> rects =
      msgbox::ButtonRects(m_nType, client.right, client.bottom, button.cx, button.cy);
  CBtnEx* buttons[] = {&m_btn1, &m_btn2};
  const HBITMAP strips[] = {m_hBtn1, m_hBtn2};
  for (size_t i = 0; i < wanted.size() && i < 2; ++i) {
    CBtnEx& b = *buttons[i];
    if (!b.Create(hwnd, ToRect(rects[i]), wanted[i].id, wanted[i].text, WS_CHILD | WS_VISIBLE))
      continue;
    b.SetImage(strips[i], TRUE);
    b.m_strText = wanted[i].text;
    b.Invalidate(true);
  }
  return true;
}

SIZE CMessageBox::MeasureMessage(HDC dc) const {
  const int saved = SaveDC(dc);
  SelectObject(dc, m_pFont ? m_pFont : GetStockObject(DEFAULT_GUI_FONT));
  RECT calc{0, 0, 0, 0};
  DrawTextW(dc, m_strText.c_str(), -1, &calc, kMeasureFlags);
  RestoreDC(dc, saved);
  return SIZE{calc.right - calc.left, calc.bottom - calc.top};
}

void CMessageBox::DrawMessage(HDC dc) const {
  const SIZE text = MeasureMessage(dc);
  const RECT client = GetClientRect();
  const int saved = SaveDC(dc);
  SelectObject(dc, m_pFont ? m_pFont : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, m_crText);
  for (const msgbox::Line& line : msgbox::MessageLines(m_strText, client.right, text.cx, text.cy)) {
    if (!line.length) continue;
    RECT r = ToRect(line.rect);
    DrawTextW(dc, m_strText.c_str() + line.start, static_cast<int>(line.length), &r, kDrawFlags);
  }
  RestoreDC(dc, saved);
}

void CMessageBox::OnPaint() {
  // The default handling validates the window (the frame paints the skin
  // while it erases); the message goes on top through a DC of the window.
  DefaultProc(WM_PAINT, 0, 0);
  fw::ScopedWindowDC dc(Hwnd());
  if (dc) DrawMessage(dc.get());
}

void CMessageBox::CopyToClipboard() const {
  const std::wstring copy = msgbox::CopyText(m_strTitle, m_strText, m_nType);
  const size_t bytes = (copy.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return;
  if (void* p = GlobalLock(block)) {
    std::memcpy(p, copy.c_str(), bytes);
    GlobalUnlock(block);
  }
  bool taken = false;
  if (OpenClipboard(Hwnd())) {
    EmptyClipboard();
    // From here the clipboard owns the block (SetClipboardData documentation).
    taken = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
  }
  if (!taken) GlobalFree(block);
}

bool CMessageBox::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == 'C' && GetKeyState(VK_CONTROL) < 0 &&
      GetKeyState(VK_MENU) >= 0) {
    Send(WM_COPY);
    return true;
  }
  return CDlgEx::PreTranslateMessage(msg);
}

LRESULT CMessageBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE:
      // Straight to the base dialog's cancel: this box's own OnCancel
      // ignores Escape, but closing always ends it.
      fw::Dialog::OnCancel();
      return 0;
    case WM_COMMAND:
      // Code 0 is a button's BN_CLICKED, 1 an accelerator.
      if (HIWORD(wp) <= 1) {
        const int id = LOWORD(wp);
        if (id == msgbox::kIdButton1 || id == msgbox::kIdButton2) {
          EndDialog(msgbox::CommandResult(m_nType, id));
          return 0;
        }
      }
      break;
    case WM_COPY: CopyToClipboard(); return 0;
  }
  return CDlgEx::WindowProc(msg, wp, lp);
}
