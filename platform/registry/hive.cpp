#include "hive.h"

#include <array>

#include "data_folders.h"
#include "os/environment.h"
#include "os/folder.h"
#include "os/process.h"

namespace xtb::reg {

struct Hive {
  std::mutex mutex;
  sqlite3* db = nullptr;
  std::string path;  // of the database behind db, or of the last one opened
  uint64_t generation = 0;
  bool readOnly = false;
  std::array<sqlite3_stmt*, static_cast<size_t>(Sql::Count)> statements{};
};

namespace {

// Key and value names are stored as their code page 1252 bytes; `folded`
// is the lower-case form that lookups and uniqueness use. AUTOINCREMENT keeps
// the id of a deleted key from being handed to a new one, so a handle to a
// deleted key can tell.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reg_keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER REFERENCES reg_keys(id) ON DELETE CASCADE,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, written INTEGER NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS reg_keys_child ON reg_keys(parent, folded);"
    "CREATE TABLE IF NOT EXISTS reg_values("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " key INTEGER NOT NULL REFERENCES reg_keys(id) ON DELETE CASCADE,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS reg_values_name ON reg_values(key, folded);"
    "INSERT OR IGNORE INTO reg_keys(id, parent, name, folded, written) VALUES(1, NULL, x'', x'', 0);";

constexpr std::array<const char*, static_cast<size_t>(Sql::Count)> kStatements = {
    "BEGIN IMMEDIATE",
    "COMMIT",
    "SELECT id FROM reg_keys WHERE parent = ?1 AND folded = ?2",
    "INSERT INTO reg_keys(parent, name, folded, written) VALUES(?1, ?2, ?3, ?4)",
    "UPDATE reg_keys SET written = ?2 WHERE id = ?1",
    "SELECT 1 FROM reg_keys WHERE id = ?1",
    "DELETE FROM reg_keys WHERE id = ?1",
    "SELECT name, written FROM reg_keys WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2",
    "SELECT 1 FROM reg_keys WHERE parent = ?1 LIMIT 1",
    "SELECT count(*), coalesce(max(length(name)), 0) FROM reg_keys WHERE parent = ?1",
    "SELECT id, name FROM reg_keys WHERE parent = ?1 ORDER BY folded",
    "SELECT type, data FROM reg_values WHERE key = ?1 AND folded = ?2",
    "INSERT INTO reg_values(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM reg_values WHERE key = ?1 AND folded = ?2",
    "SELECT name, type, data FROM reg_values WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0)"
    " FROM reg_values WHERE key = ?1",
    "DELETE FROM reg_values WHERE key = ?1",
    "SELECT written FROM reg_keys WHERE id = ?1",
    "DELETE FROM reg_keys WHERE parent = ?1",
};

constexpr int kBusyTimeoutMs = 30000;

Hive g_hives[kHiveCount];

std::string HiveFolder(HiveId hive) {
  if (const char* dir = os::NonEmptyEnvironmentValue("XTBASIS_REGISTRY_DIR")) return dir;
  return hive == HiveId::Machine ? MachineDataFolder() : UserDataFolder();
}

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw StoreError{WinErrorFromSqlite(rc == SQLITE_ERROR ? sqlite3_extended_errcode(db) : rc)};
}

void Close(Hive& hive) {
  for (sqlite3_stmt*& stmt : hive.statements) {
    sqlite3_finalize(stmt);
    stmt = nullptr;
  }
  sqlite3_close_v2(hive.db);
  hive.db = nullptr;
}

void Configure(Hive& hive) {
  sqlite3_busy_timeout(hive.db, kBusyTimeoutMs);
  Check(hive.db, sqlite3_exec(hive.db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr));
  if (hive.readOnly) {
    Check(hive.db, sqlite3_exec(hive.db, "SELECT 1 FROM reg_keys LIMIT 1", nullptr, nullptr, nullptr));
    return;
  }
  // WAL: readers and one writer at a time; NORMAL keeps every commit atomic.
  Check(hive.db, sqlite3_exec(hive.db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL", nullptr,
                              nullptr, nullptr));
  const std::string schema = std::string("BEGIN IMMEDIATE;") + kSchema + "COMMIT;";
  const int rc = sqlite3_exec(hive.db, schema.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) sqlite3_exec(hive.db, "ROLLBACK", nullptr, nullptr, nullptr);
  Check(hive.db, rc);
}

int OpenFile(Hive& hive, const std::string& path, int flags) {
  const int rc = sqlite3_open_v2(path.c_str(), &hive.db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(hive.db);
    hive.db = nullptr;
  }
  return rc;
}

// A hive that cannot be created is an empty one that refuses writes.
void OpenEmptyReadOnly(Hive& hive) {
  if (OpenFile(hive, ":memory:", SQLITE_OPEN_READWRITE) != SQLITE_OK) throw StoreError{ERROR_OUTOFMEMORY};
  hive.readOnly = false;
  Configure(hive);
  hive.readOnly = true;
}

// The user's hive is private to its user. Its folder (made 0700, parents
// included, or chosen by XTBASIS_REGISTRY_DIR) must be the user's and
// closed to other accounts' writes, so that nobody else can swap the hive
// or its companions; the hive is made 0600 whatever the umask, and one
// found more open is closed, since SQLite gives the -wal, -shm and journal
// files the mode of the database.
bool PrepareUserHive(const os::Folder& folder, const std::string& name) {
  os::FileFacts facts;
  if (!os::FactsOf(folder.Get(), facts) || facts.owner != os::EffectiveUserId() || (facts.mode & 022) != 0)
    return false;
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::ReadWrite;
  rule.mode = 0600;
  int error = 0;
  const os::Fd hive = folder.OpenEntry(name, rule, error);
  return hive.IsOpen() && os::FactsOf(hive.Get(), facts) && facts.owner == os::EffectiveUserId() &&
         ((facts.mode & 077) == 0 || os::SetMode(hive.Get(), facts.mode & 0700));
}

void Open(Hive& hive, const std::string& path, HiveId id) {
  hive.readOnly = false;
  const size_t slash = path.rfind('/');
  const std::string folderPath = path.substr(0, slash);
  // Every account reads the machine's hive.
  const unsigned mode = id == HiveId::User ? 0700 : 0755;
  const os::Folder folder = os::Folder::Make(folderPath, mode, mode, true);
  if (folder.IsOpen() && id == HiveId::User && !PrepareUserHive(folder, path.substr(slash + 1)))
    return OpenEmptyReadOnly(hive);  // nor is a hive read that another account could have written
  const bool folderOk = folder.IsOpen();
  int rc = folderOk ? OpenFile(hive, path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_CANTOPEN;
  if (rc != SQLITE_OK) rc = OpenFile(hive, path, SQLITE_OPEN_READONLY);
  if (rc != SQLITE_OK) return OpenEmptyReadOnly(hive);
  hive.readOnly = sqlite3_db_readonly(hive.db, "main") == 1;
  try {
    Configure(hive);
  } catch (const StoreError& error) {
    Close(hive);
    if (error.code != ERROR_ACCESS_DENIED) throw;
    OpenEmptyReadOnly(hive);  // a database this process may not even read
  }
}

// A connection must not cross fork(): close both before it, with their locks
// held so that no call is half done; each side reopens on next use.
void BeforeFork() {
  for (Hive& hive : g_hives) {
    hive.mutex.lock();
    Close(hive);
  }
}
void AfterFork() {
  for (Hive& hive : g_hives) hive.mutex.unlock();
}

Hive& Acquire(HiveId id) {
  static const bool registered = os::OnFork(BeforeFork, AfterFork, AfterFork);
  (void)registered;
  return g_hives[static_cast<int>(id)];
}

}  // namespace

LONG WinErrorFromSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK: return ERROR_SUCCESS;
    case SQLITE_READONLY: case SQLITE_PERM: case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY: case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_NOMEM: return ERROR_OUTOFMEMORY;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_CORRUPT: case SQLITE_NOTADB: return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CONSTRAINT: return ERROR_KEY_DELETED;  // the key went away under a write
    case SQLITE_TOOBIG: return ERROR_INVALID_PARAMETER;
    case SQLITE_CANTOPEN: return ERROR_CANTOPEN;
    default: return ERROR_REGISTRY_IO_FAILED;
  }
}

