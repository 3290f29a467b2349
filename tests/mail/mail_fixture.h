// The world of the mail tests: one folder per test program holding the
// registry hives, the trace log and the mail folder, a system base object
// that traces at level 1, and the transport the program was started with
// (XTB_MAIL_PIPES=1 switches it to pipe mode before any test runs).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <xtbasis/mailslot.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/session.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "os/localsocket.h"
#include "mailfolder.h"
#include "mailnames.h"

class MailSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return "SOFTWARE\\XTMailTest"; }
};

class MailWorld {
 public:
  static MailWorld& Get() {
    static MailWorld world;
    return world;
  }
  const std::filesystem::path& dir() const { return m_dir; }
  std::string TraceFile() const { return (m_dir / "r9trace.log").string(); }

 private:
  MailWorld() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-mail-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    m_dir = pattern;
    setenv("XTBASIS_REGISTRY_DIR", (m_dir / "hives").c_str(), 1);
    setenv("XTBASIS_MAIL_DIR", (m_dir / "mail").c_str(), 1);
    if (const char* pipes = getenv("XTB_MAIL_PIPES"); pipes && *pipes == '1') CXTMailslotServer::UseNamedPipes();
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_sysBase.MainRegKey(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "TraceLevel", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
    m_sysBase.LogDir = CString(m_dir.string() + "/");
    gp_XTSysBase = &m_sysBase;
  }
  ~MailWorld() {
    gp_XTSysBase = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  std::filesystem::path m_dir;
  MailSysBase m_sysBase;
};

class MailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_world = &MailWorld::Get();
    std::filesystem::remove(m_world->TraceFile());
  }

  static bool Pipes() { return xtb::mail::PipeMode(); }

  // The trace records written since the test began.
  std::string Traces() const {
    std::ifstream in(m_world->TraceFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // True when a record carries exactly this message (the error text after it
  // included when `prefixOnly` is set).
  bool Traced(const std::string& message, bool prefixOnly = true) const {
    const std::string records = Traces();
    return records.find("\t" + message + (prefixOnly ? "" : "\r\n")) != std::string::npos &&
           records.find("\t-999\tXTMailslot:") != std::string::npos;
  }

  // Sends `text` to the endpoint `name` of this computer and reads it back
  // from `server`: the text read, or "(not sent)" / "(not read)".
  static std::string SendAndRead(CXTMailslotServer& server, const std::string& name, const char* text) {
    if (!CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, text)) return "(not sent)";
    CString sender, read;
    MAILTYPES type;
    return server.Read(sender, type, read) ? read.GetString() : "(not read)";
  }

  // An endpoint name of this test alone.
  static std::string Unique(const std::string& base) {
    return base + std::to_string(getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  // Bytes to the endpoint as they are, past the client's wire format.
  static bool SendRaw(const CString& name, const CString& sub, const std::string& bytes) {
    const bool pipes = Pipes();
    const int fd = xtb::mail::ConnectMailEndpoint(xtb::mail::EndpointFile(xtb::mail::EndpointName(pipes, name, sub)),
                                       pipes ? xtb::os::SocketKind::Sequenced : xtb::os::SocketKind::Datagram);
    if (fd < 0) return false;
    const bool sent = xtb::os::SendMessage(fd, bytes.data(), bytes.size());
    xtb::os::CloseEndpoint(fd);
    return sent;
  }

  MailWorld* m_world = nullptr;
};
