// Wide strings and the conversions as ported programs use them: every byte of
// code page 1252 there and back, UTF-8 in both directions with ill-formed
// input, Windows' size protocol, CStringW's members and wide Format.
#include <windows.h>
#include <atlbase.h>
#include <atlstr.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string AllBytesButNul() {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(CodePage1252, EveryByteGoesToItsCharacterAndBack) {
  const std::string bytes = AllBytesButNul();
  const std::wstring wide = static_cast<LPWSTR>(CA2W(bytes.c_str()));
  ASSERT_EQ(wide.size(), 255u);
  EXPECT_EQ(wide[0x80 - 1], L'\u20AC');  // euro sign
  EXPECT_EQ(wide[0x9F - 1], L'\u0178');  // Y with diaeresis
  EXPECT_EQ(wide[0x8A - 1], L'\u0160');  // S with caron
  for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(wide[undefined - 1], static_cast<wchar_t>(undefined));
  for (int b = 1; b < 0x80; ++b) EXPECT_EQ(wide[b - 1], static_cast<wchar_t>(b));
  for (int b = 0xA0; b < 0x100; ++b) EXPECT_EQ(wide[b - 1], static_cast<wchar_t>(b));
  EXPECT_EQ(std::string(CW2A(wide.c_str())), bytes);
  EXPECT_EQ(std::string(CW2A(wide.c_str(), 1252)), bytes);

  // The same through the Win32 calls, which say that no default was needed.
  wchar_t converted[256];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.c_str(), -1, converted, 256), 256);
  EXPECT_EQ(std::wstring(converted), wide);
  char back[256];
  BOOL usedDefault = TRUE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, converted, -1, back, 256, nullptr, &usedDefault), 256);
  EXPECT_EQ(std::string(back), bytes);
  EXPECT_FALSE(usedDefault);
}

TEST(CodePage1252, CharactersItLacksBecomeTheDefaultCharacter) {
  // A code point beyond the basic plane, and the same as a UTF-16 pair.
  const wchar_t text[] = {L'A', 0x0100, 0x1F600, 0xD83D, 0xDE00, 0xD800, L'z', 0};
  char out[16] = {};
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text, -1, out, 16, "#", &usedDefault), 7);
  EXPECT_STREQ(out, "A####z");
  EXPECT_TRUE(usedDefault);
  EXPECT_STREQ(CW2A(text), "A????z");
  EXPECT_EQ(static_cast<LPSTR>(CW2A(static_cast<LPCWSTR>(nullptr))), nullptr);
}

TEST(Utf8, TextsGoThereAndBack) {
  const wchar_t* wide = L"Zahn\u00E4rzte \u20AC \U0001F600 \u4E2D";
  const char* utf8 = "Zahn\xC3\xA4rzte \xE2\x82\xAC \xF0\x9F\x98\x80 \xE4\xB8\xAD";
  EXPECT_STREQ(CW2A(wide, CP_UTF8), utf8);
  EXPECT_EQ(std::wstring(CA2W(utf8, CP_UTF8)), wide);
  // One wchar_t per character: the smiley counts once.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 16);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr),
            static_cast<int>(std::string(utf8).size()) + 1);
  // A UTF-16 pair in a wide string is its character.
  const wchar_t pair[] = {0xD83D, 0xDE00, 0};
  EXPECT_STREQ(CW2A(pair, CP_UTF8), "\xF0\x9F\x98\x80");
}

