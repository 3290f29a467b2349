// Small text filters: line breaks to blanks, letters and digits only,
// percent-encoding, storage reservation.
#include <string>

#include <xtbasis/numbers.h>
#include <xtbasis/tokenize.h>

namespace {

template <typename Keep>
CString Filter(const CString& text, Keep keep) {
  std::string out;
  out.reserve(text.str().size());
  for (const char c : text.str())
    if (keep(static_cast<unsigned char>(c))) out += c;
  return CString(std::move(out));
}

}  // namespace

void RemoveCRLF(CString& text) {
  text.Replace("\r\n", " ");
  text.Replace("\n\r", " ");
  text.Replace('\r', ' ');
  text.Replace('\n', ' ');
}

CString GetAlNum(const CString& text) { return Filter(text, isxtalnum); }
CString GetDigit(const CString& text) { return Filter(text, isxtdigit); }

void ReserveString(CString& text, int length) { text.Preallocate(length); }

CString PercentEncode(const CString& text) {
  static constexpr std::string_view kReserved = ":/?#[]@!$&'()*+,;=%";
  static constexpr char kHex[] = "0123456789ABCDEF";
  const CString utf8 = AnsiToUTF8(text);
  std::string out;
  out.reserve(utf8.str().size() * 3);
  for (const char c : utf8.str()) {
    const auto b = static_cast<unsigned char>(c);
    if (b == ' ') {
      out += '+';
    } else if (b >= 0x80 || kReserved.find(c) != std::string_view::npos) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return CString(std::move(out));
}
