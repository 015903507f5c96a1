// The window base: one C++ object per window, found from the window itself.
//
// How a window reaches its object. The object's address is kept in a window
// property of the window (not in a global table), set when the object takes
// the window and removed at WM_NCDESTROY, and removed *before* an object that
// is going away destroys or lets go of its window. So no message can call a
// virtual function of an object that is being destroyed or is gone. A
// handler may even delete its own object (and then return at once): the
// framework does not touch the object after WindowProc returns.
//
// Handling messages. A derived class overrides WindowProc with a switch and
// hands everything it does not answer to its base class, which ends in
// DefaultProc:
//
//   LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
//     switch (msg) {
//       case WM_TIMER: OnTimer(wp); return 0;
//     }
//     return Window::WindowProc(msg, wp, lp);
//   }
//
// The return value is the message's result (dialogs too, see Dialog.h).
// WM_NCDESTROY must reach DefaultProc: the window's own procedure frees its
// data there.
//
// Ownership. Create, CreateControl (and Dialog's DoModal/Create) make a window
// that the object owns: its destructor destroys it. Subclass takes messages of
// someone else's window (a dialog item) and Attach only wraps a handle: the
// object never destroys those. Objects belong to the thread that made their
// windows.
#pragma once
#include <windows.h>

namespace fw {

// The module that holds the program's code: where the framework registers its
// window classes and, by default, where dialog templates are found.
HINSTANCE ModuleInstance();

class Window {
 public:
  Window() = default;
  // Cuts the object loose from its window first, then destroys the window if
  // the object owns it. An application's main window stops being it.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The object of a window that is linked to one (made by Create,
  // CreateControl, Subclass or a dialog of this process); nullptr for any
  // other window, including windows of other processes, which can carry the
  // same property with an address that means nothing here.
  static Window* FromHandle(HWND hwnd);

  // A window of the framework's own class ClassName() (registered on first
  // use), owned by this object. Its messages reach WindowProc from
  // WM_NCCREATE on. `idOrMenu` is the child id for WS_CHILD windows.
  bool Create(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int cx,
              int cy, UINT_PTR idOrMenu = 0);
  bool Create(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle, const RECT& rect,
              UINT_PTR idOrMenu = 0);
  // A window of an existing class (a system or common control), owned by this
  // object and subclassed so its messages reach WindowProc after creation.
  bool CreateControl(const wchar_t* className, HWND parent, int id, const wchar_t* text,
                     DWORD style, DWORD exStyle, const RECT& rect);

  // Routes the messages of an existing window of this thread (typically a
  // dialog item) through WindowProc; the window keeps its owner.
  // Fails for a window that already has an object.
  bool Subclass(HWND hwnd);
  // Gives the window its own procedure back and forgets it.
  bool Unsubclass();

  // Wraps a window for the thin wrappers below, with no messages and no
  // ownership. FromHandle does not know such a window.
  bool Attach(HWND hwnd);
  // Forgets the window without destroying it (and unsubclasses it).
  HWND Detach();

  // DestroyWindow; the object sees WM_DESTROY and WM_NCDESTROY.
  bool Destroy();

  HWND Hwnd() const { return hwnd_; }
  bool Owns() const { return owns_; }

  // Called by the message pump for messages to this window or its children
  // (and owned pop-ups) before they are dispatched; true swallows the message.
  // See App.h for the order.
  virtual bool PreTranslateMessage(MSG* msg);

  // Owner-drawn and self-colouring controls paint themselves: a framework
  // parent hands the WM_DRAWITEM and WM_CTLCOLOR* messages it gets about a
  // child on to that child's object here. Answer true with *result set to
  // take the message; false (the default) leaves it to the parent's usual
  // handling.
  virtual bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Thin wrappers.
  bool Show(int cmd = SW_SHOW) const { return ShowWindow(hwnd_, cmd) != FALSE; }
  bool Move(int x, int y, int cx, int cy, bool repaint = true) const {
    return MoveWindow(hwnd_, x, y, cx, cy, repaint) != FALSE;
  }
  bool Move(const RECT& r, bool repaint = true) const {
    return Move(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
  }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
  bool Enable(bool enable) const { return EnableWindow(hwnd_, enable) != FALSE; }
  bool SetText(const wchar_t* text) const { return SetWindowTextW(hwnd_, text) != FALSE; }
  bool Invalidate(bool erase = true) const {
    return InvalidateRect(hwnd_, nullptr, erase) != FALSE;
  }
  HWND SetFocus() const { return ::SetFocus(hwnd_); }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendMessageW(hwnd_, msg, wp, lp);
  }
  bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return PostMessageW(hwnd_, msg, wp, lp) != FALSE;
  }
  // WM_TIMER timers of this window (no callback: they arrive in WindowProc).
  bool SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(hwnd_, id, ms, nullptr) != 0; }
  bool KillTimer(UINT_PTR id) const { return ::KillTimer(hwnd_, id) != FALSE; }

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // The handling the window would get without this object: DefWindowProc for
  // the framework's own class, the original procedure for a subclassed window
  // (for a dialog that is the dialog manager's DefDlgProc).
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

  // Called right after this object has taken a window of an existing class
  // through Subclass (so also Dialog::Bind) or CreateControl: the place to
  // read the window's text or add styles that the object relies on, for
  // bound and self-made controls alike.
  virtual void OnSubclassed() {}

  // The reflection done by WindowProc (and Dialog's): offers WM_DRAWITEM and
  // WM_CTLCOLOR* to the object of the control they are about. True when that
  // object took the message; *result is then the message's result.
  static bool ReflectToControl(HWND self, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Class used by Create. Classes differing in PreRegisterClass need their own names.
  virtual const wchar_t* ClassName() const { return L"fw.Window"; }
  // Adjusts the class before it is registered (cursor, background, styles).
  virtual void PreRegisterClass(WNDCLASSEXW& wc) const;

  // For destructors of classes whose members include child windows: cuts this
  // object loose and destroys its window now, while those members still
  // exist. (Left to ~Window, the members would be gone first, and destroying
  // them sends messages such as WM_PARENTNOTIFY to this half-destroyed object.)
  void DestroyDetached();

  // Links `hwnd` to this object and subclasses it; used by Subclass,
  // CreateControl and dialogs.
  bool LinkSubclassed(HWND hwnd, bool owns);

 private:
  enum class Route : unsigned char { kNone, kClassProc, kSubclass };

  static LRESULT CALLBACK ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  static LRESULT Deliver(Window* self, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool RegisterOnce(HINSTANCE instance);

  HWND hwnd_ = nullptr;
  Route route_ = Route::kNone;
  bool owns_ = false;
};

}  // namespace fw
