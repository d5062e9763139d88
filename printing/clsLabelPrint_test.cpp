// Label runs on a real archive, drawn on a recording printer: places across and down the sheet,
// skipped places of a used sheet, quantity and copies, IgnoreLabel, the skip question, and the
// barcode member.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printing/clsLabelPrint.h"
#include "printing/modLabelPrint.h"
#include "printing/testing/print_fixture.h"

namespace tillbook::printing {
namespace {

using ::testing::ElementsAre;

class LabelTest : public testing::PrintFixture {
 protected:
  // A sheet of 3 labels across, 70 x 30 mm, 10 mm from the top and 5 from the left.
  LabelLayout Sheet(const std::string& script) {
    LabelLayout l;
    l.table = "Ordini";
    l.printer = "Etichette";
    l.columns = 3;
    l.labelHeight = 30;
    l.labelWidth = 70;
    l.top = 10;
    l.left = 5;
    l.copies = 1;
    l.script = script;
    return l;
  }
  bool Labels(LabelRequest request) { return PrintLabels(services_, Source(), request); }
  // "x y text" of each text drawn.
  std::vector<std::string> Placed() const {
    std::vector<std::string> out;
    for (std::string call : Calls("Text")) {
      for (char& c : call)
        if (c == '\t') c = ' ';
      out.push_back(call);
    }
    return out;
  }
};

constexpr const char* kNameLabel =
    "Function PrintLabel(ds, prn)\r\n"
    "  prn.TxtOut 0, 0, ds.ColValue(\"Cliente\") & \" \" & prn.CopyCount\r\n"
    "  PrintLabel = True\r\n"
    "End Function";

TEST_F(LabelTest, LabelsGoAcrossThenDownAfterTheSkippedPlaces) {
  AddOrder(1, "Alfa", 0);
  AddOrder(2, "Beta", 0);
  ASSERT_TRUE(SaveLabelLayout(*connection_, Sheet(kNameLabel)));
  LabelRequest r;
  r.skipCount = 4;
  EXPECT_TRUE(Labels(r));
  // Four places used: printing starts on the second row, second column.
  EXPECT_THAT(Placed(), ElementsAre("75.00 40.00 Alfa 1", "145.00 40.00 Beta 1"));
}

TEST_F(LabelTest, QuantityAndCopiesMultiplyAndCountCopies) {
  AddOrder(1, "Alfa", 0);
  LabelLayout l = Sheet(kNameLabel);
  l.copies = 2;
  ASSERT_TRUE(SaveLabelLayout(*connection_, l));
  LabelRequest r;
  r.skipCount = 0;
  r.quantity = 3;
  EXPECT_TRUE(Labels(r));
  EXPECT_THAT(Placed(),
              ElementsAre("5.00 10.00 Alfa 1", "75.00 10.00 Alfa 1", "145.00 10.00 Alfa 1",
                          "5.00 40.00 Alfa 2", "75.00 40.00 Alfa 2", "145.00 40.00 Alfa 2"));
}

TEST_F(LabelTest, IgnoreLabelLeavesThePlaceToTheNextRecord) {
  AddOrder(1, "Alfa", 0);
  AddOrder(2, "Beta", 0);
  AddOrder(3, "Gamma", 0);
  ASSERT_TRUE(
      SaveLabelLayout(*connection_, Sheet("Function PrintLabel(ds, prn)\r\n"
                                          "  If ds.ColValue(\"Cliente\") = \"Beta\" Then\r\n"
                                          "    prn.IgnoreLabel = True\r\n"
                                          "  Else\r\n"
                                          "    prn.TxtOut 0, 0, ds.ColValue(\"Cliente\")\r\n"
                                          "  End If\r\n"
                                          "  PrintLabel = True\r\n"
                                          "End Function")));
  LabelRequest r;
  r.skipCount = 0;
  EXPECT_TRUE(Labels(r));
  EXPECT_THAT(Placed(), ElementsAre("5.00 10.00 Alfa", "75.00 10.00 Gamma"));
}

TEST_F(LabelTest, SkipQuestionTakesANumberAndEndsOnAnythingElse) {
  AddOrder(1, "Alfa", 0);
  LabelLayout l = Sheet(kNameLabel);
  l.enableAlignment = true;
  ASSERT_TRUE(SaveLabelLayout(*connection_, l));
  ui_.QueueInput("1");
  EXPECT_TRUE(Labels({}));
  EXPECT_THAT(Placed(), ElementsAre("75.00 10.00 Alfa 1"));
  EXPECT_EQ(ui_.log().front(),
            "INPUT Per saltare alcune etichette già stampate impostare la quantità di quelle già "
            "stampate, altrimenti confermare <0>\nPOSIZIONARE LA CARTA PER LA STAMPA... -> 1");
  for (const char* answer : {"abc", "10000", ""}) {
    SCOPED_TRACE(answer);
    printer_ = std::make_shared<RecordingTarget>();
    ui_.Clear();
    ui_.QueueInput(std::string(answer));
    EXPECT_FALSE(Labels({}));
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(std::count(ui_.log().begin(), ui_.log().end(), "BEEP"), *answer ? 1 : 0);
  }
  ui_.QueueInput(std::nullopt);
  EXPECT_FALSE(Labels({}));
}

TEST_F(LabelTest, MissingLayoutInvalidRecordScriptErrorsAndStops) {
  EXPECT_FALSE(Labels({}));
  AddOrder(1, "Alfa", 0);
  EXPECT_FALSE(Labels({}));
  ASSERT_TRUE(SaveLabelLayout(*connection_, Sheet("Function PrintLabel(ds, prn)\r\n"
                                                  "  prn.TxtOut 0, 0, \"x\"\r\n"
                                                  "  prn.BoxOut 0, 0, 5, 5, False, True\r\n"
                                                  "End Function")));
  LabelRequest r;
  r.skipCount = 0;
  EXPECT_FALSE(Labels(r));
  EXPECT_THAT(ui_.messages(),
              ElementsAre("Devi selezionare elementi validi per la stampa delle etichette",
                          "Nessuna Stampa Etichette è stata configurata per questi dati (Ordini "
                          "clienti)",
                          ::testing::StartsWith("Errore nel codice di stampa dell'etichetta: "
                                                "\n\nNumero di argomenti errato per BoxOut.\n\n"
                                                "Linea VB: 3")));
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(LabelTest, BarcodeOfALabelIsDrawnAtTheLabelAndReturnsItsWidth) {
  AddOrder(1, "Alfa", 0);
  ASSERT_TRUE(SaveLabelLayout(
      *connection_, Sheet("Function PrintLabel(ds, prn)\r\n"
                          "  prn.TxtOut 0, 0, \"w=\" & FormatNumber(prn.Barcode128bOut(2, 3, 10, "
                          "0.3, \"ABC\"), 2)\r\n"
                          "  PrintLabel = True\r\n"
                          "End Function")));
  LabelRequest r;
  r.skipCount = 0;
  EXPECT_TRUE(Labels(r));
  EXPECT_THAT(Placed(), ElementsAre("5.00 10.00 w=20,40"));
  const auto bars = Calls("FillRectangle");
  ASSERT_FALSE(bars.empty());
  // The first bar of START B is two modules wide at the label's (3, 2).
  EXPECT_EQ(bars.front().rfind("8.00\t12.00\t0.60\t10.00\t", 0), 0u) << bars.front();
}

}  // namespace
}  // namespace tillbook::printing
