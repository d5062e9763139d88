#include "fiscal/ui/frmFiscalOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"
#include "fiscal/fiscal_settings.h"

namespace tillbook::ui {

namespace {

// A field of at most `digits` digits, as the register's numbers are.
QLineEdit* NewDigitsField(QWidget* parent, const char* name, int digits) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), field));
  field->setMaxLength(digits);
  field->setAlignment(Qt::AlignRight);
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 4));
  return field;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

frmFiscalOptions::frmFiscalOptions(fiscal::FiscalOptionsEditor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("frmFiscalOptions"));
  setWindowTitle(QStringLiteral("Impostazione registratore di cassa"));
  setWindowIcon(ProgramIcon());
  auto* outer = new QVBoxLayout(this);
  controls_ = new QWidget(this);
  outer->addWidget(controls_);
  auto* layout = new QVBoxLayout(controls_);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);

  type_ = new QComboBox(controls_);
  type_->setObjectName(QStringLiteral("cmbRegType"));
  for (const auto& item : fiscal::DeviceTypes()) type_->addItem(Q(item.listText), item.code);
  port_ = new QComboBox(controls_);
  port_->setObjectName(QStringLiteral("cboCOMPortReg"));
  port_->addItem(QStringLiteral("[nessuno]"));
  for (int i = 1; i <= 8; ++i) port_->addItem(QStringLiteral("COM%1").arg(i));
  portParam_ = new QComboBox(controls_);
  portParam_->setObjectName(QStringLiteral("txtCOMParamReg"));
  portParam_->setEditable(true);
  portParam_->setInsertPolicy(QComboBox::NoInsert);
  portParam_->setMinimumContentsLength(12);
  portParam_->addItems({QStringLiteral("9600,n,8,1"), QStringLiteral("9600,e,7,1")});
  portParam_->setToolTip(QStringLiteral(
      "Imposta i parametri della porta seriale (Velocità, Parità, Numero Bit, Bit di stop)"));
  commandWait_ = NewDigitsField(controls_, "mebTmCmdReg", 5);
  timeout_ = NewDigitsField(controls_, "mebTimeoutReg", 5);
  department_ = NewDigitsField(controls_, "mebDepartmentReg", 5);
  department_->setToolTip(
      QStringLiteral("Codice del reparto predefinito della cassa (0 per nessuno)"));
  descriptionLen_ = NewDigitsField(controls_, "mebMaxDescrLen", 3);
  descriptionLen_->setToolTip(
      QStringLiteral("Lunghezza massima delle descrizioni nello scontrino (in caratteri)"));

  const std::pair<QString, QWidget*> rows[] = {
      {QStringLiteral("Tipo / Modello:"), type_},
      {QStringLiteral("Porta di comunicazione:"), port_},
      {QStringLiteral("Parametri porta:"), portParam_},
      {QStringLiteral("Attesa tra i comandi (ms):"), commandWait_},
      {QStringLiteral("Timeout ricezione risposte (ms):"), timeout_},
      {QStringLiteral("Reparto predefinito:"), department_},
      {QStringLiteral("Lunghezza descrizioni:"), descriptionLen_},
  };
  int row = 0;
  for (const auto& [text, widget] : rows) {
    auto* label = new QLabel(text, controls_);
    label->setBuddy(widget);
    grid->addWidget(label, row, 0);
    grid->addWidget(widget, row++, 1, Qt::AlignLeft);
  }
  grid->setColumnStretch(1, 1);
  type_->setMinimumContentsLength(30);

  conversion_ = new QCheckBox(controls_);
  conversion_->setObjectName(QStringLiteral("chkCurConvReg"));
  conversion_->setToolTip(
      QStringLiteral("Invia gli importi al registratore con valuta di conversione"));
  if (const auto& currency = editor_.conversionCurrency()) {
    conversion_->setText(Q(fiscal::ConversionCaption(*currency)));
  } else {
    conversion_->setText(QStringLiteral("Usa valuta di conversione"));
    conversion_->setVisible(false);
  }
  sendDescription_ =
      new QCheckBox(QStringLiteral("Invia descrizioni al registratore di cassa"), controls_);
  sendDescription_->setObjectName(QStringLiteral("chkSendDescrReg"));
  sendDescription_->setToolTip(
      QStringLiteral("Invia la descrizione degli articoli al registratore di cassa"));
  layout->addWidget(conversion_);
  layout->addWidget(sendDescription_);

  auto* buttons = new QHBoxLayout;
  auto* test = NewButton(controls_, "cmdTest", QStringLiteral("&Test"));
  test->setToolTip(QStringLiteral("Invia uno scontrino di prova al registratore di cassa"));
  auto* info = NewButton(controls_, "cmdInfo", QStringLiteral("Informazioni"));
  auto* ok = NewButton(controls_, "cmdOK", QStringLiteral("&OK"));
  auto* cancel = NewButton(controls_, "cmdCancel", QStringLiteral("&Esci"));
  ok->setDefault(true);
  buttons->addWidget(test);
  buttons->addWidget(info);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(type_, &QComboBox::currentIndexChanged, this, [this] { EnableRegControls(); });
  connect(port_, &QComboBox::currentIndexChanged, this, [this] { EnableRegControls(); });
  connect(test, &QPushButton::clicked, this, [this] { Test(); });
  connect(info, &QPushButton::clicked, this, [this] { editor_.ShowInfo(Values()); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  Fill(editor_.Load());
  adjustSize();
}

frmFiscalOptions::~frmFiscalOptions() = default;

void frmFiscalOptions::Fill(const fiscal::FiscalOptionsValues& v) {
  filling_ = true;
  type_->setCurrentIndex(v.typeIndex);
  port_->setCurrentIndex(v.portIndex);
  portParam_->setCurrentText(Q(v.portParam));
  commandWait_->setText(Q(v.commandWait));
  timeout_->setText(Q(v.timeout));
  department_->setText(Q(v.department));
  descriptionLen_->setText(Q(v.descriptionLen));
  conversion_->setChecked(v.currencyConversion);
  sendDescription_->setChecked(v.sendDescription);
  filling_ = false;
  EnableRegControls();
}

fiscal::FiscalOptionsValues frmFiscalOptions::Values() const {
  fiscal::FiscalOptionsValues v;
  v.typeIndex = type_->currentIndex();
  v.portIndex = port_->currentIndex();
  v.portParam = S(portParam_->currentText());
  v.commandWait = S(commandWait_->text());
  v.timeout = S(timeout_->text());
  v.department = S(department_->text());
  v.descriptionLen = S(descriptionLen_->text());
  v.currencyConversion = editor_.conversionCurrency() && conversion_->isChecked();
  v.sendDescription = sendDescription_->isChecked();
  return v;
}

void frmFiscalOptions::EnableRegControls() {
  if (filling_) return;
  fiscal::FiscalOptionsValues v = Values();
  const fiscal::FiscalControlsEnabled on = fiscal::EnableRegControls(v);
  if (port_->currentIndex() != v.portIndex) {
    // Moving the port runs the rules again through the port's own change.
    port_->setCurrentIndex(v.portIndex);
    return;
  }
  port_->setEnabled(on.portList);
  portParam_->setEnabled(on.portParam);
  timeout_->setEnabled(on.timeout);
  commandWait_->setEnabled(on.commandWait);
  for (QWidget* w : {static_cast<QWidget*>(department_), static_cast<QWidget*>(descriptionLen_),
                     static_cast<QWidget*>(conversion_), static_cast<QWidget*>(sendDescription_)})
    w->setEnabled(on.options);
}

void frmFiscalOptions::SetWorking(bool working) {
  controls_->setEnabled(!working);
  if (working)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void frmFiscalOptions::Test() {
  editor_.SendTestReceipt(Values(), [this](bool working) { SetWorking(working); });
}

void frmFiscalOptions::accept() {
  if (editor_.Confirm(Values())) QDialog::accept();
}

}  // namespace tillbook::ui
