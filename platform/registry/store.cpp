#include "store.h"

#include <xtbasis/platform/codepage1252.h>

#include "os/clocks.h"

namespace xtb::reg {

namespace {
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;  // 1970-01-01 in 100 ns since 1601
}

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = cp1252::ToLower(c);
  return folded;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& segments) {
  segments.clear();
  if (path.empty()) return true;
  if (path.front() == '\\') return false;
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (segment.empty() || segment.size() > kMaxKeyNameLength) return false;
    segments.push_back(segment);
    start = end + 1;
  }
  return true;
}

int64_t FileTimeNow() {
  const xtb::os::WallTime now = xtb::os::WallClock();
  return kUnixEpochAsFileTime + now.seconds * 10000000 + now.nanoseconds / 100;
}

int64_t FindChild(Session& s, int64_t parent, std::string_view name) {
  Query q(s, Sql::FindChild);
  q.Bind(1, parent).Bind(2, Fold(name));
  return q.Step() ? q.Int(0) : 0;
}

bool KeyExists(Session& s, int64_t key) {
  Query q(s, Sql::KeyExists);
  q.Bind(1, key);
  return q.Step();
}

int64_t FindPath(Session& s, int64_t key, const std::vector<std::string_view>& segments) {
  for (std::string_view segment : segments) {
    key = FindChild(s, key, segment);
    if (key == 0) return 0;
  }
  return key;
}

int64_t CreatePath(Session& s, int64_t key, const std::vector<std::string_view>& segments, bool* created) {
  *created = false;
  for (std::string_view segment : segments) {
    const int64_t child = FindChild(s, key, segment);
    if (child != 0) {
      key = child;
      *created = false;
      continue;
    }
    const int64_t now = FileTimeNow();
    Query(s, Sql::InsertChild).Bind(1, key).Bind(2, segment).Bind(3, Fold(segment)).Bind(4, now).Run();
    const int64_t inserted = sqlite3_last_insert_rowid(s.Db());
    Query(s, Sql::Touch).Bind(1, key).Bind(2, now).Run();
    key = inserted;
    *created = true;
  }
  return key;
}

void DeleteKeyRow(Session& s, int64_t key) { Query(s, Sql::DeleteKey).Bind(1, key).Run(); }

void DeleteContents(Session& s, int64_t key) {
  Query(s, Sql::DeleteChildren).Bind(1, key).Run();
  Query(s, Sql::DeleteValues).Bind(1, key).Run();
  Query(s, Sql::Touch).Bind(1, key).Bind(2, FileTimeNow()).Run();
}

bool HasChildren(Session& s, int64_t key) {
  Query q(s, Sql::HasChildren);
  q.Bind(1, key);
  return q.Step();
}

std::vector<ChildEntry> Children(Session& s, int64_t key) {
  std::vector<ChildEntry> children;
  Query q(s, Sql::ChildIds);
  q.Bind(1, key);
  while (q.Step()) children.push_back({q.Int(0), std::string(q.Blob(1))});
  return children;
}

bool ChildAt(Session& s, int64_t key, int64_t index, std::string* name, int64_t* written) {
  Query q(s, Sql::ChildAt);
  q.Bind(1, key).Bind(2, index);
  if (!q.Step()) return false;
  *name = q.Blob(0);
  *written = q.Int(1);
  return true;
}

bool GetValue(Session& s, int64_t key, std::string_view name, ValueEntry* value) {
  Query q(s, Sql::GetValue);
  q.Bind(1, key).Bind(2, Fold(name));
  if (!q.Step()) return false;
  value->type = static_cast<DWORD>(q.Int(0));
  value->data = q.Blob(1);
  return true;
}

void SetValue(Session& s, int64_t key, std::string_view name, DWORD type, std::string_view data) {
  Query touch(s, Sql::Touch);
  touch.Bind(1, key).Bind(2, FileTimeNow()).Run();
  if (sqlite3_changes(s.Db()) == 0) throw StoreError{ERROR_KEY_DELETED};
  Query(s, Sql::SetValue).Bind(1, key).Bind(2, name).Bind(3, Fold(name)).Bind(4, type).Bind(5, data).Run();
}

bool DeleteValue(Session& s, int64_t key, std::string_view name) {
  Query(s, Sql::DeleteValue).Bind(1, key).Bind(2, Fold(name)).Run();
  if (sqlite3_changes(s.Db()) == 0) return false;
  Query(s, Sql::Touch).Bind(1, key).Bind(2, FileTimeNow()).Run();
  return true;
}

bool ValueAt(Session& s, int64_t key, int64_t index, ValueEntry* value) {
  Query q(s, Sql::ValueAt);
  q.Bind(1, key).Bind(2, index);
  if (!q.Step()) return false;
  value->name = q.Blob(0);
  value->type = static_cast<DWORD>(q.Int(1));
  value->data = q.Blob(2);
  return true;
}

bool GetKeyInfo(Session& s, int64_t key, KeyInfo* info) {
  {
    Query q(s, Sql::KeyWritten);
    q.Bind(1, key);
    if (!q.Step()) return false;
    info->written = q.Int(0);
  }
  {
    Query q(s, Sql::ChildInfo);
    q.Bind(1, key);
    q.Step();
    info->subKeys = q.Int(0);
    info->maxSubKeyLength = q.Int(1);
  }
  Query q(s, Sql::ValueInfo);
  q.Bind(1, key);
  q.Step();
  info->values = q.Int(0);
  info->maxValueNameLength = q.Int(1);
  info->maxValueLength = q.Int(2);
  return true;
}

}  // namespace xtb::reg
