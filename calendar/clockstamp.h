// The clock record behind the clock stamps, and the rule that keeps two
// consecutive stamps of one function apart.
#pragma once

#include <cstdint>

namespace xtb {

struct ClockRecord {
  int64_t seconds = 0;      // since 1970-01-01 00:00:00 UTC
  int milliseconds = 0;     // 0-999
  int zoneMinutesWest = 0;  // of UTC, as the local time of `seconds` has it
  bool daylightSaving = false;

  bool operator==(const ClockRecord&) const = default;
};

// The system clock now, with the local zone offset and daylight-saving flag.
ClockRecord ReadClock();

// `now`, with the milliseconds advanced by one (modulo 1000) when it equals
// `previous`; `previous` becomes the record handed out.
ClockRecord NextDistinct(ClockRecord& previous, ClockRecord now);

}  // namespace xtb
