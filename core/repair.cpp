#include "core/repair.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <vector>

#include "base/error.h"
#include "engine/connection.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "platform/files.h"

namespace tillbook::core {

namespace {

bool Exists(const std::string& path) {
  return platform::Examine(path) != platform::PathKind::Missing;
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

void RemoveWithSidecars(const std::string& path) {
  for (const char* side : {"-wal", "-shm", "-journal", ""}) platform::RemoveFile(path + side);
}

// 64-bit fingerprint of a page, four independent multiply-rotate lanes over 32-byte stripes so
// hashing keeps up with the compaction writing the copy. Page sizes are multiples of 512.
uint64_t PageFingerprint(const unsigned char* p, size_t n) {
  constexpr uint64_t k1 = 0x9E3779B185EBCA87ULL, k2 = 0xC2B2AE3D27D4EB4FULL;
  auto round = [](uint64_t acc, uint64_t word) {
    acc += word * k2;
    acc = (acc << 31) | (acc >> 33);
    return acc * k1;
  };
  uint64_t lane[4] = {k1 + k2, k2, 0, 0 - k1};
  size_t i = 0;
  for (; i + 32 <= n; i += 32)
    for (int l = 0; l < 4; ++l) {
      uint64_t word;
      std::memcpy(&word, p + i + 8 * l, 8);
      lane[l] = round(lane[l], word);
    }
  for (; i < n; ++i) lane[0] = round(lane[0], p[i]);  // a tail, never for database pages
  uint64_t h = ((lane[0] << 1) | (lane[0] >> 63)) + ((lane[1] << 7) | (lane[1] >> 57)) +
               ((lane[2] << 12) | (lane[2] >> 52)) + ((lane[3] << 18) | (lane[3] >> 46)) + n;
  h ^= h >> 33;
  h *= k2;
  h ^= h >> 29;
  return h;
}

// The fingerprint of every page SQLite writes to the copy, last write winning. Writes that are
// not whole pages (never seen from a compaction) make it unusable, and the copy is then read
// back with SQLite's own check instead.
struct PageLedger {
  std::mutex lock;
  size_t pageSize = 0;
  std::vector<uint64_t> pages;  // 0: never written
  bool opened = false;
  bool usable = true;

  void Record(const void* data, int amount, sqlite3_int64 offset) {
    const auto n = static_cast<size_t>(amount);
    // The low bit always set: 0 stays free to mean a page never written.
    const uint64_t fingerprint = PageFingerprint(static_cast<const unsigned char*>(data), n) | 1;
    std::lock_guard<std::mutex> hold(lock);
    if (pageSize == 0) pageSize = n;
    if (n != pageSize || offset % static_cast<sqlite3_int64>(n) != 0) {
      usable = false;
      return;
    }
    const auto page = static_cast<size_t>(offset / amount);
    if (page >= pages.size()) pages.resize(page + 1, 0);
    pages[page] = fingerprint;
  }
};

// A pass-through file system layer for SQLite that hands the main database file's writes to the
// ledger named in its URI ("ledger=N"). Every other call goes straight to the default layer.
constexpr const char* kLedgerVfs = "tillbook-impronte";

std::mutex ledgersLock;
std::map<int64_t, PageLedger*> ledgers;
std::atomic<int64_t> nextLedger{1};

sqlite3_vfs* Parent(sqlite3_vfs* vfs) {
  return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

struct LedgerFile {
  sqlite3_file base;
  PageLedger* ledger;
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

LedgerFile* Of(sqlite3_file* f) {
  return reinterpret_cast<LedgerFile*>(f);
}

int LedgerClose(sqlite3_file* f) {
  return Of(f)->real()->pMethods->xClose(Of(f)->real());
}
int LedgerRead(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
  return Of(f)->real()->pMethods->xRead(Of(f)->real(), data, amount, offset);
}
int LedgerWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
  const int rc = Of(f)->real()->pMethods->xWrite(Of(f)->real(), data, amount, offset);
  if (rc == SQLITE_OK && Of(f)->ledger) Of(f)->ledger->Record(data, amount, offset);
  return rc;
}
int LedgerTruncate(sqlite3_file* f, sqlite3_int64 size) {
  if (Of(f)->ledger) {
    PageLedger& l = *Of(f)->ledger;
    std::lock_guard<std::mutex> hold(l.lock);
    const auto bytes = static_cast<size_t>(size);
    if (l.pageSize == 0 ? bytes != 0 : bytes % l.pageSize != 0)
      l.usable = false;
    else if (l.pageSize != 0 && bytes / l.pageSize < l.pages.size())
      l.pages.resize(bytes / l.pageSize);
  }
  return Of(f)->real()->pMethods->xTruncate(Of(f)->real(), size);
}
int LedgerSync(sqlite3_file* f, int flags) {
  return Of(f)->real()->pMethods->xSync(Of(f)->real(), flags);
}
int LedgerFileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Of(f)->real()->pMethods->xFileSize(Of(f)->real(), size);
}
int LedgerLock(sqlite3_file* f, int level) {
  return Of(f)->real()->pMethods->xLock(Of(f)->real(), level);
}
int LedgerUnlock(sqlite3_file* f, int level) {
  return Of(f)->real()->pMethods->xUnlock(Of(f)->real(), level);
}
int LedgerCheckReserved(sqlite3_file* f, int* out) {
  return Of(f)->real()->pMethods->xCheckReservedLock(Of(f)->real(), out);
}
int LedgerFileControl(sqlite3_file* f, int op, void* arg) {
  return Of(f)->real()->pMethods->xFileControl(Of(f)->real(), op, arg);
}
int LedgerSectorSize(sqlite3_file* f) {
  return Of(f)->real()->pMethods->xSectorSize(Of(f)->real());
}
int LedgerDevice(sqlite3_file* f) {
  return Of(f)->real()->pMethods->xDeviceCharacteristics(Of(f)->real());
}
int LedgerShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  return Of(f)->real()->pMethods->xShmMap(Of(f)->real(), region, size, extend, out);
}
int LedgerShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return Of(f)->real()->pMethods->xShmLock(Of(f)->real(), offset, n, flags);
}
void LedgerShmBarrier(sqlite3_file* f) {
  Of(f)->real()->pMethods->xShmBarrier(Of(f)->real());
}
int LedgerShmUnmap(sqlite3_file* f, int remove) {
  return Of(f)->real()->pMethods->xShmUnmap(Of(f)->real(), remove);
}
int LedgerFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
  return Of(f)->real()->pMethods->xFetch(Of(f)->real(), offset, amount, out);
}
int LedgerUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p) {
  return Of(f)->real()->pMethods->xUnfetch(Of(f)->real(), offset, p);
}

