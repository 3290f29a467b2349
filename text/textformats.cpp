// IBAN groups, formatting tags, XML escapes, percent-encoding, byte sizes,
// tab lists and SQL IN lists.
#include <cstdio>
#include <string>

#include <string_view>

#include <xtbasis/platform/winlong.h>
#include <xtbasis/textfields.h>
#include <xtbasis/textformats.h>
#include <xtbasis/transcode.h>

CString FormatIBAN(const CString& iban) {
  if (iban.Find(' ') >= 0 || iban.GetLength() < 5) return iban;
  std::string out;
  const std::string& s = iban.str();
  for (size_t i = 0; i < s.size(); ++i) {
    if (i != 0 && i % 4 == 0) out += ' ';
    out += s[i];
  }
  return CString(std::move(out));
}

CString RemoveTags(CString text) {
  for (const char* tag : {"<Bold>", "</Bold>", "<Italic>", "</Italic>", "<Underline>", "</Underline>"})
    text.Replace(tag, "");
  text.Replace("&quot;", "\"");
  text.Replace("&gt;", ">");
  text.Replace("&lt;", "<");
  text.Replace("&amp;", "&");
  return text;
}

CString Str2XML(CString text) {
  text.Replace("&", "&amp;");
  text.Replace("<", "&lt;");
  text.Replace(">", "&gt;");
  text.Replace("\"", "&quot;");
  return text;
}

CString BytesToString(double byteCount) {
  static const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB"};
  int unit = 0;
  while (unit < 4 && byteCount >= 1024) {
    byteCount *= 1.0 / 1024;
    ++unit;
  }
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%.1f", byteCount);
  CString number(buf, n < static_cast<int>(sizeof buf) ? n : static_cast<int>(sizeof buf) - 1);
  number.TrimRight('0');
  number.TrimRight(',');
  return number + " " + kUnits[unit];
}

CString MakeAbsTabs(const char* const* pairs) {
  CString result;
  if (pairs == nullptr) return result;
  int total = 0;
  for (; pairs[0] != nullptr; pairs += 2) {
    if (pairs[1] == nullptr) continue;
    total += xtb::winlong::AToL(pairs[1]);
    Add(result, ",", CString(pairs[0]) + CString(std::to_string(total)), -1);
  }
  return result;
}

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

CString MakeInCall(const CString& text, int width) {
  const int length = text.GetLength();
  if (length == 0) return CString();
  const int piece = width > 0 ? width : length;
  CString list;
  for (int at = 0; at < length; at += piece) {
    if (at > 0) list += ",";
    list += "'";
    list += text.Mid(at, piece);
    list += "'";
  }
  return list;
}
