// The fiscal module's own rules: text normalisation, the settings with their defaults, the
// pinned device table, the values derived from the port settings, driver creation with its
// parameters and messages, activation, and the call trace.
#include <gtest/gtest.h>

#include "engine/ui_services.h"
#include "fiscal/fiscal_printer.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/request_spool.h"
#include "fiscal/sim/register_sim.h"
#include "fiscal/trace.h"
#include "platform/settings.h"

namespace tillbook::fiscal {
namespace {

TEST(NormalizeFiscalTextTest, KeepsTheLengthInCharacters) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"Caffè à la carte!", "Caffe a la carte "},
      {"perché più però", "perche piu pero"},
      {"ÀÈ ì ç ñ €", "          "},  // other accented letters and signs: blanks
      {"Tè-2,5kg", "Te 2 5kg"},
      {"", ""},
      {"A\tB\r\n", "A B  "},
      {"\xff\xfe", "  "},  // bytes that are no text still count one each
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeFiscalText(c.in), c.out) << c.in;
  EXPECT_EQ(DeviceDescription("Caffè à la carte!", 11), "CAFFE A LA");
  EXPECT_EQ(DeviceDescription("àà", -1), "");
}

TEST(FiscalSettingsTest, DefaultsLoadAndSaveRoundTrip) {
  platform::MemorySettings store;
  FiscalSettings s;
  s.Type = 99;
  LoadFiscalPrinterSettings(store, s);
  EXPECT_EQ(s.Type, 0);
  EXPECT_EQ(s.COMPortNumber, 1);
  EXPECT_EQ(s.COMPortParam, "9600,n,8,1");
  EXPECT_EQ(s.CommandWait, 700);
  EXPECT_EQ(s.Timout, 5000);
  EXPECT_EQ(s.DescriptionLen, 20);
  EXPECT_EQ(s.DefaultDepartment, 4);
  EXPECT_FALSE(s.CurrencyConversion);
  EXPECT_TRUE(s.SendDescription);
  EXPECT_EQ(s.COMPortPath, "");

  FiscalSettings changed;
  changed.Type = 8;
  changed.COMPortNumber = 3;
  changed.COMPortParam = "19200,e,7,2";
  changed.CommandWait = 0;
  changed.Timout = 1234;
  changed.DescriptionLen = 32;
  changed.DefaultDepartment = 9;
  changed.CurrencyConversion = true;
  changed.SendDescription = false;
  changed.COMPortPath = "/dev/ttyUSB0";
  SaveFiscalPrinterSettings(store, changed);
  EXPECT_EQ(store.Get("FiscalPrinterParam", "Timout"), "1234");
  EXPECT_EQ(store.Get("FiscalPrinterParam", "SendDescription"), "False");
  FiscalSettings back;
  LoadFiscalPrinterSettings(store, back);
  EXPECT_EQ(back.Type, 8);
  EXPECT_EQ(back.COMPortNumber, 3);
  EXPECT_EQ(back.COMPortParam, "19200,e,7,2");
  EXPECT_EQ(back.CommandWait, 0);
  EXPECT_EQ(back.DescriptionLen, 32);
  EXPECT_EQ(back.DefaultDepartment, 9);
  EXPECT_TRUE(back.CurrencyConversion);
  EXPECT_FALSE(back.SendDescription);
  EXPECT_EQ(back.COMPortPath, "/dev/ttyUSB0");

  // An emptied device path leaves the store, so the port number counts again.
  changed.COMPortPath.clear();
  SaveFiscalPrinterSettings(store, changed);
  EXPECT_EQ(store.Get("FiscalPrinterParam", "COMPortPath"), std::nullopt);
  EXPECT_EQ(DevicePath(3, ""), "/dev/ttyS2");
  EXPECT_EQ(DevicePath(3, "/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(PortLabel(3, ""), "COM3");
  EXPECT_EQ(PortLabel(3, "/dev/pts/7"), "/dev/pts/7");
}

TEST(FiscalSettingsTest, DeviceCodesAndListTextsArePinned) {
  std::string all;
  for (const auto& item : DeviceTypes())
    all += std::to_string(item.code) + "=" + item.listText + ";";
  EXPECT_EQ(all,
            "-1=[NESSUNO];0=OLIVETTI CRF4600;1=RCH G600;2=RCH G1200;"
            "3=OMEGA ELLISSE (stmpante fiscale);4=OMEGA ELLISSE (on-line esteso);5=SID Smart;"
            "6=RCH Nucleo;7=OMEGA SAX;8=Distribution System PROGRESS;9=RCH G2000;"
            "99=[STAMPA ATTRAVERSO ALTRO PC IN RETE];");
  EXPECT_EQ(kObjectErrorBase + 3, 0x80040003u);
}

TEST(FiscalSettingsTest, SpeedAndDataBitsCodes) {
  struct Case {
    const char* settings;
    std::optional<int> speed;
    int bits;
  };
  const Case cases[] = {
      {"1200,n,8,1", 1, 3},
      {"2400,e,7,1", 2, 2},
      {"4800, n, 7, 1", 4, 2},
      {"9600,n,8,1", 8, 3},
      {"19200,n,8,1", 16, 3},
      {"38400,n,8,1", std::nullopt, 3},
      {" 9600,n,8,1", std::nullopt, 3},
      {"96000", 8, 3},
      {"", std::nullopt, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SpeedCode(c.settings), c.speed) << c.settings;
    EXPECT_EQ(DataBitsCode(c.settings), c.bits) << c.settings;
  }
}

TEST(RequestFileNameTest, OnlyTheTenListedCharactersAreRemoved) {
  EXPECT_EQ(RequestSpool("/srv/shop", "POS-1.shop").RequestFileName(),
            "/srv/shop/FP_REQUEST_POS-1shop.tmp");
  EXPECT_EQ(RequestSpool("/srv/shop/", "a\\b/c:d*e?f\"g<h>i|j.k_l m").RequestFileName(),
            "/srv/shop/FP_REQUEST_abcdefghijk_l m.tmp");
}

class CreationTest : public ::testing::Test {
 protected:
  std::vector<std::string> trace_;
  engine::ScriptedUi ui_;
  FiscalModule module_;
  void Trace() {
    module_.wrapDriver = [this](std::unique_ptr<itfFiscalPrinter> d) {
      return NewTracingPrinter(std::move(d), [this](const std::string& l) { trace_.push_back(l); });
    };
  }
};

TEST_F(CreationTest, TheDriverGetsItsParametersAndActivationSaysSo) {
  sim::RegisterSimulator sim(kDeviceDSProgress);
  sim.Start();
  module_.settings.Type = kDeviceDSProgress;
  module_.settings.COMPortNumber = 2;
  module_.settings.COMPortPath = sim.path();
  module_.settings.Timout = 300;
  Trace();
  std::optional<bool> saved, checked;
  module_.saveEnabled = [&](bool e) { saved = e; };
  module_.setMenuChecked = [&](bool c) { checked = c; };
  module_.SetFiscalPrinter(true, ui_);
  ASSERT_NE(module_.driver(), nullptr);
  EXPECT_TRUE(module_.enabled);
  EXPECT_EQ(saved, true);
  EXPECT_EQ(checked, true);
  EXPECT_EQ(trace_,
            (std::vector<std::string>{"SetParameters\t2\t9600,n,8,1", "FiscalPrinterDescription"}));
  EXPECT_EQ(ui_.log().back(), "STATUS Registratore di cassa <DSProgress> attivato");

  module_.driver()->NewSession(2);
  module_.driver()->SendData(1.2, 3, "Caffè", 2);
  EXPECT_EQ(trace_.back(), "SendData\t1.2\t3\tCaffè\t2");

  module_.SetFiscalPrinter(false, ui_);
  EXPECT_EQ(module_.driver(), nullptr);
  EXPECT_FALSE(module_.enabled);
  EXPECT_EQ(saved, false);
  EXPECT_EQ(ui_.log().back(), "STATUS Registratore di cassa disattivato");
}

TEST_F(CreationTest, TypesWithoutALocalDriver) {
  module_.settings.Type = kDeviceNetwork;
  module_.SetFiscalPrinter(true, ui_);
  EXPECT_TRUE(module_.enabled);
  EXPECT_EQ(module_.driver(), nullptr);
  EXPECT_EQ(ui_.log().back(), "STATUS Registratore di cassa in rete attivato");

  for (int type : {-1, 42}) {
    module_.settings.Type = type;
    EXPECT_FALSE(module_.CreateFiscalPrinter(false, ui_)) << type;
    EXPECT_EQ(module_.driver(), nullptr);
  }
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(CreationTest, AnUnknownSpeedStopsTheSpeedCodedTypesBeforeCreation) {
  for (int type : {1, 2, 9}) {
    ui_.Clear();
    module_.settings.Type = type;
    module_.settings.COMPortParam = "38400,n,8,1";
    EXPECT_FALSE(module_.CreateFiscalPrinter(false, ui_));
    EXPECT_EQ(ui_.messages(), std::vector<std::string>{
                                  "Velocita' imposta non valida (1200,2400,4800,9600 o 19200)"});
  }
}

TEST(TraceTest, NumbersUseThePointAndTheShortestForm) {
  EXPECT_EQ(TraceNumber(3.33), "3.33");
  EXPECT_EQ(TraceNumber(-4), "-4");
  EXPECT_EQ(TraceNumber(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(TraceNumber(1e-5), "0.00001");
}

}  // namespace
}  // namespace tillbook::fiscal
