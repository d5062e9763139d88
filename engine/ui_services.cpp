#include "engine/ui_services.h"

#include <string>

namespace tillbook::engine {

namespace {

std::vector<Answer> ButtonAnswers(Buttons b) {
  switch (b) {
    case Buttons::Ok: return {Answer::Ok};
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
  }
  return {Answer::Ok};
}

}  // namespace

const char* AnswerName(Answer a) {
  switch (a) {
    case Answer::Ok: return "Ok";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    case Answer::Retry: return "Retry";
    case Answer::Abort: return "Abort";
    case Answer::Ignore: return "Ignore";
  }
  return "?";
}

void ScriptedUi::Clear() {
  log_.clear();
  messages_.clear();
}

Answer ScriptedUi::MessageBox(std::string_view text, Buttons buttons, Icon, int defaultButton,
                              std::string_view) {
  messages_.emplace_back(text);
  const auto allowed = ButtonAnswers(buttons);
  if (allowed.size() == 1) {
    log_.push_back("MSG " + std::string(text));
    return allowed.front();
  }
  Answer a;
  if (nextAnswer_ < answers_.size()) {
    a = answers_[nextAnswer_++];
  } else if (defaultAnswer_) {
    a = *defaultAnswer_;
  } else {
    a = allowed[static_cast<size_t>(defaultButton) < allowed.size() ? defaultButton : 0];
  }
  log_.push_back("ASK " + std::string(text) + " -> " + AnswerName(a));
  return a;
}

std::optional<std::string> ScriptedUi::InputBox(std::string_view prompt, std::string_view,
                                                std::string_view) {
  std::optional<std::string> r;
  if (nextInput_ < inputs_.size()) r = inputs_[nextInput_++];
  log_.push_back("INPUT " + std::string(prompt) + " -> " + (r ? *r : std::string("<annulla>")));
  return r;
}

std::optional<size_t> ScriptedUi::SelectFromList(std::string_view title, std::string_view,
                                                 const std::vector<std::string>& items) {
  std::optional<size_t> r;
  if (nextSelection_ < selections_.size()) r = selections_[nextSelection_++];
  if (r && *r >= items.size()) r.reset();
  log_.push_back("SELECT " + std::string(title) + " -> " + (r ? items[*r] : "<annulla>"));
  return r;
}

void ScriptedUi::ProgressStart(std::string_view title, int total) {
  steps_ = 0;
  log_.push_back("PROGRESS " + std::string(title) + " " + std::to_string(total));
}

bool ScriptedUi::ProgressStep(int, std::string_view) {
  ++steps_;
  if (stopAt_ > 0 && steps_ >= stopAt_) {
    log_.push_back("STOP");
    return false;
  }
  return true;
}

void ScriptedUi::ProgressEnd() { log_.push_back("PROGRESS END"); }
void ScriptedUi::SetStatusText(std::string_view text) {
  log_.push_back("STATUS " + std::string(text));
}
void ScriptedUi::Beep() { log_.push_back("BEEP"); }

}  // namespace tillbook::engine
