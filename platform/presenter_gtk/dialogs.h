// The desktop presenter's windows. Each Show* function hands its window to
// the UI thread and waits for the answer; texts come in code page 1252,
// paths as the file system spells them.
#pragma once

#include <xtbasis/platform/presenter.h>

#include <optional>
#include <string>
#include <string_view>

#include "layout.h"
#include "thread.h"

namespace xtb::gtk {

Outcome ShowBox(std::string_view caption, std::string_view text, UINT type, int& answer);
// `chosen` holds the path, or nothing when the user cancelled.
Outcome ShowSaveDialog(const XTSaveFileRequest& request, std::optional<std::string>& chosen);
Outcome ShowFolderDialog(const XTFolderRequest& request, std::optional<std::string>& chosen);
// The computers of os::KnownComputers to choose from; `chosen` holds the
// network name of the one chosen.
Outcome ShowComputerDialog(const XTFolderRequest& request, std::optional<std::string>& chosen);

// Shared by the windows, on the UI thread:
// a box of `layout`, not yet shown; modal to `parent` and closed with it
// when one is given.
Widget* NewBox(const Api& api, const BoxLayout& layout, Widget* parent, const std::string& caption,
               const std::string& text);

template <typename Handler>
void Connect(const Api& api, Widget* widget, const char* signal, Handler handler, void* data) {
  api.g_signal_connect_data(widget, signal, reinterpret_cast<Callback>(handler), data, nullptr, 0);
}

}  // namespace xtb::gtk
