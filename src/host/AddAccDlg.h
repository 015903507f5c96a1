// CAddAccDlg: the new-login choice, a small skinned pop-up that the host's
// caption link "登录其他账号" opens below itself. "是" opens one more tab in
// this host window, "否" logs in in a new, independent host window. It hides
// itself after a choice, when it loses the activation (a click elsewhere
// closes it), and on Escape or a close, which choose nothing. It cannot be
// dragged.
//
// The choice reaches the host as WM_ADD_LOGIN, posted to the pop-up's owner:
// wParam 1 for a tab, 0 for a new window.
#pragma once
#include <windows.h>

#include "skin/BtnEx.h"
#include "skin/DlgEx.h"
#include "skin/StaticEx.h"

class CAddAccDlg : public CDlgEx {
 public:
  // On dialog template IDD_ADD_LOGIN; template and images come from
  // `resources` (nullptr: the program's own module). Created modeless with
  // Create(owner).
  explicit CAddAccDlg(HINSTANCE resources = nullptr);
  ~CAddAccDlg() override;

  // Escape chooses nothing: the pop-up just goes away.
  bool PreTranslateMessage(MSG* msg) override;

  CBtnEx m_btnYes;     // IDOK, "是"
  CBtnEx m_btnNo;      // IDCANCEL, "否"
  CStaticEx m_stcText;  // IDC_ADD_LOGIN_TEXT, the three lines of the question

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;
  void OnOK() override;      // "是"
  void OnCancel() override;  // "否"
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Choose(WPARAM choice);

  HINSTANCE m_hResources = nullptr;
};