const sqlite3_io_methods kLedgerMethods = {3,
                                           LedgerClose,
                                           LedgerRead,
                                           LedgerWrite,
                                           LedgerTruncate,
                                           LedgerSync,
                                           LedgerFileSize,
                                           LedgerLock,
                                           LedgerUnlock,
                                           LedgerCheckReserved,
                                           LedgerFileControl,
                                           LedgerSectorSize,
                                           LedgerDevice,
                                           LedgerShmMap,
                                           LedgerShmLock,
                                           LedgerShmBarrier,
                                           LedgerShmUnmap,
                                           LedgerFetch,
                                           LedgerUnfetch};

int LedgerOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  LedgerFile* file = Of(f);
  file->base.pMethods = nullptr;
  file->ledger = nullptr;
  const int rc = Parent(vfs)->xOpen(Parent(vfs), name, file->real(), flags, outFlags);
  if (rc != SQLITE_OK || file->real()->pMethods == nullptr) return rc;
  if (file->real()->pMethods->iVersion < 3) {
    file->real()->pMethods->xClose(file->real());
    return SQLITE_CANTOPEN;
  }
  if (name && (flags & SQLITE_OPEN_MAIN_DB)) {
    const int64_t id = sqlite3_uri_int64(name, "ledger", 0);
    std::lock_guard<std::mutex> hold(ledgersLock);
    if (auto it = ledgers.find(id); it != ledgers.end()) {
      file->ledger = it->second;
      std::lock_guard<std::mutex> holdLedger(file->ledger->lock);
      file->ledger->opened = true;
    }
  }
  file->base.pMethods = &kLedgerMethods;
  return SQLITE_OK;
}
int LedgerDelete(sqlite3_vfs* vfs, const char* name, int syncDir) {
  return Parent(vfs)->xDelete(Parent(vfs), name, syncDir);
}
int LedgerAccess(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
  return Parent(vfs)->xAccess(Parent(vfs), name, flags, out);
}
int LedgerFullPath(sqlite3_vfs* vfs, const char* name, int n, char* out) {
  return Parent(vfs)->xFullPathname(Parent(vfs), name, n, out);
}
void* LedgerDlOpen(sqlite3_vfs* vfs, const char* name) {
  return Parent(vfs)->xDlOpen(Parent(vfs), name);
}
void LedgerDlError(sqlite3_vfs* vfs, int n, char* out) {
  Parent(vfs)->xDlError(Parent(vfs), n, out);
}
void (*LedgerDlSym(sqlite3_vfs* vfs, void* lib, const char* sym))(void) {
  return Parent(vfs)->xDlSym(Parent(vfs), lib, sym);
}
void LedgerDlClose(sqlite3_vfs* vfs, void* lib) {
  Parent(vfs)->xDlClose(Parent(vfs), lib);
}
int LedgerRandomness(sqlite3_vfs* vfs, int n, char* out) {
  return Parent(vfs)->xRandomness(Parent(vfs), n, out);
}
int LedgerSleep(sqlite3_vfs* vfs, int micro) {
  return Parent(vfs)->xSleep(Parent(vfs), micro);
}
int LedgerCurrentTime(sqlite3_vfs* vfs, double* out) {
  return Parent(vfs)->xCurrentTime(Parent(vfs), out);
}
int LedgerLastError(sqlite3_vfs* vfs, int n, char* out) {
  return Parent(vfs)->xGetLastError(Parent(vfs), n, out);
}
int LedgerCurrentTime64(sqlite3_vfs* vfs, sqlite3_int64* out) {
  return Parent(vfs)->xCurrentTimeInt64(Parent(vfs), out);
}

