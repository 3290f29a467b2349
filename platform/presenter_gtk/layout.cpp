#include "layout.h"

#include <xtbasis/platform/presenter.h>

#include "api.h"

namespace xtb::gtk {
namespace {

// Every button a box can have, in an order that keeps each MB_ set's own
// order (Abort Retry Ignore, Yes No Cancel, Cancel Try-again Continue ...).
constexpr BoxButton kButtons[] = {
    {IDABORT, "Abbrechen"},   {IDRETRY, "Wiederholen"},
    {IDIGNORE, "Ignorieren"}, {IDYES, "Ja"},
    {IDNO, "Nein"},           {IDOK, "OK"},
    {IDCANCEL, "Abbrechen"},  {IDTRYAGAIN, "Erneut versuchen"},
    {IDCONTINUE, "Weiter"},   {IDHELP, "Hilfe"},
};

int MessageTypeOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      return kMessageError;
    case MB_ICONQUESTION:
      return kMessageQuestion;
    case MB_ICONWARNING:
      return kMessageWarning;
    case MB_ICONINFORMATION:
      return kMessageInfo;
    default:
      return kMessageOther;
  }
}

// Closing answers Cancel where the box has it, OK on a box with nothing else.
int CloseAnswerOf(UINT type) {
  if (XTHasButton(type, IDCANCEL)) return IDCANCEL;
  for (const BoxButton& button : kButtons)
    if (button.id != IDOK && button.id != IDHELP && XTHasButton(type, button.id)) return 0;
  return IDOK;
}

}  // namespace

BoxLayout LayoutOf(UINT type) {
  BoxLayout layout{{}, XTDefaultButton(type), CloseAnswerOf(type), MessageTypeOf(type), (type & MB_TOPMOST) != 0};
  for (const BoxButton& button : kButtons)
    if (XTHasButton(type, button.id)) layout.buttons.push_back(button);
  return layout;
}

int BoxAnswer(const BoxLayout& layout, int response) {
  if (response == kResponseDeleteEvent) return layout.closeAnswer;
  if (response == IDHELP) return 0;
  for (const BoxButton& button : layout.buttons)
    if (button.id == response) return response;
  return 0;
}

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter) {
  std::vector<FileFilterEntry> filters;
  auto next = [&filter]() {
    const size_t bar = filter.find('|');
    const std::string_view piece = filter.substr(0, bar);
    filter.remove_prefix(bar == std::string_view::npos ? filter.size() : bar + 1);
    return piece;
  };
  for (std::string_view name = next(); !name.empty(); name = next()) {
    FileFilterEntry entry{std::string(name), {}};
    std::string_view patterns = next();
    while (!patterns.empty()) {
      const size_t semicolon = patterns.find(';');
      const std::string_view pattern = patterns.substr(0, semicolon);
      if (!pattern.empty()) entry.patterns.emplace_back(pattern);
      patterns.remove_prefix(semicolon == std::string_view::npos ? patterns.size() : semicolon + 1);
    }
    if (!entry.patterns.empty()) filters.push_back(std::move(entry));
  }
  return filters;
}

std::string CaseInsensitivePattern(std::string_view pattern) {
  std::string result;
  for (char ch : pattern) {
    const char lower = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    const char upper = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    if (lower == upper) {
      result += ch;
    } else {
      result += '[';
      result += lower;
      result += upper;
      result += ']';
    }
  }
  return result;
}

std::string WithDefaultExtension(std::string path, std::string_view extension) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (!extension.empty() && !hasExtension) (path += '.') += extension;
  return path;
}

}  // namespace xtb::gtk
