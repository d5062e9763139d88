// Data panels on real archives, driven as a person drives them: typing into the editors,
// choosing through look-ups, adding and removing list rows in the row window. The refusals and
// questions of the tables' hooks come through a scripted person, so their exact texts and the
// values restored after them are checked; windows opened by the panel are answered by a modal
// script.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/testing/modal.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/DataPanel.h"
#include "engine/ui/GridModel.h"
#include "engine/ui/ListEditor.h"
#include "engine/ui/ReferenceLookup.h"
#include "engine/ui/field_editor.h"
#include "engine/ui/panel_layout.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::engine::ui {
namespace {

namespace fs = std::filesystem;
using tillbook::ui::testing::Click;
using tillbook::ui::testing::ModalScript;
using tillbook::ui::testing::Type;

data::TableSwitches Switches() {
  data::TableSwitches s;
  s.Use_Zone = s.Use_Agenti = true;
  return s;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tillbook_panel_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    conn_ = std::make_unique<Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
    db_ = std::make_unique<Database>(std::make_unique<data::DB>(Switches()), "Tillbook");
    db_->Attach(*conn_);
    ui_.Clear();
  }
  void TearDown() override {
    panel_.reset();
    db_.reset();
    conn_.reset();
    fs::remove_all(dir_);
  }

  DataPanel& Open(const char* table) {
    panel_ = std::make_unique<DataPanel>(*conn_, table, ui_, settings_);
    panel_->show();
    return *panel_;
  }
  QLineEdit* Line(const char* name) {
    auto* e = panel_->findChild<QLineEdit*>(name);
    EXPECT_NE(e, nullptr) << name;
    return e;
  }
  QString Shown(const char* name) { return Line(name)->text(); }
  // Types into a field's line and presses Enter, as a person finishes an edit.
  void Enter(const char* name, const QString& text) {
    QLineEdit* e = Line(name);
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, text);
    if (e->completer() && e->completer()->popup()) e->completer()->popup()->hide();
    QTest::keyClick(e, Qt::Key_Return);
  }
  ReferenceLookup* Lookup(const char* name) {
    auto* l = panel_->findChild<ReferenceLookup*>(name);
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  ListEditor* List(const char* name) {
    auto* l = panel_->findChild<ListEditor*>(name);
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  Row Stored(const char* table, const char* field, const Variant& value) {
    auto ids = conn_->FindOids(table, field, value);
    EXPECT_EQ(ids.size(), 1u) << table << "." << field;
    return *conn_->GetRow(table, ids.at(0));
  }
  static Variant Text(const char* s) { return Variant::String(s); }

  fs::path dir_;
  ScriptedUi ui_;
  platform::MemorySettings settings_;
  std::unique_ptr<Connection> conn_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<DataPanel> panel_;
};

TEST_F(PanelTest, LayoutFollowsFieldOrderGroupsAndMasks) {
  const TableInfo& customers = conn_->Table("Clienti");
  const std::vector<std::string> order = PresentationOrder(customers);
  // The customer's own order first, then the subject's, then the rest as declared.
  ASSERT_GE(order.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 6),
            (std::vector<std::string>{"Codice", "RagioneSociale", "Categoria", "Attività",
                                      "Indirizzo", "Città"}));

  const std::vector<PanelGroup> groups = PanelLayout(customers);
  std::vector<std::string> names;
  for (const PanelGroup& g : groups) names.push_back(g.name);
  EXPECT_EQ(names.front(), "");
  EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.begin() + 4),
            (std::vector<std::string>{"Indirizzo", "Spedizione", "Dati Fiscali"}));
  auto find = [&](const std::string& name) -> const PanelItem* {
    for (const PanelGroup& g : groups)
      for (const PanelItem& i : g.items)
        if (i.name == name) return &i;
    return nullptr;
  };
  // a1=15 totals cannot be typed; a1=1 discount can (bit 1 is the grid's); a2=255 currency of
  // an archive without currencies is not there at all.
  ASSERT_NE(find("TotaleVenduto"), nullptr);
  EXPECT_TRUE(find("TotaleVenduto")->readOnly);
  ASSERT_NE(find("PercentualeSconto"), nullptr);
  EXPECT_FALSE(find("PercentualeSconto")->readOnly);
  EXPECT_EQ(find("Valuta"), nullptr);
  ASSERT_NE(find("Documenti"), nullptr);
  EXPECT_EQ(find("Documenti")->group(), "Documenti");

  DataPanel& panel = Open("Clienti");
  auto* tabs = panel.findChild<QTabWidget*>();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabText(0), "Generale");
  EXPECT_EQ(tabs->tabText(1), "Indirizzo");
  EXPECT_EQ(Line("RagioneSociale")->maxLength(), 64);
  // Descriptions are the help of labels and editors; a link opens as mail or web address.
  for (QLabel* label : panel.findChildren<QLabel*>())
    if (label->text() == "EMail") {
      EXPECT_EQ(label->toolTip(), "Indirizzo di posta elettronica");
    }
  EXPECT_EQ(Line("EMail")->parentWidget()->toolTip(), "Indirizzo di posta elettronica");
  EXPECT_EQ(panel.Editor("EMail"), Line("EMail"));
  EXPECT_EQ(LinkAddress("info@bottega.it"), "mailto:info@bottega.it");
  EXPECT_EQ(LinkAddress("www.bottega.it"), "http://www.bottega.it");
  EXPECT_EQ(LinkAddress("https://bottega.it"), "https://bottega.it");
  EXPECT_EQ(panel.Editor("NonCe"), nullptr);
}

