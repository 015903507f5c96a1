#include "FwTest.h"

#include <cstdio>

#include "Support.h"

namespace fwtest {

DialogTemplate::DialogTemplate(bool extended, DWORD style, short cx, short cy,
                               const wchar_t* title)
    : extended_(extended) {
  style |= DS_SETFONT;
  if (extended) {
    words_ = {1, 0xFFFF};  // dlgVer, signature
    Dword(0);              // helpID
    Dword(0);              // exStyle
    Dword(style);
  } else {
    Dword(style);
    Dword(0);  // exStyle
  }
  countAt_ = words_.size();
  words_.push_back(0);  // item count, raised by Item()
  for (short v : {short(0), short(0), cx, cy}) words_.push_back(static_cast<WORD>(v));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the dialog class
  Text(title);
  words_.push_back(8);  // point size
  if (extended) {
    words_.push_back(FW_NORMAL);
    words_.push_back(0);  // italic and character set bytes
  }
  Text(L"MS Shell Dlg");
}

DialogTemplate& DialogTemplate::Item(WORD cls, int id, const wchar_t* text, DWORD style, short x,
                                     short y, short cx, short cy) {
  AlignDword();
  style |= WS_CHILD | WS_VISIBLE;
  if (extended_) {
    Dword(0);  // helpID
    Dword(0);  // exStyle
    Dword(style);
  } else {
    Dword(style);
    Dword(0);
  }
  for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
  if (extended_)
    Dword(static_cast<DWORD>(id));
  else
    words_.push_back(static_cast<WORD>(id));
  words_.push_back(0xFFFF);
  words_.push_back(cls);
  Text(text);
  words_.push_back(0);  // no creation data
  ++words_[countAt_];
  return *this;
}

void DialogTemplate::Dword(DWORD v) {
  words_.push_back(LOWORD(v));
  words_.push_back(HIWORD(v));
}

void DialogTemplate::Text(const wchar_t* s) {
  for (; *s; ++s) words_.push_back(*s);
  words_.push_back(0);
}

void DialogTemplate::AlignDword() {
  if (words_.size() % 2) words_.push_back(0);
}

DialogTemplate StandardTemplate(bool extended, DWORD extraStyle) {
  DialogTemplate t(extended, WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle, 160, 80, L"fw test");
  t.Item(0x81, kEditId, L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 8, 8, 140, 12)
      .Item(0x81, kEdit2Id, L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 8, 24, 140, 12)
      .Item(0x80, IDOK, L"OK", WS_TABSTOP | BS_PUSHBUTTON, 40, 56, 50, 14)
      .Item(0x80, IDCANCEL, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 100, 56, 50, 14);
  return t;
}

ResourceModule::ResourceModule(const std::vector<Entry>& entries) {
  dir_ = test::MakeTempDir(L"fwres");
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring copy = dir_ + L"\\dialogs.dll";
  if (!CopyFileW(self, copy.c_str(), FALSE)) return;
  HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  if (!update) return;
  for (const Entry& e : entries)
    UpdateResourceW(update, RT_DIALOG, MAKEINTRESOURCEW(e.id),
                    MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                    const_cast<void*>(e.dialog->Data()), e.dialog->Size());
  if (!EndUpdateResourceW(update, FALSE)) return;
  module_ = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

ResourceModule::~ResourceModule() {
  if (module_) FreeLibrary(module_);
  test::RemoveTree(dir_);
}

std::string MsgName(UINT msg) {
  switch (msg) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_TIMER: return "WM_TIMER";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_CLOSE: return "WM_CLOSE";
  }
  char buf[32];
  if (msg >= WM_APP && msg < WM_APP + 0x100)
    snprintf(buf, sizeof buf, "WM_APP+%u", msg - WM_APP);
  else
    snprintf(buf, sizeof buf, "msg 0x%04X", msg);
  return buf;
}

std::string MsgText(UINT msg, WPARAM wp) {
  char buf[24];
  snprintf(buf, sizeof buf, " 0x%02X", static_cast<unsigned>(wp));
  return MsgName(msg) + buf;
}

namespace {

bool IsRecorded(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR ||
         (msg >= WM_APP && msg < WM_APP + 0x100);
}

}  // namespace

bool RecordingWindow::PreTranslateMessage(MSG* msg) {
  if (IsRecorded(msg->message))
    log_.push_back(name_ + " pre " + MsgText(msg->message, msg->wParam));
  return swallowKey && msg->message == WM_KEYDOWN && msg->wParam == swallowKey;
}

LRESULT RecordingWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (IsRecorded(msg)) log_.push_back(name_ + " got " + MsgText(msg, wp));
  return Window::WindowProc(msg, wp, lp);
}

TestDialog::TestDialog(const DLGTEMPLATE* t, Log& log, std::string name)
    : fw::Dialog(t), edit(log, "E"), log_(log), name_(std::move(name)) {}

TestDialog::TestDialog(UINT id, HMODULE module, Log& log, std::string name)
    : fw::Dialog(id, module), edit(log, "E"), log_(log), name_(std::move(name)) {}

void TestDialog::DoDataExchange() {
  log_.push_back(name_ + " DoDataExchange");
  Bind(kEditId, edit);
}

bool TestDialog::OnInitDialog() {
  log_.push_back(name_ + " OnInitDialog");
  next_ = 0;
  if (!steps.empty()) SetTimer(kStepTimer, 1);
  return true;
}

void TestDialog::OnOK() {
  log_.push_back(name_ + " OnOK");
  fw::Dialog::OnOK();
}

void TestDialog::OnCancel() {
  log_.push_back(name_ + " OnCancel");
  fw::Dialog::OnCancel();
}

bool TestDialog::PreTranslateMessage(MSG* msg) {
  if (IsRecorded(msg->message))
    log_.push_back(name_ + " pre " + MsgText(msg->message, msg->wParam));
  if (msg->message == WM_KEYDOWN && swallowKey && msg->wParam == swallowKey) return true;
  if (msg->message == WM_KEYDOWN && passKey && msg->wParam == passKey) return false;
  return fw::Dialog::PreTranslateMessage(msg);
}

LRESULT TestDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kStepTimer) {
    // Stopped while the step runs: a step may run a nested modal loop, which
    // would otherwise run this dialog's next steps too.
    KillTimer(kStepTimer);
    if (next_ < steps.size()) {
      std::function<void()> step = steps[next_++];
      step();
      if (next_ < steps.size() && Hwnd()) SetTimer(kStepTimer, 1);
    }
    return 0;
  }
  if (handler && handler(msg, wp, lp)) return 0;
  return fw::Dialog::WindowProc(msg, wp, lp);
}

}  // namespace fwtest
