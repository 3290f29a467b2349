// Conversions between wide text and code page 1252 or UTF-8, and the two
// Win32 calls with their argument checks and size protocol.
#include <cstring>
#include <string>
#include <string_view>

#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/wide_strings.h>

#include "utf8cp1252.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

enum class Page { kCp1252, kUtf8, kUnknown };

Page PageOf(UINT codePage) {
  if (codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == 1252) return Page::kCp1252;
  if (codePage == CP_UTF8) return Page::kUtf8;
  return Page::kUnknown;
}

bool IsSurrogate(char32_t value) { return value >= 0xD800 && value <= 0xDFFF; }

// The UTF-8 decoder: a sequence that is cut short or not allowed (overlong,
// a surrogate, beyond U+10FFFF) ends at the first byte that cannot continue
// it and counts as one ill-formed sequence. False at the first one when
// `strict`.
bool AppendUtf8Decoded(std::wstring& out, std::string_view bytes, bool strict) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07;
    }
    // The second byte's range shuts out overlong forms, surrogates and values past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    size_t taken = 1;
    for (; taken < length && i + taken < bytes.size(); ++taken) {
      const auto next = static_cast<unsigned char>(bytes[i + taken]);
      if (taken == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) break;
      value = (value << 6) | (next & 0x3F);
    }
    if (length != 0 && taken == length) {
      out += static_cast<wchar_t>(value);
    } else if (strict) {
      return false;
    } else {
      out += static_cast<wchar_t>(kReplacement);
    }
    i += taken;
  }
  return true;
}

// The character at `i` of wide text (a surrogate pair read as one), and how
// many wchar_t it took; -1 for a value that is no character.
long CharacterAt(std::wstring_view text, size_t i, size_t& taken) {
  const auto value = static_cast<char32_t>(text[i]);
  taken = 1;
  if (value >= 0xD800 && value <= 0xDBFF && i + 1 < text.size()) {
    const auto low = static_cast<char32_t>(text[i + 1]);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      taken = 2;
      return static_cast<long>(0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00));
    }
  }
  return IsSurrogate(value) || value > 0x10FFFF ? -1 : static_cast<long>(value);
}

// Wide text as UTF-8; false at the first value that is no character when
// `strict`, else U+FFFD for it.
bool AppendUtf8Encoded(std::string& out, std::wstring_view text, bool strict) {
  char bytes[4];
  for (size_t i = 0, taken = 0; i < text.size(); i += taken) {
    long character = CharacterAt(text, i, taken);
    if (character < 0) {
      if (strict) return false;
      character = kReplacement;
    }
    out.append(bytes, xtb::PutUtf8(static_cast<char32_t>(character), bytes));
  }
  return true;
}

// Wide text as 1252; `replacement` for each character it lacks.
void AppendCp1252Encoded(std::string& out, std::wstring_view text, char replacement, bool* usedReplacement) {
  for (size_t i = 0, taken = 0; i < text.size(); i += taken) {
    const long character = CharacterAt(text, i, taken);
    const int byte = character < 0 ? -1 : xtb::Cp1252ByteOf(static_cast<char32_t>(character));
    if (byte < 0) {
      out += replacement;
      if (usedReplacement != nullptr) *usedReplacement = true;
    } else {
      out += static_cast<char>(byte);
    }
  }
}

void AppendCp1252Decoded(std::wstring& out, std::string_view bytes) {
  for (char byte : bytes) out += static_cast<wchar_t>(xtb::Cp1252CodePoint(static_cast<unsigned char>(byte)));
}

// A call's text argument: -1 takes the NUL too; other negative counts and 0 are refused.
template <class Char>
bool SourceOf(const Char* text, int count, std::basic_string_view<Char>& source) {
  if (text == nullptr || count == 0 || count < -1) return false;
  source = count == -1 ? std::basic_string_view<Char>(text, std::char_traits<Char>::length(text) + 1)
                       : std::basic_string_view<Char>(text, static_cast<size_t>(count));
  return true;
}