// Registered once, never as the default: only a URI naming it reaches it.
bool RegisterLedgerVfs() {
  static const bool registered = [] {
    sqlite3_vfs* parent = sqlite3_vfs_find(nullptr);
    if (!parent || parent->iVersion < 2) return false;
    static sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = static_cast<int>(sizeof(LedgerFile)) + parent->szOsFile;
    vfs.mxPathname = parent->mxPathname;
    vfs.zName = kLedgerVfs;
    vfs.pAppData = parent;
    vfs.xOpen = LedgerOpen;
    vfs.xDelete = LedgerDelete;
    vfs.xAccess = LedgerAccess;
    vfs.xFullPathname = LedgerFullPath;
    vfs.xDlOpen = LedgerDlOpen;
    vfs.xDlError = LedgerDlError;
    vfs.xDlSym = LedgerDlSym;
    vfs.xDlClose = LedgerDlClose;
    vfs.xRandomness = LedgerRandomness;
    vfs.xSleep = LedgerSleep;
    vfs.xCurrentTime = LedgerCurrentTime;
    vfs.xGetLastError = LedgerLastError;
    vfs.xCurrentTimeInt64 = LedgerCurrentTime64;
    return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
  }();
  return registered;
}

// The ledger's entry in the registry while the compaction writes.
class LedgerEntry {
 public:
  explicit LedgerEntry(PageLedger& ledger) : id_(nextLedger++) {
    std::lock_guard<std::mutex> hold(ledgersLock);
    ledgers[id_] = &ledger;
  }
  ~LedgerEntry() {
    std::lock_guard<std::mutex> hold(ledgersLock);
    ledgers.erase(id_);
  }
  LedgerEntry(const LedgerEntry&) = delete;
  LedgerEntry& operator=(const LedgerEntry&) = delete;
  int64_t id() const { return id_; }

 private:
  int64_t id_;
};

// `path` as an SQLite URI through the ledger layer.
std::string LedgerUri(const std::string& path, int64_t id) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[(static_cast<unsigned char>(c) >> 4) & 0xf];
      uri += kHex[static_cast<unsigned char>(c) & 0xf];
    } else {
      uri += c;
    }
  }
  return uri + "?vfs=" + kLedgerVfs + "&ledger=" + std::to_string(id);
}

[[noreturn]] void Damaged(const std::string& detail) {
  throw Error("La copia compattata del database è danneggiata.", detail);
}

// Compares pages [first, last) of the file with the ledger; the first page that differs, or
// SIZE_MAX when they all match.
size_t FirstDifferentPage(const std::string& path, const PageLedger& ledger, size_t first,
                          size_t last) {
  std::ifstream in(path, std::ios::binary);
  const size_t pageSize = ledger.pageSize;
  in.seekg(static_cast<std::streamoff>(first * pageSize));
  if (!in) return first;
  constexpr size_t kChunk = 1 << 20;
  std::vector<unsigned char> buffer(std::max(pageSize, kChunk - kChunk % pageSize));
  for (size_t page = first; page < last;) {
    const size_t want = std::min(buffer.size(), (last - page) * pageSize);
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(want));
    if (static_cast<size_t>(in.gcount()) != want) return page + in.gcount() / pageSize;
    for (size_t at = 0; at < want; at += pageSize, ++page)
      if ((PageFingerprint(buffer.data() + at, pageSize) | 1) != ledger.pages[page]) return page;
  }
  return SIZE_MAX;
}

