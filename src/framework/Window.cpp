#include "framework/Window.h"

#include <commctrl.h>

#include "framework/App.h"

namespace fw {

namespace {

// The property that holds a window's object. A property rather than
// GWLP_USERDATA because subclassed windows are not ours: their own code may
// use GWLP_USERDATA.
const wchar_t kObjectProp[] = L"fw.Window";
// Our one subclass per window (SetWindowSubclass tells subclasses apart by
// procedure and id).
constexpr UINT_PTR kSubclassId = 1;

Window* ObjectOf(HWND hwnd) { return static_cast<Window*>(GetPropW(hwnd, kObjectProp)); }

}  // namespace

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
  return module;
}

Window::~Window() {
  App* app = App::Current();
  if (app && app->MainWindow() == this) app->SetMainWindow(nullptr);
  DestroyDetached();
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  DWORD process = 0;
  if (!GetWindowThreadProcessId(hwnd, &process) || process != GetCurrentProcessId()) return nullptr;
  return ObjectOf(hwnd);
}

bool Window::RegisterOnce(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, ClassName(), &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  PreRegisterClass(wc);
  wc.lpfnWndProc = ClassProc;
  wc.hInstance = instance;
  wc.lpszClassName = ClassName();
  return RegisterClassExW(&wc) != 0;
}

void Window::PreRegisterClass(WNDCLASSEXW&) const {}

bool Window::Create(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y,
                    int cx, int cy, UINT_PTR idOrMenu) {
  if (hwnd_) return false;
  HINSTANCE instance = ModuleInstance();
  if (!RegisterOnce(instance)) return false;
  HWND hwnd = CreateWindowExW(exStyle, ClassName(), text, style, x, y, cx, cy, parent,
                              reinterpret_cast<HMENU>(idOrMenu), instance, this);
  if (!hwnd) return false;
  if (hwnd_ != hwnd) {  // the link made at WM_NCCREATE failed
    DestroyWindow(hwnd);
    return false;
  }
  return true;
}

bool Window::Create(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle,
                    const RECT& rect, UINT_PTR idOrMenu) {
  return Create(parent, text, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, idOrMenu);
}

bool Window::CreateControl(const wchar_t* className, HWND parent, int id, const wchar_t* text,
                           DWORD style, DWORD exStyle, const RECT& rect) {
  if (hwnd_) return false;
  HWND hwnd = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(),
                              nullptr);
  if (!hwnd) return false;
  if (!LinkSubclassed(hwnd, true)) {
    DestroyWindow(hwnd);
    return false;
  }
  OnSubclassed();
  return true;
}

bool Window::LinkSubclassed(HWND hwnd, bool owns) {
  if (hwnd_ || !hwnd) return false;
  // The subclass helpers work only within the thread that made the window
  // (SetWindowSubclass documentation).
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return false;
  if (ObjectOf(hwnd)) return false;
  if (!SetPropW(hwnd, kObjectProp, this)) return false;
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, 0)) {
    RemovePropW(hwnd, kObjectProp);
    return false;
  }
  hwnd_ = hwnd;
  route_ = Route::kSubclass;
  owns_ = owns;
  return true;
}

bool Window::Subclass(HWND hwnd) {
  if (!LinkSubclassed(hwnd, false)) return false;
  OnSubclassed();
  return true;
}

bool Window::Unsubclass() {
  // An owned window would be left without anyone to destroy it.
  if (route_ != Route::kSubclass || owns_) return false;
  return Detach() != nullptr;
}

bool Window::Attach(HWND hwnd) {
  if (hwnd_ || !hwnd) return false;
  hwnd_ = hwnd;
  return true;
}

HWND Window::Detach() {
  HWND hwnd = hwnd_;
  if (!hwnd) return nullptr;
  if (route_ != Route::kNone) RemovePropW(hwnd, kObjectProp);
  if (route_ == Route::kSubclass) RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
  hwnd_ = nullptr;
  route_ = Route::kNone;
  owns_ = false;
  return hwnd;
}

bool Window::Destroy() { return hwnd_ && DestroyWindow(hwnd_); }

void Window::DestroyDetached() {
  const bool owned = owns_;
  HWND hwnd = Detach();
  if (hwnd && owned) DestroyWindow(hwnd);
}

bool Window::PreTranslateMessage(MSG*) { return false; }

bool Window::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Window::ReflectToControl(HWND self, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND control = nullptr;
  if (msg == WM_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    // Menu items have no control window (hwndItem is the menu).
    if (dis && dis->CtlType != ODT_MENU) control = dis->hwndItem;
  } else if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) {
    control = reinterpret_cast<HWND>(lp);
  }
  if (!control || control == self) return false;
  Window* object = FromHandle(control);
  return object && object->OnReflectedMessage(msg, wp, lp, result);
}

RECT Window::GetClientRect() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  return r;
}

RECT Window::GetWindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT reflected = 0;
  if (ReflectToControl(hwnd_, msg, wp, lp, &reflected)) return reflected;
  return DefaultProc(msg, wp, lp);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (route_ == Route::kSubclass) return DefSubclassProc(hwnd_, msg, wp, lp);
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::Deliver(Window* self, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = self->WindowProc(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // A handler may have deleted the object (or handed the window to another
    // one): ask the window, not `self`. A subclass must be removed by now at
    // the latest (SetWindowSubclass documentation).
    if (Window* still = ObjectOf(hwnd)) still->Detach();
  }
  return result;
}

LRESULT CALLBACK Window::ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // WM_NCCREATE is not the first message a window gets (WM_GETMINMAXINFO can
  // come before it); those early ones get the default handling.
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self && !self->hwnd_ && SetPropW(hwnd, kObjectProp, self)) {
      self->hwnd_ = hwnd;
      self->route_ = Route::kClassProc;
      self->owns_ = true;
    }
  }
  Window* self = ObjectOf(hwnd);
  return self ? Deliver(self, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR) {
  Window* self = ObjectOf(hwnd);
  return self ? Deliver(self, hwnd, msg, wp, lp) : DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace fw
