// CObject and its run-time class information: CRuntimeClass, DECLARE_DYNAMIC,
// IMPLEMENT_DYNAMIC, DECLARE_DYNCREATE, IMPLEMENT_DYNCREATE, RUNTIME_CLASS,
// IsKindOf, the down-casts and checks (DYNAMIC_DOWNCAST, STATIC_DOWNCAST,
// ASSERT_KINDOF, ASSERT_VALID), the dump context, and the framework's
// exceptions beside CException's own: the invalid argument the collections
// throw, and the resource that could not be made.
//
// Each class's CRuntimeClass is a constant: its base is known before any
// constructor of the program runs, so IsKindOf works in static
// initialisers too. IMPLEMENT_DYNAMIC also enters the class in a process-wide
// list that CRuntimeClass::FromName searches.
//
// Serialisation is not carried (no CArchive, DECLARE_SERIAL or Serialize):
// IsSerializable is FALSE for every class. AssertValid and Dump exist in
// every build, so that a program's _DEBUG and release files agree on the
// class layout; CDumpContext writes to the trace log (INFO level, one record
// per line) or into a CString, not to a file.
#pragma once

#include <string>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/mfc_debug.h>

class CObject;
class CDumpContext;

struct XTBASIS_API CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF: not serialisable (always, here)
  CObject* (*m_pfnCreateObject)();  // null unless DECLARE_DYNCREATE
  CRuntimeClass* m_pBaseClass;

  // A new object of the class; null (and a trace record) for a class
  // without DECLARE_DYNCREATE.
  CObject* CreateObject() const;
  // Whether this class is `base` or derives from it; FALSE for null.
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
  // The class of that name among those of IMPLEMENT_DYNAMIC and its kin
  // (case-sensitive), or null.
  static CRuntimeClass* FromName(LPCSTR className);
  static CObject* CreateObject(LPCSTR className);
};

namespace xtb::win32 {

// Enters a class in the list that FromName searches; what IMPLEMENT_DYNAMIC
// does at static initialisation.
struct XTBASIS_API RuntimeClassEntry {
  explicit RuntimeClassEntry(const CRuntimeClass* runtimeClass);
};

}  // namespace xtb::win32

class XTBASIS_API CObject {
 public:
  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  // The framework checks an object's invariants here (ASSERT_VALID); a
  // derived class calls its base's first.
  virtual void AssertValid() const;
  // Writes "a <class> at $<address>" and a line break.
  virtual void Dump(CDumpContext& dc) const;

  BOOL IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }
  BOOL IsKindOf(const CRuntimeClass* runtimeClass) const { return GetRuntimeClass()->IsDerivedFrom(runtimeClass); }

  static const CRuntimeClass classCObject;
  static CRuntimeClass* GetThisClass();

 protected:
  CObject() = default;

 public:
  // Objects of the framework are not copied unless a class says how.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)                   \
 public:                                              \
  static const CRuntimeClass class##class_name;       \
  static CRuntimeClass* GetThisClass();               \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define XTB_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, create)                                     \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),    \
                                                       0xFFFF, create, RUNTIME_CLASS(base_class_name)};       \
  CRuntimeClass* class_name::GetThisClass() { return RUNTIME_CLASS(class_name); }                            \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }                   \
  static const ::xtb::win32::RuntimeClassEntry xtbRuntimeClassEntry##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) XTB_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                       \
  CObject* class_name::CreateObject() { return new class_name; }              \
  XTB_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// `object` as a class_name when it is one, else null.
inline CObject* AfxDynamicDownCast(const CRuntimeClass* runtimeClass, CObject* object) {
  return object != nullptr && object->IsKindOf(runtimeClass) ? object : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) \
  static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object))

#ifdef _DEBUG
#define STATIC_DOWNCAST(class_name, object)                                                       \
  ([](CObject* xtbObject) {                                                                       \
    ASSERT(xtbObject == nullptr || xtbObject->IsKindOf(RUNTIME_CLASS(class_name)));               \
    return static_cast<class_name*>(xtbObject);                                                   \
  }(object))
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define ASSERT_VALID(object) ::xtb::win32::AssertValidObject(object, __FILE__, __LINE__)
#else
#define STATIC_DOWNCAST(class_name, object) static_cast<class_name*>(object)
#define ASSERT_KINDOF(class_name, object) static_cast<void>(0)
#define ASSERT_VALID(object) static_cast<void>(0)
#endif

namespace xtb::win32 {

// ASSERT_VALID: a null object is a failed assertion at the caller's line,
// any other gets its AssertValid.
XTBASIS_API void AssertValidObject(const CObject* object, const char* sourceFile, int line);

}  // namespace xtb::win32

// Where Dump writes: a CString when one is given, else the trace log, one
// record per completed line. Numbers are written in decimal.
class XTBASIS_API CDumpContext {
 public:
  explicit CDumpContext(CString* text = nullptr) : m_text(text) {}
  ~CDumpContext() { Flush(); }
  CDumpContext(const CDumpContext&) = delete;
  CDumpContext& operator=(const CDumpContext&) = delete;

  CDumpContext& operator<<(const char* text);
  CDumpContext& operator<<(const CString& text) { return *this << text.GetString(); }
  CDumpContext& operator<<(const void* address);
  CDumpContext& operator<<(const CObject* object);
  CDumpContext& operator<<(const CObject& object) { return *this << &object; }
  CDumpContext& operator<<(double value);
  CDumpContext& operator<<(long long value);
  CDumpContext& operator<<(unsigned long long value);
  CDumpContext& operator<<(int value) { return *this << static_cast<long long>(value); }
  CDumpContext& operator<<(long value) { return *this << static_cast<long long>(value); }
  CDumpContext& operator<<(unsigned value) { return *this << static_cast<unsigned long long>(value); }
  CDumpContext& operator<<(unsigned long value) { return *this << static_cast<unsigned long long>(value); }
  CDumpContext& operator<<(unsigned short value) { return *this << static_cast<unsigned long long>(value); }
  CDumpContext& operator<<(unsigned char value) { return *this << static_cast<unsigned long long>(value); }

  // How deep Dump of a collection goes: 0 its size only, 1 its elements too.
  int GetDepth() const { return m_depth; }
  void SetDepth(int depth) { m_depth = depth; }
  // Writes an unfinished line to the trace log.
  void Flush();

 private:
  CString* m_text;
  std::string m_line;
  int m_depth = 0;
};

// The dump context of the trace log; it lives to the end of the process.
XTBASIS_API extern CDumpContext& afxDump;

// The framework's exception for an argument out of range (an index past a
// collection's end, a null POSITION), thrown as a pointer like the others.
class XTBASIS_API CInvalidArgException : public CException {
 public:
  explicit CInvalidArgException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
  BOOL GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext = nullptr) const override;
};

[[noreturn]] XTBASIS_API void AfxThrowInvalidArgException();

// A resource the program asked for could not be made (a synchronisation
// object, say); thrown as a pointer like the others.
class XTBASIS_API CResourceException : public CException {
 public:
  explicit CResourceException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
  BOOL GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext = nullptr) const override;
};

[[noreturn]] XTBASIS_API void AfxThrowResourceException();
