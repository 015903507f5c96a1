// CDlgEx: the base of every dialog with its own look. It removes the system
// caption and frame, paints the whole window from one skin image (caption
// band, border, stretched centre), draws the small icon and the caption text
// itself, puts image buttons for close, minimize and maximize into the band,
// answers hit tests so that the band drags the window and the border resizes
// it, maximizes into the desktop work area on its own terms, and cuts the
// window's corners to the shape the skin shows in its key colour.
//
// A derived dialog, in its OnInitDialog after calling CDlgEx::OnInitDialog,
// sets the frame fields (m_nCaptionHeight, m_nBorder, m_nBtnRight, m_nBtnTop,
// m_nBtnGap, m_bResizable...), calls SetSkin with images from LoadSkinImage
// and SetTitle with its caption.
//
// Messages. WindowProc answers, in this order: WM_ERASEBKGND, WM_NCHITTEST,
// WM_COMMAND of the caption buttons (50000 close, 50002 maximize, 50001
// minimize), WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_LBUTTONDBLCLK and
// WM_SIZE. A derived dialog that answers one of these itself handles it in
// its own WindowProc before passing the rest here, and may call the matching
// On... handler below for the cases it leaves to the frame.
#pragma once
#include <windows.h>

#include "framework/Dialog.h"
#include "framework/Scoped.h"
#include "skin/BtnEx.h"

class CDlgEx : public fw::Dialog {
 public:
  // Control ids of the caption buttons.
  static constexpr int kIdClose = 50000;
  static constexpr int kIdMinimize = 50001;
  static constexpr int kIdMaximize = 50002;

  // From dialog resource `nIDTemplate` of `module` (nullptr: the program's
  // own module). The parent is given to DoModal or Create.
  explicit CDlgEx(UINT nIDTemplate, HINSTANCE module = nullptr);
  // From a template in memory (see fw::Dialog).
  explicit CDlgEx(const DLGTEMPLATE* dialogTemplate);
  ~CDlgEx() override;

  // Installs the skin. Takes ownership of `back`, `maximize` and `restore`
  // (deleted when replaced or with this object); `close` and `minimize` are
  // copied into their buttons and stay the caller's. Any image may be NULL:
  // no background (nothing painted, no shape), or no such button. With `fit`
  // the window takes the background's size. `stretch` paints the background
  // as nine parts. Always TRUE.
  BOOL SetSkin(HBITMAP close, HBITMAP back, BOOL fit, BOOL stretch, HBITMAP minimize = nullptr,
               HBITMAP maximize = nullptr, HBITMAP restore = nullptr);
  // Sets the window text and repaints only the strip of the caption text.
  void SetTitle(LPCWSTR text);
  // Repaints the caption buttons that exist (the host calls it after resizing).
  void RedrawCaptionButtons();
  // Rebuilds the window region from the background: the key-coloured pixels
  // of the skin's 9 x 9 corner squares are cut from the window's corners.
  void UpdateWindowRegion();

  // Caption button actions.
  virtual void OnCaptionClose();     // posts WM_SYSCOMMAND SC_CLOSE
  virtual void OnCaptionMinimize();  // posts WM_SYSCOMMAND SC_MINIMIZE
  // Toggles between the frame's maximized state (the work area, at most
  // m_nMaxWidth x m_nMaxHeight, centred) and m_rcRestore. Returns 0.
  virtual LRESULT OnCaptionMaximize();
  // Gives the maximize button the restore image and tooltip "还原" (TRUE) or
  // the maximize image and "最大化" (FALSE).
  virtual void UpdateMaximizeButton(BOOL bMaximized);

  // Frame settings, in their initial state until a derived dialog sets them.
  BOOL m_bShowTitle = TRUE;
  BOOL m_bShowIcon = TRUE;
  int m_nCaptionHeight = -1;  // -1: no caption band, the whole window drags
  int m_nBtnRight = 5;        // window's right edge to the close button's right edge
  int m_nBtnTop = 1;          // top of the caption buttons
  int m_nBtnGap = 0;          // between neighbouring caption buttons
  int m_nBorder = 3;          // fixed skin edges and resize bands
  COLORREF m_crTitle = RGB(255, 255, 255);
  int m_nTitleWeight = 400;
  fw::ScopedBitmap m_bmpBack;
  CBtnEx m_btnClose;
  CBtnEx m_btnMin;
  CBtnEx m_btnMax;
  int m_nMaxWidth = 0;  // set by OnInitDialog: the work area's size
  int m_nMaxHeight = 0;
  RECT m_rcRestore{};  // screen coordinates; set by OnInitDialog
  BOOL m_bMaximized = FALSE;
  BOOL m_bResizable = FALSE;
  BOOL m_bStretchBack = FALSE;
  fw::ScopedBitmap m_bmpMax;
  fw::ScopedBitmap m_bmpRestore;

 protected:
  // Takes the system caption and frame away and measures the work area for
  // maximizing and restoring. Derived dialogs call it first.
  bool OnInitDialog() override;

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // The message handlers, for derived dialogs that answer a message
  // themselves in some cases and leave the others to the frame.
  // Paints the whole window into `dc`; FALSE when there is no background.
  BOOL OnEraseBkgnd(HDC dc);
  // `screen`: the point in screen coordinates.
  LRESULT OnNcHitTest(POINT screen);
  void OnNcLButtonDown(UINT hitCode, POINT screen);
  void OnNcLButtonDblClk(UINT hitCode, POINT screen);
  void OnLButtonDblClk(UINT flags, POINT client);
  void OnSize(UINT type, int cx, int cy);

 private:
  // Takes ownership of the images SetSkin is given.
  void AdoptImages(HBITMAP back, HBITMAP maximize, HBITMAP restore);
  // Creates caption button `button` from its 4-state strip `image` with its
  // right edge at `right` (a button that exists is made anew); false when
  // it could not be made.
  bool CreateCaptionButton(CBtnEx& button, int id, HBITMAP image, int right, const wchar_t* tip);
  // The font the caption text is drawn with (the caller deletes it).
  HFONT CreateCaptionFont() const;
  // The window's small icon, or NULL.
  HICON CaptionIcon() const;
  // Whether the caption shows the icon (and the text starts after it).
  bool IconDrawn() const { return m_bShowIcon && CaptionIcon() != nullptr; }
  void PaintBackground(HDC dc, int width, int height) const;
  void PaintCaption(HDC dc) const;
};
