// Wide strings and the conversions between them and code page 1252 or UTF-8:
// CStringW, MultiByteToWideChar and WideCharToMultiByte, the conversion
// classes CW2A, CA2W, CT2A, CA2T, CW2T, CT2W, CW2CT ... and USES_CONVERSION
// with A2W, W2A, T2A, A2T, W2T, T2W, A2CW, W2CA.
//
// wchar_t has 32 bits here (16 on Windows), so a wide string holds one
// code point per wchar_t, and L"..." literals mean the same characters as on
// Windows. Counts of wide characters are code points: a character beyond
// U+FFFF, two UTF-16 units on Windows, is one wchar_t here. UTF-16 proper
// (surrogate pairs) is what Utf16Of gives where data leave for a char16_t
// interface; a surrogate pair found in a wide string is read as its
// character when it is converted.
//
// The ANSI code page (CP_ACP, CP_THREAD_ACP) is 1252 and every one of its
// 256 bytes converts to a wide character and back: the five bytes 1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same number, as Windows maps them. Characters that 1252
// lacks become the default character ('?'); there is no best-fit mapping
// (as with WC_NO_BEST_FIT_CHARS). UTF-8 (CP_UTF8) is decoded strictly:
// each ill-formed sequence is one U+FFFD, or a failure with
// MB_ERR_INVALID_CHARS. Other code pages fail with ERROR_INVALID_PARAMETER
// (the conversion classes throw CAtlException with E_INVALIDARG).
//
// The conversion classes hold their result: a temporary lives to the end of
// the full expression, a named object to the end of its scope. The
// USES_CONVERSION macros (alloca on Windows) keep each result on the heap
// until the end of the scope that declared USES_CONVERSION.
//
// CStringW carries the CString members that programs use; its case
// functions map the characters of the 1252 repertoire, other characters
// stay as they are. Format takes the wide printf forms of the Windows
// runtime, where %s is a wide string and %S (or %hs) a narrow one; since the
// arguments are typed, each text argument is shown as what it is (a narrow
// string is read as 1252) whichever of them the format names.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <type_traits>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/wintypes.h>

typedef wchar_t WCHAR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* PWSTR;
typedef const wchar_t* PCWSTR;
typedef const char* LPCCH;
typedef const wchar_t* LPCWCH;

#ifndef CP_ACP
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001
#endif

#ifndef MB_PRECOMPOSED
#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008
#endif

#ifndef WC_NO_BEST_FIT_CHARS
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400
#endif

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

// Windows' size protocol: a count of -1 takes the text up to and including
// its NUL; an output count of 0 asks for the size needed (in wchar_t, or
// bytes), a smaller buffer fails with ERROR_INSUFFICIENT_BUFFER. Flags that
// change characters (MB_COMPOSITE, MB_USEGLYPHCHARS) are not carried and fail
// with ERROR_INVALID_FLAGS; the composition flags of WideCharToMultiByte are
// taken and change nothing.
XTBASIS_C_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH multiByte, int multiByteCount, LPWSTR wide,
                                      int wideCount);
XTBASIS_C_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideCount, LPSTR multiByte,
                                      int multiByteCount, LPCCH defaultChar, LPBOOL usedDefaultChar);

namespace xtb::win32 {

// Text in a code page as wide text and back, with the replacements above;
// CAtlException(E_INVALIDARG) for a code page other than CP_ACP,
// CP_THREAD_ACP, 1252 and CP_UTF8.
XTBASIS_API std::wstring WideOf(std::string_view text, UINT codePage = CP_ACP);
XTBASIS_API std::string NarrowOf(std::wstring_view text, UINT codePage = CP_ACP);

// Wide text as UTF-16 units (surrogate pairs beyond U+FFFF; U+FFFD for a
// value that is no character) and back (an unpaired surrogate is U+FFFD).
XTBASIS_API std::u16string Utf16Of(std::wstring_view text);
XTBASIS_API std::wstring WideOfUtf16(std::u16string_view units);

// The wide printf: `format` with `count` typed arguments, appended to `out`.
XTBASIS_API void AppendWideFormatted(std::wstring& out, const wchar_t* format, const XTFormatArg* args, int count);

// The typed argument of a value for the wide printf: wide string classes
// are their text, everything else as for the narrow one.
template <class T>
XTFormatArg WideFormatArgOf(const T& argument) {
  XTFormatArg arg{};
  if constexpr (requires { { argument.GetString() } -> std::convertible_to<const wchar_t*>; }) {
    arg.kind = XTFORMAT_WIDE_STRING;
    arg.value.ws = argument.GetString();
    return arg;
  } else if constexpr (std::is_same_v<T, std::wstring>) {
    arg.kind = XTFORMAT_WIDE_STRING;
    arg.value.ws = argument.c_str();
    return arg;
  } else {
    return xtb::FormatArgOf(argument);
  }
}

}  // namespace xtb::win32

