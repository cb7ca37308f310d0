#include <gtest/gtest.h>

#include "platform/ui_texts.h"

namespace platform {
namespace {

class UiTextsTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetToolkitTexts(); }
};

TEST_F(UiTextsTest, MessageBoxesTakeTheirTextsFromTheTable) {
  EXPECT_EQ(MessageCaption(MsgKind::kWarning), "Warning");
  EXPECT_EQ(MessageCaption(MsgKind::kConfirmation), "Confirm");
  EXPECT_EQ(MessageCaption(MsgKind::kNone), "");
  EXPECT_EQ(MessageButtonText(kBtnYes), "&Yes");
  SetToolkitText(ToolkitText::kCaptionError, "Fehler");
  SetToolkitText(ToolkitText::kMsgButtonRetry, "Nochmal");
  SetToolkitText(ToolkitText::kMsgButtonIgnore, "Weiter");
  EXPECT_EQ(MessageCaption(MsgKind::kError), "Fehler");
  EXPECT_EQ(MessageButtonText(kBtnRetry), "Nochmal");
  EXPECT_EQ(MessageButtonText(kBtnIgnore), "Weiter");
  EXPECT_EQ(MessageButtonText(kBtnOk), "OK");  // not in the table
}

TEST_F(UiTextsTest, MessageButtonsAndStandardButtonsAreSeparateRows) {
  SetToolkitText(ToolkitText::kMsgButtonCancel, "X");
  EXPECT_EQ(MessageButtonText(kBtnCancel), "X");
  EXPECT_EQ(GetToolkitText(ToolkitText::kStdButtonCancel), "Cancel");
}

TEST_F(UiTextsTest, ResetRestoresTheDefaults) {
  SetToolkitText(ToolkitText::kFolderCaption, "Ordner");
  ResetToolkitTexts();
  EXPECT_EQ(GetToolkitText(ToolkitText::kFolderCaption), "Select Directory");
}

}  // namespace
}  // namespace platform
