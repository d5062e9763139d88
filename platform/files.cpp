#include "platform/files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/error.h"

namespace tillbook::platform {

namespace {

std::error_code LastError() {
  return {errno, std::generic_category()};
}

// Opens, syncs and closes; `flags` picks a file or a folder.
void Sync(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) ThrowPathError(path, LastError());
  const int rc = ::fsync(fd);
  const std::error_code error = rc == 0 ? std::error_code() : LastError();
  ::close(fd);
  // Some file systems cannot sync a folder; the rename is still as durable as they allow.
  if (rc != 0 && error != std::errc::invalid_argument) ThrowPathError(path, error);
}

}  // namespace

std::string PathProblem(const std::string& path, std::error_code error) {
  const std::errc e = static_cast<std::errc>(error.value());
  if (error.category() != std::generic_category() && error.category() != std::system_category())
    return "Impossibile accedere a " + path + ".";
  switch (e) {
    case std::errc::filename_too_long:
      return "Il percorso " + path + " è troppo lungo.";
    case std::errc::too_many_symbolic_link_levels:
      return "Il percorso " + path + " contiene un collegamento simbolico che rimanda a sé stesso.";
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
      return "Accesso negato a " + path + ": mancano i permessi necessari.";
    case std::errc::not_a_directory:
      return "Il percorso " + path + " non è valido: una sua parte non è una cartella.";
    case std::errc::no_such_file_or_directory:
      return path + " non esiste.";
    case std::errc::read_only_file_system:
      return path + " si trova su un disco in sola lettura.";
    case std::errc::no_space_on_device:
      return "Spazio su disco esaurito per " + path + ".";
    case std::errc::file_exists:
      return path + " esiste già.";
    case std::errc::is_a_directory:
      return path + " è una cartella.";
    default:
      return "Impossibile accedere a " + path + ".";
  }
}

void ThrowPathError(const std::string& path, std::error_code error) {
  throw Error(PathProblem(path, error), path + ": " + error.message());
}

PathKind Examine(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return PathKind::Missing;
    ThrowPathError(path, LastError());
  }
  if (S_ISREG(st.st_mode)) return PathKind::File;
  if (S_ISDIR(st.st_mode)) return PathKind::Directory;
  return PathKind::Other;
}

void MakeDirectories(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) ThrowPathError(path, error);
  if (Examine(path) != PathKind::Directory)
    ThrowPathError(path, std::make_error_code(std::errc::not_a_directory));
}

uint64_t FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) ThrowPathError(path, LastError());
  return static_cast<uint64_t>(st.st_size);
}

std::string ReadHead(const std::string& path, size_t count) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowPathError(path, LastError());
  std::string head(count, '\0');
  size_t got = 0;
  while (got < count) {
    const ssize_t n = ::read(fd, head.data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const std::error_code error = LastError();
      ::close(fd);
      ThrowPathError(path, error);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  head.resize(got);
  return head;
}

void SyncFile(const std::string& path) {
  Sync(path, O_RDONLY);
}

void SyncDirectory(const std::string& path) {
  Sync(path, O_RDONLY | O_DIRECTORY);
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) ThrowPathError(to, LastError());
  // A file system without the flag: a hard link fails just the same when `to` exists.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    ThrowPathError(to, LastError());
  }
  RemoveFile(from);
  return true;
}

void RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowPathError(path, LastError());
}

bool ProcessIsRunning(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

long CurrentProcessId() {
  return static_cast<long>(::getpid());
}

bool CanWriteIn(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tillbook::platform
