// The dump context: text for a CString or for the trace log, line by line.
#include <cinttypes>
#include <cstdio>

#include <xtbasis/trace.h>
#include <xtbasis/win32/mfc_object.h>

CDumpContext& afxDump = *new CDumpContext;

CDumpContext& CDumpContext::operator<<(const char* text) {
  if (text == nullptr) text = "(null)";
  if (m_text != nullptr) {
    *m_text += text;
    return *this;
  }
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      Flush();
    } else if (*text != '\r') {
      m_line += *text;
    }
  }
  return *this;
}

CDumpContext& CDumpContext::operator<<(const void* address) {
  char text[24];
  std::snprintf(text, sizeof text, "$%" PRIXPTR, reinterpret_cast<uintptr_t>(address));
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(const CObject* object) {
  if (object == nullptr) return *this << "NULL";
  object->Dump(*this);
  return *this;
}

CDumpContext& CDumpContext::operator<<(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%g", value);
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(long long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%lld", value);
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(unsigned long long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llu", value);
  return *this << text;
}

void CDumpContext::Flush() {
  if (m_text != nullptr || m_line.empty()) return;
  XTTrace(XTTRACE_INFO, 0, "afxdump", 0, "%s", m_line.c_str());
  m_line.clear();
}
