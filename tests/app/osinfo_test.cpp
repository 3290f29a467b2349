// The OS code table, row by row, through the pure identification.
#include <gtest/gtest.h>

#include <xtbasis/osinfo.h>
#include <xtbasis/transcode.h>

namespace {

constexpr int kWorkstation = 1;
constexpr int kServer = 3;

XTOSVersionInfo Record(int platformId, unsigned major, unsigned minor) {
  XTOSVersionInfo v;
  v.readable = true;
  v.platformId = platformId;
  v.major = major;
  v.minor = minor;
  return v;
}

XTOSVersionInfo Nt(unsigned major, unsigned minor, bool x64 = false, int productType = kWorkstation,
                   unsigned build = 0) {
  XTOSVersionInfo v = Record(2, major, minor);
  v.build = build;
  v.extended = true;
  v.productType = productType;
  v.x64 = x64;
  return v;
}

XTOSVersionInfo Win9x(unsigned major, unsigned minor, const char* versionNumber = nullptr) {
  XTOSVersionInfo v = Record(1, major, minor);
  v.versionNumber = versionNumber;
  v.hasVersionNumber = versionNumber != nullptr;
  return v;
}

int Code(const XTOSVersionInfo& v) { return XTIdentifyOS(&v); }

TEST(OsIdentify, NinePlatformReleases) {
  EXPECT_EQ(Code(Win9x(4, 0)), -1);
  EXPECT_EQ(Code(Win9x(3, 95)), -1);
  EXPECT_EQ(Code(Win9x(4, 10)), -2);
  EXPECT_EQ(Code(Win9x(4, 89, "4.10.2222")), -2);
  EXPECT_EQ(Code(Win9x(4, 90)), -3);
  // The registry's version text overrules a record that still says 98.
  EXPECT_EQ(Code(Win9x(4, 10, "4.90.3000")), -3);
  EXPECT_EQ(Code(Win9x(4, 10, "4.90")), -3);
  EXPECT_EQ(Code(Win9x(4, 10, "4.9")), -2);  // parts compare as numbers: 9 < 90
}

TEST(OsIdentify, UnreadableOrForeignPlatformIsUnknown) {
  XTOSVersionInfo v;
  EXPECT_EQ(Code(v), 0);
  EXPECT_EQ(XTIdentifyOS(nullptr), 0);
  v.readable = true;
  v.platformId = 3;
  v.major = 10;
  EXPECT_EQ(Code(v), 0);
  EXPECT_EQ(XTGetOSCode(), 0);  // Linux
}

TEST(OsIdentify, Nt4ServerFromProductTypeText) {
  EXPECT_EQ(Code(Nt(4, 0)), 1);
  for (const char* type : {"ServerNT", "LANMANNT"}) {
    XTOSVersionInfo v = Nt(4, 0, false, kServer);
    v.productTypeText = type;
    v.hasProductTypeText = true;
    EXPECT_EQ(Code(v), 2) << type;
  }
  // Below major 5 the record's product type is not used.
  EXPECT_EQ(Code(Nt(4, 0, false, kServer)), 1);
  // Without the extended record the registry text decides, for 2000 too.
  XTOSVersionInfo basic = Nt(5, 0, false, kServer);
  basic.extended = false;
  EXPECT_EQ(Code(basic), 3);
  basic.productTypeText = "WinNT";
  basic.hasProductTypeText = true;
  EXPECT_EQ(Code(basic), 3);
  basic.productTypeText = "serverNT";
  EXPECT_EQ(Code(basic), 4);
}

TEST(OsIdentify, TwoThousandXpAnd2003) {
  EXPECT_EQ(Code(Nt(5, 0)), 3);
  EXPECT_EQ(Code(Nt(5, 0, false, kServer)), 4);
  XTOSVersionInfo home = Nt(5, 1);
  home.suiteMask = 0x200;
  EXPECT_EQ(Code(home), 5);
  home.extended = false;  // a suite mask left over in a basic record is none
  EXPECT_EQ(Code(home), 6);
  EXPECT_EQ(Code(Nt(5, 1)), 6);
  EXPECT_EQ(Code(Nt(5, 2, false, kServer)), 7);
  EXPECT_EQ(Code(Nt(5, 2, true)), 8);
  EXPECT_EQ(Code(Nt(5, 2, true, kServer)), 9);
  XTOSVersionInfo r2 = Nt(5, 2, false, kServer);
  r2.serverR2 = 1;
  EXPECT_EQ(Code(r2), 10);
  r2.x64 = true;
  EXPECT_EQ(Code(r2), 11);
}

TEST(OsIdentify, VistaTo81) {
  EXPECT_EQ(Code(Nt(6, 0)), 12);
  EXPECT_EQ(Code(Nt(6, 0, true)), 13);
  EXPECT_EQ(Code(Nt(6, 0, false, kServer)), 14);
  EXPECT_EQ(Code(Nt(6, 0, true, kServer)), 15);
  EXPECT_EQ(Code(Nt(6, 0, true, 2)), 15);  // a domain controller is a server
  const int base[] = {16, 19, 22};
  for (unsigned minor = 1; minor <= 3; ++minor) {
    const int b = base[minor - 1];
    EXPECT_EQ(Code(Nt(6, minor)), b) << minor;
    EXPECT_EQ(Code(Nt(6, minor, true)), b + 1) << minor;
    EXPECT_EQ(Code(Nt(6, minor, true, kServer)), b + 2) << minor;
    EXPECT_EQ(Code(Nt(6, minor, false, kServer)), b) << minor;  // no 32-bit server code
  }
}

TEST(OsIdentify, TenElevenAndServers) {
  EXPECT_EQ(Code(Nt(10, 0, false, kWorkstation, 19045)), 25);
  EXPECT_EQ(Code(Nt(10, 0, true, kWorkstation, 19045)), 26);
  EXPECT_EQ(Code(Nt(10, 0, true, kServer, 14393)), 27);
  EXPECT_EQ(Code(Nt(10, 0, true, kWorkstation, 21999)), 26);
  EXPECT_EQ(Code(Nt(10, 0, true, kWorkstation, 22000)), 30);
  EXPECT_EQ(Code(Nt(10, 0, true, kServer, 26100)), 31);

  XTOSVersionInfo server = Nt(10, 0, true, kServer, 20348);
  server.displayVersion = "21H2";
  server.hasDisplayVersion = true;
  EXPECT_EQ(Code(server), 29);
  // The display version wins over the release id; the id is read only without it.
  server.releaseId = "1809";
  server.hasReleaseId = true;
  EXPECT_EQ(Code(server), 29);
  server.hasDisplayVersion = false;
  EXPECT_EQ(Code(server), 28);
  server.releaseId = "1607";
  EXPECT_EQ(Code(server), 27);
  // Release texts only rename the server 2016 code.
  XTOSVersionInfo workstation = Nt(10, 0, true, kWorkstation, 19044);
  workstation.displayVersion = "21H2";
  workstation.hasDisplayVersion = true;
  EXPECT_EQ(Code(workstation), 26);
}

TEST(OsIdentify, OtherNtVersionsAreUnknownNt) {
  EXPECT_EQ(Code(Nt(6, 4)), 32);
  EXPECT_EQ(Code(Nt(7, 0)), 32);
  EXPECT_EQ(Code(Nt(10, 1, true, kServer)), 32);
}

TEST(OsIdentify, ConversionsRunOnThisPlatform) {
  // Code 0 is not Windows 95, so the conversions do their work.
  EXPECT_EQ(AnsiToUTF8(CString("\xE4")), CString("\xC3\xA4"));
  EXPECT_EQ(UTF8ToAnsi(CString("\xC3\xA4")), CString("\xE4"));
}

}  // namespace
