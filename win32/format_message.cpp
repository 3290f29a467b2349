// FormatMessageA: the message's text (a program's own, a module's or the
// system's), its inserts and escapes, the line width and the buffer it is
// handed out in.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <xtbasis/win32/system_messages.h>

#include "format.h"
#include "format_message.h"
#include "message_text.h"

namespace {

constexpr int kMostInserts = 99;
constexpr DWORD kNoBreaks = FORMAT_MESSAGE_MAX_WIDTH_MASK;

// "%N" or "%N!conversion!" at `at` (the '%'); number 0 when there is none.
struct Insert {
  int number = 0;
  std::string conversion = "s";
  size_t length = 0;
  int starCount = 0;  // each '*' takes a number: %1!*s! is width %1, text %2
};

Insert InsertAt(const std::string& text, size_t at) {
  Insert insert;
  const char* start = text.c_str() + at + 1;
  const char* p = start;
  size_t number;
  if (!xtb::ReadMessageInsert(p, number, insert.conversion)) return insert;
  for (char ch : insert.conversion) insert.starCount += ch == '*' ? 1 : 0;
  insert.number = static_cast<int>(number);
  insert.length = static_cast<size_t>(p - start) + 1;
  return insert;
}

// The highest insert number `text` uses, the numbers its '*' take included.
int HighestInsert(const std::string& text) {
  int highest = 0;
  for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
    const Insert insert = InsertAt(text, at);
    if (insert.number > 0) highest = std::max(highest, insert.number + insert.starCount);
  }
  return std::min(highest, kMostInserts);
}

// The inserts' values, one machine word each, numbered from 1.
class InsertValues {
 public:
  InsertValues(DWORD flags, va_list* arguments, int highest) {
    if (arguments == nullptr) return;
    if ((flags & FORMAT_MESSAGE_ARGUMENT_ARRAY) != 0) {
      m_array = reinterpret_cast<const DWORD_PTR*>(arguments);
      return;
    }
    // Every insert is an integer or a pointer, and each takes one word of a
    // variadic call on this platform, so the list is read as words.
    va_list copy;
    va_copy(copy, *arguments);
    for (int i = 0; i < highest; ++i) m_read.push_back(va_arg(copy, DWORD_PTR));
    va_end(copy);
  }

  bool Given() const { return m_array != nullptr || !m_read.empty(); }
  DWORD_PTR At(int number) const {
    return m_array != nullptr ? m_array[number - 1] : m_read[static_cast<size_t>(number - 1)];
  }

 private:
  const DWORD_PTR* m_array = nullptr;
  std::vector<DWORD_PTR> m_read;
};

bool IsFloatingConversion(char ch) { return std::strchr("eEfFgGaA", ch) != nullptr; }

// The value as the conversion reads it: 32-bit integers unless the
// conversion asks for 64 (ll, I64) or 16 (h) bits, as on Windows where long
// has 32 bits; texts 8-bit unless wide (S, ls, ws).
XTFormatArg ArgumentFor(const std::string& conversion, DWORD_PTR value) {
  const char kind = conversion.back();
  const bool wide = kind == 'S' || kind == 'C' || conversion.find('l') != std::string::npos ||
                    conversion.find('w') != std::string::npos;
  const bool bits64 = conversion.find("ll") != std::string::npos || conversion.find("I64") != std::string::npos ||
                      (conversion.find('I') != std::string::npos && conversion.find("I32") == std::string::npos);
  const bool bits16 = conversion.find('h') != std::string::npos;
  switch (kind) {
    case 's':
    case 'S':
      return wide ? xtb::FormatArgOf(reinterpret_cast<const char16_t*>(value))
                  : xtb::FormatArgOf(reinterpret_cast<const char*>(value));
    case 'p':
      return xtb::FormatArgOf(reinterpret_cast<const void*>(value));
    case 'd':
    case 'i':
      if (bits64) return xtb::FormatArgOf(static_cast<int64_t>(value));
      if (bits16) return xtb::FormatArgOf(static_cast<int16_t>(value));
      return xtb::FormatArgOf(static_cast<int32_t>(value));
    default:
      if (bits64) return xtb::FormatArgOf(static_cast<uint64_t>(value));
      if (bits16) return xtb::FormatArgOf(static_cast<uint16_t>(value));
      return xtb::FormatArgOf(static_cast<uint32_t>(value));
  }
}

