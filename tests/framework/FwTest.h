// Shared pieces of the framework tests: dialog templates built in memory (and
// put into a resource module), an event log compared against expected
// tables, and small recording windows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Window.h"

namespace fwtest {

// Control ids of the test dialogs.
constexpr int kEditId = 100;
constexpr int kEdit2Id = 101;

// A dialog template in memory, DLGTEMPLATE or DLGTEMPLATEEX. Sizes in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(bool extended, DWORD style, short cx, short cy, const wchar_t* title);
  // `cls` is a predefined class atom (0x80 button, 0x81 edit, 0x82 static).
  DialogTemplate& Item(WORD cls, int id, const wchar_t* text, DWORD style, short x, short y,
                       short cx, short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  const void* Data() const { return words_.data(); }
  DWORD Size() const { return static_cast<DWORD>(words_.size() * sizeof(WORD)); }

 private:
  void Dword(DWORD v);
  void Text(const wchar_t* s);
  void AlignDword();

  bool extended_;
  size_t countAt_;  // index of the item count
  std::vector<WORD> words_;
};

// The template most tests use: two edits, OK and Cancel, font "MS Shell Dlg"
// (so the dialog manager makes and frees a font for every dialog).
DialogTemplate StandardTemplate(bool extended = false, DWORD extraStyle = 0);

// A copy of this test program with dialog resources added by UpdateResource,
// loaded as a data file: a real module to find RT_DIALOG templates in.
class ResourceModule {
 public:
  struct Entry {
    WORD id;
    const DialogTemplate* dialog;
  };
  explicit ResourceModule(const std::vector<Entry>& entries);
  ~ResourceModule();
  HMODULE Get() const { return module_; }

 private:
  std::wstring dir_;
  HMODULE module_ = nullptr;
};

// What happened, in order, as short readable lines; compared with the
// expected table as a whole so a failure shows the full sequence.
using Log = std::vector<std::string>;

// Names for the messages the tests look at ("WM_KEYDOWN", "WM_APP+3", else hex).
std::string MsgName(UINT msg);
// "WM_KEYDOWN 0x74"-style text for a message and its wParam.
std::string MsgText(UINT msg, WPARAM wp);

// A framework window (made with Create, or a subclassed control) that records
// its PreTranslateMessage calls ("E pre WM_KEYDOWN 0x41") and the messages
// its WindowProc gets ("E got WM_CHAR 0x61") into `log`. It records keys,
// characters and WM_APP messages only: those are what the tests send.
class RecordingWindow : public fw::Window {
 public:
  RecordingWindow(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  // Virtual key that this control's PreTranslateMessage swallows (0: none).
  WPARAM swallowKey = 0;

  bool PreTranslateMessage(MSG* msg) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Log& log_;
  std::string name_;
};

// A dialog for the tests. It binds `edit` to kEditId, records its virtual
// calls ("D OnInitDialog") and its PreTranslateMessage calls like a
// RecordingWindow, and runs `steps` one by one inside its message loop, each
// when the queue is empty: a WM_TIMER is only made when no posted or input
// message waits, so everything an earlier step posted (and what handling it
// posted in turn, such as WM_CHAR) is handled by then.
class TestDialog : public fw::Dialog {
 public:
  TestDialog(const DLGTEMPLATE* t, Log& log, std::string name);
  TestDialog(UINT id, HMODULE module, Log& log, std::string name);

  RecordingWindow edit;
  std::vector<std::function<void()>> steps;
  // Keys its PreTranslateMessage swallows / hands on without the dialog's
  // own keyboard handling (so the owner sees them next).
  WPARAM swallowKey = 0;
  WPARAM passKey = 0;
  // Messages it handles itself (its steps' WM_TIMER excepted): true when handled.
  std::function<bool(UINT, WPARAM, LPARAM)> handler;

  bool PreTranslateMessage(MSG* msg) override;

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT_PTR kStepTimer = 0xF00;
  Log& log_;
  std::string name_;
  size_t next_ = 0;
};

}  // namespace fwtest
