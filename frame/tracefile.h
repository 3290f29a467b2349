// Appending a record to a trace file: rotation and the exclusive open.
#pragma once

#include <string>
#include <string_view>

namespace xtb {

// A trace file above this size is moved to its name with ".1" appended
// before the next record is written.
constexpr long long kTraceRotateSize = 1400000;

// Appends `bytes` to `path`, rotating first when the file is too large. The
// file is locked exclusively without waiting: when another writer holds it
// (or it cannot be opened) the record is dropped and false returned.
bool AppendTraceRecord(const std::string& path, std::string_view bytes);

}  // namespace xtb