class XTBASIS_API CStringW {
 public:
  CStringW() = default;
  CStringW(const wchar_t* text) : m_text(text == nullptr ? L"" : text) {}  // NULL gives the empty string
  CStringW(const wchar_t* text, int length) : m_text(text == nullptr || length <= 0 ? L"" : std::wstring(text, static_cast<size_t>(length))) {}
  CStringW(wchar_t ch, int repeat = 1) : m_text(static_cast<size_t>(repeat < 0 ? 0 : repeat), ch) {}
  CStringW(std::wstring text) : m_text(std::move(text)) {}
  explicit CStringW(std::wstring_view text) : m_text(text) {}
  // Narrow text is code page 1252.
  CStringW(const char* text) : m_text(text == nullptr ? std::wstring() : xtb::win32::WideOf(text)) {}
  CStringW(const CString& text) : m_text(xtb::win32::WideOf(text.view())) {}

  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }

  operator const wchar_t*() const { return m_text.c_str(); }
  const wchar_t* GetString() const { return m_text.c_str(); }
  const std::wstring& str() const { return m_text; }
  std::wstring_view view() const { return m_text; }
  // The text in code page 1252, '?' for what it lacks.
  operator CString() const { return CString(xtb::win32::NarrowOf(m_text)); }

  wchar_t operator[](int index) const { return m_text.at(static_cast<size_t>(index)); }
  wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
  void SetAt(int index, wchar_t ch) { m_text.at(static_cast<size_t>(index)) = ch; }

  CStringW& operator+=(const CStringW& other) { m_text += other.m_text; return *this; }
  CStringW& operator+=(const wchar_t* text) { if (text != nullptr) m_text += text; return *this; }
  CStringW& operator+=(wchar_t ch) { m_text += ch; return *this; }
  void Append(const wchar_t* text, int length) { if (text != nullptr && length > 0) m_text.append(text, static_cast<size_t>(length)); }
  void AppendChar(wchar_t ch) { m_text += ch; }

  // By code point value (<0, 0, >0); CompareNoCase folds the 1252 repertoire.
  int Compare(const wchar_t* text) const;
  int CompareNoCase(const wchar_t* text) const;

  CStringW Left(int count) const;
  CStringW Right(int count) const;
  CStringW Mid(int first) const { return Mid(first, GetLength()); }
  CStringW Mid(int first, int count) const;

  // Index of the match or -1.
  int Find(wchar_t ch, int start = 0) const;
  int Find(const wchar_t* sub, int start = 0) const;
  int ReverseFind(wchar_t ch) const;
  int FindOneOf(const wchar_t* set) const;

  // Counts of replaced / removed characters; the new length for Insert and Delete.
  int Replace(wchar_t from, wchar_t to);
  int Replace(const wchar_t* from, const wchar_t* to);
  int Remove(wchar_t ch);
  int Insert(int index, wchar_t ch) { return Insert(index, std::wstring_view(&ch, 1)); }
  int Insert(int index, const wchar_t* text) { return Insert(index, std::wstring_view(text == nullptr ? L"" : text)); }
  int Delete(int index, int count = 1);

  CStringW& MakeUpper();
  CStringW& MakeLower();
  CStringW& MakeReverse();

  // Without an argument white space (space, TAB, CR, LF, VT, FF) is trimmed.
  CStringW& Trim() { return TrimRight().TrimLeft(); }
  CStringW& Trim(const wchar_t* set) { return TrimRight(set).TrimLeft(set); }
  CStringW& TrimLeft(const wchar_t* set = kWhiteSpace);
  CStringW& TrimRight(const wchar_t* set = kWhiteSpace);

  template <class... Args>
  void Format(const wchar_t* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::win32::WideFormatArgOf(args)..., XTFormatArg{}};
    std::wstring text;
    xtb::win32::AppendWideFormatted(text, format, list, static_cast<int>(sizeof...(Args)));
    m_text = std::move(text);
  }
  template <class... Args>
  void AppendFormat(const wchar_t* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::win32::WideFormatArgOf(args)..., XTFormatArg{}};
    std::wstring text;
    xtb::win32::AppendWideFormatted(text, format, list, static_cast<int>(sizeof...(Args)));
    m_text += text;
  }

  // Direct access: the buffer holds at least minLength characters plus a
  // terminating NUL; ReleaseBuffer(-1) takes the length up to the first NUL.
  wchar_t* GetBuffer(int minLength = 0);
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  friend CStringW operator+(const CStringW& a, const CStringW& b) { return CStringW(a.m_text + b.m_text); }
  friend CStringW operator+(const CStringW& a, const wchar_t* b) { return a + CStringW(b); }
  friend CStringW operator+(const wchar_t* a, const CStringW& b) { return CStringW(a) + b; }
  friend CStringW operator+(const CStringW& a, wchar_t b) { return CStringW(a.m_text + b); }
  friend CStringW operator+(wchar_t a, const CStringW& b) { return CStringW(a + b.m_text); }

  friend bool operator==(const CStringW& a, const CStringW& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CStringW& a, const wchar_t* b) { return a.Compare(b) == 0; }
  friend auto operator<=>(const CStringW& a, const CStringW& b) { return a.m_text <=> b.m_text; }
  friend auto operator<=>(const CStringW& a, const wchar_t* b) { return a.Compare(b) <=> 0; }

 private:
  static constexpr const wchar_t* kWhiteSpace = L" \t\r\n\v\f";
  int Insert(int index, std::wstring_view text);

  std::wstring m_text;
};

