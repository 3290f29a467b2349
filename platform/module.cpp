#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>

#include "utf8cp1252.h"

// A registered module; its texts are converted once at registration and never
// change afterwards, so lookups need no lock on the record itself.
struct XTModuleRecord {
  std::string name;
  std::map<UINT, std::string> strings;
  std::map<UINT, std::string> messages;
};

namespace {

class ModuleList {
 public:
  static ModuleList& Instance() {
    static ModuleList list;
    return list;
  }

  HINSTANCE Add(XTModuleRecord record) {
    std::lock_guard lock(m_mutex);
    if (FindLocked(record.name)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return nullptr;
    }
    return &m_records.emplace_back(std::move(record));
  }

  HINSTANCE Find(std::string_view name) {
    std::lock_guard lock(m_mutex);
    return FindLocked(name);
  }

  bool Contains(HINSTANCE module) {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_records.begin(), m_records.end(), [module](const auto& r) { return &r == module; });
  }

  HINSTANCE Program() {
    static HINSTANCE program = [this] {
      XTModuleRecord record;
      record.name = program_invocation_short_name;
      std::lock_guard lock(m_mutex);
      return &m_records.emplace_back(std::move(record));
    }();
    return program;
  }

 private:
  static std::string_view BaseName(std::string_view name) {
    constexpr std::string_view kSuffix = ".dll";
    if (name.size() > kSuffix.size() &&
        strncasecmp(name.data() + name.size() - kSuffix.size(), kSuffix.data(), kSuffix.size()) == 0)
      name.remove_suffix(kSuffix.size());
    return name;
  }

  HINSTANCE FindLocked(std::string_view name) {
    const std::string_view base = BaseName(name);
    for (auto& record : m_records) {
      const std::string_view other = BaseName(record.name);
      if (other.size() == base.size() && strncasecmp(other.data(), base.data(), base.size()) == 0)
        return &record;
    }
    return nullptr;
  }

  std::mutex m_mutex;
  std::list<XTModuleRecord> m_records;  // stable addresses: they are the handles
};

std::atomic<HINSTANCE> g_resourceModule{nullptr};  // null: the program's own

bool FillTable(const XTResourceText* texts, size_t count, std::map<UINT, std::string>& table) {
  if (count && !texts) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!texts[i].utf8 || !table.emplace(texts[i].id, xtb::Utf8ToCp1252(texts[i].utf8)).second) return false;
  }
  return true;
}

// The record behind `module` (null: the program's), or null with the last
// error set.
const XTModuleRecord* Resolve(HINSTANCE module) {
  ModuleList& list = ModuleList::Instance();
  if (!module) return list.Program();
  if (!list.Contains(module)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return module;
}

}  // namespace

HINSTANCE XTRegisterModule(const XTModuleResources& resources) {
  XTModuleRecord record;
  if (!resources.name || !*resources.name ||
      !FillTable(resources.strings, resources.stringCount, record.strings) ||
      !FillTable(resources.messages, resources.messageCount, record.messages)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  record.name = resources.name;
  return ModuleList::Instance().Add(std::move(record));
}

HMODULE GetModuleHandleA(LPCSTR name) {
  ModuleList& list = ModuleList::Instance();
  if (!name) return list.Program();
  HMODULE module = list.Find(name);
  if (!module) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

HINSTANCE XTGetResourceModule() {
  HINSTANCE chosen = g_resourceModule.load();
  return chosen ? chosen : ModuleList::Instance().Program();
}

void XTSetResourceModule(HINSTANCE module) { g_resourceModule.store(module); }

CString XTModuleName(HINSTANCE module) {
  const XTModuleRecord* record = Resolve(module);
  return record ? CString(record->name) : CString();
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const XTModuleRecord* record = Resolve(module);
  if (!record) return 0;
  const auto found = record->strings.find(id);
  // A string table cannot hold an empty string: it counts as missing.
  if (found == record->strings.end() || found->second.empty()) {
    if (bufferMax > 0) buffer[0] = '\0';
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const std::string& text = found->second;
  if (bufferMax == 0) {
    const char* pointer = text.c_str();
    std::memcpy(buffer, &pointer, sizeof pointer);
    return static_cast<int>(text.size());
  }
  const size_t copied = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return static_cast<int>(copied);
}

BOOL XTFindModuleMessage(HINSTANCE module, DWORD number, CString& text) {
  const XTModuleRecord* record = Resolve(module);
  if (!record) return FALSE;
  const auto found = record->messages.find(number);
  if (found == record->messages.end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return FALSE;
  }
  text = CString(found->second);
  return TRUE;
}
