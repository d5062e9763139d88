// The program as a process among others: the folder its executable lives in, and the guard that
// keeps a second copy of the desktop program from starting for the same user.
#pragma once

#include <string>

namespace tillbook::platform {

// The folder holding the running executable ("." when the system cannot say).
std::string ProgramFolder();

// The user's runtime folder: $XDG_RUNTIME_DIR when set, else the system's temporary folder.
std::string RuntimeFolder();

// An exclusive lock on the file "<name>.lock" in a folder, held while the object lives. The
// operating system releases it when the process ends, however it ends, so a crashed program
// never blocks the next start.
class SingleInstanceLock {
 public:
  SingleInstanceLock(std::string folder, std::string name);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // True when this object now holds the lock (or already did); false when another holder has
  // it. Throws Error when the lock file cannot be created.
  bool TryAcquire();
  void Release();
  bool held() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace tillbook::platform
