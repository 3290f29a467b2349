// xtbasis tiff OUT.tif A.bmp [B.bmp...] [--dpi N]: bitmaps into one
// multi-page TIFF file, one page each.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <xtbasis/bmp2tiff.h>

#include "command.h"

namespace {

constexpr const char* kUsage = "xtbasis tiff OUT.tif A.bmp [B.bmp...] [--dpi N]";

int Run(const xtbtool::Args& args) {
  xtbtool::Args files;
  float dpi = -1.0f;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--dpi") {
      files.push_back(args[i]);
      continue;
    }
    char* end = nullptr;
    if (i + 1 == args.size() || (dpi = std::strtof(args[i + 1].c_str(), &end), *end != '\0') || !(dpi > 0))
      return xtbtool::UsageError("tiff", "--dpi needs a positive number");
    ++i;
  }
  if (files.size() < 2) return xtbtool::UsageError("tiff", "needs OUT.tif and at least one bitmap");
  // The output file is replaced: never one of the bitmaps.
  for (size_t i = 1; i < files.size(); ++i) {
    std::error_code unknown;
    if (files[i] == files[0] || std::filesystem::equivalent(files[0], files[i], unknown))
      return xtbtool::UsageError("tiff", "the output file " + files[0] + " is one of the bitmaps");
  }

  CBmp2Tiff tiff;
  if (!tiff.Create(files[0].c_str())) {
    std::fprintf(stderr, "xtbasis tiff: cannot write %s (libtiff.so.6 missing or the file not writable)\n",
                 files[0].c_str());
    return 1;
  }
  tiff.SetResolution(dpi);
  int failed = 0;
  for (size_t i = 1; i < files.size(); ++i) {
    if (tiff.AddBmp(files[i].c_str())) continue;
    std::fprintf(stderr, "xtbasis tiff: %s is no bitmap that can be read; left out\n", files[i].c_str());
    ++failed;
  }
  if (!tiff.Close()) {
    std::fprintf(stderr, "xtbasis tiff: cannot finish %s\n", files[0].c_str());
    return 1;
  }
  return failed == 0 ? 0 : 1;
}

const xtbtool::Registration registration({"tiff", "bitmaps into one multi-page TIFF file", kUsage, Run});

}  // namespace