void AppendInsert(std::string& out, const Insert& insert, const InsertValues& values, const std::string& text,
                  size_t at) {
  if (IsFloatingConversion(insert.conversion.back())) {
    out.append(text, at, insert.length);  // not carried, as on Windows
    return;
  }
  std::vector<XTFormatArg> args;
  for (int i = 1; i <= insert.starCount; ++i)
    args.push_back(xtb::FormatArgOf(static_cast<int32_t>(values.At(insert.number + i - 1))));
  args.push_back(ArgumentFor(insert.conversion, values.At(insert.number + insert.starCount)));
  xtb::AppendFormatted(out, ("%" + insert.conversion).c_str(), args.data(), args.size());
}

// The message with its inserts and escapes replaced; false when an insert
// needs a value and none is given.
bool Expand(const std::string& text, DWORD flags, const InsertValues& values, std::string& out) {
  const bool ignoreInserts = (flags & FORMAT_MESSAGE_IGNORE_INSERTS) != 0;
  const bool ownBreaks = (flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == 0;
  for (size_t at = 0; at < text.size();) {
    const char ch = text[at];
    if (ch == '\r' || ch == '\n') {
      const size_t length = ch == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
      if (ownBreaks) {
        out.append(text, at, length);
      } else {
        out += ' ';
      }
      at += length;
      continue;
    }
    if (ch != '%' || at + 1 >= text.size()) {
      out += ch;
      ++at;
      continue;
    }
    const Insert insert = InsertAt(text, at);
    if (insert.number > 0) {
      if (ignoreInserts) {
        out.append(text, at, insert.length);
      } else if (!values.Given()) {
        return false;
      } else {
        AppendInsert(out, insert, values, text, at);
      }
      at += insert.length;
      continue;
    }
    const char escape = text[at + 1];
    at += 2;
    if (!xtb::AppendMessageEscape(out, escape)) return true;
  }
  return true;
}

// Each line of `text` (lines end at CR LF) broken at blanks into lines of at
// most `width` characters; a word longer than that is cut.
std::string Wrapped(const std::string& text, size_t width) {
  std::string out;
  size_t lineStart = 0;
  while (lineStart <= text.size()) {
    const size_t lineEnd = std::min(text.find("\r\n", lineStart), text.size());
    std::string_view line(text.data() + lineStart, lineEnd - lineStart);
    while (line.size() > width) {
      size_t cut = line.rfind(' ', width);
      const bool atBlank = cut != std::string_view::npos && cut > 0;
      if (!atBlank) cut = width;
      out.append(line.substr(0, cut));
      out += "\r\n";
      line.remove_prefix(atBlank ? cut + 1 : cut);
    }
    out.append(line);
    if (lineEnd == text.size()) break;
    out += "\r\n";
    lineStart = lineEnd + 2;
  }
  return out;
}

// The message's text before its inserts; false with the last error.
bool MessageOf(DWORD flags, LPCVOID source, DWORD id, std::string& text) {
  if ((flags & FORMAT_MESSAGE_FROM_STRING) != 0) {
    if (source == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    text = static_cast<const char*>(source);
    return true;
  }
  const bool fromModule = (flags & FORMAT_MESSAGE_FROM_HMODULE) != 0;
  const bool fromSystem = (flags & FORMAT_MESSAGE_FROM_SYSTEM) != 0;
  if (!fromModule && !fromSystem) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  CString found;
  if (!xtb::FindMessageText(static_cast<HMODULE>(const_cast<void*>(source)), fromModule, fromSystem, id, found)) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return false;
  }
  text.assign(found.GetString(), static_cast<size_t>(found.GetLength()));
  return true;
}

// Hands `text` out as the caller asked; its length, or 0 with the last error.
DWORD HandOut(const std::string& text, DWORD flags, LPSTR buffer, DWORD size) {
  if (buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t needed = text.size() + 1;
  char* target = buffer;
  if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
    target = static_cast<char*>(LocalAlloc(LMEM_FIXED, std::max<size_t>(needed, size)));
    if (target == nullptr) return 0;
    *reinterpret_cast<char**>(buffer) = target;
  } else if (needed > size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(target, text.c_str(), needed);
  return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD, LPSTR buffer, DWORD size,
                     va_list* arguments) {
  std::string text;
  if (!MessageOf(flags, source, messageId, text)) return 0;
  std::string out;
  const InsertValues values(flags, arguments, (flags & FORMAT_MESSAGE_IGNORE_INSERTS) != 0 ? 0 : HighestInsert(text));
  if (!Expand(text, flags, values, out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD width = flags & FORMAT_MESSAGE_MAX_WIDTH_MASK;
  if (width != 0 && width != kNoBreaks) out = Wrapped(out, width);
  return HandOut(out, flags, buffer, size);
}
