#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace lumarine::test {

// The engine's own file system with switches that make every write fail as on a full disk, or
// open the database file read only.
// Installed as the default while it lives, so the store under test runs unchanged on a real
// file; only the disk's answer to a write is made up.
class FullDiskVfs {
 public:
  FullDiskVfs() {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.zName = "full-disk-test";
    vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
    vfs_.pAppData = this;
    vfs_.xOpen = &Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~FullDiskVfs() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
  }
  FullDiskVfs(const FullDiskVfs&) = delete;
  FullDiskVfs& operator=(const FullDiskVfs&) = delete;

  void SetFull(bool full) { full_ = full; }
  // The database file opens for reading only, as when its permissions forbid writing.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

 private:
  struct File {
    sqlite3_file base;
    FullDiskVfs* owner;
    sqlite3_file* real;
  };

  static sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<File*>(file)->real; }

  static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* outFlags) {
    auto* self = static_cast<FullDiskVfs*>(vfs->pAppData);
    auto* shim = reinterpret_cast<File*>(file);
    shim->owner = self;
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    if (self->readOnly_ && (flags & SQLITE_OPEN_MAIN_DB))
      flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    const int rc = self->real_->xOpen(self->real_, name, shim->real, flags, outFlags);
    shim->base.pMethods = shim->real->pMethods ? &kMethods : nullptr;
    return rc;
  }

  static int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
  static int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
    return Real(f)->pMethods->xRead(Real(f), b, n, o);
  }
  static int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
    if (reinterpret_cast<File*>(f)->owner->full_) return SQLITE_FULL;
    return Real(f)->pMethods->xWrite(Real(f), b, n, o);
  }
  static int Truncate(sqlite3_file* f, sqlite3_int64 s) {
    return Real(f)->pMethods->xTruncate(Real(f), s);
  }
  static int Sync(sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); }
  static int FileSize(sqlite3_file* f, sqlite3_int64* s) {
    return Real(f)->pMethods->xFileSize(Real(f), s);
  }
  static int Lock(sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); }
  static int Unlock(sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); }
  static int CheckReserved(sqlite3_file* f, int* r) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), r);
  }
  static int Control(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
  }
  static int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
  static int Characteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
  }
  static int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** p) {
    return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, p);
  }
  static int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
  }
  static void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
  static int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
  }
  // Version 2: write-ahead logging needs the shared-memory calls; no memory mapping.
  static constexpr sqlite3_io_methods kMethods = {2,
                                                  &Close,
                                                  &Read,
                                                  &Write,
                                                  &Truncate,
                                                  &Sync,
                                                  &FileSize,
                                                  &Lock,
                                                  &Unlock,
                                                  &CheckReserved,
                                                  &Control,
                                                  &SectorSize,
                                                  &Characteristics,
                                                  &ShmMap,
                                                  &ShmLock,
                                                  &ShmBarrier,
                                                  &ShmUnmap,
                                                  nullptr,
                                                  nullptr};

  sqlite3_vfs* real_;
  sqlite3_vfs vfs_;
  std::atomic<bool> full_{false};
  std::atomic<bool> readOnly_{false};
};

}  // namespace lumarine::test
