// Keys and values of one hive, addressed by key id. Every function runs on
// an open Session; writers call them inside a WriteTransaction. Names are
// code page 1252 bytes, matched without case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hive.h"

namespace xtb::reg {

inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxValueNameLength = 16383;

std::string Fold(std::string_view name);

// The segments of a key path "A\B\C". Trailing backslashes, any number of
// them, are passed over as Windows's key calls pass them over. False for a
// leading '\', a doubled '\' inside the path (an empty name, which Windows
// refuses too) and an over-long segment.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& segments);

int64_t FileTimeNow();  // 100 ns units since 1601

int64_t FindChild(Session& s, int64_t parent, std::string_view name);  // 0: none
bool KeyExists(Session& s, int64_t key);
// Follows segments from `key`; 0 when one is missing.
int64_t FindPath(Session& s, int64_t key, const std::vector<std::string_view>& segments);
// Follows and creates segments; `created` tells whether the last one is new.
// Throws ERROR_KEY_DELETED when `key` is gone.
int64_t CreatePath(Session& s, int64_t key, const std::vector<std::string_view>& segments, bool* created);
void DeleteKeyRow(Session& s, int64_t key);  // with everything below it
void DeleteContents(Session& s, int64_t key);  // subkeys and values, the key stays
bool HasChildren(Session& s, int64_t key);

struct ChildEntry {
  int64_t id;
  std::string name;
};
std::vector<ChildEntry> Children(Session& s, int64_t key);  // in enumeration order
bool ChildAt(Session& s, int64_t key, int64_t index, std::string* name, int64_t* written);

struct ValueEntry {
  std::string name;
  DWORD type = 0;
  std::string data;
};
bool GetValue(Session& s, int64_t key, std::string_view name, ValueEntry* value);
// Sets and stamps the key; throws ERROR_KEY_DELETED when the key is gone.
void SetValue(Session& s, int64_t key, std::string_view name, DWORD type, std::string_view data);
bool DeleteValue(Session& s, int64_t key, std::string_view name);
bool ValueAt(Session& s, int64_t key, int64_t index, ValueEntry* value);

struct KeyInfo {
  int64_t subKeys = 0, maxSubKeyLength = 0;
  int64_t values = 0, maxValueNameLength = 0, maxValueLength = 0;
  int64_t written = 0;
};
bool GetKeyInfo(Session& s, int64_t key, KeyInfo* info);  // false: key gone

}  // namespace xtb::reg
