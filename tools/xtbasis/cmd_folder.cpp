// xtbasis folder [TITLE] [--in FOLDER] [--computer]: lets the user choose a
// folder (or a computer of the network) and prints it. Exit code 0 with the
// choice on standard output, 1 when cancelled, 3 when no dialog could be
// shown.
#include <clocale>
#include <cstdio>

#include <xtbasis/folderdialog.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

#include "command.h"

namespace {

int Run(const xtbtool::Args& args) {
  CString title;
  std::string start;
  unsigned int flags = BIF_RETURNONLYFSDIRS;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--computer") {
      flags = BIF_BROWSEFORCOMPUTER;
    } else if (args[i] == "--in" && i + 1 < args.size()) {
      start = args[++i];
    } else if (title.IsEmpty() && args[i].rfind("--", 0) != 0) {
      title = UTF8ToAnsi(args[i].c_str());  // the terminal's UTF-8, the library's 1252
    } else {
      return xtbtool::UsageError("folder", "unknown option " + args[i]);
    }
  }
  // The user's language for the dialog's own texts, as the suite's programs set it at start.
  std::setlocale(LC_ALL, "");
  char path[MAX_PATH] = {};
  start.copy(path, sizeof path - 1);
  switch (XTBrowseForFolder(nullptr, title.IsEmpty() ? nullptr : title.GetString(), flags, path, sizeof path)) {
    case XTBROWSE_CHOSEN:
      std::printf("%s\n", path);
      return 0;
    case XTBROWSE_CANCELLED:
      std::fprintf(stderr, "xtbasis folder: abgebrochen\n");
      return 1;
    default:
      std::fprintf(stderr, "xtbasis folder: kein Dialog verfügbar\n");
      return 3;
  }
}

const xtbtool::Registration registration({"folder", "let the user choose a folder (or --computer) and print it",
                                          "xtbasis folder [TITLE] [--in FOLDER] [--computer]", Run});

}  // namespace
