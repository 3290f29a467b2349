// A program of the suite in miniature: built only against the installed library.
#include <xtbasis/xtbasis.h>

#include <cstdio>
#include <dlfcn.h>

int main() {
  CString greeting("Gr\xFC\xDF Gott");
  greeting.MakeUpper();
  if (greeting != "GR\xDC\xDF GOTT") {
    std::fprintf(stderr, "CString upper case is wrong: %s\n", greeting.GetString());
    return 1;
  }
  void* self = dlopen("libxtbasis.so.1", RTLD_NOW | RTLD_NOLOAD);
  if (!self || !dlsym(self, "XTTrace")) {
    std::fprintf(stderr, "XTTrace not found by its plain name\n");
    return 1;
  }
  std::puts("consumer ok");
  return 0;
}
