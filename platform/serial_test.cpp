// The termios serial port over pseudo-terminal pairs: the settings text, what reaches the line
// each way, reads that wait and time out, discarding input, a line that goes away, and the
// messages for a port that cannot be used.
#include "platform/serial.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/error.h"

namespace tillbook::platform {
namespace {

using namespace std::chrono_literals;

TEST(SerialSettingsTest, ParsesTheSettingsText) {
  struct Case {
    const char* text;
    std::optional<SerialSettings> expected;
  };
  const Case cases[] = {
      {"9600,n,8,1", SerialSettings{9600, 'n', 8, 1}},
      {" 19200 , E , 7 , 2 ", SerialSettings{19200, 'e', 7, 2}},
      {"1200,o,7,1.5", SerialSettings{1200, 'o', 7, 2}},
      {"4800", SerialSettings{4800, 'n', 8, 1}},
      {"2400,m,8", SerialSettings{2400, 'm', 8, 1}},
      {"", std::nullopt},
      {"9601,n,8,1", std::nullopt},
      {"9600,x,8,1", std::nullopt},
      {"9600,n,9,1", std::nullopt},
      {"9600,n,8,3", std::nullopt},
      {"9600,n,8,1,0", std::nullopt},
      {"96OO,n,8,1", std::nullopt},
      {"9600,,8,1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSerialSettings(c.text), c.expected) << c.text;
}

class PtyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int slave = -1;
    char name[256];
    ASSERT_EQ(::openpty(&master_, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    path_ = name;
  }
  void TearDown() override {
    port_.reset();
    if (master_ >= 0) ::close(master_);
  }
  std::string MasterRead() {
    std::string out;
    char buf[256];
    for (int i = 0; i < 50; ++i) {
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) return out.append(buf, static_cast<size_t>(n));
      std::this_thread::sleep_for(10ms);
    }
    return out;
  }
  void MasterWrite(std::string_view s) {
    ASSERT_EQ(::write(master_, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }

  int master_ = -1;
  std::string path_;
  std::unique_ptr<SerialPort> port_ = NewTermiosPort();
};

TEST_F(PtyTest, AppliesTheSettingsAndCarriesBytesBothWaysUnchanged) {
  port_->Open(path_, "4800,e,7,2");
  ASSERT_TRUE(port_->IsOpen());
  termios tio{};
  int probe = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(probe, 0);
  ASSERT_EQ(::tcgetattr(probe, &tio), 0);
  ::close(probe);
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B4800));
  // A pseudo-terminal forces eight bits without parity, so only speed and stop bits show here.
  EXPECT_TRUE(tio.c_cflag & CSTOPB);
  EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));  // raw: no echo, no line editing

  // Control characters, CR and bytes above 127 pass untouched in both directions.
  const std::string bytes = std::string("\x02q!0\x03\r\n\x04\x15\xff", 10);
  ASSERT_TRUE(port_->Write(bytes));
  EXPECT_EQ(MasterRead(), bytes);
  MasterWrite(bytes);
  std::string got;
  for (int i = 0; i < 10 && got.size() < bytes.size(); ++i) got += port_->Read(200ms);
  EXPECT_EQ(got, bytes);
}

TEST_F(PtyTest, ReadWaitsForBytesAndTimesOutEmpty) {
  port_->Open(path_, "9600,n,8,1");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(120ms), "");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

  std::thread late([&] {
    std::this_thread::sleep_for(50ms);
    MasterWrite("\x06");
  });
  EXPECT_EQ(port_->Read(2000ms), "\x06");
  late.join();
  EXPECT_FALSE(port_->hungUp());
}

TEST_F(PtyTest, DiscardInputDropsWhatArrivedUnread) {
  port_->Open(path_, "9600,n,8,1");
  MasterWrite("stale reply");
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(port_->InputWaiting(), 11u);
  port_->DiscardInput();
  EXPECT_EQ(port_->InputWaiting(), 0u);
  MasterWrite("fresh");
  EXPECT_EQ(port_->Read(500ms), "fresh");
}

TEST_F(PtyTest, ALineThatGoesAwayIsReportedNotWaitedOn) {
  port_->Open(path_, "9600,n,8,1");
  ::close(master_);
  master_ = -1;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(3000ms), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  EXPECT_TRUE(port_->hungUp());
  EXPECT_FALSE(port_->Write("x"));
}

TEST_F(PtyTest, RefusalsNameTheDeviceAndTheReason) {
  struct Case {
    std::string device, settings, fragment;
  };
  const Case cases[] = {
      {path_, "9600,q,8,1", "Impostazioni della porta " + path_ + " non valide: \"9600,q,8,1\""},
      {"/dev/nonexistent-tty", "9600,n,8,1",
       "Impossibile aprire la porta /dev/nonexistent-tty: il dispositivo non esiste"},
      {"/dev/null", "9600,n,8,1",
       "Impossibile aprire la porta /dev/null: il dispositivo non è una porta seriale"},
  };
  for (const auto& c : cases) {
    try {
      port_->Open(c.device, c.settings);
      ADD_FAILURE() << c.device << " opened";
    } catch (const Error& e) {
      EXPECT_NE(e.message().find(c.fragment), std::string::npos) << e.message();
    }
    EXPECT_FALSE(port_->IsOpen());
  }
}

}  // namespace
}  // namespace tillbook::platform
