// CBtnEx: an owner-drawn push button painted from a strip of four state
// images (normal, hover, pressed, disabled), with optional text and tooltip.
// It looks transparent: the parent paints its own background beneath it.
#pragma once
#include <windows.h>

#include <string>

#include "framework/ImageList.h"
#include "framework/ToolTip.h"
#include "framework/Window.h"
#include "skin/SkinImage.h"

class CBtnEx : public fw::Window {
 public:
  CBtnEx() = default;
  ~CBtnEx() override;

  // A button made in code (caption buttons, message box buttons): an
  // owner-drawn "BUTTON" child of `parent` with the given rectangle (client
  // coordinates), id and text. Owned by this object.
  bool Create(HWND parent, const RECT& rect, int id, const wchar_t* text = L"",
              DWORD style = WS_CHILD | WS_VISIBLE);

  // Rebuilds the four state images from `strip` (the caller keeps the
  // bitmap, unchanged). With `resize`, the button becomes one state's size.
  // A NULL strip, or one narrower than four pixels, leaves the button
  // without images (background and text only) and keeps its size. Always TRUE.
  BOOL SetImage(HBITMAP strip, BOOL resize);
  // Tooltip text; the tooltip is created on first use. It goes away with the
  // button's window (a button made again needs its tooltip text again).
  void SetToolTipText(const wchar_t* text);
  // Forgets hover and mouse tracking (used when the frame moves the button
  // away from under the mouse).
  void ClearHover() { m_bHover = FALSE; m_bTracking = FALSE; }
  // Stores the button's current window rectangle as its drawing size.
  void StoreWindowRect();

  BOOL m_bTracking = FALSE;
  BOOL m_bHover = FALSE;
  RECT m_rcWnd{};  // screen coordinates; its size is the drawing size (kept on WM_SIZE)
  std::wstring m_strText;
  COLORREF m_crText = RGB(0, 0, 0);
  fw::ImageList m_imgList;
  BOOL m_bPressed = FALSE;
  BOOL m_bToolTip = FALSE;
  fw::ToolTip m_toolTip;
  std::wstring m_strToolTip;

  bool PreTranslateMessage(MSG* msg) override;
  // Takes WM_DRAWITEM from the parent (see fw::Window::OnReflectedMessage).
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Reads the window text into m_strText, makes the button owner-drawn and
  // stores its window rectangle: for bound buttons and Create alike.
  void OnSubclassed() override;
  virtual void DrawItem(const DRAWITEMSTRUCT& dis);

 private:
  void TrackMouse();
};

// Pieces shared by the skinned controls.
namespace ctl {

// Lets the parent of `control` paint the part of its background that lies
// under the control into `dc` (the control's client area at (0, 0)): the
// parent gets WM_ERASEBKGND with `dc`, its origin moved to the control's
// place. The DC's state is restored afterwards.
void PaintParentBackground(HWND control, HDC dc);

// Asks for WM_MOUSEHOVER (after the mouse rested 10 ms) and WM_MOUSELEAVE
// for `control`; the answer is whether the request was taken.
BOOL TrackHoverAndLeave(HWND control);

// Replaces `list` with one of `cx` x `cy` images (ILC_COLOR24 | ILC_MASK,
// `count` entries, no growth) holding the images of `bitmap`, with the key
// colour transparent. The bitmap stays untouched: it is copied first, since
// adding with a mask colour blackens the mask-coloured pixels of its source.
// False (and an empty list) for a NULL bitmap or an empty size.
bool FillKeyedImageList(fw::ImageList& list, HBITMAP bitmap, int cx, int cy, int count);

}  // namespace ctl
