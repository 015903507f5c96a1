// The launcher's message box. Every question and notice of the program goes
// through SkinMessageBox, never through the system's MessageBox: a modal
// skinned dialog with the light frame, the caption text, a message of one or
// more lines and one or two image buttons. It answers the system's result
// codes, so callers test for IDOK, IDYES and so on.
//
// Types (the system's MB_ values): MB_YESNO (4) has "是" and "否" answering
// IDYES and IDNO; MB_OKCANCEL (1) has "确定" and "取消" answering IDOK and
// IDCANCEL; every other type has "确定" alone, answering IDOK. Closing the box
// (its caption close button, Alt+F4) answers IDCANCEL whatever the type.
// Enter and Escape do nothing: a question is answered with a button.
// Ctrl+C copies caption, message and buttons to the clipboard.
#pragma once
#include <windows.h>

#include <string>

#include "skin/BtnEx.h"
#include "skin/DlgEx.h"

// Shows the box modally over `owner` (may be NULL: then the application's
// main window, if any, owns it) and returns IDOK, IDCANCEL, IDYES or IDNO,
// or -1 when the box could not be made. Dialog and images come from the
// program's own resources.
int SkinMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// The same with the dialog template and the images taken from `module`
// (nullptr: the program's own), for a program that holds the launcher's
// resources in another module.
int SkinMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, HMODULE module);

class CMessageBox : public CDlgEx {
 public:
  // On dialog resource IDD_MESSAGE_BOX of `module` (nullptr: the program's
  // own); `parent` owns the box while it runs (see DoModal).
  explicit CMessageBox(HWND parent, HINSTANCE module = nullptr);
  // On a dialog template in memory, for a box whose template is not a
  // resource.
  CMessageBox(HWND parent, const DLGTEMPLATE* dialogTemplate);
  ~CMessageBox() override;

  // Stores what the box shows (NULL texts are empty) and makes the message
  // black. The box owns the four images from here on: the frame takes the
  // background when the box starts, the others are deleted with the box, and
  // any image of an earlier call that is not given again is deleted now.
  // The background too is deleted with the box if it never started.
  void SetContent(UINT type, LPCWSTR caption, LPCWSTR text, HBITMAP back, HBITMAP close,
                  HBITMAP btn1, HBITMAP btn2);

  // Runs the box modally with the parent given to the constructor.
  INT_PTR DoModal() { return fw::Dialog::DoModal(m_hParent); }

  HBITMAP m_hBack = nullptr;   // frame background
  HBITMAP m_hClose = nullptr;  // close caption button strip
  HBITMAP m_hBtn1 = nullptr;   // strip of the first button
  HBITMAP m_hBtn2 = nullptr;   // strip of the second button
  std::wstring m_strText;      // the message; line feeds separate lines
  std::wstring m_strTitle;     // the caption text
  UINT m_nType = 0;            // MB_YESNO, MB_OKCANCEL, else one OK button
  int m_nLines = 1;            // 1 + line feeds in m_strText
  HFONT m_pFont = nullptr;     // the dialog's font (not owned), set when the box starts
  COLORREF m_crText = RGB(0, 0, 0);
  CBtnEx m_btn1;  // id 5000
  CBtnEx m_btn2;  // id 5001, for two-button types

  // Ctrl+C, then the dialog's keyboard interface.
  bool PreTranslateMessage(MSG* msg) override;

 protected:
  // Frame and skin, size for the measured message, buttons.
  bool OnInitDialog() override;
  // Enter and Escape reach these through the dialog manager; the box stays.
  void OnOK() override {}
  void OnCancel() override {}

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // Deletes the images this box holds except those in `keep` and the one the
  // frame has taken over; each handle once.
  void DeleteImagesExcept(const HBITMAP (&keep)[4]);
  // The message's size as one DrawText block in the box's font on `dc`.
  SIZE MeasureMessage(HDC dc) const;
  // Draws the message lines onto `dc` (the window's client coordinates).
  void DrawMessage(HDC dc) const;
  void OnPaint();
  // Puts caption, message and buttons on the clipboard as text.
  void CopyToClipboard() const;

  HWND m_hParent = nullptr;
};
