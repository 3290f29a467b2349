// The two hives, each one SQLite database with one connection per process.
// A Session holds a hive's lock for the length of one registry call and
// (re)opens the database lazily: on first use, when the folder that the
// environment names has changed, and after fork().
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include <xtbasis/platform/wintypes.h>

namespace xtb::reg {

enum class HiveId { Machine = 0, User = 1 };
inline constexpr int kHiveCount = 2;
inline constexpr int64_t kRootKey = 1;  // every hive's root key row

// A failed store operation, carried to the API boundary as a Windows error.
struct StoreError {
  LONG code;
};

// The statements of the store, prepared once per connection.
enum class Sql {
  Begin, Commit,
  FindChild, InsertChild, Touch, KeyExists, DeleteKey, ChildAt, HasChildren, ChildInfo, ChildIds,
  GetValue, SetValue, DeleteValue, ValueAt, ValueInfo, DeleteValues, KeyWritten, DeleteChildren,
  Count
};

struct Hive;

class Session {
 public:
  explicit Session(HiveId hive);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  sqlite3_stmt* Statement(Sql which);
  sqlite3* Db() const;
  bool ReadOnly() const;
  // Changes when the hive's database file is another one than before;
  // key ids of another generation mean nothing.
  uint64_t Generation() const;

 private:
  Hive& hive_;
  std::lock_guard<std::mutex> lock_;
};

// One prepared statement in use: bind, step, read; reset when it goes.
class Query {
 public:
  Query(Session& session, Sql which);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  Query& Bind(int index, int64_t value);
  Query& Bind(int index, std::string_view blob);
  bool Step();  // true while a row is there; throws StoreError on failure
  void Run();   // steps a statement without rows
  int64_t Int(int column) const;
  std::string_view Blob(int column) const;

 private:
  sqlite3_stmt* stmt_;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back unless committed. Refused with
// ERROR_ACCESS_DENIED on a hive that this process may only read.
class WriteTransaction {
 public:
  explicit WriteTransaction(Session& session);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit();

 private:
  Session& session_;
  bool open_ = true;
};

LONG WinErrorFromSqlite(int rc);

// The database file of a hive as the environment names it now.
std::string HivePath(HiveId hive);

// Closes both connections (they reopen on next use).
void CloseHives();

}  // namespace xtb::reg