// Reads the copy back from the file; each page must be the one the compaction wrote, and none
// may be missing or added. The two halves are read at once on the machine's two cores.
void CompareWithLedger(const std::string& path, const PageLedger& ledger) {
  const size_t pages = ledger.pages.size();
  const uint64_t size = platform::FileSize(path);
  if (size != pages * ledger.pageSize)
    Damaged("the file holds " + std::to_string(size) + " bytes, " +
            std::to_string(pages * ledger.pageSize) + " were written");
  auto secondHalf = std::async(std::launch::async, FirstDifferentPage, std::cref(path),
                               std::cref(ledger), pages / 2, pages);
  size_t different = FirstDifferentPage(path, ledger, 0, pages / 2);
  if (different == SIZE_MAX) different = secondHalf.get();
  if (different != SIZE_MAX)
    Damaged("page " + std::to_string(different + 1) + " differs from the one written");
}

}  // namespace

namespace internal {

void CheckWholeCopy(const std::string& path) {
  std::string verdict;
  try {
    engine::Connection copy;
    copy.Open(path, engine::Connection::Access::ReadOnly);
    engine::internal::Statement check(copy.session().db().handle(), "PRAGMA quick_check");
    while (check.Step()) verdict += check.Text(0) + " ";
  } catch (const Error& e) {
    // A page too damaged to walk stops the check itself: the same verdict.
    Damaged("quick_check: " + e.message() + " " + e.detail());
  }
  if (verdict != "ok ") Damaged("quick_check: " + verdict);
}

}  // namespace internal

namespace {

// The copy must be the file the compaction wrote: compared page by page with the fingerprints
// taken as it was written (a byte changed anywhere, a page missing or added refuses it), then
// opened as an archive whose page count SQLite agrees with. Without fingerprints (a SQLite that
// does not take URI names), SQLite's own check reads it back whole instead.
void CheckCopy(const std::string& path, PageLedger& ledger) {
  if (!ledger.opened || !ledger.usable || ledger.pages.empty()) {
    internal::CheckWholeCopy(path);
    return;
  }
  CompareWithLedger(path, ledger);
  int64_t pages = -1;
  try {
    engine::Connection copy;
    copy.Open(path, engine::Connection::Access::ReadOnly);
    engine::internal::Statement count(copy.session().db().handle(), "PRAGMA page_count");
    if (count.Step()) pages = count.Int(0);
  } catch (const Error& e) {
    Damaged("opening the copy: " + e.message() + " " + e.detail());
  }
  if (pages != static_cast<int64_t>(ledger.pages.size()))
    Damaged("page_count " + std::to_string(pages) + ", " + std::to_string(ledger.pages.size()) +
            " pages written");
}

}  // namespace

void CompactArchive(const std::string& path,
                    const std::function<void(std::string_view)>& beforeStep) {
  const std::string copyPath = path + ".NEW";
  const std::string oldPath = path + "._";
  auto step = [&](std::string_view name) {
    if (beforeStep) beforeStep(name);
  };
  try {
    if (!Exists(path)) throw Error("Il database " + path + " non esiste.");
    // A file left by an interrupted repair may be the only good copy: never overwritten.
    if (Exists(oldPath))
      throw Error("È presente il file " + FileName(oldPath) +
                  " lasciato da un ripristino interrotto: va controllato prima di ripetere.");
    RemoveWithSidecars(copyPath);

    step("compattazione");
    PageLedger ledger;
    {
      LedgerEntry entry(ledger);
      // A name SQLite would not read as a URI would become the file's name: plain name then.
      const bool fingerprint = sqlite3_compileoption_used("USE_URI") && RegisterLedgerVfs();
      engine::Connection archive;
      archive.Open(path);
      if (archive.readOnly()) throw Error("Il database è in sola lettura.");
      archive.Execute("VACUUM INTO " +
                      Quoted(fingerprint ? LedgerUri(copyPath, entry.id()) : copyPath));
      archive.Close();
    }
    // The last connection to close removes the log; one left means another workstation.
    if (Exists(path + "-wal")) throw Error("Il database è ancora aperto da un'altra postazione.");
    platform::SyncFile(copyPath);

    step("controllo");
    CheckCopy(copyPath, ledger);

    step("sostituzione");
    if (!platform::RenameNoReplace(path, oldPath))
      throw Error("Il file " + FileName(oldPath) + " esiste già.");
    try {
      if (!platform::RenameNoReplace(copyPath, path))
        throw Error("Il file " + FileName(path) + " esiste già.");
    } catch (...) {
      platform::RenameNoReplace(oldPath, path);  // the original back under its name
      throw;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    platform::SyncDirectory(folder.empty() ? "." : folder);
    RemoveWithSidecars(oldPath);
  } catch (const Error& e) {
    std::string present;
    for (const std::string& p : {path, copyPath, oldPath})
      if (Exists(p)) present += (present.empty() ? "" : ", ") + FileName(p);
    throw Error(e.message() + "\nFile presenti: " + (present.empty() ? "nessuno" : present) + ".",
                e.detail());
  }
}

}  // namespace tillbook::core
