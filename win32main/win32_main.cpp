// main() for a program that has a global application object and none of its
// own: the program's arguments go to the application (m_lpCmdLine,
// ParseCommandLine), then InitInstance, Run and ExitInstance, whose result is
// the exit code.
#include <xtbasis/platform/winapp.h>

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
