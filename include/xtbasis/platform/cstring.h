// CString: the 8-bit string with value semantics that the library's
// signatures use (code page 1252). Length-counted, so embedded NUL bytes are
// kept; indices and counts are int as callers expect, and out-of-range
// arguments are clamped the way the familiar Windows class clamps them.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/wintypes.h>

// The Windows headers make LoadString and FormatMessage macros for their
// 8-bit calls (LoadStringA ...). The members of those names are declared
// here under both spellings, with the macros set aside, so a call compiles
// whether or not the macros are in force where it is written.
#pragma push_macro("LoadString")
#pragma push_macro("FormatMessage")
#undef LoadString
#undef FormatMessage

class XTBASIS_API CString {
 public:
  CString() = default;
  CString(const char* text);  // NULL gives the empty string
  CString(const unsigned char* text);
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(std::string text) : m_text(std::move(text)) {}
  explicit CString(std::string_view text) : m_text(text) {}

  CString& operator=(const char* text);
  CString& operator=(char ch);

  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }

  operator const char*() const { return m_text.c_str(); }
  const char* GetString() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  std::string_view view() const { return m_text; }

  char operator[](int index) const { return m_text[static_cast<size_t>(index)]; }
  char GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }
  void SetAt(int index, char ch) { m_text[static_cast<size_t>(index)] = ch; }

  CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
  CString& operator+=(const char* text);
  CString& operator+=(char ch) { m_text += ch; return *this; }
  void Append(const char* text, int length);
  void AppendChar(char ch) { m_text += ch; }

  // Byte-wise comparison (<0, 0, >0); CompareNoCase folds by code page 1252.
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;
  // The order of the process locale's collation (LC_COLLATE, strcoll), as
  // the Windows runtime's: CXTSysBase::InitInstance sets the 1252 form of the
  // user's language, where German letters sort with their base letters
  // ("\xC4rger" before "Bahn", "Stra\xDF" beside "Strass") and case decides
  // last. Under a UTF-8 locale the texts are compared as UTF-8, so 1252 bytes
  // keep their meaning; under C or POSIX the order is Compare's.
  // CollateNoCase folds both texts to lower case by code page 1252 first.
  int Collate(const char* text) const;
  int CollateNoCase(const char* text) const;

  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString SpanIncluding(const char* set) const;
  CString SpanExcluding(const char* set) const;

  // Index of the match or -1.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* set) const;

  // Counts of replaced / removed characters; the new length for Insert and Delete.
  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  // Without an argument white space (space, TAB, CR, LF, VT, FF) is trimmed.
  CString& Trim();
  CString& Trim(char ch);
  CString& Trim(const char* set);
  CString& TrimLeft();
  CString& TrimLeft(char ch);
  CString& TrimLeft(const char* set);
  CString& TrimRight();
  CString& TrimRight(char ch);
  CString& TrimRight(const char* set);

  // printf with the Windows runtime's forms as well (%I64d, %S ...). C++
  // callers reach the templates, which see each argument's type: a CString
  // or std::string given to %s is its text, a 32-bit LONG or DWORD under %ld
  // or %lu is read as 32 bits. The variadic and va_list forms read their
  // arguments as the format says.
  template <class... Args>
  void Format(const char* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
    FormatList(format, list, static_cast<int>(sizeof...(Args)));
  }
  template <class... Args>
  void AppendFormat(const char* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
    AppendFormatList(format, list, static_cast<int>(sizeof...(Args)));
  }
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);
  void AppendFormatV(const char* format, va_list args);
  // The same with the format taken from string `formatId` of the resource
  // module (XTGetResourceModule); a missing string formats as an empty one.
  template <class... Args>
  void Format(UINT formatId, const Args&... args) {
    Format<Args...>(ResourceText(formatId).GetString(), args...);
  }
  template <class... Args>
  void AppendFormat(UINT formatId, const Args&... args) {
    AppendFormat<Args...>(ResourceText(formatId).GetString(), args...);
  }

  // Inserts as the Windows message formatter reads them: %1 to %99 take the
  // argument of that number (as %s), %1!d! or %2!5.2f! with a printf
  // conversion ('*' takes the arguments after it as width and precision);
  // %% is '%', %n a line break (CR LF), %r CR, %t TAB, %0 ends the text, and
  // '%' before any other character leaves that character. A CString argument
  // is its text. An insert without its argument is left out.
  template <class... Args>
  void FormatMessage(const char* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
    FormatMessageList(format, list, static_cast<int>(sizeof...(Args)));
  }
  template <class... Args>
  void FormatMessage(UINT formatId, const Args&... args) {
    FormatMessage<Args...>(ResourceText(formatId).GetString(), args...);
  }
  template <class... Args>
  void FormatMessageA(const char* format, const Args&... args) {
    FormatMessage(format, args...);
  }
  template <class... Args>
  void FormatMessageA(UINT formatId, const Args&... args) {
    FormatMessage(formatId, args...);
  }

  // String `id` of the resource module (XTGetResourceModule), or of
  // `module`. FALSE, with the string empty and the last error set as
  // LoadStringA sets it, when the string is missing.
  BOOL LoadString(UINT id) { return LoadResourceString(id); }
  BOOL LoadString(HINSTANCE module, UINT id) { return LoadModuleString(module, id); }
  BOOL LoadStringA(UINT id) { return LoadString(id); }
  BOOL LoadStringA(HINSTANCE module, UINT id) { return LoadString(module, id); }

  // Direct access: the buffer holds at least minLength characters plus a
  // terminating NUL; ReleaseBuffer(-1) takes the length up to the first NUL.
  char* GetBuffer();
  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);
  void Preallocate(int length) { m_text.reserve(static_cast<size_t>(length < 0 ? 0 : length)); }
  void Truncate(int length);

  // The next token after `start` delimited by any of `delimiters`; leading
  // delimiters are skipped. At the end `start` becomes -1 and the result is empty.
  CString Tokenize(const char* delimiters, int& start) const;

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
  friend XTBASIS_API CString operator+(const CString& a, const char* b);
  friend XTBASIS_API CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }
  friend CString operator+(char a, const CString& b) { return CString(a + b.m_text); }

  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const CString& b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }
  friend bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
  friend bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
  friend bool operator>(const CString& a, const CString& b) { return b < a; }
  friend bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
  friend bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
  friend bool operator<=(const CString& a, const CString& b) { return !(b < a); }
  friend bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
  friend bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
  friend bool operator>=(const CString& a, const CString& b) { return !(a < b); }
  friend bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
  friend bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }

 private:
  void FormatList(const char* format, const XTFormatArg* args, int count);
  void AppendFormatList(const char* format, const XTFormatArg* args, int count);
  void FormatMessageList(const char* format, const XTFormatArg* args, int count);
  BOOL LoadResourceString(UINT id);
  BOOL LoadModuleString(HINSTANCE module, UINT id);
  // String `id` of the resource module; empty when missing.
  static CString ResourceText(UINT id);
  // Whether one of the texts lies in this string's own buffer.
  bool IsAmong(const XTFormatArg* args, int count) const;

  std::string m_text;
};

typedef CString CStringA;

#pragma pop_macro("FormatMessage")
#pragma pop_macro("LoadString")
