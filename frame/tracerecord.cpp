#include "tracerecord.h"

#include <algorithm>
#include <cstdio>

namespace xtb {

namespace {
constexpr size_t kSmallText = 512;
}

const char* TraceLevelName(int level) {
  static const char* const kNames[] = {"FAIL ", "ERROR", "WARN ", "INFO "};
  return kNames[level < 0 ? 0 : level > 3 ? 3 : level];
}

std::string_view SourceFileName(const char* sourcePath) {
  const std::string_view path = sourcePath ? sourcePath : "";
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void FormatTraceText(std::string& out, const char* format, va_list args) {
  if (!format) {
    out.clear();
    return;
  }
  char small[kSmallText];
  va_list again;
  va_copy(again, args);
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  if (needed < 0) {
    out.clear();
  } else if (static_cast<size_t>(needed) < sizeof small) {
    out.assign(small, static_cast<size_t>(needed));
  } else {
    const size_t length = std::min(static_cast<size_t>(needed), kTraceTextMax);
    out.resize(length);
    std::vsnprintf(out.data(), length + 1, format, again);
  }
  va_end(again);
}

namespace {
void FormatCut(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void FormatCut(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatTraceText(out, format, args);
  va_end(args);
}
}  // namespace

std::string FormatTraceHeader(const TraceHeader& h) {
  const std::string source(SourceFileName(h.sourceFile));
  std::string header;
  FormatCut(header, "%s\t%04d.%02d.%02d\t%02d:%02d:%02d.%03d\t%d\t%d\t%d\t%s:%d\t%d\n", TraceLevelName(h.level),
            h.time.wYear, h.time.wMonth, h.time.wDay, h.time.wHour, h.time.wMinute, h.time.wSecond,
            h.time.wMilliseconds, static_cast<int>(h.processId), static_cast<int>(h.threadId), h.progId,
            source.c_str(), h.line, static_cast<int>(h.lastError));
  return header;
}

std::string MessageLine(std::string message) {
  if (message.empty()) return message;
  if (message.back() == '\n') message.pop_back();
  std::string line = "\t";
  line.reserve(message.size() + 2);
  for (char c : message) {
    if (c == '\n') line += '\t';
    line += c;
  }
  if (line.back() != '\n') line += '\n';
  return line;
}

std::string FileForm(std::string_view header, std::string_view message) {
  std::string out;
  out.reserve(header.size() + message.size() + 8);
  for (std::string_view part : {header, message}) {
    for (char c : part) {
      if (c == '\n') out += '\r';
      out += c;
    }
  }
  return out;
}

}  // namespace xtb
