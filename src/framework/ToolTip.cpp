#include "framework/ToolTip.h"

namespace fw {

namespace {

TTTOOLINFOW ToolInfo(HWND window, UINT_PTR id, const wchar_t* text) {
  TTTOOLINFOW ti{};
  // The size of the version 5 structure: version 6 of the common controls
  // accepts it too, while version 5 (a program without the common controls 6
  // manifest, such as the tests) refuses the larger sizeof(TTTOOLINFOW).
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = window;
  if (id == 0) {
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(window);
  } else {
    ti.uId = id;
  }
  ti.lpszText = const_cast<wchar_t*>(text);
  return ti;
}

}  // namespace

bool ToolTip::Create(HWND owner, DWORD style) {
  // The tooltip class is registered by InitCommonControlsEx, not by linking comctl32.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  return CreateControl(TOOLTIPS_CLASSW, owner, 0, nullptr, WS_POPUP | style, WS_EX_TOPMOST,
                       RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT});
}

bool ToolTip::AddTool(HWND window, const wchar_t* text) {
  TTTOOLINFOW ti = ToolInfo(window, 0, text);
  return Hwnd() && Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

bool ToolTip::AddTool(HWND window, UINT_PTR id, const RECT& rect, const wchar_t* text) {
  TTTOOLINFOW ti = ToolInfo(window, id, text);
  ti.rect = rect;
  return Hwnd() && id != 0 && Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void ToolTip::UpdateText(HWND window, UINT_PTR id, const wchar_t* text) {
  TTTOOLINFOW ti = ToolInfo(window, id, text);
  Send(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace fw
