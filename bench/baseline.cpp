// The start-up benchmark's yardstick: the least a Win32 program can do to put
// a dialog on screen. A modeless dialog from an in-memory template (one line
// of text, one OK button), shown with ShowWindow and run by a plain message
// loop. It ends on WM_CLOSE (what startbench sends) or on OK.
// Nothing here links more than user32/kernel32, so the launcher's start-up
// time and memory can be read as multiples of this.
#include <windows.h>

namespace {

constexpr WORD kIdText = 100;
constexpr WORD kTemplateWords = 256;

// A DLGTEMPLATE followed by its items, built in place. The layout rules are
// in the DLGTEMPLATE and DLGITEMTEMPLATE documentation: the header and the
// strings are WORD arrays, and every item header starts on a DWORD boundary.
class TemplateWriter {
 public:
  explicit TemplateWriter(WORD* buffer) : begin_(buffer), at_(buffer) {}

  void Header(DWORD style, WORD items, short cx, short cy, const wchar_t* title,
              WORD pointSize, const wchar_t* face) {
    auto* t = reinterpret_cast<DLGTEMPLATE*>(at_);
    t->style = style;
    t->dwExtendedStyle = 0;
    t->cdit = items;
    t->x = 0;
    t->y = 0;
    t->cx = cx;
    t->cy = cy;
    at_ = reinterpret_cast<WORD*>(t + 1);
    *at_++ = 0;  // no menu
    *at_++ = 0;  // the predefined dialog class
    String(title);
    if (style & DS_SETFONT) {
      *at_++ = pointSize;
      String(face);
    }
  }

  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
            const wchar_t* text) {
    AlignToDword();
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(at_);
    item->style = style | WS_CHILD | WS_VISIBLE;
    item->dwExtendedStyle = 0;
    item->x = x;
    item->y = y;
    item->cx = cx;
    item->cy = cy;
    item->id = id;
    at_ = reinterpret_cast<WORD*>(item + 1);
    *at_++ = 0xFFFF;  // class given as a predefined atom
    *at_++ = atom;
    String(text);
    *at_++ = 0;  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(begin_); }

 private:
  void String(const wchar_t* s) {
    do {
      *at_++ = static_cast<WORD>(*s);
    } while (*s++);
  }
  void AlignToDword() {
    if ((at_ - begin_) & 1) *at_++ = 0;
  }

  WORD* begin_;
  WORD* at_;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dialog);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  // DLGTEMPLATE must be DWORD aligned.
  alignas(DWORD) static WORD buffer[kTemplateWords];
  TemplateWriter writer(buffer);
  // Deliberately without WS_VISIBLE: the window appears at ShowWindow below,
  // the same moment a program that prepares its dialog first would show it.
  writer.Header(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                2, 200, 64, L"Baseline", 8, L"MS Shell Dlg");
  writer.Item(SS_LEFT, 10, 10, 180, 20, kIdText, 0x0082 /* STATIC */,
              L"A plain dialog for start-up comparison.");
  writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 38, 50, 14, IDOK, 0x0080 /* BUTTON */, L"OK");

  HWND dialog = CreateDialogIndirectParamW(instance, writer.Get(), nullptr, DialogProc, 0);
  if (!dialog) return 1;
  ShowWindow(dialog, show == SW_HIDE ? SW_SHOWNORMAL : show);

  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
