#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "core/ui/frmMessage.h"
#include "core/ui/qt_ui_services.h"
#include "core/ui/testing/modal.h"

namespace tillbook::ui {
namespace {

using engine::Answer;
using engine::Buttons;
using testing::ModalScript;

struct BoxCase {
  Buttons buttons;
  int defaultButton;
  std::vector<QString> texts;  // in order
  int press;                   // index of the button pressed
  Answer expected;
};

// Every button set: Italian texts in order, Enter's button where the logic put it, and the
// pressed button coming back as its answer.
TEST(QtUiServices, MessageBoxButtonsAreItalianWithTheirDefaultAndAnswer) {
  const BoxCase cases[] = {
      {Buttons::Ok, 0, {"OK"}, 0, Answer::Ok},
      {Buttons::OkCancel, 1, {"OK", "Annulla"}, 0, Answer::Ok},
      {Buttons::YesNo, 1, {"&Sì", "&No"}, 1, Answer::No},
      {Buttons::YesNo, 0, {"&Sì", "&No"}, 0, Answer::Yes},
      {Buttons::YesNoCancel, 2, {"&Sì", "&No", "Annulla"}, 2, Answer::Cancel},
      {Buttons::RetryCancel, 0, {"&Riprova", "Annulla"}, 0, Answer::Retry},
      {Buttons::AbortRetryIgnore, 2, {"&Interrompi", "&Riprova", "I&gnora"}, 2, Answer::Ignore},
  };
  frmMessage progress;
  QtUiServices ui(progress);
  for (const auto& c : cases) {
    ModalScript script;
    QString defaultText;
    std::vector<QString> texts;
    script.Then("MessageBox", [&](QWidget* w) {
      auto* box = static_cast<QMessageBox*>(w);
      defaultText = box->defaultButton()->text();
      // Buttons in the order the box lays them out would differ by platform: read them in the
      // order they were added.
      for (auto* b : box->buttons()) texts.push_back(b->text());
      testing::Click(w, c.texts[c.press]);
    });
    const Answer a =
        ui.MessageBox("Domanda", c.buttons, engine::Icon::Question, c.defaultButton, "Titolo");
    EXPECT_EQ(a, c.expected);
    EXPECT_EQ(defaultText, c.texts[c.defaultButton]);
    std::sort(texts.begin(), texts.end());
    auto expected = c.texts;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(texts, expected);
    EXPECT_TRUE(script.unexpected().empty());
  }
}

TEST(QtUiServices, EscapeTakesNoOrCancel) {
  frmMessage progress;
  QtUiServices ui(progress);
  for (auto [buttons, expected] :
       {std::pair{Buttons::YesNo, Answer::No}, std::pair{Buttons::OkCancel, Answer::Cancel},
        std::pair{Buttons::YesNoCancel, Answer::Cancel}}) {
    ModalScript script;
    script.Then("MessageBox", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ui.MessageBox("Uscire ?", buttons, engine::Icon::Question, 0, {}), expected);
  }
}

TEST(QtUiServices, InputBoxAndSelectionListReturnWhatWasChosen) {
  frmMessage progress;
  QtUiServices ui(progress);
  {
    ModalScript script;
    script.Then("InputBox", [](QWidget* w) {
      auto* d = static_cast<QInputDialog*>(w);
      EXPECT_EQ(d->textValue(), "proposto");
      d->setTextValue("scritto");
      testing::Click(w, "OK");
    });
    EXPECT_EQ(ui.InputBox("Codice:", "Titolo", "proposto"), std::optional<std::string>("scritto"));
  }
  {
    ModalScript script;
    script.Then("InputBox", [](QWidget* w) { testing::Click(w, "Annulla"); });
    EXPECT_EQ(ui.InputBox("Codice:", {}, {}), std::nullopt);
  }
  {
    ModalScript script;
    script.Then("SelectFromList", [](QWidget* w) {
      w->findChild<QListWidget*>()->setCurrentRow(2);
      testing::Click(w, "OK");
    });
    EXPECT_EQ(ui.SelectFromList("Scelta", "Quale ?", {"a", "b", "c"}), std::optional<size_t>(2));
  }
  {
    ModalScript script;
    script.Then("SelectFromList", [](QWidget* w) { testing::Click(w, "Annulla"); });
    EXPECT_EQ(ui.SelectFromList("Scelta", "Quale ?", {"a"}), std::nullopt);
  }
}

// A job that runs on the UI thread in steps: Stop pressed while it runs must end it at the next
// step, and the window must show the job's progress meanwhile.
TEST(QtUiServices, ProgressStopIsHeardBetweenSteps) {
  frmMessage progress;
  QtUiServices ui(progress);
  int goAfterClick = 0;
  bool clicked = false;
  QTimer::singleShot(60, &progress, [&] {
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.stopButton()->isVisible());
    QTest::mouseClick(progress.stopButton(), Qt::LeftButton);
    clicked = true;
  });
  ui.ProgressStart("Ricalcolo", 1000);
  EXPECT_TRUE(progress.isModal());
  int done = 0;
  for (; done < 1000; ++done) {
    const bool go = ui.ProgressStep(done, "Articolo " + std::to_string(done));
    if (clicked && go) ++goAfterClick;
    if (!go) break;
    QThread::msleep(2);
  }
  ui.ProgressEnd();
  EXPECT_TRUE(clicked);
  EXPECT_LT(done, 1000) << "Stop was not seen";
  EXPECT_EQ(goAfterClick, 0) << "a step after the click went on";
  EXPECT_FALSE(progress.isVisible());
  // A new job starts without the old Stop.
  ui.ProgressStart("Altro", 3);
  EXPECT_TRUE(ui.ProgressStep(1, {}));
  ui.ProgressEnd();
}

TEST(QtUiServices, StatusTextGoesToItsSink) {
  frmMessage progress;
  QtUiServices ui(progress);
  QString shown = "x";
  ui.SetStatusText("nessuno");  // no sink yet: nothing to do, nothing to fail
  ui.SetStatusSink([&](const QString& t) { shown = t; });
  ui.SetStatusText("Pronto à");
  EXPECT_EQ(shown, QString::fromUtf8("Pronto à"));
}

}  // namespace
}  // namespace tillbook::ui
