// The wide printf of CStringW::Format: the format is read here; texts and
// characters are written here in wide characters (so width and precision
// count characters), and every other conversion is handed, with its flags,
// width and precision, to the library's narrow formatter.
#include <cstdint>
#include <string>
#include <string_view>

#include <xtbasis/win32/wide_strings.h>

#include "format.h"
#include "utf8cp1252.h"

namespace {

struct Conversion {
  bool leftAlign = false;
  bool zeroPad = false;
  int width = 0;
  int precision = -1;  // none
  std::string narrow;  // the conversion as the narrow formatter reads it
  wchar_t letter = 0;
};

class WideFormatter {
 public:
  WideFormatter(std::wstring& out, const XTFormatArg* args, int count) : m_out(out), m_args(args), m_count(count) {}

  void Run(const wchar_t* format) {
    for (const wchar_t* at = format; *at != 0;) {
      if (*at != L'%') {
        m_out += *at++;
      } else if (at[1] == L'%') {
        m_out += L'%';
        at += 2;
      } else {
        at = Convert(at);
      }
    }
  }

 private:
  // One conversion from its '%'; the position after it.
  const wchar_t* Convert(const wchar_t* start) {
    Conversion c;
    const wchar_t* at = start + 1;
    c.narrow = "%";
    for (; *at != 0 && std::wstring_view(L"-+ #0").find(*at) != std::wstring_view::npos; ++at) {
      c.leftAlign |= *at == L'-';
      c.zeroPad |= *at == L'0';
      c.narrow += static_cast<char>(*at);
    }
    c.width = Number(at);
    if (c.width < 0) {
      c.leftAlign = true;
      c.narrow += '-';
      c.width = -c.width;
    }
    if (c.width > 0) c.narrow += std::to_string(c.width);
    if (*at == L'.') {
      ++at;
      c.precision = Number(at);
      if (c.precision < 0) c.precision = -1;  // a negative '*' counts as none
      if (c.precision >= 0) c.narrow += "." + std::to_string(c.precision);
    }
    // Length modifiers; 'h', 'l' and 'w' before a text are not needed: the
    // arguments' own types decide how a text is read.
    for (; *at != 0 && std::wstring_view(L"hlLwIjzt0123456789").find(*at) != std::wstring_view::npos; ++at)
      if (*at != L'w') c.narrow += static_cast<char>(*at);
    if (*at == 0) {
      m_out.append(start, at);  // an unfinished conversion is copied as written
      return at;
    }
    c.letter = *at++;
    switch (c.letter) {
      case L's':
      case L'S':
      case L'Z':
        Pad(c, TextOf(Next(), c.precision));
        break;
      case L'c':
      case L'C':
        Pad(c, CharacterOf(Next()));
        break;
      case L'n':
        Next();  // writes nothing, as in the narrow formatter
        break;
      default:
        if (std::wstring_view(L"diouxXeEfFgGaAp").find(c.letter) == std::wstring_view::npos) {
          m_out.append(start, at);  // unknown conversions are copied as written
        } else {
          c.narrow += static_cast<char>(c.letter);
          AppendNumber(c.narrow, Next());
        }
    }
    return at;
  }

  // A width or precision: digits, or '*' for the next argument; 0 for none.
  int Number(const wchar_t*& at) {
    if (*at == L'*') {
      ++at;
      const XTFormatArg* arg = Next();
      if (arg == nullptr || (arg->kind != XTFORMAT_SIGNED && arg->kind != XTFORMAT_UNSIGNED)) return 0;
      const int64_t value = arg->value.i;
      return value > 100000 ? 100000 : value < -100000 ? -100000 : static_cast<int>(value);
    }
    int value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) value = value < 100000 ? value * 10 + (*at - L'0') : value;
    return value;
  }

  const XTFormatArg* Next() { return m_next < m_count ? &m_args[m_next++] : nullptr; }

  static std::wstring TextOf(const XTFormatArg* arg, int precision) {
    std::wstring text;
    const size_t limit = precision < 0 ? SIZE_MAX : static_cast<size_t>(precision);
    if (arg == nullptr) return text;
    switch (arg->kind) {
      case XTFORMAT_STRING:
        text = arg->value.s == nullptr ? L"(null)" : xtb::win32::WideOf(std::string_view(arg->value.s).substr(0, limit));
        break;
      case XTFORMAT_COUNTED_STRING:
        text = xtb::win32::WideOf(std::string_view(arg->value.s, arg->length).substr(0, limit));
        break;
      case XTFORMAT_WIDE_STRING:
        text = arg->value.ws == nullptr ? L"(null)" : std::wstring(std::wstring_view(arg->value.ws).substr(0, limit));
        break;
      case XTFORMAT_UTF16_STRING:
        if (arg->value.s16 == nullptr) {
          text = L"(null)";
        } else {
          text = xtb::win32::WideOfUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(arg->value.s16)));
          if (text.size() > limit) text.resize(limit);
        }
        break;
      default:
        break;  // not a text: nothing is written
    }
    return text;
  }

  // A char argument is a 1252 byte; a wider one a code point.
  static std::wstring CharacterOf(const XTFormatArg* arg) {
    if (arg == nullptr || (arg->kind != XTFORMAT_SIGNED && arg->kind != XTFORMAT_UNSIGNED)) return {};
    if (arg->bits == 8) return std::wstring(1, static_cast<wchar_t>(xtb::Cp1252CodePoint(static_cast<unsigned char>(arg->value.u))));
    return std::wstring(1, static_cast<wchar_t>(static_cast<uint32_t>(arg->value.u)));
  }

  void Pad(const Conversion& c, const std::wstring& text) {
    const size_t fill = static_cast<size_t>(c.width) > text.size() ? static_cast<size_t>(c.width) - text.size() : 0;
    if (c.leftAlign) {
      m_out.append(text).append(fill, L' ');
    } else {
      m_out.append(fill, c.zeroPad ? L'0' : L' ').append(text);
    }
  }

  // A number (or pointer) through the narrow formatter, which reads the
  // argument as its own type; a text under a number's conversion writes
  // nothing there.
  void AppendNumber(const std::string& conversion, const XTFormatArg* arg) {
    if (arg == nullptr) return;
    std::string text;
    xtb::AppendFormatted(text, conversion.c_str(), arg, 1);
    m_out += xtb::win32::WideOf(text);
  }

  std::wstring& m_out;
  const XTFormatArg* m_args;
  int m_count;
  int m_next = 0;
};

}  // namespace

namespace xtb::win32 {

void AppendWideFormatted(std::wstring& out, const wchar_t* format, const XTFormatArg* args, int count) {
  if (format == nullptr) return;
  WideFormatter(out, args, count).Run(format);
}

}  // namespace xtb::win32
