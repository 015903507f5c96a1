// The dialog base: a dialog from a template (a resource or one built in
// memory), run modally through the framework's own loop or modeless.
//
// Handling messages. The same convention as every Window (Window.h): override
// WindowProc with a switch, return the message's result, pass the rest to the
// base class. There is no DWLP_MSGRESULT juggling: from WM_INITDIALOG on, the
// object subclasses its dialog window, so WindowProc sees each message before
// the dialog manager and its return value is the real result; DefaultProc
// runs the dialog manager's default (DefDlgProc). Messages before
// WM_INITDIALOG (WM_SETFONT, creation) get the default handling only.
//
//   LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
//     switch (msg) {
//       case WM_NCHITTEST: return HTCAPTION;
//       case WM_COMMAND:
//         if (LOWORD(wp) == kIdLink) { OnLink(); return 0; }
//         break;
//     }
//     return Dialog::WindowProc(msg, wp, lp);
//   }
//
// Start-up order: WM_INITDIALOG -> DoDataExchange (bind controls) ->
// OnInitDialog. WM_COMMAND IDOK (the OK button, or Enter through
// IsDialogMessage) -> OnOK; IDCANCEL (Cancel, Escape, WM_CLOSE, the system
// menu's Close) -> OnCancel.
//
// Binding controls: in DoDataExchange call Bind(id, member) for each control
// object (a Window or a class derived from it); the dialog item is subclassed
// into the object and released again when the dialog window is destroyed, so
// the same members serve every run of the dialog.
#pragma once
#include <windows.h>

#include "framework/Window.h"

namespace fw {

class Dialog : public Window {
 public:
  // From a dialog resource (RT_DIALOG) of `module`; nullptr means the
  // program's own module.
  explicit Dialog(UINT templateId, HINSTANCE module = nullptr);
  // From a template in memory, DLGTEMPLATE or DLGTEMPLATEEX (cast). It must
  // stay valid while the dialog is being created.
  explicit Dialog(const DLGTEMPLATE* dialogTemplate);

  // Runs the dialog modally and returns the value given to EndDialog, or -1
  // when the dialog could not be created or the loop ended by WM_QUIT (the
  // WM_QUIT is posted again, so every enclosing loop ends too).
  //
  // The owner is the top-level window of `owner`; with nullptr it is the
  // application's main window (its last active pop-up, so a dialog opened
  // from another dialog sits on that one), and no owner only when there is
  // no main window. The owner is disabled while the dialog runs, unless it
  // was disabled already (then whoever disabled it enables it).
  INT_PTR DoModal(HWND owner = nullptr);

  // Creates the dialog modeless. It shows itself if its template is WS_VISIBLE.
  bool Create(HWND parent);

  // Modal: ends the loop, DoModal returns `result`. Modeless: destroys the dialog.
  void EndDialog(INT_PTR result);

  bool IsModal() const { return modal_; }

  // The dialog's keyboard interface (IsDialogMessage) for keyboard and mouse
  // messages to the dialog and its controls. A derived dialog's own key rules
  // come before it; calling this base class last keeps Tab, Enter and Escape
  // working. Messages it does not take go on up to the owner.
  bool PreTranslateMessage(MSG* msg) override;

 protected:
  // Binds controls with Bind; called before OnInitDialog.
  virtual void DoDataExchange() {}
  // Answer true to let the dialog manager focus the first control.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  // Subclasses the dialog item `id` into `control`. False when there is no
  // such item or `control` already has a window.
  bool Bind(int id, Window& control);

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND CreateFromTemplate(HWND parent);

  UINT templateId_ = 0;
  HINSTANCE module_ = nullptr;
  const DLGTEMPLATE* template_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = -1;
};

}  // namespace fw
