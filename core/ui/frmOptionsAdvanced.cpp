#include "core/ui/frmOptionsAdvanced.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"
#include "engine/ui_services.h"

namespace tillbook::ui {

namespace {

struct Switch {
  const char* name;
  const char* text;
  bool core::Configuration::*member;
};

// In the window's order.
constexpr Switch kSwitches[] = {
    {"UseTransaction", "Usa le &transazioni", &core::Configuration::UseTransaction},
    {"EnableGenericLabel", "Etichette &generiche", &core::Configuration::EnableGenericLabel},
    {"Use_Agenti", "Gestione a&genti", &core::Configuration::Use_Agenti},
    {"Use_NoMagazzino", "Articoli &fuori magazzino", &core::Configuration::Use_NoMagazzino},
    {"Use_Ordini", "Gestione &ordini", &core::Configuration::Use_Ordini},
    {"Use_Valuta", "Gestione &valute", &core::Configuration::Use_Valuta},
    {"Use_Zone", "&Zone geografiche", &core::Configuration::Use_Zone},
    {"Use_AdvancedMigrationExport", "&Migrazione ed esportazione avanzate",
     &core::Configuration::Use_AdvancedMigrationExport},
    {"AcquireNEXTSHOP", "Importazione da &Next Shop", &core::Configuration::AcquireNEXTSHOP},
    {"AcquireBrenlow", "Importazione archivio &Brenlow", &core::Configuration::AcquireBrenlow},
};

constexpr const char* kAccessModes[] = {"&Condiviso", "&Esclusivo", "Sola &lettura"};

}  // namespace

frmOptionsAdvanced::frmOptionsAdvanced(const core::Configuration& config, engine::UiServices& ui,
                                       std::function<void(const core::Configuration&)> confirm,
                                       QWidget* parent)
    : QDialog(parent), start_(config), ui_(ui), confirm_(std::move(confirm)) {
  setObjectName(QStringLiteral("frmOptionsAdvanced"));
  setWindowTitle(QStringLiteral("Opzioni avanzate"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  auto* access = new QGroupBox(QStringLiteral("Modalità di accesso all'archivio"), this);
  auto* accessLayout = new QVBoxLayout(access);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kAccessModes[i]), access);
    r->setObjectName(QStringLiteral("optAccessMode%1").arg(i));
    group->addButton(r, i);
    accessLayout->addWidget(r);
  }
  if (auto* r = accessMode(config.AccessMode)) r->setChecked(true);
  layout->addWidget(access);
  auto* tables = new QGroupBox(QStringLiteral("Funzioni e tabelle"), this);
  auto* tablesLayout = new QVBoxLayout(tables);
  for (const auto& s : kSwitches) {
    auto* b = new QCheckBox(QString::fromUtf8(s.text), tables);
    b->setObjectName(QLatin1String(s.name));
    b->setChecked(config.*s.member);
    tablesLayout->addWidget(b);
  }
  layout->addWidget(tables);
  auto* note =
      new QLabel(QStringLiteral("Le modifiche alle tabelle hanno effetto alla prossima apertura "
                                "dell'archivio."),
                 this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // The warning comes with the click that clears the box, before anything is stored.
  connect(box("Use_Zone"), &QCheckBox::toggled, this, [this](bool on) {
    if (!on) ui_.Warn(core::kUseZoneClearedWarning);
  });
}

QCheckBox* frmOptionsAdvanced::box(const char* name) const {
  return findChild<QCheckBox*>(QLatin1String(name));
}

QRadioButton* frmOptionsAdvanced::accessMode(int mode) const {
  return findChild<QRadioButton*>(QStringLiteral("optAccessMode%1").arg(mode));
}

core::Configuration frmOptionsAdvanced::Edited() const {
  core::Configuration c = start_;
  for (int i = 0; i < 3; ++i)
    if (accessMode(i)->isChecked()) c.AccessMode = i;
  for (const auto& s : kSwitches) c.*s.member = box(s.name)->isChecked();
  return c;
}

void frmOptionsAdvanced::accept() {
  if (confirm_) confirm_(Edited());
  QDialog::accept();
}

}  // namespace tillbook::ui
