// The component-object basics that the platform's handler interfaces use:
// interface identifiers, IUnknown and the result codes. Objects here are
// plain C++ objects; nothing is registered or marshalled.
#pragma once

#include <cstdint>
#include <cstring>

#include <xtbasis/platform/wintypes.h>

// Some codes are defined by exceptions.h as well; the values are the same.

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
typedef GUID IID;
typedef const IID& REFIID;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool IsEqualIID(REFIID a, REFIID b) { return a == b; }

#ifndef S_OK
#define S_OK static_cast<HRESULT>(0)
#endif
#ifndef S_FALSE
#define S_FALSE static_cast<HRESULT>(1)
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL static_cast<HRESULT>(0x80004001u)
#endif
#ifndef E_NOINTERFACE
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002u)
#endif
#ifndef E_POINTER
#define E_POINTER static_cast<HRESULT>(0x80004003u)
#endif
#ifndef E_ABORT
#define E_ABORT static_cast<HRESULT>(0x80004004u)
#endif
#ifndef E_FAIL
#define E_FAIL static_cast<HRESULT>(0x80004005u)
#endif
#ifndef E_UNEXPECTED
#define E_UNEXPECTED static_cast<HRESULT>(0x8000FFFFu)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000Eu)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG static_cast<HRESULT>(0x80070057u)
#endif
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects are destroyed through their own classes
};
