// An owned tooltip control. Tools are identified as the Windows control does:
// by the window and an id, where id 0 stands for the whole window.
//
// The control learns about the mouse from RelayEvent: call it from
// PreTranslateMessage of the window that has the tools, for every message.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Window.h"

namespace fw {

class ToolTip : public Window {
 public:
  // A tooltip window owned by `owner` (a pop-up; it goes away with the owner).
  bool Create(HWND owner, DWORD style = TTS_ALWAYSTIP);

  // The whole of `window` is the tool (id 0). `text` may be LPSTR_TEXTCALLBACKW:
  // the text is then asked for with TTN_GETDISPINFO, sent to `window`.
  bool AddTool(HWND window, const wchar_t* text);
  // A rectangle of `window` (client coordinates) is tool `id` (not 0).
  bool AddTool(HWND window, UINT_PTR id, const RECT& rect, const wchar_t* text);
  // New text for a tool (TTM_UPDATETIPTEXT; nothing happens for an unknown tool).
  void UpdateText(HWND window, UINT_PTR id, const wchar_t* text);

  void Activate(bool active) const { Send(TTM_ACTIVATE, active, 0); }
  // `which` is TTDT_AUTOMATIC, TTDT_INITIAL, TTDT_AUTOPOP or TTDT_RESHOW.
  void SetDelay(DWORD which, int ms) const { Send(TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0)); }
  void RelayEvent(MSG* msg) const { Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  int ToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }
};

}  // namespace fw
