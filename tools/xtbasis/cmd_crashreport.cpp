// xtbasis crash-report DIR: the crash reports of a report directory (the
// crash reporter's folders and the programs' crash logs, whatever their
// names: "probe.RPT", or "probe" in a log folder), each with its first
// lines: when and where, and the exception.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command.h"

namespace {

namespace fs = std::filesystem;

constexpr const char kSeparator[] = "//=====================================================";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A crash log begins with a report's separator line.
bool IsCrashLog(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  std::string start(sizeof kSeparator - 1, '\0');
  return in.read(start.data(), static_cast<std::streamsize>(start.size())) && start == kSeparator;
}

// The lines after each report's separator up to the exception line.
void PrintReports(const std::string& label, const std::string& text) {
  std::printf("%s\n", label.c_str());
  for (size_t at = text.find(kSeparator); at != std::string::npos; at = text.find(kSeparator, at + 1)) {
    size_t line = text.find('\n', at);
    for (int shown = 0; shown < 2 && line != std::string::npos; ++shown) {
      const size_t end = text.find('\n', line + 1);
      std::string content = text.substr(line + 1, end == std::string::npos ? std::string::npos : end - line - 1);
      if (!content.empty() && content.back() == '\r') content.pop_back();
      std::printf("  %s\n", content.c_str());
      line = end;
    }
  }
}

int Run(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("crash-report", "needs one DIR");
  std::error_code error;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(args[0], error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  if (error) {
    std::fprintf(stderr, "xtbasis crash-report: %s: %s\n", args[0].c_str(), error.message().c_str());
    return 1;
  }
  std::sort(entries.begin(), entries.end());
  int reports = 0;
  for (const fs::path& entry : entries) {
    if (fs::is_regular_file(entry / "crashreport.txt", error)) {
      PrintReports(entry.filename().string() + "/", ReadAll(entry / "crashreport.txt"));
      ++reports;
    } else if (IsCrashLog(entry)) {
      PrintReports(entry.filename().string(), ReadAll(entry));
      ++reports;
    }
  }
  if (reports == 0) std::printf("no crash reports in %s\n", args[0].c_str());
  return 0;
}

const xtbtool::Registration registration({"crash-report", "list the crash reports of a report DIR", "xtbasis crash-report DIR", Run});

}  // namespace
