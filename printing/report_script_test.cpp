// A layout's script driving the engine as `prn` through the interpreter.
#include <gtest/gtest.h>

#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/report_test_support.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace tillbook::printing {
namespace {

using Lines = std::vector<std::string>;

class ReportScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    report_->SetParameter(target_, 0, 0, 10, 5, 1, 5, 20, 80, "", 0, "' layout", false, "Liste");
    script_.AddObject("prn", MakeReportScriptObject(report_));
  }
  // The error text a call stopped with, "" when it did not.
  std::string Failure(std::string_view function) {
    try {
      script_.Call(function, {});
    } catch (const vbscript::ScriptError& e) {
      return std::to_string(e.number()) + " " + e.description();
    }
    return "";
  }

  engine::ScriptedUi ui_;
  std::shared_ptr<testing::MonospaceTarget> target_ = std::make_shared<testing::MonospaceTarget>();
  std::shared_ptr<clsCustomReport> report_ =
      std::make_shared<clsCustomReport>(ui_, testing::FreshFolder("report_script"));
  vbscript::Interpreter script_;
};

TEST_F(ReportScriptTest, RowsDrawnByTheScript) {
  script_.AddCode(R"(
Function PrintReportRow()
  prn.RowPrinting = True
  prn.NewReportRow
  prn.Nums("Righe") = prn.Nums("RIGHE") + 1
  w = prn.TxtOut(0, 0, "Riga " & prn.Nums("righe"))
  prn.TxtOutR 0, 60, FormatNumber(w, 1)
  prn.BoxOut 0, 0, prn.RowDim, 60
  PrintReportRow = prn.CurY
End Function
)");
  std::vector<double> tops;
  for (int i = 0; i < 3; ++i) tops.push_back(script_.Call("PrintReportRow", {}).ToDouble());
  // The first call's NewReportRow advances from the document's start row.
  EXPECT_EQ(tops, (std::vector<double>{35, 40, 45}));
  EXPECT_EQ(
      testing::Only(target_->lines(), {"Text"}),
      (Lines{"Text\t5.00\t35.00\tRiga 1", "Text\t62.00\t35.00\t6,0", "Text\t5.00\t40.00\tRiga 2",
             "Text\t62.00\t40.00\t6,0", "Text\t5.00\t45.00\tRiga 3", "Text\t62.00\t45.00\t6,0"}));
  EXPECT_EQ(testing::Only(target_->lines(), {"Line"}).size(), 12u);
  EXPECT_EQ(report_->Nums("righe"), 3);
}

TEST_F(ReportScriptTest, PropertiesAndOptionalArguments) {
  script_.AddCode(R"(
Function Props()
  prn.Vars("Cliente") = "Rossi"
  prn.Strs("vuoto") = ""
  prn.Color = RGB(255, 0, 0)
  prn.ReportGroupName = "Altro"
  prn.IgnoreNextNewRow = True
  prn.TxtOut 0, 0, "uno" & vbCrLf & "due", , True
  Props = prn.Vars("CLIENTE") & "|" & prn.Strs("mai") & "|" & prn.Nums("mai") & "|" & _
          prn.VarsCount & "|" & prn.Color & "|" & prn.ReportGroupName & "|" & _
          prn.IgnoreNextNewRow & "|" & prn.VBScript & "|" & prn.Preview & "|" & _
          prn.RowDimText & "|" & TypeName(prn.BackImage) & "|" & prn.ReportModuleIsEmpty
End Function
)");
  EXPECT_EQ(script_.Call("Props", {}).AsString(),
            "Rossi||0|2|255|Altro|True|' layout|False|8|Nothing|False");
  EXPECT_EQ(testing::Only(target_->lines(), {"Text"}),
            (Lines{"Text\t5.00\t10.00\tuno", "Text\t5.00\t14.00\tdue"}));
}

TEST_F(ReportScriptTest, EngineErrorsReachTheScriptWithTheirText) {
  script_.AddCode(R"(
Function TooTall()
  prn.RowDimCur = prn.RowDim + 1
End Function
Function Trapped()
  On Error Resume Next
  prn.RowDimCur = 7
  Trapped = Err.Number & " " & Err.Description
End Function
Function ReadOnly()
  prn.CurX = 3
End Function
Function Unknown()
  prn.Stampa
End Function
Function Outside()
  prn.PrintObject "Shell.Explorer", "navigate a.htm", "ExecWB 6, 1"
End Function
Function TooFew()
  prn.LineOut 1, 2
End Function
)");
  EXPECT_EQ(
      Failure("TooTall"),
      "5 La nuova dimensione della riga corrente (6) non può superare quella predefinita (5)");
  EXPECT_EQ(
      script_.Call("Trapped", {}).AsString(),
      "5 La nuova dimensione della riga corrente (7) non può superare quella predefinita (5)");
  EXPECT_EQ(Failure("ReadOnly").substr(0, 4), "450 ");
  EXPECT_EQ(Failure("Unknown").substr(0, 4), "438 ");
  EXPECT_NE(Failure("Outside").find("Shell.Explorer"), std::string::npos);
  EXPECT_EQ(Failure("TooFew").substr(0, 4), "450 ");
  EXPECT_DOUBLE_EQ(report_->RowDimCur(), 5);
}

}  // namespace
}  // namespace tillbook::printing
