#include "framework/Dialog.h"

#include "framework/App.h"

namespace fw {

namespace {

// The owner a modal dialog gets for the `owner` its caller named.
HWND ModalOwner(HWND owner) {
  if (!owner) {
    App* app = App::Current();
    Window* main = app ? app->MainWindow() : nullptr;
    if (!main || !main->Hwnd()) return nullptr;
    // The main window itself may be disabled by a dialog it owns; the new
    // dialog then belongs on top of that one.
    return GetLastActivePopup(GetAncestor(main->Hwnd(), GA_ROOT));
  }
  // A pop-up cannot be owned by a child window: Windows would make the
  // child's top-level window the owner anyway, and that is the window to disable.
  return GetAncestor(owner, GA_ROOT);
}

bool IsInput(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

}  // namespace

Dialog::Dialog(UINT templateId, HINSTANCE module) : templateId_(templateId), module_(module) {}

Dialog::Dialog(const DLGTEMPLATE* dialogTemplate) : template_(dialogTemplate) {}

HWND Dialog::CreateFromTemplate(HWND parent) {
  HINSTANCE module = module_ ? module_ : ModuleInstance();
  const DLGTEMPLATE* t = template_;
  if (!t) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(templateId_), RT_DIALOG);
    HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    t = data ? static_cast<const DLGTEMPLATE*>(LockResource(data)) : nullptr;
    if (!t) return nullptr;
  }
  HWND hwnd =
      CreateDialogIndirectParamW(module, t, parent, DialogProc, reinterpret_cast<LPARAM>(this));
  // Not ours: linking failed at WM_INITDIALOG, or a modeless dialog ended
  // itself in OnInitDialog.
  if (hwnd && Hwnd() != hwnd) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  return hwnd;
}

INT_PTR Dialog::DoModal(HWND owner) {
  if (Hwnd()) return -1;
  owner = ModalOwner(owner);
  modal_ = true;
  ended_ = false;
  result_ = -1;
  if (!CreateFromTemplate(owner)) {
    modal_ = false;
    return -1;
  }
  const bool disabledOwner = owner && IsWindowEnabled(owner);
  if (disabledOwner) EnableWindow(owner, FALSE);
  if (!ended_ && Hwnd() && !IsVisible()) Show(SW_SHOWNORMAL);

  while (!ended_ && Hwnd()) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    DispatchOne(&msg);
  }

  // The owner is enabled before the dialog disappears: Windows then gives
  // the activation back to it rather than to some other program's window
  // (the order EndDialog keeps, see its documentation).
  if (disabledOwner) EnableWindow(owner, TRUE);
  if (Hwnd()) {
    Show(SW_HIDE);
    Destroy();
  }
  modal_ = false;
  return result_;
}

bool Dialog::Create(HWND parent) {
  if (Hwnd()) return false;
  modal_ = false;
  result_ = -1;
  return CreateFromTemplate(parent) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  if (!modal_) {
    Destroy();
    return;
  }
  ended_ = true;
  // Wakes the loop when this was called from a message sent by another
  // thread, which GetMessage handles without returning.
  Post(WM_NULL);
}

bool Dialog::PreTranslateMessage(MSG* msg) {
  // IsDialogMessage dispatches whatever it accepts, so other messages would
  // never reach the owners' PreTranslateMessage.
  return IsInput(msg->message) && IsDialogMessageW(Hwnd(), msg);
}

bool Dialog::Bind(int id, Window& control) {
  HWND item = Item(id);
  return item && control.Subclass(item);
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      // Code 0 comes from buttons (BN_CLICKED), menus and IsDialogMessage, 1
      // from accelerators; other codes are notifications of a control that
      // happens to have the id 1 or 2.
      if (HIWORD(wp) <= 1) {
        switch (LOWORD(wp)) {
          case IDOK: OnOK(); return 0;
          case IDCANCEL: OnCancel(); return 0;
        }
      }
      break;
  }
  LRESULT reflected = 0;
  if (ReflectToControl(Hwnd(), msg, wp, lp, &reflected)) return reflected;
  return DefaultProc(msg, wp, lp);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
  // Everything but WM_INITDIALOG already went through the subclass (WindowProc)
  // and comes here from DefaultProc: FALSE lets the dialog manager do its part.
  if (msg != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<Dialog*>(lp);
  if (!self || !self->LinkSubclassed(hwnd, true)) return TRUE;
  self->DoDataExchange();
  return self->OnInitDialog() ? TRUE : FALSE;
}

}  // namespace fw
