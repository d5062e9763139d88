#include "platform/serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/error.h"

namespace tillbook::platform {
namespace {

std::string Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

std::optional<int> WholeNumber(const std::string& s) {
  if (s.empty() || s.size() > 7) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

speed_t SpeedConstant(int baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

// The system's reason in the person's language for the failures a port open meets in a shop.
std::string Reason(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return "il dispositivo non esiste";
    case EACCES:
    case EPERM:
      return "accesso negato (permessi insufficienti)";
    case EBUSY:
      return "la porta è già in uso";
    case ENOTTY:
    case EINVAL:
      return "il dispositivo non è una porta seriale";
    case EIO:
      return "errore di ingresso/uscita";
    default:
      return std::strerror(error);
  }
}

class TermiosPort : public SerialPort {
 public:
  ~TermiosPort() override { Close(); }

  void Open(const std::string& device, std::string_view settings) override {
    Close();
    auto parsed = ParseSerialSettings(settings);
    if (!parsed) {
      throw Error("Impostazioni della porta " + device + " non valide: \"" + std::string(settings) +
                  "\" (esempio: 9600,n,8,1)");
    }
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail(device, errno, -1);
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) Fail(device, errno, fd);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[parsed->dataBits - 5];
    switch (parsed->parity) {
      case 'e':
        tio.c_cflag |= PARENB;
        break;
      case 'o':
        tio.c_cflag |= PARENB | PARODD;
        break;
#ifdef CMSPAR
      case 'm':
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
      case 's':
        tio.c_cflag |= PARENB | CMSPAR;
        break;
#endif
      default:
        break;
    }
    if (parsed->stopBits == 2) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedConstant(parsed->baud);
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &tio) != 0) {
      Fail(device, errno, fd);
    }
    fd_ = fd;
    hungUp_ = false;
    buffer_.clear();
    SetDtr(true);
    SetRts(false);
    DiscardInput();
  }

  void Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buffer_.clear();
  }
  bool IsOpen() const override {
    return fd_ >= 0;
  }

  // A pseudo-terminal has no modem lines: the request then fails harmlessly.
  void SetDtr(bool on) override {
    ModemLine(TIOCM_DTR, on);
  }
  void SetRts(bool on) override {
    ModemLine(TIOCM_RTS, on);
  }

  bool Write(std::string_view bytes) override {
    if (fd_ < 0 || hungUp_) return false;
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, 1000) > 0 && !(p.revents & (POLLHUP | POLLERR))) continue;
      }
      hungUp_ = true;
      return false;
    }
    return true;
  }

  std::string Read(std::chrono::milliseconds timeout) override {
    if (buffer_.empty()) Fill(static_cast<int>(timeout.count()));
    std::string out;
    out.swap(buffer_);
    return out;
  }

  size_t InputWaiting() override {
    Fill(0);
    return buffer_.size();
  }

  void DiscardInput() override {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
    buffer_.clear();
    Fill(0);  // what the flush could not reach (a pseudo-terminal's queue)
    buffer_.clear();
  }

  bool hungUp() const override {
    return hungUp_;
  }

 private:
  [[noreturn]] static void Fail(const std::string& device, int error, int fd) {
    if (fd >= 0) ::close(fd);
    throw Error("Impossibile aprire la porta " + device + ": " + Reason(error),
                std::string(std::strerror(error)));
  }

  void ModemLine(int bit, bool on) {
    if (fd_ >= 0) ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit);
  }

  // Appends what arrives within `timeoutMs` (0: only what is there now) to the buffer.
  void Fill(int timeoutMs) {
    if (fd_ < 0 || hungUp_) return;
    pollfd p{fd_, POLLIN, 0};
    int r;
    do {
      r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return;
    char chunk[4096];
    for (;;) {
      ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n > 0) {
        buffer_.append(chunk, static_cast<size_t>(n));
        if (static_cast<size_t>(n) < sizeof chunk) return;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) return;
      hungUp_ = true;  // end of file or EIO: the other side closed the line
      return;
    }
  }

  int fd_ = -1;
  bool hungUp_ = false;
  std::string buffer_;
};

}  // namespace

std::optional<SerialSettings> ParseSerialSettings(std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    parts.push_back(
        Trim(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (parts.size() > 4) return std::nullopt;
  SerialSettings s;
  auto baud = WholeNumber(parts[0]);
  if (!baud || SpeedConstant(*baud) == B0) return std::nullopt;
  s.baud = *baud;
  if (parts.size() > 1) {
    if (parts[1].size() != 1) return std::nullopt;
    char p = static_cast<char>(std::tolower(static_cast<unsigned char>(parts[1][0])));
    if (std::string_view("neoms").find(p) == std::string_view::npos) return std::nullopt;
    s.parity = p;
  }
  if (parts.size() > 2) {
    auto bits = WholeNumber(parts[2]);
    if (!bits || *bits < 5 || *bits > 8) return std::nullopt;
    s.dataBits = *bits;
  }
  if (parts.size() > 3) {
    if (parts[3] == "1")
      s.stopBits = 1;
    else if (parts[3] == "2" || parts[3] == "1.5")
      s.stopBits = 2;
    else
      return std::nullopt;
  }
  return s;
}

std::unique_ptr<SerialPort> NewTermiosPort() {
  return std::make_unique<TermiosPort>();
}

}  // namespace tillbook::platform
