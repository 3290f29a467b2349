// Correction of typed-in DB dates (YYYYMMDD) and DB times (hhmm), in place.
// Every input becomes a valid value (or stays empty); the result tells
// whether the text already was exactly that value.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Kind flags of DoCorrectDate.
enum : int {
  XTDATE_BIRTH = 1,     // birth-date century rule; the reserved values are corrected too
  XTDATE_OPEN = 2,      // a year, month or day 0 may stay 0
  XTDATE_VALIDITY = 4,  // validity-date century rule
};

// Two-digit and out-of-range years are completed by the kind of date:
//   birth:    below 1850, or above the current year + 5, gives 19yy;
//   plain:    below 1970 gives 20yy up to the current year's yy, else 1970;
//   validity: below 1970 gives 20yy;
//   plain and validity: from 2100 on gives 20yy.
// Unless the birth bit is set, "19800101", "99991231", "00000000" and
// "99999999" stay as they are. The current year is read from the clock once
// per process.
XTBASIS_C_API bool DoCorrectDate(CString& d, int flags);
XTBASIS_C_API bool CorrectDate(CString& d);         // plain
XTBASIS_C_API bool CorrectGebDate(CString& d);      // birth and open
XTBASIS_C_API bool CorrectGueltigDate(CString& d);  // validity
// Hour 24 becomes 0, above 23 becomes 23; minutes above 59 become 59.
XTBASIS_C_API bool CorrectTime(CString& t);
