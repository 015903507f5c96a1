// CStaticEx: a label painted by itself over the parent's background, with its
// own font, text and hover colours, hand cursor, an optional image or icon on
// one side, its own line breaking (Chinese text has no blanks to break at)
// and a height that grows to show every line.
//
// Attributes are set by writing the fields; font fields count only before the
// first paint. Mouse messages (hover colour, hand cursor) arrive only when the
// label has the style SS_NOTIFY.
#pragma once
#include <windows.h>

#include <string>

#include "framework/ImageList.h"
#include "framework/Scoped.h"
#include "framework/Window.h"

class CStaticEx : public fw::Window {
 public:
  CStaticEx() = default;
  ~CStaticEx() override;

  // A label made in code: a "STATIC" child of `parent` (rectangle in client
  // coordinates), owned by this object.
  bool Create(HWND parent, const RECT& rect, int id, const wchar_t* text = L"",
              DWORD style = WS_CHILD | WS_VISIBLE);

  // Copies `image` into the image list (the caller keeps the bitmap) and
  // records its size. FALSE only for a NULL bitmap. In every case the image
  // side goes back to the left.
  BOOL SetImage(HBITMAP image);

  std::wstring m_strText;
  int m_nFontWidth = 0;
  int m_nFontWeight = -1;
  int m_nFontHeight = 0;
  BOOL m_bHandCursor = FALSE;
  BOOL m_bUnderline = FALSE;
  fw::ScopedFont m_font;
  COLORREF m_crText = RGB(0, 0, 0);
  COLORREF m_crHover = RGB(0, 0, 0);
  int m_nLineSpace = 3;
  BOOL m_bHoverColor = FALSE;
  BOOL m_bHover = FALSE;
  BOOL m_bTracking = FALSE;
  HICON m_hIcon = nullptr;  // not owned; drawn 16 x 16 when there is no image
  fw::ImageList m_imgList;
  int m_nImgWidth = 0;
  int m_nImgHeight = 0;
  BOOL m_bImgRight = FALSE;
  int m_nImgIndex = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Reads the window text into m_strText.
  void OnSubclassed() override;
  // Draws the text into `dc` (the label's client area at (0, 0)) and grows
  // the label when its lines need more height.
  virtual void DrawLabelText(HDC dc);

 private:
  void Paint(HDC target);
  HFONT LabelFont();
  void TrackMouse();
};
