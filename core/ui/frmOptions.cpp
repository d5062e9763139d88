#include "core/ui/frmOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/ui/frmOptionsRound.h"
#include "core/ui/qt_text.h"

namespace tillbook::ui {

namespace {

QString TwoDecimals(double v) {
  return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

double AmountValue(const QLineEdit* field) {
  QString t = field->text().trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  return core::NumberValue(S(t));
}

QSpinBox* NewNumber(QWidget* parent, const char* name, int min, int max) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QLatin1String(name));
  s->setRange(min, max);
  return s;
}

QLineEdit* NewText(QWidget* parent, const char* name) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QLatin1String(name));
  return f;
}

// Print offsets are kept as typed text; the field takes a signed number only.
QLineEdit* NewOffset(QWidget* parent, const char* name) {
  auto* f = NewText(parent, name);
  f->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("-?[0-9]{0,6}([.,][0-9]{0,2})?")), f));
  f->setMaximumWidth(90);
  return f;
}

QCheckBox* NewBox(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QCheckBox(text, parent);
  b->setObjectName(QLatin1String(name));
  return b;
}

}  // namespace

frmOptions::frmOptions(core::Configuration& live, platform::SettingsStore& store,
                       engine::UiServices& ui, Commands commands, QWidget* parent)
    : QDialog(parent),
      live_(live),
      start_(live),
      store_(store),
      ui_(ui),
      commands_(std::move(commands)) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Opzioni"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);

  auto* general = new QGroupBox(QStringLiteral("Generali"), this);
  auto* form = new QFormLayout(general);
  auto* dirRow = new QHBoxLayout;
  auto* rootDir = NewText(general, "RootDir");
  rootDir->setMinimumWidth(320);
  dirRow->addWidget(rootDir);
  auto* browse = new QPushButton(QStringLiteral("S&foglia..."), general);
  browse->setObjectName(QStringLiteral("cmdRootDir"));
  dirRow->addWidget(browse);
  form->addRow(QStringLiteral("&Indirizzario di lavoro:"), dirRow);
  static_cast<QLabel*>(form->labelForField(dirRow))->setBuddy(rootDir);
  auto* password = NewText(general, "PasswordDB");
  password->setEchoMode(QLineEdit::Password);
  form->addRow(QStringLiteral("Pass&word database:"), password);
  form->addRow(QStringLiteral("Copie &scontrino non fiscale:"),
               NewNumber(general, "TicketCopiesNum", 0, 99));
  form->addRow(QStringLiteral("Cifre codice &clienti/fornitori:"),
               NewNumber(general, "ProgrLen_ClientiForn", 1, 20));
  form->addRow(QStringLiteral("Cifre codice &articoli:"),
               NewNumber(general, "ProgrLen_Articoli", 1, 20));
  form->addRow(QStringLiteral("&Unità di misura predefinita:"),
               NewText(general, "Default_UnitaMisura"));
  form->addRow(QStringLiteral("Codice I&VA predefinito:"), NewText(general, "Default_CodiceIVA"));
  form->addRow(QStringLiteral("Importo &massimo articolo:"),
               NewAmountField(general, QStringLiteral("ImportoMaxArticolo")));
  layout->addWidget(general);

  auto* print = new QGroupBox(QStringLiteral("Stampa su moduli prestampati"), this);
  auto* grid = new QGridLayout(print);
  grid->addWidget(new QLabel(QStringLiteral("Alto"), print), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Sinistra"), print), 0, 2);
  auto* sales = new QLabel(QStringLiteral("Ve&ndite:"), print);
  grid->addWidget(sales, 1, 0);
  auto* salesTop = NewOffset(print, "PrintVenditeTop");
  sales->setBuddy(salesTop);
  grid->addWidget(salesTop, 1, 1);
  grid->addWidget(NewOffset(print, "PrintVenditeLeft"), 1, 2);
  auto* riba = new QLabel(QStringLiteral("Ri.&Ba.:"), print);
  grid->addWidget(riba, 2, 0);
  auto* ribaTop = NewOffset(print, "PrintRibaTop");
  riba->setBuddy(ribaTop);
  grid->addWidget(ribaTop, 2, 1);
  grid->addWidget(NewOffset(print, "PrintRibaLeft"), 2, 2);
  layout->addWidget(print);

  auto* prices = new QGroupBox(QStringLiteral("Prezzi e avvisi"), this);
  auto* pform = new QFormLayout(prices);
  auto* roundRow = new QHBoxLayout;
  auto* roundValue = NewAmountField(prices, QStringLiteral("ValoreArrotondamento"));
  roundRow->addWidget(roundValue);
  auto* ranges = new QPushButton(QStringLiteral("Fasce di a&rrotondamento..."), prices);
  ranges->setObjectName(QStringLiteral("cmdRound"));
  roundRow->addWidget(ranges);
  pform->addRow(QStringLiteral("Valore arrotondamento prez&zi:"), roundRow);
  static_cast<QLabel*>(pform->labelForField(roundRow))->setBuddy(roundValue);
  pform->addRow(NewBox(prices, "ArrotondaInEccesso", QStringLiteral("Arrotonda in ecc&esso")));
  pform->addRow(NewBox(prices, "Request_Causale", QStringLiteral("Ric&hiedi la causale")));
  pform->addRow(NewBox(prices, "Notify_AssociazioneDocs",
                       QStringLiteral("Avvisa dell'associazione dei &documenti")));
  pform->addRow(NewBox(prices, "Notify_ListinoRicarico",
                       QStringLiteral("Avvisa dell'applicazione del &listino con ricarico")));
  layout->addWidget(prices);

  auto* buttons = new QDialogButtonBox(this);
  if (commands_.repair)
    buttons->addButton(QStringLiteral("Ri&pristino"), QDialogButtonBox::ActionRole)
        ->setObjectName(QStringLiteral("cmdRepair"));
  if (commands_.exportConfiguration)
    buttons->addButton(QStringLiteral("Salva Confi&gurazione..."), QDialogButtonBox::ActionRole)
        ->setObjectName(QStringLiteral("cmdExport"));
  if (commands_.importConfiguration)
    buttons->addButton(QStringLiteral("Carica C&onfigurazione..."), QDialogButtonBox::ActionRole)
        ->setObjectName(QStringLiteral("cmdImport"));
  auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(buttons);

  connect(browse, &QPushButton::clicked, this, [this] { ChooseRootDir(); });
  connect(ranges, &QPushButton::clicked, this, [this] { OpenRoundRanges(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (auto* b = button("cmdRepair"))
    connect(b, &QPushButton::clicked, this, [this] { commands_.repair(); });
  if (auto* b = button("cmdExport"))
    connect(b, &QPushButton::clicked, this, [this] { commands_.exportConfiguration(this); });
  if (auto* b = button("cmdImport"))
    connect(b, &QPushButton::clicked, this, [this] { commands_.importConfiguration(this); });
  Fill(live_);
}

QLineEdit* frmOptions::field(const char* name) const {
  return findChild<QLineEdit*>(QLatin1String(name));
}
QCheckBox* frmOptions::box(const char* name) const {
  return findChild<QCheckBox*>(QLatin1String(name));
}
QSpinBox* frmOptions::number(const char* name) const {
  return findChild<QSpinBox*>(QLatin1String(name));
}
QPushButton* frmOptions::button(const char* name) const {
  return findChild<QPushButton*>(QLatin1String(name));
}

void frmOptions::Fill(const core::Configuration& c) {
  field("RootDir")->setText(Q(c.RootDir));
  field("PasswordDB")->setText(Q(c.DatabasePassword()));
  number("TicketCopiesNum")->setValue(c.TicketCopiesNum);
  number("ProgrLen_ClientiForn")->setValue(c.ProgrLen_ClientiForn);
  number("ProgrLen_Articoli")->setValue(c.ProgrLen_Articoli);
  field("Default_UnitaMisura")->setText(Q(c.Default_UnitaMisura));
  field("Default_CodiceIVA")->setText(Q(c.Default_CodiceIVA));
  field("ImportoMaxArticolo")->setText(TwoDecimals(c.ImportoMaxArticolo));
  field("ValoreArrotondamento")->setText(TwoDecimals(c.ValoreArrotondamento));
  field("PrintVenditeTop")->setText(Q(c.PrintVenditeTop));
  field("PrintVenditeLeft")->setText(Q(c.PrintVenditeLeft));
  field("PrintRibaTop")->setText(Q(c.PrintRibaTop));
  field("PrintRibaLeft")->setText(Q(c.PrintRibaLeft));
  box("ArrotondaInEccesso")->setChecked(c.ArrotondaInEccesso);
  box("Request_Causale")->setChecked(c.Request_Causale);
  box("Notify_AssociazioneDocs")->setChecked(c.Notify_AssociazioneDocs);
  box("Notify_ListinoRicarico")->setChecked(c.Notify_ListinoRicarico);
}

core::Configuration frmOptions::Edited() const {
  core::Configuration c = start_;
  c.RootDir = S(field("RootDir")->text().trimmed());
  c.SetDatabasePassword(S(field("PasswordDB")->text()));
  c.TicketCopiesNum = number("TicketCopiesNum")->value();
  c.ProgrLen_ClientiForn = number("ProgrLen_ClientiForn")->value();
  c.ProgrLen_Articoli = number("ProgrLen_Articoli")->value();
  c.Default_UnitaMisura = S(field("Default_UnitaMisura")->text().trimmed());
  c.Default_CodiceIVA = S(field("Default_CodiceIVA")->text().trimmed());
  c.ImportoMaxArticolo = AmountValue(field("ImportoMaxArticolo"));
  c.ValoreArrotondamento = AmountValue(field("ValoreArrotondamento"));
  // Offsets are kept as text, with the "." the settings read back.
  for (auto [name, member] : {std::pair{"PrintVenditeTop", &core::Configuration::PrintVenditeTop},
                              std::pair{"PrintVenditeLeft", &core::Configuration::PrintVenditeLeft},
                              std::pair{"PrintRibaTop", &core::Configuration::PrintRibaTop},
                              std::pair{"PrintRibaLeft", &core::Configuration::PrintRibaLeft}}) {
    QString t = field(name)->text().trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    c.*member = t.isEmpty() ? std::string("0") : S(t);
  }
  c.ArrotondaInEccesso = box("ArrotondaInEccesso")->isChecked();
  c.Request_Causale = box("Request_Causale")->isChecked();
  c.Notify_AssociazioneDocs = box("Notify_AssociazioneDocs")->isChecked();
  c.Notify_ListinoRicarico = box("Notify_ListinoRicarico")->isChecked();
  // The ranges are the program's: their window stores them at once.
  c.RoundRanges = live_.RoundRanges;
  return c;
}

void frmOptions::accept() {
  if (!commands_.confirm || commands_.confirm(Edited())) QDialog::accept();
}

void frmOptions::ChooseRootDir() {
  if (auto dir =
          ChooseFolder(this, QStringLiteral("Indirizzario di lavoro"), S(field("RootDir")->text())))
    field("RootDir")->setText(Q(*dir));
}

void frmOptions::OpenRoundRanges() {
  frmOptionsRound round(live_, store_, ui_, this);
  round.exec();
}

}  // namespace tillbook::ui