TEST_F(PanelTest, CustomerCreatedEditedAndDeleted) {
  DataPanel& panel = Open("Clienti");
  QSignalSpy saved(&panel, &DataPanel::rowSaved);
  QSignalSpy deleted(&panel, &DataPanel::rowDeleted);
  EXPECT_FALSE(Line("Codice")->isEnabled() && !Line("Codice")->isReadOnly());

  ASSERT_TRUE(panel.NewRow());
  Enter("Codice", "C001");
  Enter("RagioneSociale", "Bottega Rossi");
  Enter("PercentualeSconto", "12,5");
  EXPECT_EQ(conn_->Count("Clienti"), 0);  // waits for its save
  ASSERT_TRUE(panel.SaveRow());
  ASSERT_EQ(saved.count(), 1);
  Row stored = Stored("Clienti", "Codice", Text("C001"));
  EXPECT_EQ(stored.Get("RagioneSociale").AsString(), "Bottega Rossi");
  EXPECT_DOUBLE_EQ(stored.Get("PercentualeSconto").ToDouble(), 12.5);
  EXPECT_EQ(saved.at(0).at(0).toLongLong(), stored.Oid());
  EXPECT_TRUE(Line("TotaleVenduto")->isReadOnly());

  // A text that is no number: the message, and the stored value shown again.
  Enter("PercentualeSconto", "dodici");
  EXPECT_EQ(ui_.messages(),
            std::vector<std::string>{
                "Il valore «dodici» non è valido per il campo «PercentualeSconto»."});
  EXPECT_EQ(Shown("PercentualeSconto"), "12,5");
  Enter("ImportoSaldoIniziale", "1.250,3");
  EXPECT_EQ(stored.Get("ImportoSaldoIniziale").ToMoney(), *Money::Parse("1250.30"));
  EXPECT_EQ(Shown("ImportoSaldoIniziale"), "1.250,30");

  // A second customer with the same code: the save is refused with the archive's message and
  // the row stays in the panel, unsaved.
  ui_.Clear();
  ASSERT_TRUE(panel.NewRow());
  Enter("Codice", "C001");
  Enter("RagioneSociale", "Altra bottega");
  EXPECT_FALSE(panel.SaveRow());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_NE(ui_.messages()[0].find("Codice"), std::string::npos) << ui_.messages()[0];
  EXPECT_TRUE(panel.row()->IsPending());
  panel.CancelRow();
  EXPECT_FALSE(panel.row().has_value());
  EXPECT_EQ(conn_->Count("Clienti"), 1);

  panel.SetRow(stored);
  EXPECT_EQ(Shown("Codice"), "C001");
  ASSERT_TRUE(panel.DeleteRow());
  EXPECT_EQ(deleted.count(), 1);
  EXPECT_EQ(conn_->Count("Clienti"), 0);
  EXPECT_FALSE(panel.row().has_value());
  EXPECT_EQ(Shown("Codice"), "");
  EXPECT_TRUE(Line("Codice")->isReadOnly());
}