std::string HivePath(HiveId hive) {
  return HiveFolder(hive) + (hive == HiveId::Machine ? "/machine.db" : "/user.db");
}

void CloseHives() {
  for (int i = 0; i < kHiveCount; ++i) {
    Hive& hive = Acquire(static_cast<HiveId>(i));
    std::lock_guard<std::mutex> lock(hive.mutex);
    Close(hive);
  }
}

Session::Session(HiveId id) : hive_(Acquire(id)), lock_(hive_.mutex) {
  std::string path = HivePath(id);
  if (hive_.db && path == hive_.path) return;
  Close(hive_);
  if (path != hive_.path || hive_.generation == 0) ++hive_.generation;
  hive_.path = std::move(path);
  Open(hive_, hive_.path, id);
}

sqlite3_stmt* Session::Statement(Sql which) {
  sqlite3_stmt*& stmt = hive_.statements[static_cast<size_t>(which)];
  if (!stmt) Check(hive_.db, sqlite3_prepare_v3(hive_.db, kStatements[static_cast<size_t>(which)], -1,
                                                SQLITE_PREPARE_PERSISTENT, &stmt, nullptr));
  return stmt;
}

sqlite3* Session::Db() const { return hive_.db; }
bool Session::ReadOnly() const { return hive_.readOnly; }
uint64_t Session::Generation() const { return hive_.generation; }

Query::Query(Session& session, Sql which) : stmt_(session.Statement(which)) {}

Query::~Query() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

Query& Query::Bind(int index, int64_t value) {
  Check(sqlite3_db_handle(stmt_), sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Query& Query::Bind(int index, std::string_view blob) {
  // A non-null pointer even for no bytes: an empty blob, never NULL.
  Check(sqlite3_db_handle(stmt_),
        sqlite3_bind_blob64(stmt_, index, blob.empty() ? "" : blob.data(), blob.size(), SQLITE_TRANSIENT));
  return *this;
}

bool Query::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw StoreError{WinErrorFromSqlite(rc)};
}

void Query::Run() {
  while (Step()) {
  }
}

int64_t Query::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string_view Query::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string_view();
}

WriteTransaction::WriteTransaction(Session& session) : session_(session) {
  if (session.ReadOnly()) throw StoreError{ERROR_ACCESS_DENIED};
  Query(session, Sql::Begin).Run();
}

WriteTransaction::~WriteTransaction() {
  if (!open_) return;
  sqlite3_exec(session_.Db(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::Commit() {
  Query(session_, Sql::Commit).Run();
  open_ = false;
}

}  // namespace xtb::reg
