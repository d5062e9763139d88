// The person at a terminal, for tillbook-cli: every message box is one line "MSG <text>" on the
// standard error (line breaks written as \n); questions take the next queued answer, then the
// default answer. Input boxes and list choices are cancelled; progress is silent.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/ui_services.h"

namespace tillbook::cli {

// Appends the answers of an `--answers` list ("yes,no,sì,ok,cancel", any case) to `answers`;
// false at an item that is no answer.
bool ParseAnswers(const std::string& list, std::vector<bool>& answers);

class ConsoleUi : public engine::UiServices {
 public:
  ConsoleUi(std::ostream& err, std::vector<bool> answers, bool defaultYes)
      : err_(err), answers_(std::move(answers)), defaultYes_(defaultYes) {}

  engine::Answer MessageBox(std::string_view text, engine::Buttons buttons, engine::Icon icon,
                            int defaultButton, std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  std::optional<size_t> SelectFromList(std::string_view, std::string_view,
                                       const std::vector<std::string>&) override {
    return std::nullopt;
  }
  void ProgressStart(std::string_view, int) override {}
  bool ProgressStep(int, std::string_view) override { return true; }
  void ProgressEnd() override {}
  void SetStatusText(std::string_view) override {}
  void Beep() override {}

 private:
  std::ostream& err_;
  std::vector<bool> answers_;
  size_t next_ = 0;
  bool defaultYes_;
};

}  // namespace tillbook::cli
