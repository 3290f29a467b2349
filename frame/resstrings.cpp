// Strings by id or text address.
#include <xtbasis/platform/module.h>
#include <xtbasis/resstrings.h>

#include <vector>

namespace {

constexpr int kBufferStep = 256;
constexpr UINT_PTR kFirstAddress = 0x10000;

bool IsTextAddress(UINT_PTR idOrText) { return idOrText == 0 || idOrText >= kFirstAddress; }

CString TextAt(UINT_PTR address) { return CString(reinterpret_cast<const char*>(address)); }

}  // namespace

bool GetResourceString(HINSTANCE module, UINT_PTR idOrText, CString& out) {
  if (IsTextAddress(idOrText)) {
    out = TextAt(idOrText);
    return true;
  }
  std::vector<char> buffer(kBufferStep);
  for (;;) {
    const int capacity = static_cast<int>(buffer.size());
    const int length = LoadStringA(module, static_cast<UINT>(idOrText), buffer.data(), capacity);
    if (length == 0) return false;
    if (capacity - length > 2) {
      out = CString(buffer.data(), length);
      return true;
    }
    buffer.resize(buffer.size() + kBufferStep);  // the string may have been cut
  }
}

bool LoadXTString(unsigned short id, CString& out) { return GetResourceString(g_hInst_XTBasis, id, out); }

bool GetXTString(UINT_PTR idOrText, CString& out) {
  if (idOrText >> 16) {
    out = TextAt(idOrText);
    return true;
  }
  return GetResourceString(g_hInst_XTBasis, idOrText & 0xFFFF, out);
}
