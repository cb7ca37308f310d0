#include "platform/ui_texts.h"

#include <array>

namespace platform {
namespace {

// The toolkit's English defaults, in the order of ToolkitText.
constexpr std::array<std::string_view, kToolkitTextCount> kDefaults = {
    "The specified directory does not exist. Create it?",
    "Select Directory",
    "Directory &Name:",
    "D&rives:",
    "&Directories:",
    "&Files: (*.*)",
    "Ne&twork...",
    "Warning",
    "Error",
    "Information",
    "Confirm",
    "&Yes",
    "&No",
    "Cancel",
    "&Retry",
    "&Ignore",
    "&Yes",
    "&No",
    "Cancel",
};

std::array<std::string, kToolkitTextCount>& Table() {
  static std::array<std::string, kToolkitTextCount> table = [] {
    std::array<std::string, kToolkitTextCount> t;
    for (int i = 0; i < kToolkitTextCount; ++i) t[i] = std::string(kDefaults[i]);
    return t;
  }();
  return table;
}

}  // namespace

void SetToolkitText(ToolkitText id, std::string_view text) { Table()[static_cast<int>(id)] = std::string(text); }

const std::string& GetToolkitText(ToolkitText id) { return Table()[static_cast<int>(id)]; }

void ResetToolkitTexts() {
  for (int i = 0; i < kToolkitTextCount; ++i) Table()[i] = std::string(kDefaults[i]);
}

std::string MessageCaption(MsgKind kind) {
  switch (kind) {
    case MsgKind::kWarning:
      return GetToolkitText(ToolkitText::kCaptionWarning);
    case MsgKind::kError:
      return GetToolkitText(ToolkitText::kCaptionError);
    case MsgKind::kInformation:
      return GetToolkitText(ToolkitText::kCaptionInformation);
    case MsgKind::kConfirmation:
      return GetToolkitText(ToolkitText::kCaptionConfirm);
    case MsgKind::kNone:
      break;
  }
  return {};
}

std::string MessageButtonText(MsgButtons button) {
  switch (button) {
    case kBtnOk:
      return "OK";
    case kBtnCancel:
      return GetToolkitText(ToolkitText::kMsgButtonCancel);
    case kBtnYes:
      return GetToolkitText(ToolkitText::kMsgButtonYes);
    case kBtnNo:
      return GetToolkitText(ToolkitText::kMsgButtonNo);
    case kBtnAbort:
      return "&Abort";
    case kBtnRetry:
      return GetToolkitText(ToolkitText::kMsgButtonRetry);
    case kBtnIgnore:
      return GetToolkitText(ToolkitText::kMsgButtonIgnore);
    case kBtnAll:
      return "&All";
  }
  return {};
}

}  // namespace platform
