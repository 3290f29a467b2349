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

// printf's %0<width>u and %d, written at `out`; each returns the end.
char* PutPadded(char* out, unsigned value, size_t width) {
  char digits[16];
  const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (size_t count = static_cast<size_t>(end - digits); count < width; ++count) *out++ = '0';
  return std::copy(static_cast<const char*>(digits), end, out);
}

char* PutInt(char* out, int value) { return std::to_chars(out, out + 11, value).ptr; }

}  // namespace

// LEVEL TAB yyyy.mm.dd TAB hh:mm:ss.mmm TAB pid TAB tid TAB progId TAB file:line TAB lastError LF
std::string FormatTraceHeader(const TraceHeader& h) {
  const SYSTEMTIME& t = h.time;
  const std::string_view source = SourceFileName(h.sourceFile);
  // Everything but the source file: five fields of at most five digits and
  // five of at most eleven characters, with their separators.
  char before[96];
  char* out = std::copy_n(TraceLevelName(h.level), 5, before);
  *out++ = '\t';
  struct TimeField {
    unsigned value;
    size_t width;
    char separator;
  };
  for (const TimeField& field : {TimeField{t.wYear, 4, '.'}, TimeField{t.wMonth, 2, '.'}, TimeField{t.wDay, 2, '\t'},
                                 TimeField{t.wHour, 2, ':'}, TimeField{t.wMinute, 2, ':'},
                                 TimeField{t.wSecond, 2, '.'}, TimeField{t.wMilliseconds, 3, '\t'}}) {
    out = PutPadded(out, field.value, field.width);
    *out++ = field.separator;
  }
  for (const int number : {static_cast<int>(h.processId), static_cast<int>(h.threadId), h.progId}) {
    out = PutInt(out, number);
    *out++ = '\t';
  }
  char after[32];
  char* tail = after;
  *tail++ = ':';
  tail = PutInt(tail, h.line);
  *tail++ = '\t';
  tail = PutInt(tail, static_cast<int>(h.lastError));
  *tail++ = '\n';

  std::string header;
  header.reserve(static_cast<size_t>(out - before) + source.size() + static_cast<size_t>(tail - after));
  header.append(before, out).append(source).append(after, tail);
  if (header.size() > kTraceTextMax) header.resize(kTraceTextMax);
  return header;
}

namespace {

// Appends `text` with `before` put in front of each of its LFs, copying the
// lines between them whole.
void AppendMarkingLineFeeds(std::string& out, std::string_view text, char before) {
  for (;;) {
    const size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos) {
      out.append(text);
      return;
    }
    out.append(text.data(), lineFeed).append({before, '\n'});
    text.remove_prefix(lineFeed + 1);
  }
}

}  // namespace

std::string MessageLine(std::string message) {
  if (message.empty()) return message;
  if (message.back() == '\n') message.pop_back();
  std::string line;
  line.reserve(message.size() + 8);
  line += '\t';
  AppendMarkingLineFeeds(line, message, '\t');
  if (line.back() != '\n') line += '\n';
  return line;
}

std::string FileForm(std::string_view header, std::string_view message) {
  std::string out;
  out.reserve(header.size() + message.size() + 8);
  AppendMarkingLineFeeds(out, header, '\r');
  AppendMarkingLineFeeds(out, message, '\r');
  return out;
}

}  // namespace xtb
