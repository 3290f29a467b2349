// One pass over the lines classifies each; the readers and the editors work
// on that classification, so that they agree on what a line is.
#include "profile_text.h"

#include <xtbasis/platform/codepage1252.h>

namespace xtb::win32 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (cp1252::ToUpper(a[i]) != cp1252::ToUpper(b[i])) return false;
  return true;
}

struct Line {
  enum class Kind { Other, Section, Key };
  Kind kind = Kind::Other;
  size_t begin = 0;  // the line's first byte
  size_t end = 0;    // after its line break
  std::string_view name;   // the section's or the key's
  std::string_view value;  // the key's, trimmed, quotes still on
};

std::vector<Line> LinesOf(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t newline = text.find('\n', begin);
    const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
    Line line{Line::Kind::Other, begin, end, {}, {}};
    const std::string_view content = Trimmed(text.substr(begin, end - begin - (newline == std::string_view::npos ? 0 : 1)));
    if (!content.empty() && content.front() == '[') {
      const size_t close = content.find(']');
      if (close != std::string_view::npos) {
        line.kind = Line::Kind::Section;
        line.name = Trimmed(content.substr(1, close - 1));
      }
    } else if (!content.empty() && content.front() != ';') {
      const size_t equals = content.find('=');
      if (equals != std::string_view::npos && !Trimmed(content.substr(0, equals)).empty()) {
        line.kind = Line::Kind::Key;
        line.name = Trimmed(content.substr(0, equals));
        line.value = Trimmed(content.substr(equals + 1));
      }
    }
    lines.push_back(line);
    begin = end;
  }
  return lines;
}

// The lines of the first section named `section`: [first, last) of `lines`,
// first being its header; none when there is no such section.
struct Span {
  size_t first = 0;
  size_t last = 0;
  bool found = false;
};

Span SectionSpan(const std::vector<Line>& lines, std::string_view section) {
  Span span;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::Section) continue;
    if (span.found) {
      span.last = i;
      return span;
    }
    if (SameName(lines[i].name, section)) span = {i, lines.size(), true};
  }
  return span;
}

// The first line of `key` within `span`, or span.last.
size_t KeyLine(const std::vector<Line>& lines, const Span& span, std::string_view key) {
  for (size_t i = span.first + 1; i < span.last; ++i)
    if (lines[i].kind == Line::Kind::Key && SameName(lines[i].name, key)) return i;
  return span.last;
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

void AddOnce(std::vector<std::string>& names, std::string_view name) {
  for (const std::string& known : names)
    if (SameName(known, name)) return;
  names.emplace_back(name);
}

std::string_view LineBreakOf(std::string_view text) {
  const size_t newline = text.find('\n');
  return newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r') ? "\n" : "\r\n";
}

// `text` with the bytes [from, to) replaced by `insert`.
std::string Spliced(std::string_view text, size_t from, size_t to, std::string_view insert) {
  std::string result(text.substr(0, from));
  result += insert;
  result += text.substr(to);
  return result;
}

}  // namespace

std::optional<std::string> ProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  const std::vector<Line> lines = LinesOf(text);
  const Span span = SectionSpan(lines, section);
  if (!span.found) return std::nullopt;
  const size_t at = KeyLine(lines, span, key);
  if (at == span.last) return std::nullopt;
  return std::string(Unquoted(lines[at].value));
}

std::vector<std::string> ProfileSections(std::string_view text) {
  std::vector<std::string> names;
  for (const Line& line : LinesOf(text))
    if (line.kind == Line::Kind::Section) AddOnce(names, line.name);
  return names;
}

std::vector<std::string> ProfileKeys(std::string_view text, std::string_view section) {
  std::vector<std::string> names;
  const std::vector<Line> lines = LinesOf(text);
  const Span span = SectionSpan(lines, section);
  for (size_t i = span.first + 1; span.found && i < span.last; ++i)
    if (lines[i].kind == Line::Kind::Key) AddOnce(names, lines[i].name);
  return names;
}

std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::optional<std::string_view> value) {
  const std::vector<Line> lines = LinesOf(text);
  const Span span = SectionSpan(lines, section);
  const std::string_view lineBreak = LineBreakOf(text);
  if (!span.found) {
    if (!value) return std::string(text);
    std::string result(text);
    if (!result.empty() && result.back() != '\n') result += lineBreak;
    result += "[" + std::string(section) + "]" + std::string(lineBreak);
    result += std::string(key) + "=" + std::string(*value) + std::string(lineBreak);
    return result;
  }
  const size_t at = KeyLine(lines, span, key);
  if (at != span.last) {
    if (!value) return Spliced(text, lines[at].begin, lines[at].end, "");
    const std::string_view old = text.substr(lines[at].begin, lines[at].end - lines[at].begin);
    const std::string_view ownBreak = old.ends_with("\r\n") ? "\r\n" : old.ends_with('\n') ? "\n" : "";
    return Spliced(text, lines[at].begin, lines[at].end,
                   std::string(lines[at].name) + "=" + std::string(*value) + std::string(ownBreak));
  }
  if (!value) return std::string(text);
  // After the section's last key (or its header): blank lines and comments
  // that close the section stay where they are.
  size_t after = span.first;
  for (size_t i = span.first + 1; i < span.last; ++i)
    if (lines[i].kind == Line::Kind::Key) after = i;
  const Line& previous = lines[after];
  std::string insert;
  if (text[previous.end - 1] != '\n') insert += lineBreak;
  insert += std::string(key) + "=" + std::string(*value) + std::string(lineBreak);
  return Spliced(text, previous.end, previous.end, insert);
}

std::string WithoutProfileSection(std::string_view text, std::string_view section) {
  const std::vector<Line> lines = LinesOf(text);
  const Span span = SectionSpan(lines, section);
  if (!span.found) return std::string(text);
  const size_t end = span.last < lines.size() ? lines[span.last].begin : text.size();
  return Spliced(text, lines[span.first].begin, end, "");
}

}  // namespace xtb::win32
