// A program's own variadic function given a CString: the flags of the
// installed library must make this a compile error.
#include <xtbasis/xtbasis.h>

#include <cstdarg>
#include <cstdio>

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
}

int main() {
  const CString name("Zahn");
  Log("%s\n", name);
  return 0;
}
