#include <cstdio>
#include <deque>

#include "platform/codepage.h"
#include "platform/ui.h"

namespace platform {
namespace {

class HeadlessUi final : public Ui {
 public:
  ModalResult ShowMessage(std::string_view text, std::string_view caption, MsgKind, unsigned buttons) override {
    ++count_;
    last_ = std::string(text);
    ModalResult answer = DefaultAnswer(buttons);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    if (!quiet_)
      std::fprintf(stderr, "[%s] %s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(text).c_str());
    return answer;
  }
  void ProcessMessages() override {}
  void SetCursor(Cursor) override {}
  bool OpenFileDialog(std::string_view, std::string_view, std::string_view, std::string& chosen) override {
    return NextChoice(chosen);
  }
  bool SelectFolderDialog(std::string_view, std::string& folder) override { return NextChoice(folder); }

  std::deque<ModalResult> answers_;
  std::deque<std::string> choices_;
  bool quiet_ = false;
  int count_ = 0;
  std::string last_;

 private:
  static ModalResult DefaultAnswer(unsigned buttons) {
    if (buttons & kBtnCancel) return ModalResult::kCancel;
    if (buttons & kBtnNo) return ModalResult::kNo;
    if (buttons & kBtnAbort) return ModalResult::kAbort;
    return ModalResult::kOk;
  }
  bool NextChoice(std::string& out) {
    if (choices_.empty()) return false;
    out = choices_.front();
    choices_.pop_front();
    return !out.empty();
  }
};

HeadlessUi& Headless() {
  static HeadlessUi ui;
  return ui;
}

Ui* g_ui = nullptr;

}  // namespace

Ui& CurrentUi() { return g_ui != nullptr ? *g_ui : Headless(); }
void SetUi(Ui* ui) { g_ui = ui; }
void QueueAnswer(ModalResult answer) { Headless().answers_.push_back(answer); }
void QueueDialogAnswer(std::string_view choice) { Headless().choices_.emplace_back(choice); }
void SetHeadlessQuiet(bool quiet) { Headless().quiet_ = quiet; }
int HeadlessQuestionCount() { return Headless().count_; }
std::string LastHeadlessMessage() { return Headless().last_; }

}  // namespace platform
