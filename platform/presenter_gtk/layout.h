// What a desktop box or file dialog shows, worked out from the Windows-style
// request before any GTK call: buttons and their German labels, the default
// button, what closing the window answers, the file filters.
#pragma once

#include <xtbasis/platform/wintypes.h>

#include <string>
#include <string_view>
#include <vector>

namespace xtb::gtk {

struct BoxButton {
  int id;             // ID*
  const char* label;  // UTF-8
};

struct BoxLayout {
  std::vector<BoxButton> buttons;  // in the order they stand in the box
  int defaultId;                   // focused, answers Return
  int closeAnswer;                 // what closing the window answers; 0: it cannot be closed
  int messageType;                 // GtkMessageType of the MB_ICON* value
  bool keepAbove;                  // MB_TOPMOST
};

BoxLayout LayoutOf(UINT type);

// The answer of a box to the GTK response `response` (a button's ID* or
// the window being closed); 0 while the box stays open. The help button
// leaves it open, as on Windows.
int BoxAnswer(const BoxLayout& layout, int response);

struct FileFilterEntry {
  std::string name;                   // "DMP-Datei (*.dmp)"
  std::vector<std::string> patterns;  // "*.dmp"
};

// The pairs of a filter text "Description|*.a;*.b|...||": parsing stops at
// an empty description; a description without patterns is dropped.
std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);

// `pattern` matching regardless of letter case ("*.dmp" → "*.[dD][mM][pP]"),
// as Windows matches file names.
std::string CaseInsensitivePattern(std::string_view pattern);

// `path` with "." + `extension` appended when its file name has none.
std::string WithDefaultExtension(std::string path, std::string_view extension);

}  // namespace xtb::gtk
