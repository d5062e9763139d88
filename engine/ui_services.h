// What the logic may ask of the person: message boxes, an input box, a choice from a list, a
// progress window with a Stop button, the status text and a beep. The desktop program implements
// it with windows; tests and the command line use other implementations, so no logic ever needs
// a window of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::engine {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Shows `text` with the given buttons; `defaultButton` is the 0-based button taken by Enter.
  virtual Answer MessageBox(std::string_view text, Buttons buttons = Buttons::Ok,
                            Icon icon = Icon::None, int defaultButton = 0,
                            std::string_view title = {}) = 0;
  // nullopt when the person cancels.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title = {},
                                              std::string_view defaultText = {}) = 0;
  // Index of the chosen item, nullopt when cancelled.
  virtual std::optional<size_t> SelectFromList(std::string_view title, std::string_view prompt,
                                               const std::vector<std::string>& items) = 0;
  virtual void ProgressStart(std::string_view title, int total) = 0;
  // Returns false when the person pressed Stop.
  virtual bool ProgressStep(int done, std::string_view text = {}) = 0;
  virtual void ProgressEnd() = 0;
  virtual void SetStatusText(std::string_view text) = 0;
  virtual void Beep() = 0;

  // Helpers over MessageBox.
  void Inform(std::string_view text, std::string_view title = {}) {
    MessageBox(text, Buttons::Ok, Icon::Information, 0, title);
  }
  void Warn(std::string_view text, std::string_view title = {}) {
    MessageBox(text, Buttons::Ok, Icon::Exclamation, 0, title);
  }
  bool AskYesNo(std::string_view text, std::string_view title = {}, int defaultButton = 0) {
    return MessageBox(text, Buttons::YesNo, Icon::Question, defaultButton, title) == Answer::Yes;
  }
};

// Stands in for the person in tests and headless runs: records every exchange as one line of
// text and answers from a queue; when the queue is empty, questions take the default answer
// (the first button unless set otherwise) and input boxes are cancelled.
class ScriptedUi : public UiServices {
 public:
  // Queued answers, taken in order by MessageBox calls with more than one button.
  void QueueAnswer(Answer a) { answers_.push_back(a); }
  void QueueInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
  void QueueSelection(std::optional<size_t> index) { selections_.push_back(index); }
  // Press Stop at the given progress step (1-based count of ProgressStep calls); 0: never.
  void StopProgressAt(int step) { stopAt_ = step; }
  void SetDefaultAnswer(std::optional<Answer> a) { defaultAnswer_ = a; }

  // Every exchange so far, one line each: "MSG <text>", "ASK <text> -> Yes", "INPUT <prompt> ->
  // <text>", "SELECT <title> -> <item>", "STATUS <text>", "BEEP", "PROGRESS ...".
  const std::vector<std::string>& log() const { return log_; }
  // The texts of message boxes only, in order.
  const std::vector<std::string>& messages() const { return messages_; }
  void Clear();

  Answer MessageBox(std::string_view text, Buttons buttons, Icon icon, int defaultButton,
                    std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<size_t> SelectFromList(std::string_view title, std::string_view prompt,
                                       const std::vector<std::string>& items) override;
  void ProgressStart(std::string_view title, int total) override;
  bool ProgressStep(int done, std::string_view text) override;
  void ProgressEnd() override;
  void SetStatusText(std::string_view text) override;
  void Beep() override;

 private:
  std::vector<Answer> answers_;
  size_t nextAnswer_ = 0;
  std::vector<std::optional<std::string>> inputs_;
  size_t nextInput_ = 0;
  std::vector<std::optional<size_t>> selections_;
  size_t nextSelection_ = 0;
  std::optional<Answer> defaultAnswer_;
  int stopAt_ = 0;
  int steps_ = 0;
  std::vector<std::string> log_;
  std::vector<std::string> messages_;
};

const char* AnswerName(Answer a);

}  // namespace tillbook::engine