// Copies the converted text under the size protocol: its size when the
// caller asked for it (count 0), else the text if it fits.
template <class Char>
int Deliver(const std::basic_string<Char>& converted, Char* out, int outCount) {
  if (converted.size() > static_cast<size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int size = static_cast<int>(converted.size());
  if (outCount == 0) return size;
  if (size > outCount) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
  return size;
}

int Refuse(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH multiByte, int multiByteCount, LPWSTR wide, int wideCount) {
  std::string_view source;
  const Page page = PageOf(codePage);
  if (page == Page::kUnknown || !SourceOf(multiByte, multiByteCount, source) || wideCount < 0 ||
      (wideCount > 0 && wide == nullptr) || static_cast<const void*>(wide) == static_cast<const void*>(multiByte))
    return Refuse(ERROR_INVALID_PARAMETER);
  const DWORD allowed = page == Page::kUtf8 ? MB_ERR_INVALID_CHARS : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
  if ((flags & ~allowed) != 0) return Refuse(ERROR_INVALID_FLAGS);
  std::wstring converted;
  if (page == Page::kCp1252) {
    AppendCp1252Decoded(converted, source);  // every byte has its character
  } else if (!AppendUtf8Decoded(converted, source, (flags & MB_ERR_INVALID_CHARS) != 0)) {
    return Refuse(ERROR_NO_UNICODE_TRANSLATION);
  }
  return Deliver(converted, wide, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideCount, LPSTR multiByte, int multiByteCount,
                        LPCCH defaultChar, LPBOOL usedDefaultChar) {
  std::wstring_view source;
  const Page page = PageOf(codePage);
  if (page == Page::kUnknown || !SourceOf(wide, wideCount, source) || multiByteCount < 0 ||
      (multiByteCount > 0 && multiByte == nullptr) ||
      static_cast<const void*>(wide) == static_cast<const void*>(multiByte))
    return Refuse(ERROR_INVALID_PARAMETER);
  std::string converted;
  if (page == Page::kUtf8) {
    if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return Refuse(ERROR_INVALID_FLAGS);
    // UTF-8 has no default character.
    if (defaultChar != nullptr || usedDefaultChar != nullptr) return Refuse(ERROR_INVALID_PARAMETER);
    if (!AppendUtf8Encoded(converted, source, (flags & WC_ERR_INVALID_CHARS) != 0))
      return Refuse(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    const DWORD allowed = WC_COMPOSITECHECK | WC_DEFAULTCHAR | WC_DISCARDNS | WC_SEPCHARS | WC_NO_BEST_FIT_CHARS;
    if ((flags & ~allowed) != 0) return Refuse(ERROR_INVALID_FLAGS);
    bool used = false;
    AppendCp1252Encoded(converted, source, defaultChar != nullptr ? *defaultChar : '?', &used);
    if (usedDefaultChar != nullptr) *usedDefaultChar = used ? TRUE : FALSE;
  }
  return Deliver(converted, multiByte, multiByteCount);
}

namespace xtb::win32 {

std::wstring WideOf(std::string_view text, UINT codePage) {
  std::wstring wide;
  switch (PageOf(codePage)) {
    case Page::kCp1252:
      AppendCp1252Decoded(wide, text);
      break;
    case Page::kUtf8:
      AppendUtf8Decoded(wide, text, false);
      break;
    case Page::kUnknown:
      AtlThrow(E_INVALIDARG);
  }
  return wide;
}

std::string NarrowOf(std::wstring_view text, UINT codePage) {
  std::string narrow;
  switch (PageOf(codePage)) {
    case Page::kCp1252:
      AppendCp1252Encoded(narrow, text, '?', nullptr);
      break;
    case Page::kUtf8:
      AppendUtf8Encoded(narrow, text, false);
      break;
    case Page::kUnknown:
      AtlThrow(E_INVALIDARG);
  }
  return narrow;
}

std::u16string Utf16Of(std::wstring_view text) {
  std::u16string units;
  for (size_t i = 0, taken = 0; i < text.size(); i += taken) {
    long character = CharacterAt(text, i, taken);
    if (character < 0) character = kReplacement;
    if (character >= 0x10000) {
      character -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (character >> 10));
      units += static_cast<char16_t>(0xDC00 + (character & 0x3FF));
    } else {
      units += static_cast<char16_t>(character);
    }
  }
  return units;
}

std::wstring WideOfUtf16(std::u16string_view units) {
  std::wstring wide;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t value = units[i];
    if (value >= 0xD800 && value <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      value = 0x10000 + ((value - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (IsSurrogate(value)) {
      value = kReplacement;
    }
    wide += static_cast<wchar_t>(value);
  }
  return wide;
}

}  // namespace xtb::win32
