#include "cli/console_ui.h"

#include <ostream>

#include "base/text.h"

namespace tillbook::cli {

bool ParseAnswers(const std::string& list, std::vector<bool>& answers) {
  for (const std::string& item : text::Split(list, ',')) {
    const std::string a = text::Lower(text::Trim(item));
    if (a == "yes" || a == "si" || a == "sì" || a == "ok")
      answers.push_back(true);
    else if (a == "no" || a == "cancel")
      answers.push_back(false);
    else
      return false;
  }
  return true;
}

using engine::Answer;
using engine::Buttons;

engine::Answer ConsoleUi::MessageBox(std::string_view text, Buttons buttons, engine::Icon,
                                     int, std::string_view) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      line += "\\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      line += "\\n";
    } else {
      line += text[i];
    }
  }
  err_ << "MSG " << line << '\n';
  if (buttons == Buttons::Ok) return Answer::Ok;  // nothing to answer: keeps the queue for questions
  const bool yes = next_ < answers_.size() ? answers_[next_++] : defaultYes_;
  switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel: return yes ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return yes ? Answer::Yes : Answer::No;
    case Buttons::RetryCancel: return yes ? Answer::Retry : Answer::Cancel;
    case Buttons::AbortRetryIgnore: return yes ? Answer::Retry : Answer::Abort;
  }
  return Answer::Ok;
}

}  // namespace tillbook::cli
