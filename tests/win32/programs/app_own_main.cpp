// A console program with a main() of its own and an application object,
// linked with the entry archive: its own main() runs, the archive's is never
// pulled (a second main() would not link).
#include <afxwin.h>

#include <cstdio>

class COwnMainApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    std::printf("InitInstance\n");
    return FALSE;
  }
};

COwnMainApp theApp;

int main(int argc, char**) {
  std::printf("own main with %d arguments\n", argc);
  return 11;
}
