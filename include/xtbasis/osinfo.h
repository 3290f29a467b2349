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

// The code of the version information (see docs/architecture.md for the table).
XTBASIS_C_API int XTIdentifyOS(const XTOSVersionInfo* info);
// The running system's code: 0 on Linux.
XTBASIS_C_API int XTGetOSCode();
