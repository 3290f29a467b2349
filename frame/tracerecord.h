// The text of a trace record: header line, message line, file form.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/timeclasses.h>

namespace xtb {

// Longest header or message: the 100,000-character buffers less their zero.
constexpr size_t kTraceTextMax = 99999;

struct TraceHeader {
  int level;
  SYSTEMTIME time;
  DWORD processId;
  DWORD threadId;
  int progId;
  const char* sourceFile;
  int line;
  DWORD lastError;
};

// "FAIL ", "ERROR", "WARN ", "INFO "; more severe levels than 0 read
// "FAIL ", less severe ones than 3 "INFO ".
const char* TraceLevelName(int level);

// The file name after the last '\' or '/' of a source path.
std::string_view SourceFileName(const char* sourcePath);

// printf into `out`, cut to kTraceTextMax characters: C variadic arguments
// or typed ones.
void FormatTraceText(std::string& out, const char* format, va_list args);
void FormatTraceText(std::string& out, const char* format, const XTFormatArg* args, int count);

// The header line, ending with LF.
std::string FormatTraceHeader(const TraceHeader& header);

// A message as its record line: one trailing LF dropped, inner LFs become
// TAB LF, a TAB in front, an LF at the end. Empty stays empty.
std::string MessageLine(std::string message);

// The record as written: every LF as CR LF.
std::string FileForm(std::string_view header, std::string_view message);

}  // namespace xtb
