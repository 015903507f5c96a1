// Shared pieces of the framework tests: dialog templates built in memory (and
// put into a resource module), an event log compared against expected
// tables, and small recording windows.
#pragma once
#include <windows.h>

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

// Posts every message in `msgs` then pumps until `done()` or 10 s; fails the
// test when time runs out (a hang would otherwise take the whole time-out).
bool PumpUntilOrFail(bool (*done)(void*), void* arg);

// A framework control that records the messages it handles and its
// PreTranslateMessage calls into `log`, prefixed with `name`. It records
// only keys, characters and WM_APP messages, which the tests send.
class RecordingControl : public fw::Window {
 public:
  RecordingControl(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  // Virtual key that this control's PreTranslateMessage swallows (0: none).
  WPARAM swallowKey = 0;

  bool PreTranslateMessage(MSG* msg) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Log& log_;
  std::string name_;
};

bool IsRecorded(UINT msg);

}  // namespace fwtest