namespace xtb::win32 {

// The result of a conversion class: the text converted from `From`
// characters to `To` characters (copied when they are the same), null for a
// null source.
template <class From, class To>
class ConvertedText {
 public:
  ConvertedText(const From* text, UINT codePage = CP_ACP) : m_null(text == nullptr) {
    if (text == nullptr) return;
    if constexpr (std::is_same_v<From, To>) {
      (void)codePage;  // text of the program's own kind needs no conversion
      m_text = text;
    } else if constexpr (std::is_same_v<To, wchar_t>) {
      m_text = WideOf(text, codePage);
    } else {
      m_text = NarrowOf(text, codePage);
    }
  }
  operator To*() const { return m_null ? nullptr : m_text.data(); }

 private:
  mutable std::basic_string<To> m_text;
  bool m_null;
};

// What USES_CONVERSION declares: the results of A2W, W2A ... kept until the
// end of the scope.
class ConversionArena {
 public:
  wchar_t* Wide(const char* text) { return text == nullptr ? nullptr : m_wide.emplace_back(WideOf(text)).data(); }
  char* Narrow(const wchar_t* text) { return text == nullptr ? nullptr : m_narrow.emplace_back(NarrowOf(text)).data(); }

 private:
  std::deque<std::wstring> m_wide;  // a deque never moves what it holds
  std::deque<std::string> m_narrow;
};

}  // namespace xtb::win32

typedef xtb::win32::ConvertedText<wchar_t, char> CW2A;
typedef xtb::win32::ConvertedText<char, wchar_t> CA2W;
typedef xtb::win32::ConvertedText<char, char> CA2A;
typedef xtb::win32::ConvertedText<wchar_t, wchar_t> CW2W;
typedef CA2A CA2CA;
typedef CW2W CW2CW;
// TCHAR is char: the T forms are the narrow ones.
typedef CA2A CT2A;
typedef CA2A CA2T;
typedef CA2A CT2CA;
typedef CA2A CA2CT;
typedef CW2A CW2T;
typedef CW2A CW2CT;
typedef CA2W CT2W;
typedef CA2W CT2CW;

#define USES_CONVERSION ::xtb::win32::ConversionArena xtbConversionArena
#define A2W(text) (xtbConversionArena.Wide(text))
#define W2A(text) (xtbConversionArena.Narrow(text))
#define A2CW(text) (static_cast<LPCWSTR>(A2W(text)))
#define W2CA(text) (static_cast<LPCSTR>(W2A(text)))
#define T2W(text) A2W(text)
#define W2T(text) W2A(text)
#define T2CW(text) A2CW(text)
#define W2CT(text) W2CA(text)

inline LPSTR T2A(LPSTR text) { return text; }
inline LPCSTR T2A(LPCSTR text) { return text; }
inline LPSTR A2T(LPSTR text) { return text; }
inline LPCSTR A2T(LPCSTR text) { return text; }
inline LPCSTR T2CA(LPCSTR text) { return text; }
inline LPCSTR A2CT(LPCSTR text) { return text; }
