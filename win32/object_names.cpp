#include "object_names.h"

#include <mutex>
#include <unordered_map>

namespace xtb::win32 {
namespace {

struct Names {
  std::mutex lock;
  std::unordered_map<std::string, std::weak_ptr<KernelObject>> objects;
};

// Never destroyed, as the handle table.
Names& TheNames() {
  static Names* names = new Names;
  return *names;
}

}  // namespace

std::shared_ptr<KernelObject> FindOrEnterNamed(const std::string& name,
                                               const std::function<std::shared_ptr<KernelObject>()>& make,
                                               bool& existed) {
  Names& names = TheNames();
  std::lock_guard<std::mutex> guard(names.lock);
  std::weak_ptr<KernelObject>& entry = names.objects[name];
  std::shared_ptr<KernelObject> object = entry.lock();
  existed = object != nullptr;
  if (!existed) {
    object = make();
    entry = object;
  }
  return object;
}

std::shared_ptr<KernelObject> FindNamed(const std::string& name) {
  Names& names = TheNames();
  std::lock_guard<std::mutex> guard(names.lock);
  auto it = names.objects.find(name);
  if (it == names.objects.end()) return nullptr;
  std::shared_ptr<KernelObject> object = it->second.lock();
  if (object == nullptr) names.objects.erase(it);
  return object;
}

}  // namespace xtb::win32
