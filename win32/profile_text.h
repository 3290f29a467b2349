// The text of an INI file as Windows reads and edits it, without the file:
// lines "[section]" and "key=value", names compared without regard to case
// (code page 1252), lines whose first non-blank is ';' are comments, blanks
// around names and values do not count, and a value in one pair of quotes
// ('...' or "...") loses them. A line that is neither a section, a key nor a
// comment is no key and is kept as it is. Where a section or a key stands
// twice, the first counts. Lines may end in "\r\n" or "\n".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xtb::win32 {

// The value of `key` in `section`; none when either is missing.
std::optional<std::string> ProfileValue(std::string_view text, std::string_view section, std::string_view key);
// The names of the sections, each once, as first written.
std::vector<std::string> ProfileSections(std::string_view text);
// The names of the keys of `section`, each once, as first written.
std::vector<std::string> ProfileKeys(std::string_view text, std::string_view section);

// `text` with `key` of `section` set to `value` (nullopt: the key's line
// removed). An existing key's line is rewritten in place; a new key goes
// after the section's last key, a new section to the end. Every other line
// stays as it was, byte for byte; new lines end as the text's first line
// does ("\r\n" for a text without one, as Windows writes).
std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::optional<std::string_view> value);
// `text` without `section`: its header and its lines up to the next section.
std::string WithoutProfileSection(std::string_view text, std::string_view section);

}  // namespace xtb::win32
