// The toolkit's own texts: captions of message boxes and their buttons, the
// texts of the folder selection dialog and the standard button captions.
//
// Every message box and folder dialog of every UI backend takes its texts from
// this table, so the program can switch them to its interface language
// (SetToolkitText). Until then they hold the toolkit's English texts. The
// table holds 8-bit ANSI text, as the rest of the program.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace platform {

enum class ToolkitText {
  // Folder selection dialog.
  kFolderCreateQuestion,  // "The specified directory does not exist. Create it?"
  kFolderCaption,         // "Select Directory"
  kFolderNameLabel,       // "Directory &Name:"
  kFolderDrivesLabel,     // "D&rives:"
  kFolderTreeLabel,       // "&Directories:"
  kFolderFilesLabel,      // "&Files: (*.*)"
  kFolderNetworkButton,   // "Ne&twork..."
  // Message box captions, by kind.
  kCaptionWarning,
  kCaptionError,
  kCaptionInformation,
  kCaptionConfirm,
  // Message box buttons.
  kMsgButtonYes,
  kMsgButtonNo,
  kMsgButtonCancel,
  kMsgButtonRetry,
  kMsgButtonIgnore,
  // Standard button captions (the Yes, No and Cancel buttons of dialogs other
  // than message boxes, such as the folder dialog's Cancel).
  kStdButtonYes,
  kStdButtonNo,
  kStdButtonCancel,
};
inline constexpr int kToolkitTextCount = static_cast<int>(ToolkitText::kStdButtonCancel) + 1;

// Replaces one text from now on.
void SetToolkitText(ToolkitText id, std::string_view text);
// The text in force.
const std::string& GetToolkitText(ToolkitText id);
// Restores every text to the toolkit's English default.
void ResetToolkitTexts();

// What a message box shows: the caption of a kind (empty for kNone) and the
// caption of one button (one flag of MsgButtons). "OK", "Abort" and "All" are
// not in the table and keep their English captions.
std::string MessageCaption(MsgKind kind);
std::string MessageButtonText(MsgButtons button);

}  // namespace platform
