#include "command_line_words.h"

namespace xtb::win32 {
namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

size_t SkipBlanks(std::string_view line, size_t at) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

// One argument from `at`, which is not a blank; `at` ends past it.
std::string ArgumentAt(std::string_view line, size_t& at) {
  std::string word;
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    const char ch = line[at];
    if (ch == '\\') {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        word.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          word += '"';
          ++at;
        }
      } else {
        word.append(backslashes, '\\');
      }
      continue;
    }
    if (ch == '"') {
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        word += '"';
        at += 2;
        continue;
      }
      quoted = !quoted;
      ++at;
      continue;
    }
    word += ch;
    ++at;
  }
  return word;
}

}  // namespace

std::string ProgramWordOf(std::string_view line, size_t& rest) {
  size_t at = SkipBlanks(line, 0);
  std::string word;
  if (at < line.size() && line[at] == '"') {
    const size_t close = line.find('"', at + 1);
    const size_t end = close == std::string_view::npos ? line.size() : close;
    word = std::string(line.substr(at + 1, end - at - 1));
    rest = close == std::string_view::npos ? line.size() : close + 1;
    return word;
  }
  while (at < line.size() && !IsBlank(line[at])) word += line[at++];
  rest = at;
  return word;
}

std::vector<std::string> ArgumentWordsOf(std::string_view line) {
  std::vector<std::string> words;
  for (size_t at = SkipBlanks(line, 0); at < line.size(); at = SkipBlanks(line, at)) words.push_back(ArgumentAt(line, at));
  return words;
}

}  // namespace xtb::win32