TEST_F(PanelTest, RefusedChangeShowsItsMessageAndTheOldValue) {
  DataPanel& panel = Open("Agenti");
  QSignalSpy changed(&panel, &DataPanel::rowChanged);
  panel.SetRow(Stored("Agenti", "Codice", Text("00")));
  Enter("Codice", "07");
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{"Non è possibile modificare questo elemento\n"
                                                     "Gli altri campi sono modificabili."});
  EXPECT_EQ(Shown("Codice"), "00");
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(conn_->FindOids("Agenti", "Codice", Text("07")).size(), 0u);

  // The agent's other fields are the person's.
  Enter("RagioneSociale", "Vendita diretta");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(Stored("Agenti", "Codice", Text("00")).Get("RagioneSociale").AsString(),
            "Vendita diretta");
}

TEST_F(PanelTest, QuestionAnsweredNoKeepsTheValue) {
  Row article = *conn_->AddRow("Articoli", {{"Codice", Text("A1")}, {"Descrizione", Text("Vite")}});
  Open("Articoli").SetRow(article);
  ui_.QueueAnswer(Answer::No);
  Enter("Codice", "A2");
  ASSERT_EQ(ui_.log().size(), 1u);
  EXPECT_EQ(ui_.log()[0].rfind("ASK La variazione del Codice interno", 0), 0u) << ui_.log()[0];
  EXPECT_EQ(Shown("Codice"), "A1");
  EXPECT_EQ(article.Get("Codice").AsString(), "A1");

  ui_.QueueAnswer(Answer::Yes);
  Enter("Codice", "A2");
  EXPECT_EQ(Shown("Codice"), "A2");
  EXPECT_EQ(conn_->FindOids("Articoli", "Codice", Text("A2")).size(), 1u);
}

TEST_F(PanelTest, PriceChangeShowsTheFinalPriceAtOnce) {
  Row article = *conn_->AddRow("Articoli", {{"Codice", Text("A1")}, {"Descrizione", Text("Vite")}});
  Open("Articoli").SetRow(article);
  // The VAT code chosen by typing its code into the look-up.
  ReferenceLookup* vat = Lookup("IVA");
  vat->codeEdit()->setFocus();
  QTest::keyClicks(vat->codeEdit(), "IVA2");
  // Typing offers the matching codes with what they show.
  QAbstractItemModel* offered = vat->codeEdit()->completer()->model();
  ASSERT_EQ(offered->rowCount(), 1);
  EXPECT_EQ(offered->index(0, 0).data().toString(), "IVA20  IVA al 20%");
  QTest::keyClicks(vat->codeEdit(), "0");
  vat->codeEdit()->completer()->popup()->hide();
  QTest::keyClick(vat->codeEdit(), Qt::Key_Return);
  ASSERT_TRUE(article.Reference("IVA").has_value());
  EXPECT_EQ(article.Reference("IVA")->Get("Codice").AsString(), "IVA20");
  EXPECT_EQ(vat->shownText(), "IVA al 20%");

  Enter("PrezzoVendita", "10");
  EXPECT_EQ(Shown("PrezzoVendita"), "10,00");
  EXPECT_EQ(Shown("PrezzoFinale"), "12,00");
  EXPECT_TRUE(Line("PrezzoFinale")->isReadOnly());
  EXPECT_EQ(article.Get("PrezzoFinale").ToMoney(), Money::FromUnits(12));
}

