#include "tracerecord.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "format.h"

namespace xtb {

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
  out.clear();
  AppendFormattedV(out, format, args);
  if (out.size() > kTraceTextMax) out.resize(kTraceTextMax);
}

void FormatTraceText(std::string& out, const char* format, const XTFormatArg* args, int count) {
  out.clear();
  AppendFormatted(out, format, args, static_cast<size_t>(count < 0 ? 0 : count));
  if (out.size() > kTraceTextMax) out.resize(kTraceTextMax);
}

namespace {

// printf's %0<width>u.
void AppendPadded(std::string& out, unsigned value, size_t width) {
  char digits[16];
  const size_t count = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  if (count < width) out.append(width - count, '0');
  out.append(digits, count);
}

// printf's %d.
void AppendInt(std::string& out, int value) {
  char digits[16];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

// LEVEL TAB yyyy.mm.dd TAB hh:mm:ss.mmm TAB pid TAB tid TAB progId TAB file:line TAB lastError LF
std::string FormatTraceHeader(const TraceHeader& h) {
  const SYSTEMTIME& t = h.time;
  const std::string_view source = SourceFileName(h.sourceFile);
  std::string header;
  header.reserve(80 + source.size());
  header.append(TraceLevelName(h.level)).push_back('\t');
  struct TimeField {
    unsigned value;
    size_t width;
    char after;
  };
  for (const TimeField& field : {TimeField{t.wYear, 4, '.'}, TimeField{t.wMonth, 2, '.'}, TimeField{t.wDay, 2, '\t'},
                                 TimeField{t.wHour, 2, ':'}, TimeField{t.wMinute, 2, ':'},
                                 TimeField{t.wSecond, 2, '.'}, TimeField{t.wMilliseconds, 3, '\t'}}) {
    AppendPadded(header, field.value, field.width);
    header.push_back(field.after);
  }
  for (int number : {static_cast<int>(h.processId), static_cast<int>(h.threadId), h.progId}) {
    AppendInt(header, number);
    header.push_back('\t');
  }
  header.append(source).push_back(':');
  AppendInt(header, h.line);
  header.push_back('\t');
  AppendInt(header, static_cast<int>(h.lastError));
  header.push_back('\n');
  if (header.size() > kTraceTextMax) header.resize(kTraceTextMax);
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