TEST(Utf8, EachIllFormedSequenceIsOneReplacementOrAFailure) {
  struct Case {
    const char* bytes;
    std::wstring decoded;
  };
  const Case cases[] = {
      {"a\xC3", L"a\uFFFD"},                         // cut short by the end
      {"a\xE2\x82z", L"a\uFFFDz"},                   // cut short by a character
      {"\xE0\x80\x80", L"\uFFFD\uFFFD\uFFFD"},       // overlong
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},       // a surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\x80x\xFF", L"\uFFFDx\uFFFD"},               // stray bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::wstring(CA2W(c.bytes, CP_UTF8)), c.decoded) << c.bytes;
    wchar_t out[8];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.bytes, -1, out, 8), 0) << c.bytes;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  }
  const wchar_t lone[] = {L'x', 0xDC00, 0x110000, 0};
  EXPECT_STREQ(CW2A(lone, CP_UTF8), "x\xEF\xBF\xBD\xEF\xBF\xBD");
  char out[8];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(Win32Conversions, SizesAndRefusalsFollowWindows) {
  wchar_t wide[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);  // no NUL without -1
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 4), 4);
  EXPECT_STREQ(wide, L"abc");

  struct Refusal {
    int result;
    DWORD error;
  };
  auto refusal = [](int result) { return Refusal{result, GetLastError()}; };
  const Refusal refusals[] = {
      refusal(MultiByteToWideChar(CP_ACP, 0, "abc", 0, wide, 4)),
      refusal(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 4)),
      refusal(MultiByteToWideChar(437, 0, "abc", -1, wide, 4)),
      refusal(MultiByteToWideChar(CP_ACP, 0, "abc", -2, wide, 4)),
      refusal(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 4)),
      refusal(WideCharToMultiByte(CP_UTF8, 0, L"x", -1, nullptr, 0, "?", nullptr)),
      refusal(WideCharToMultiByte(CP_ACP, 0, L"x", -1, nullptr, -1, nullptr, nullptr)),
  };
  for (const Refusal& r : refusals) {
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  const Refusal badFlags[] = {
      refusal(MultiByteToWideChar(CP_ACP, MB_COMPOSITE, "abc", -1, wide, 4)),
      refusal(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", -1, wide, 4)),
      refusal(WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, L"x", -1, nullptr, 0, nullptr, nullptr)),
  };
  for (const Refusal& r : badFlags) {
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_INVALID_FLAGS));
  }
  EXPECT_THROW(CW2A(L"x", 437), CAtlException);
  EXPECT_THROW(CA2W("x", 850), CAtlException);
}

TEST(Utf16, CharactersBeyondTheBasicPlaneArePairs) {
  const std::u16string units = xtb::win32::Utf16Of(L"a\U0001F600");
  EXPECT_EQ(units, (std::u16string{u'a', 0xD83D, 0xDE00}));
  EXPECT_EQ(xtb::win32::WideOfUtf16(units), L"a\U0001F600");
  EXPECT_EQ(xtb::win32::WideOfUtf16(std::u16string{0xDC00, u'b', 0xD800}), L"\uFFFDb\uFFFD");
}

TEST(ConversionMacros, ResultsLiveToTheEndOfTheScope) {
  USES_CONVERSION;
  const CString narrow = "Gr\xFC\xDF" "e";
  LPCWSTR first = A2W(narrow);
  LPCWSTR second = A2CW("zweite");
  LPCSTR third = W2A(L"\u20AC und \u0100");
  LPCSTR fourth = W2CT(first);
  EXPECT_STREQ(first, L"Gr\u00FC\u00DFe");
  EXPECT_STREQ(second, L"zweite");
  EXPECT_STREQ(third, "\x80 und ?");
  EXPECT_STREQ(fourth, narrow);
  EXPECT_STREQ(T2W("t"), L"t");
  EXPECT_EQ(A2W(static_cast<LPCSTR>(nullptr)), nullptr);
  LPCSTR unchanged = narrow;
  EXPECT_EQ(T2A(unchanged), unchanged);  // TCHAR is char: nothing to convert
  EXPECT_STREQ(CT2A(narrow), narrow);
  EXPECT_STREQ(CT2W(narrow), first);
  EXPECT_STREQ(CW2T(first), narrow);
}

