// A ported program's printf habits, built only against the installed
// library: CString handed straight to %s in Format and XTTrace, the Windows
// runtime's length forms, and 32-bit Windows longs under %ld.
// usage: format_probe <log folder>
#include <xtbasis/xtbasis.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int failures = 0;

void Expect(const CString& got, const char* expected, const char* what) {
  if (got == expected) return;
  std::fprintf(stderr, "%s: got \"%s\", expected \"%s\"\n", what, got.GetString(), expected);
  ++failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const CString name("M\xFCller");
  const int count = 3;
  CString s;
  s.Format("%s-%d", name, count);
  Expect(s, "M\xFCller-3", "CString through Format");
  s.AppendFormat("/%s", name);
  Expect(s, "M\xFCller-3/M\xFCller", "CString through AppendFormat");

  const __int64 big = -9876543210LL;
  const ULONGLONG mask = 0x8000000000000001ULL;
  s.Format("%I64d %I64u %I64x %I64X %I32d %Id", big, mask, mask, mask, -17, static_cast<ptrdiff_t>(-2));
  Expect(s, "-9876543210 9223372036854775809 8000000000000001 8000000000000001 -17 -2", "%I64 forms");
  s.Format("%hs|%ls|%S", "schmal", L"breit \u00e4", L"gro\u00df");
  Expect(s, "schmal|breit \xE4|gro\xDF", "%hs %ls %S");
  const LONG minus = -2;
  const DWORD code = 0xC0000005u;
  const ULONG many = 4000000000u;
  s.Format("%ld %lu %lx %lu", minus, code, minus, many);
  Expect(s, "-2 3221225477 fffffffe 4000000000", "%ld %lu %lx of 32-bit Windows longs");

  CXTSysBase sysBase;
  sysBase.LogDir = CString(argv[1]) + "/";
  gp_XTSysBase = &sysBase;
  XTTrace(XTTRACE_FAIL, 5, __FILE__, __LINE__, "Patient %s, %ld Befunde", name, minus);
  gp_XTSysBase = nullptr;
  std::ifstream log(std::string(argv[1]) + "/r9trace.log", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  if (text.find("\tPatient M\xFCller, -2 Befunde\r\n") == std::string::npos) {
    std::fprintf(stderr, "XTTrace record lacks the CString's text:\n%s\n", text.c_str());
    ++failures;
  }
  if (failures == 0) std::puts("format probe ok");
  return failures == 0 ? 0 : 1;
}