TEST_F(PanelTest, LookupOffersOnlyWhatTheTableAllows) {
  conn_->AddRow("TipiDocumento",
                {{"Descrizione", Text("FATTURA ACQUISTO")}, {"Ambito", Variant::Long(2)}});
  Row old = *conn_->AddRow("TipiDocumento", {{"Descrizione", Text("FATTURA VECCHIA")}});
  ASSERT_TRUE(old.Set("Abilitato", Variant::Boolean(false)));
  DataPanel& panel = Open("Vendite");
  ASSERT_TRUE(panel.NewRow());
  ReferenceLookup* type = Lookup("TipoDocumento");

  std::vector<std::string> offered;
  for (const auto& c : type->Choices("", 100)) offered.push_back(c.code);
  std::sort(offered.begin(), offered.end());
  EXPECT_EQ(offered, (std::vector<std::string>{"FATTURA", "RICEVUTA NON FISCALE",
                                               "SCONTRINO FISCALE", "SCONTRINO NON FISCALE"}));
  std::vector<std::string> typed;
  for (const auto& c : type->Choices("fatt", 100)) typed.push_back(c.code);
  EXPECT_EQ(typed, std::vector<std::string>{"FATTURA"});

  // A type the filter leaves out cannot be named by typing either.
  EXPECT_FALSE(type->ChooseByText("FATTURA ACQUISTO"));
  EXPECT_EQ(ui_.messages(),
            std::vector<std::string>{
                "Nessun elemento di TipiDocumento con Descrizione = FATTURA ACQUISTO."});
  EXPECT_EQ(panel.row()->ReferenceOid("TipoDocumento"), 0);

  // "..." lists the allowed rows and the person picks the third.
  ui_.QueueSelection(2);
  auto* list = type->findChild<QToolButton*>();
  ASSERT_NE(list, nullptr);
  QTest::mouseClick(list, Qt::LeftButton);
  ASSERT_NE(panel.row()->ReferenceOid("TipoDocumento"), 0);
  const std::string chosen = panel.row()->Reference("TipoDocumento")->Get("Descrizione").AsString();
  EXPECT_EQ(type->codeEdit()->text().toStdString(), chosen);
  EXPECT_NE(chosen, "FATTURA ACQUISTO");
  EXPECT_NE(chosen, "FATTURA VECCHIA");
}

TEST_F(PanelTest, OwnedReferenceCreatesItsRowOnce) {
  Row sale = *conn_->AddRow("Vendite", {});
  DataPanel& panel = Open("Vendite");
  panel.SetRow(sale);
  ReferenceLookup* payment = Lookup("Pagamento");
  QToolButton* create = nullptr;
  for (auto* b : payment->findChildren<QToolButton*>())
    if (b->text() == "Nuovo") create = b;
  ASSERT_NE(create, nullptr);
  const int64_t before = conn_->Count("PagamentiCliente");
  ASSERT_TRUE(create->isEnabled());
  QTest::mouseClick(create, Qt::LeftButton);
  ASSERT_NE(sale.ReferenceOid("Pagamento"), 0);
  EXPECT_EQ(conn_->Count("PagamentiCliente"), before + 1);
  // Without a key field the payment is named by its first shown field, its amount.
  EXPECT_EQ(payment->codeEdit()->text(), "0,00");
  // The sale has its payment: no second one.
  EXPECT_FALSE(create->isEnabled());
}

TEST_F(PanelTest, AnImageShowsItsPreview) {
  const std::string picture = (dir_ / "foto.png").string();
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(picture)));
  Row document = *conn_->AddRow("Documenti", {{"Note", Text("Foto")}});
  DataPanel& panel = Open("Documenti");
  panel.SetRow(document);
  auto previewOf = [&] {
    for (QLabel* label : panel.findChildren<QLabel*>())
      if (label->size() == QSize(160, 120)) return label;
    return static_cast<QLabel*>(nullptr);
  };
  ASSERT_NE(previewOf(), nullptr);
  EXPECT_TRUE(previewOf()->pixmap().isNull());
  Enter("File", QString::fromStdString(picture));
  EXPECT_EQ(document.Get("File").AsString(), picture);
  EXPECT_FALSE(previewOf()->pixmap().isNull());
}

