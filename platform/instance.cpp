#include "platform/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/files.h"

namespace tillbook::platform {

std::string ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return ".";
  return exe.parent_path().string();
}

std::string RuntimeFolder() {
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) return run;
  std::error_code error;
  const auto temp = std::filesystem::temp_directory_path(error);
  return error ? "/tmp" : temp.string();
}

SingleInstanceLock::SingleInstanceLock(std::string folder, std::string name)
    : path_((std::filesystem::path(folder) / (name + ".lock")).string()) {}

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

bool SingleInstanceLock::TryAcquire() {
  if (fd_ >= 0) return true;
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) ThrowPathError(path_, {errno, std::generic_category()});
  // flock belongs to this open file: a second open, even in the same process, is refused.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    ::close(fd);
    if (e == EWOULDBLOCK) return false;
    ThrowPathError(path_, {e, std::generic_category()});
  }
  fd_ = fd;
  return true;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tillbook::platform
