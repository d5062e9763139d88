// The UI services on Qt: message boxes with Italian buttons, the input box, the selection list
// and the progress window. Windows they open are owned by the active window (the modal one
// first), so a message raised while the password window is open sits over it.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "engine/ui_services.h"

class QWidget;

namespace tillbook::ui {

class frmMessage;

// The button texts in the order the logic counts them (default button index).
std::vector<QString> ButtonTexts(engine::Buttons buttons);

class QtUiServices : public engine::UiServices {
 public:
  explicit QtUiServices(frmMessage& progress);

  // Where status texts go (the main window's status bar); none until set.
  void SetStatusSink(std::function<void(const QString&)> sink) { status_ = std::move(sink); }
  // The owner of windows opened when no window is active (the main window once shown).
  void SetFallbackOwner(QWidget* owner) { fallbackOwner_ = owner; }

  engine::Answer MessageBox(std::string_view text, engine::Buttons buttons, engine::Icon icon,
                            int defaultButton, std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<size_t> SelectFromList(std::string_view title, std::string_view prompt,
                                       const std::vector<std::string>& items) override;
  void ProgressStart(std::string_view title, int total) override;
  bool ProgressStep(int done, std::string_view text) override;
  void ProgressEnd() override;
  void SetStatusText(std::string_view text) override;
  void Beep() override;

  QWidget* Owner() const;

 private:
  frmMessage& progress_;
  std::function<void(const QString&)> status_;
  QWidget* fallbackOwner_ = nullptr;
};

}  // namespace tillbook::ui
