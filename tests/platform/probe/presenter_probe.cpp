// Shows boxes and dialogs through the default presenter and prints each
// answer on standard output as "<result> <last error>", for the desktop
// presenter tests that drive it on a virtual display.
//   presenter_probe box <type> <caption> <text>
//   presenter_probe boxes <type> <caption> <caption>  two threads, one box each
//   presenter_probe forkbox <type> <caption>          a box, then one in a forked child
//   presenter_probe save <flags> <default extension> <filter> <file name>
//   presenter_probe folder <initial folder>
#include <sys/wait.h>
#include <unistd.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

std::mutex g_output;

void Print(const char* label, long result, const char* text = "") {
  std::lock_guard lock(g_output);
  std::printf("%s%ld %lu%s%s\n", label, result, static_cast<unsigned long>(GetLastError()), *text ? " " : "", text);
  std::fflush(stdout);
}

UINT NumberOf(const char* text) { return static_cast<UINT>(std::strtoul(text, nullptr, 0)); }

int Box(UINT type, const char* caption, const char* text) {
  SetLastError(0);
  return MessageBoxA(nullptr, text, caption, type);
}

int TwoBoxes(UINT type, const char* first, const char* second) {
  std::thread one([&] { Print("first ", Box(type, first, "Erstes Fenster")); });
  std::thread two([&] { Print("second ", Box(type, second, "Zweites Fenster")); });
  one.join();
  two.join();
  return 0;
}

int BoxThenForkedBox(UINT type, const char* caption) {
  Print("parent ", Box(type, caption, "Vor dem fork"));
  const pid_t child = fork();
  if (child == 0) {
    Print("child ", Box(type, caption, "Im Kindprozess"));
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

template <typename Request>
int Dialog(BOOL (*show)(const Request&, CString&), const Request& request) {
  CString path;
  SetLastError(0);
  const BOOL ok = show(request, path);
  Print("", ok, ok ? path.GetString() : "");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "box" && argc == 5) {
    Print("", Box(NumberOf(argv[2]), argv[3], argv[4]));
    return 0;
  }
  if (command == "boxes" && argc == 5) return TwoBoxes(NumberOf(argv[2]), argv[3], argv[4]);
  if (command == "forkbox" && argc == 4) return BoxThenForkedBox(NumberOf(argv[2]), argv[3]);
  if (command == "save" && argc == 6) {
    XTSaveFileRequest request;
    request.flags = NumberOf(argv[2]);
    request.defaultExt = argv[3];
    request.filter = argv[4];
    request.fileName = argv[5];
    return Dialog(&XTShowSaveFileDialog, request);
  }
  if (command == "folder" && argc == 3) {
    XTFolderRequest request;
    request.initialFolder = argv[2];
    return Dialog(&XTShowFolderDialog, request);
  }
  std::fprintf(stderr, "usage: presenter_probe box|boxes|forkbox|save|folder ...\n");
  return 2;
}
