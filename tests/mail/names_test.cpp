// Endpoint names, their files in the mail folder and the type names.
#include <gtest/gtest.h>

#include <xtbasis/mailslot.h>

#include "mailnames.h"

using namespace xtb::mail;

namespace {

TEST(MailNames, SanitiseKeepsTheLength) {
  EXPECT_STREQ(SanitizeMailName("Praxis 1/Empfang"), "Praxis_1_Empfang");
  EXPECT_STREQ(SanitizeMailName("Z\xE4hne-\xDC" "9"), "Z_hne__9");
  EXPECT_STREQ(SanitizeMailName(""), "");
  EXPECT_EQ(SanitizeMailName(CString("a\0b", 3)).GetLength(), 3);
}

TEST(MailNames, SubPathInPiecesOfEight) {
  EXPECT_STREQ(MailslotSubPath("Praxis 1/Empfang"), "Praxis_1.msl\\_Empfang");
  EXPECT_STREQ(MailslotSubPath("AAAAAAAABBBBBBBBCCCC"), "AAAAAAAA.msl\\BBBBBBBB.msl\\CCCC");
  EXPECT_STREQ(MailslotSubPath("12345678"), "12345678");
  EXPECT_STREQ(MailslotSubPath("123456789"), "12345678.msl\\9");
  EXPECT_STREQ(MailslotSubPath("AAAAAAAABBBBBBBB"), "AAAAAAAA.msl\\BBBBBBBB");
  EXPECT_STREQ(MailslotSubPath(""), "");
}

TEST(MailNames, EndpointsOfBothModes) {
  EXPECT_EQ(EndpointName(false, "r9ping", ""), "mailslot\\r9ping");
  EXPECT_EQ(EndpointName(false, "r9ping", "Praxis 1/Empfang"), "mailslot\\r9ping\\Praxis_1.msl\\_Empfang");
  EXPECT_EQ(EndpointName(true, "r9ping", ""), "pipe\\r9ping");
  EXPECT_EQ(EndpointName(true, "r9ping", "Praxis 1/Empfang"), "pipe\\r9ping_Praxis_1_Empfang");
  // The name itself stays as given; only the sub-name is sanitised.
  EXPECT_EQ(EndpointName(true, "a b\\c", "x y"), "pipe\\a b\\c_x_y");
}

TEST(MailNames, FilesFoldCaseAndStayInsideTheFolder) {
  EXPECT_EQ(EndpointFile("mailslot\\R9Ping\\Sub.msl\\X"), EndpointFile("MAILSLOT\\r9ping\\sub.MSL\\x"));
  EXPECT_EQ(EndpointFile("pipe\\R9PING_\xC4"), EndpointFile("pipe\\r9ping_\xE4"));
  EXPECT_NE(EndpointFile("pipe\\a"), EndpointFile("mailslot\\a"));
  EXPECT_NE(EndpointFile("pipe\\a b"), EndpointFile("pipe\\a_b"));
  for (const char* hostile : {"pipe\\..\\..\\etc\\passwd", "pipe\\/tmp/x", "mailslot\\a\nb", "pipe\\%2e%2e"}) {
    const std::string file = EndpointFile(hostile);
    EXPECT_EQ(file.find('/'), std::string::npos) << hostile;
    EXPECT_NE(file, "..");
    EXPECT_NE(file.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_.-+%#"), 0u);
    for (char c : file) EXPECT_TRUE(c > ' ' && c < 127) << hostile;
  }
  // Long names are hashed, still told apart and still short.
  const std::string longA = "mailslot\\" + std::string(200, 'a'), longB = "mailslot\\" + std::string(199, 'a') + "b";
  EXPECT_LE(EndpointFile(longA).size(), 80u);
  EXPECT_NE(EndpointFile(longA), EndpointFile(longB));
  EXPECT_EQ(EndpointFile(longA), EndpointFile("MAILSLOT\\" + std::string(200, 'A')));
}

TEST(MailNames, TypesByNameInAnyCase) {
  EXPECT_EQ(TypeOfName("ping"), MAILTYPE_PING);
  EXPECT_EQ(TypeOfName("StopR9ClientUpdate"), MAILTYPE_STOPR9CLIENTUPDATE);
  EXPECT_EQ(TypeOfName("PQMSG"), MAILTYPE_PQMSG);
  EXPECT_EQ(TypeOfName(""), MAILTYPE_NONE);
  EXPECT_EQ(TypeOfName("PIN"), MAILTYPE_NONE);
  EXPECT_EQ(TypeOfName("PINGS"), MAILTYPE_NONE);
  EXPECT_STREQ(TypeName(MAILTYPE_R9CLIENTUPDATE), "R9CLIENTUPDATE");
  EXPECT_STREQ(TypeName(9), "");
  EXPECT_STREQ(TypeName(-1), "");
}

}  // namespace
