#include "host/AddAccDlg.h"

#include "common/Constants.h"
#include "framework/Scoped.h"
#include "resource.h"
#include "skin/SkinImage.h"

namespace {

constexpr wchar_t kTitle[] = L"登录其他账号";
// Lines of the question sit a little further apart than a label's default.
constexpr int kTextLineSpace = 5;

}  // namespace

CAddAccDlg::CAddAccDlg(HINSTANCE resources)
    : CDlgEx(IDD_ADD_LOGIN, resources), m_hResources(resources) {}

CAddAccDlg::~CAddAccDlg() {
  // The window goes while the bound controls still exist.
  DestroyDetached();
}

void CAddAccDlg::DoDataExchange() {
  Bind(IDC_ADD_LOGIN_TEXT, m_stcText);
  Bind(IDOK, m_btnYes);
  Bind(IDCANCEL, m_btnNo);
}

bool CAddAccDlg::OnInitDialog() {
  CDlgEx::OnInitDialog();
  SetTitle(kTitle);
  m_nCaptionHeight = 30;
  m_nBorder = 3;
  m_nBtnRight = 5;
  m_nBtnTop = 1;
  m_nBtnGap = 0;
  // The frame takes the background; the window takes its size. No caption buttons.
  SetSkin(nullptr, LoadSkinImage(IDR_PNG_ADD_LOGIN_BACK, m_hResources), TRUE, FALSE);
  // Both buttons copy the strip; it stays ours.
  fw::ScopedBitmap button(LoadSkinImage(IDR_PNG_PUSH_BUTTON, m_hResources));
  m_btnYes.SetImage(button.get(), TRUE);
  m_btnNo.SetImage(button.get(), TRUE);
  m_stcText.m_nLineSpace = kTextLineSpace;
  return true;
}

void CAddAccDlg::Choose(WPARAM choice) {
  // A pop-up's parent is its owner: the host.
  PostMessageW(GetParent(Hwnd()), WM_ADD_LOGIN, choice, 0);
  Show(SW_HIDE);
}

void CAddAccDlg::OnOK() { Choose(1); }

void CAddAccDlg::OnCancel() { Choose(0); }

bool CAddAccDlg::PreTranslateMessage(MSG* msg) {
  // The dialog manager would turn Escape into IDCANCEL, which is the "否"
  // button: a second program instance for a user who only wanted the
  // pop-up gone.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE &&
      (msg->hwnd == Hwnd() || IsChild(Hwnd(), msg->hwnd))) {
    Show(SW_HIDE);
    return true;
  }
  return CDlgEx::PreTranslateMessage(msg);
}

LRESULT CAddAccDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE: {
      const LRESULT result = CDlgEx::WindowProc(msg, wp, lp);
      // A click anywhere else takes the activation away: the pop-up closes.
      if (LOWORD(wp) == WA_INACTIVE) Show(SW_HIDE);
      return result;
    }
    case WM_NCHITTEST:
      // All client: the frame would let its caption band drag the pop-up.
      return HTCLIENT;
    case WM_CLOSE:
      // Alt+F4: as Escape, nothing chosen (the dialog manager would send IDCANCEL).
      Show(SW_HIDE);
      return 0;
  }
  return CDlgEx::WindowProc(msg, wp, lp);
}