TEST_F(PanelTest, OwnedListRowsAreMadeInsideTheOwner) {
  Row customer =
      *conn_->AddRow("Clienti", {{"Codice", Text("C1")}, {"RagioneSociale", Text("Rossi")}});
  DataPanel& panel = Open("Clienti");
  panel.SetRow(customer);
  ListEditor* documents = List("Documenti");

  ModalScript script;
  script.Then("RowDialog", [](QWidget* w) {
    Type(w, "Note", "Contratto firmato");
    QTest::keyClick(w->findChild<QLineEdit*>("Note"), Qt::Key_Return);
    Click(w, "OK");
  });
  ASSERT_TRUE(documents->AddRow());
  ASSERT_EQ(customer.ListCount("Documenti"), 1);
  EXPECT_EQ(customer.List("Documenti")[0].Get("Note").AsString(), "Contratto firmato");
  EXPECT_EQ(documents->grid()->gridModel()->rowCount(), 1);

  // Annulla forgets the new row.
  script.Then("RowDialog", [](QWidget* w) {
    Type(w, "Note", "Da buttare");
    Click(w, "Annulla");
  });
  EXPECT_FALSE(documents->AddRow());
  EXPECT_EQ(customer.ListCount("Documenti"), 1);
  EXPECT_EQ(conn_->Count("Documenti"), 1);
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(script.unexpected().empty());

  // A double-click opens a row of the list in the row window.
  script.Then("RowDialog", [](QWidget* w) {
    Type(w, "Note", "Contratto rinnovato");
    Click(w, "OK");
  });
  documents->EditRow(customer.List("Documenti")[0].Oid());
  EXPECT_EQ(customer.List("Documenti")[0].Get("Note").AsString(), "Contratto rinnovato");
  EXPECT_TRUE(script.finished());

  // Remove deletes the chosen row itself.
  ASSERT_TRUE(documents->grid()->SelectOid(customer.List("Documenti")[0].Oid()));
  EXPECT_TRUE(documents->RemoveSelected());
  EXPECT_EQ(conn_->Count("Documenti"), 0);
  EXPECT_EQ(documents->grid()->gridModel()->rowCount(), 0);
}

TEST_F(PanelTest, ListOfExistingRowsLinksAndUnlinks) {
  Row north = *conn_->AddRow("ZoneGeografiche", {{"Descrizione", Text("Nord")}});
  conn_->AddRow("ZoneGeografiche", {{"Descrizione", Text("Sud")}});
  const int64_t zones = conn_->Count("ZoneGeografiche");
  Row agent =
      *conn_->AddRow("Agenti", {{"Codice", Text("A7")}, {"RagioneSociale", Text("Bianchi")}});
  DataPanel& panel = Open("Agenti");
  panel.SetRow(agent);
  ListEditor* cover = List("ZoneDiCopertura");

  // The pick list names the zones as they read; the person picks "Nord".
  ui_.QueueSelection(std::nullopt);
  EXPECT_FALSE(cover->AddRow());
  const std::string offered = ui_.log().back();
  EXPECT_NE(offered.find("SELECT"), std::string::npos) << offered;
  ui_.Clear();
  std::optional<size_t> index;
  {
    std::vector<int64_t> ids;
    DataSet set(*conn_, {"ZoneGeografiche", "", "", ""});
    for (set.First(); !set.IsEOF(); set.Next()) ids.push_back(set.CurrentOid());
    for (size_t i = 0; i < ids.size(); ++i)
      if (ids[i] == north.Oid()) index = i;
  }
  ASSERT_TRUE(index.has_value());
  ui_.QueueSelection(index);
  ASSERT_TRUE(cover->AddRow());
  ASSERT_EQ(agent.ListCount("ZoneDiCopertura"), 1);
  EXPECT_EQ(agent.List("ZoneDiCopertura")[0].Oid(), north.Oid());
  EXPECT_EQ(cover->grid()->gridModel()->rowCount(), 1);

  ASSERT_TRUE(cover->grid()->SelectOid(north.Oid()));
  EXPECT_TRUE(cover->RemoveSelected());
  EXPECT_EQ(agent.ListCount("ZoneDiCopertura"), 0);
  EXPECT_EQ(conn_->Count("ZoneGeografiche"), zones);  // unlinked, not deleted
}

}  // namespace
}  // namespace tillbook::engine::ui
