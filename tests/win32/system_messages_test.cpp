// FormatMessage and the local memory it hands out, as programs written for
// Windows call them: system numbers in the same words as GetLastErrorString,
// a module's table, inserts in both argument forms, the line width and the
// buffer protocols.
#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include <xtbasis/errortext.h>

namespace {

// FORMAT_MESSAGE_FROM_STRING with a va_list of the given values.
std::string FromString(DWORD flags, const char* message, ...) {
  va_list values;
  va_start(values, message);
  char buffer[512] = "untouched";
  const DWORD length = FormatMessage(flags | FORMAT_MESSAGE_FROM_STRING, message, 0, 0, buffer, sizeof buffer, &values);
  va_end(values);
  EXPECT_EQ(length, std::strlen(buffer));
  return length == 0 ? "<failed " + std::to_string(GetLastError()) + ">" : std::string(buffer);
}

TEST(FormatMessage, SystemTextsAreTheLibrarysOwn) {
  std::setlocale(LC_ALL, "C");
  for (DWORD number : {static_cast<DWORD>(ERROR_FILE_NOT_FOUND), static_cast<DWORD>(ERROR_ACCESS_DENIED),
                       static_cast<DWORD>(ERROR_SHARING_VIOLATION)}) {
    char* text = nullptr;
    const DWORD length = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, number, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                       reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), std::string(GetLastErrorString(nullptr, number)));
    EXPECT_GE(LocalSize(text), length + 1);
    EXPECT_EQ(LocalFree(text), nullptr);
  }
  char buffer[64];
  EXPECT_GT(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "Permission denied\r\n");
  // With a width the text's own line break becomes a blank.
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr, ERROR_ACCESS_DENIED, 0, buffer,
                sizeof buffer, nullptr);
  EXPECT_STREQ(buffer, "Permission denied ");
}

TEST(FormatMessage, BufferProtocolAndUnknownNumbers) {
  std::setlocale(LC_ALL, "C");
  char small[8] = "keep";
  SetLastError(0);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, small, sizeof small, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  char exact[sizeof "Permission denied\r\n"];
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, exact, sizeof exact, nullptr),
            sizeof exact - 1);
  SetLastError(0);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x2345678u, 0, exact, sizeof exact, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  SetLastError(0);
  EXPECT_EQ(FormatMessage(0, nullptr, 2, 0, exact, sizeof exact, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_STRING, nullptr, 0, 0, exact, sizeof exact, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // An allocated buffer is at least the size asked for.
  char* text = nullptr;
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, "ab", 0, 0,
                          reinterpret_cast<LPSTR>(&text), 100, nullptr),
            2u);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(LocalSize(text), 100u);
  LocalFree(text);
}

