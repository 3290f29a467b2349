// Run-time class information: the base-class walk, creation by class and
// the process-wide list of classes that FromName searches.
#include <cstring>
#include <mutex>
#include <vector>

#include <xtbasis/crashreport.h>
#include <xtbasis/trace.h>
#include <xtbasis/win32/mfc_object.h>

namespace {

struct ClassList {
  std::mutex lock;
  std::vector<const CRuntimeClass*> classes;
};

// Built on first use: the program's IMPLEMENT_DYNAMIC entries run in its
// static initialisation, in an order the library does not know.
ClassList& Classes() {
  static ClassList* list = new ClassList;
  return *list;
}

}  // namespace

namespace xtb::win32 {

RuntimeClassEntry::RuntimeClassEntry(const CRuntimeClass* runtimeClass) {
  ClassList& list = Classes();
  std::lock_guard<std::mutex> hold(list.lock);
  list.classes.push_back(runtimeClass);
}

void AssertValidObject(const CObject* object, const char* sourceFile, int line) {
  if (object == nullptr) {
    XTAssert(0, sourceFile, line, "ASSERT_VALID", "null object");
    return;
  }
  object->AssertValid();
}

}  // namespace xtb::win32

CObject* CRuntimeClass::CreateObject() const {
  if (m_pfnCreateObject == nullptr) {
    XTTrace(XTTRACE_ERROR, 0, __FILE__, __LINE__, "CreateObject: class %s is not DECLARE_DYNCREATE",
            m_lpszClassName);
    return nullptr;
  }
  return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* walk = this; walk != nullptr; walk = walk->m_pBaseClass)
    if (walk == base) return TRUE;
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className) {
  if (className == nullptr) return nullptr;
  ClassList& list = Classes();
  std::lock_guard<std::mutex> hold(list.lock);
  for (const CRuntimeClass* entry : list.classes)
    if (std::strcmp(entry->m_lpszClassName, className) == 0) return const_cast<CRuntimeClass*>(entry);
  return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR className) {
  const CRuntimeClass* found = FromName(className);
  return found == nullptr ? nullptr : found->CreateObject();
}

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr};
static const xtb::win32::RuntimeClassEntry objectClassEntry(&CObject::classCObject);

CRuntimeClass* CObject::GetThisClass() { return RUNTIME_CLASS(CObject); }
CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }
void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const {
  dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this) << "\n";
}
