// Operating-system identification: the one integer code by which the suite's
// programs tell Windows releases apart, computed from version information.
// The Linux build reports 0 ("another platform"); the pure function stays
// exported so support tools can decode version records taken elsewhere.
#pragma once

#include <xtbasis/platform/api.h>

// What the identification reads. Registry texts carry a flag each, since a
// missing value and an empty one are told apart.
struct XTOSVersionInfo {
  bool readable = false;  // false: no version record could be read at all
  int platformId = 0;     // 1: 9x platform, 2: NT platform, others: another platform
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  bool extended = false;   // the extended record (product type, suite mask) was read
  int productType = 1;     // 1 workstation, 2 domain controller, 3 server
  unsigned suiteMask = 0;  // 0x200: personal (home) suite
  bool x64 = false;
  int serverR2 = 0;  // the SM_SERVERR2 metric
  const char* versionNumber = nullptr;  // the 9x "VersionNumber" text
  bool hasVersionNumber = false;
  const char* productTypeText = nullptr;  // "ProductType" of the product options
  bool hasProductTypeText = false;
  const char* displayVersion = nullptr;
  bool hasDisplayVersion = false;
  const char* releaseId = nullptr;
  bool hasReleaseId = false;
};

// The code of the version information:
//    0          nothing readable, or another platform than 9x and NT (Linux)
//   -1, -2, -3  9x 4.0 and older, 4.1 to 4.89, 4.90 and later (or with a
//               VersionNumber text of 4.90 and more)
// NT by version (pairs: without / with x64):
//    1      4.0 and older        12, 13  6.0           25      10.0 (no x64)
//    3      5.0                  16, 17  6.1           26      10.0 x64, build < 22000
//    5, 6   5.1, personal / not  19, 20  6.2           30      10.0 x64, build >= 22000
//    7, 8   5.2                  22, 23  6.3           32      any other version
//   10, 11  5.2 with SM_SERVERR2 set
// A server (the extended record's product type is not workstation) adds 1
// to 3, 8, 17, 20, 23, 26 and 30, and 2 to 12 and 13; other codes stay.
// Without the extended record, or before 5.0, the ProductType text tells a
// server instead: "SERVERNT" or "LANMANNT" add 1 to any code. A server's 27
// becomes 28 with DisplayVersion (else ReleaseId) "1809", 29 with "21H2".
XTBASIS_C_API int XTIdentifyOS(const XTOSVersionInfo* info);
// The running system's code: 0 on Linux.
XTBASIS_C_API int XTGetOSCode();