TEST(FormatMessage, ModuleTablesComeBeforeTheSystem) {
  const XTResourceText messages[] = {{0x20001, "Kartei %1 gesperrt von %2!s! (%3!d! Versuche)%0"},
                                     {ERROR_ACCESS_DENIED, "Kein Zugriff"}};
  HMODULE module = XTRegisterModule(XTModuleResources{"kit-messages.dll", nullptr, 0, messages, 2});
  ASSERT_NE(module, nullptr);
  DWORD_PTR values[] = {reinterpret_cast<DWORD_PTR>("M\xFCller"), reinterpret_cast<DWORD_PTR>("Empfang"), 3};
  char buffer[128];
  EXPECT_GT(FormatMessage(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, 0x20001, 0, buffer,
                          sizeof buffer, reinterpret_cast<va_list*>(values)),
            0u);
  EXPECT_STREQ(buffer, "Kartei M\xFCller gesperrt von Empfang (3 Versuche)");
  FormatMessage(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM, module, ERROR_ACCESS_DENIED, 0, buffer,
                sizeof buffer, nullptr);
  EXPECT_STREQ(buffer, "Kein Zugriff");
  std::setlocale(LC_ALL, "C");
  FormatMessage(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM, module, ERROR_FILE_NOT_FOUND, 0, buffer,
                sizeof buffer, nullptr);
  EXPECT_STREQ(buffer, "No such file or directory\r\n");
  SetLastError(0);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_HMODULE, module, ERROR_FILE_NOT_FOUND, 0, buffer, sizeof buffer, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

TEST(FormatMessage, InsertsAndEscapes) {
  EXPECT_EQ(FromString(0, "%2 vor %1", "eins", "zwei"), "zwei vor eins");
  EXPECT_EQ(FromString(0, "[%1!5d!] [%2!-4s!] [%3!08X!] [%4!c!]", -42, "ab", 0xBEEFu, 'Z'),
            "[  -42] [ab  ] [0000BEEF] [Z]");
  // 64-bit values need their size said; a bare %d reads 32 bits.
  EXPECT_EQ(FromString(0, "%1!I64d! %2!lld! %3!d!", int64_t{-5000000000}, int64_t{6000000000}, 0x100000007LL),
            "-5000000000 6000000000 7");
  // Each '*' takes its own number, in printf's order.
  EXPECT_EQ(FromString(0, "<%1!*s!> %3", 6, "ab", "drei"), "<    ab> drei");
  EXPECT_EQ(FromString(0, "a%nb%rc%td%%e%.f%!g% h"), "a\r\nb\rc\td%e.f!g h");
  EXPECT_EQ(FromString(0, "ende%0 nicht mehr"), "ende");
  EXPECT_EQ(FromString(0, "%10 und %1", "x", "", "", "", "", "", "", "", "", "zehn"), "zehn und x");
  EXPECT_EQ(FromString(0, "100% %1!f!", 15), "100 %1!f!");  // floating point is not carried
  EXPECT_EQ(FromString(FORMAT_MESSAGE_IGNORE_INSERTS, "%1 bleibt %2!d!%n"), "%1 bleibt %2!d!\r\n");
  char buffer[16];
  SetLastError(0);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_STRING, "%1", 0, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(FormatMessage, LineWidth) {
  const char* text = "eins zwei drei\r\nvier fuenf%nsechs";
  EXPECT_EQ(FromString(0, text), "eins zwei drei\r\nvier fuenf\r\nsechs");
  EXPECT_EQ(FromString(FORMAT_MESSAGE_MAX_WIDTH_MASK, text), "eins zwei drei vier fuenf\r\nsechs");
  EXPECT_EQ(FromString(10, text), "eins zwei\r\ndrei vier\r\nfuenf\r\nsechs");
  EXPECT_EQ(FromString(4, "abcdefghij"), "abcd\r\nefgh\r\nij");
}

TEST(LocalMemory, BlocksAndForeignHandles) {
  char* zeroed = static_cast<char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(std::string(zeroed, 64), std::string(64, '\0'));
  EXPECT_EQ(LocalSize(zeroed), 64u);
  std::memset(zeroed, 'x', 64);
  char* grown = static_cast<char*>(LocalReAlloc(zeroed, 128, LMEM_MOVEABLE | LMEM_ZEROINIT));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(std::string(grown, 128), std::string(64, 'x') + std::string(64, '\0'));
  EXPECT_EQ(LocalSize(grown), 128u);
  HLOCAL empty = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_NE(empty, grown);
  EXPECT_EQ(LocalFree(empty), nullptr);
  EXPECT_EQ(LocalFree(grown), nullptr);
  // Freed already, or never given out: refused, nothing freed.
  int onTheStack = 0;
  for (HLOCAL foreign : {static_cast<HLOCAL>(grown), static_cast<HLOCAL>(&onTheStack)}) {
    SetLastError(0);
    EXPECT_EQ(LocalFree(foreign), foreign);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LocalSize(foreign), 0u);
    EXPECT_EQ(LocalReAlloc(foreign, 8, 0), nullptr);
  }
  EXPECT_EQ(LocalFree(nullptr), nullptr);
  SetLastError(0);
  EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, 8), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
