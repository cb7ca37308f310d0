// The user-interface services the program asks of its toolkit: message boxes,
// the message pump, cursors and the two file-system dialogs.
//
// One backend is in force at a time (SetUi). Until a window backend is set,
// a headless backend answers: it prints every question to stderr and gives the
// "no" answer of the box (Cancel, No, or OK when OK is the only button), or the
// answers queued with QueueAnswer, so that tests can drive it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class MsgKind { kNone, kWarning, kError, kInformation, kConfirmation };

// Button sets, as bit flags.
enum MsgButtons : unsigned {
  kBtnOk = 1u << 0,
  kBtnCancel = 1u << 1,
  kBtnYes = 1u << 2,
  kBtnNo = 1u << 3,
  kBtnAbort = 1u << 4,
  kBtnRetry = 1u << 5,
  kBtnIgnore = 1u << 6,
  kBtnAll = 1u << 7,
};

enum class ModalResult { kNone, kOk, kCancel, kYes, kNo, kAbort, kRetry, kIgnore, kAll };

enum class Cursor { kDefault, kHourGlass };

class Ui {
 public:
  virtual ~Ui() = default;
  // A modal message box; `caption` empty means the kind's own caption.
  virtual ModalResult ShowMessage(std::string_view text, std::string_view caption, MsgKind kind,
                                 unsigned buttons) = 0;
  // Handles pending window messages.
  virtual void ProcessMessages() = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  // File-open dialog. `filter` is "Text|*.pat|Text|*.pat". Returns false on Cancel.
  virtual bool OpenFileDialog(std::string_view title, std::string_view filter, std::string_view initial_dir,
                              std::string& chosen) = 0;
  // Folder selection dialog (creating a new folder allowed). Returns false on Cancel.
  virtual bool SelectFolderDialog(std::string_view caption, std::string& folder) = 0;
};

// The backend in force (never null: the headless one by default).
Ui& CurrentUi();
// Installs a backend (not owned); nullptr restores the headless one.
void SetUi(Ui* ui);

// Headless backend controls (tests and unattended runs).
void QueueAnswer(ModalResult answer);            // next message box answer
void QueueDialogAnswer(std::string_view choice);  // next dialog choice; "" means Cancel
void SetHeadlessQuiet(bool quiet);                // stop echoing questions to stderr
int HeadlessQuestionCount();                      // message boxes asked so far
std::string LastHeadlessMessage();                // text of the last message box

}  // namespace platform