TEST(CStringW, MembersWorkOnCharacters) {
  CStringW text = "Gr\xFC\xDF" "e";  // narrow text is 1252
  EXPECT_EQ(text, L"Gr\u00FC\u00DFe");
  EXPECT_EQ(CString(text), "Gr\xFC\xDF" "e");
  EXPECT_EQ(CStringW(L"a\U0001F600b").GetLength(), 3);
  EXPECT_EQ(text.Left(2), L"Gr");
  EXPECT_EQ(text.Right(2), L"\u00DFe");
  EXPECT_EQ(text.Mid(2, 100), L"\u00FC\u00DFe");
  EXPECT_EQ(text.Mid(-3, 2), L"Gr");
  EXPECT_EQ(text.Left(-1), L"");
  EXPECT_EQ(text.Find(L'\u00DF'), 3);
  EXPECT_EQ(text.Find(L"e", 5), -1);
  EXPECT_EQ(text.ReverseFind(L'r'), 1);

  CStringW upper = L"stra\u00DFe \u00E4\u00FF \u0161 \u03B1";
  upper.MakeUpper();
  EXPECT_EQ(upper, L"STRA\u00DFE \u00C4\u0178 \u0160 \u03B1");  // sharp s has no capital; Greek is left
  upper.MakeLower();
  EXPECT_EQ(upper, L"stra\u00DFe \u00E4\u00FF \u0161 \u03B1");
  EXPECT_EQ(CStringW(L"\u00C4RZTE").CompareNoCase(L"\u00E4rzte"), 0);
  EXPECT_LT(CStringW(L"a").Compare(L"\u20AC"), 0);
  EXPECT_TRUE(CStringW(L"b") > L"a");

  CStringW path = L"  C:\\Praxis\\Daten\\  ";
  path.Trim();
  EXPECT_EQ(path.Replace(L"\\", L"/"), 3);
  EXPECT_EQ(path, L"C:/Praxis/Daten/");
  EXPECT_EQ(path.Remove(L'/'), 3);
  EXPECT_EQ(path.Insert(2, L"\\"), 14);
  EXPECT_EQ(path.Delete(0, 3), 11);
  EXPECT_EQ(path, L"PraxisDaten");

  wchar_t* buffer = path.GetBuffer(40);
  wcscpy(buffer, L"neu");
  path.ReleaseBuffer();
  EXPECT_EQ(path, L"neu");
}

TEST(CStringW, FormatReadsEachTextAsWhatItIs) {
  const CStringW wide = L"Z\u00E4hne";
  const CString narrow = "M\xFC" "ller";
  CStringW text;
  text.Format(L"%s/%S/%hs/%ls/%s", wide, narrow, "h\xE4", L"\u20AC", narrow);
  EXPECT_EQ(text, L"Z\u00E4hne/M\u00FCller/h\u00E4/\u20AC/M\u00FCller");

  // Width and precision count characters, not bytes.
  text.Format(L"[%.2s][%-4s][%4s][%04s]", L"\u20ACuro", L"\u00E4", L"\U0001F600", L"7");
  EXPECT_EQ(text, L"[\u20ACu][\u00E4   ][   \U0001F600][0007]");

  text.Format(L"%d %5.2f %I64d %ld %x %*d|%c%C|%%", 42, 3.14159, static_cast<__int64>(1) << 40, LONG(-1), 255u, 4, 7,
              L'\u20AC', '\xFC');
  EXPECT_EQ(text, L"42  3.14 1099511627776 -1 ff    7|\u20AC\u00FC|%");

  text.AppendFormat(L" %s", static_cast<const wchar_t*>(nullptr));
  EXPECT_EQ(text.Right(7), L" (null)");
  text.Format(L"%s", text);  // its own text as the argument
  EXPECT_EQ(text.Right(7), L" (null)");
  text.Format(L"%q %d", 5);  // an unknown conversion stays as written
  EXPECT_EQ(text, L"%q 5");
}

}  // namespace
