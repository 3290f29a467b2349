// What a receiver makes of the bytes that arrive: the mail's fields, the
// repeated deliveries it drops, and the records of what it refused.
#include "mail_fixture.h"

namespace {

class MailReadTest : public MailTest {
 protected:
  void SetUp() override {
    MailTest::SetUp();
    m_name = Unique("read");
    ASSERT_TRUE(m_server.Create(CString(m_name), "")) << GetLastError();
  }
  // Sends `bytes` and reads them back through the server.
  bool Deliver(const std::string& bytes) {
    if (!SendRaw(CString(m_name), "", bytes)) return false;
    return m_server.Read(m_sender, m_type, m_text);
  }

  std::string m_name;
  CXTMailslotServer m_server;
  CString m_sender = "vorher", m_text = "vorher";
  MAILTYPES m_type = MAILTYPE_BENCH;
};

TEST_F(MailReadTest, FieldsOfAMail) {
  ASSERT_TRUE(Deliver("HOST|1a|ping|x|y"));
  EXPECT_STREQ(m_sender, "HOST");
  EXPECT_EQ(m_type, MAILTYPE_PING);
  EXPECT_STREQ(m_text, "x|y");
  ASSERT_TRUE(Deliver("HOST|1b|PING|"));
  EXPECT_STREQ(m_text, "");
  ASSERT_TRUE(Deliver("HOST||StopR9ClientUpdate|leer"));
  EXPECT_EQ(m_type, MAILTYPE_STOPR9CLIENTUPDATE);
  EXPECT_TRUE(Traces().empty()) << Traces();
}

TEST_F(MailReadTest, RepeatedDeliveryDropped) {
  ASSERT_TRUE(Deliver("HOST|1a|ping|x"));
  EXPECT_FALSE(Deliver("HOST|1a|PONG|another text, same key"));
  EXPECT_TRUE(Traced("CXTMailslotServer::Read: DecodeMail fehlgeschlagen: "));
  // The key is sender and id together, compared byte for byte.
  EXPECT_TRUE(Deliver("host|1a|ping|x"));
  EXPECT_TRUE(Deliver("HOST|1A|ping|x"));
  EXPECT_TRUE(Deliver("HOST||PING|x"));
  EXPECT_FALSE(Deliver("HOST||PING|x"));
}

TEST_F(MailReadTest, MalformedMailsRefusedWithTheirFieldsUntouched) {
  for (const char* bad : {"no bars at all", "HOST|1x", "HOST|1d|", "HOST|1e|NOPE|x", "HOST|1f||x"}) {
    m_type = MAILTYPE_BENCH;
    EXPECT_FALSE(Deliver(bad)) << bad;
    EXPECT_STREQ(m_sender, "vorher") << bad;
    EXPECT_STREQ(m_text, "vorher") << bad;
  }
  // A mail whose type failed still holds its key.
  EXPECT_FALSE(Deliver("HOST|1e|PING|now well-formed"));
  EXPECT_EQ(m_type, MAILTYPE_NONE) << "the type is written before it is checked";
  EXPECT_TRUE(Deliver("HOST|1x|PING|first mail of this key"));
  EXPECT_TRUE(Traced("CXTMailslotServer::Read: DecodeMail fehlgeschlagen: "));
}

TEST_F(MailReadTest, BytesBeyondTheLimitsAndZeroBytes) {
  // The mail ends at its first zero byte.
  ASSERT_TRUE(Deliver(std::string("HOST|20|USER|vor\0nach", 22)));
  EXPECT_STREQ(m_text, "vor");
  // A datagram longer than a mailslot mail is read only up to the limit; a
  // pipe message up to its own.
  const size_t limit = Pipes() ? 65536 : 424;
  const std::string head = "HOST|21|USER|";
  ASSERT_TRUE(Deliver(head + std::string(limit + 100 - head.size(), 'x')));
  EXPECT_EQ(static_cast<size_t>(m_text.GetLength()), limit - head.size());
}

TEST_F(MailReadTest, SeenMailsOutliveCloseAndCopies) {
  ASSERT_TRUE(Deliver("HOST|30|PING|x"));
  ASSERT_TRUE(m_server.Close());
  ASSERT_TRUE(m_server.Create(CString(m_name), ""));
  EXPECT_FALSE(Deliver("HOST|30|PING|x"));
  // A copy knows what the original had seen; what it sees later is its own.
  CXTMailslotServer copy(m_server);
  ASSERT_TRUE(SendRaw(CString(m_name), "", "HOST|31|PING|x"));
  EXPECT_TRUE(copy.Read(m_sender, m_type, m_text));
  ASSERT_TRUE(SendRaw(CString(m_name), "", "HOST|30|PING|x"));
  EXPECT_FALSE(copy.Read(m_sender, m_type, m_text));
  EXPECT_TRUE(Deliver("HOST|31|PING|x"));
  // The copy shares the endpoint: closing one closes both.
  EXPECT_TRUE(copy.Close());
  EXPECT_FALSE(m_server.Close());
  EXPECT_TRUE(Traced("CXTMailslotServer::Close: "));
}

TEST_F(MailReadTest, NeverCreatedServerFailsWithoutARecord) {
  CXTMailslotServer idle;
  CString sender, text;
  MAILTYPES type;
  EXPECT_FALSE(idle.Read(sender, type, text));
  EXPECT_FALSE(idle.Close());
  CXTMailslotClient client;
  EXPECT_FALSE(client.Close());
  EXPECT_TRUE(Traces().empty()) << Traces();
}

}  // namespace
