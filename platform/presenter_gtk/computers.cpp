// The computer chooser of the folder dialog: the computers this one knows,
// in a list to pick from; the chosen one is handed back by its network
// name, "\\NAME", as paths to its shares begin.
#include <string>
#include <vector>

#include "os/computers.h"
#include "dialogs.h"
#include "utf8cp1252.h"

namespace xtb::gtk {
namespace {

class ComputerRequest final : public Request {
 public:
  explicit ComputerRequest(const XTFolderRequest& request) : m_request(request), m_computers(os::KnownComputers()) {}

  std::optional<std::string> chosen;

  void Start(const Api& api) override {
    m_api = &api;
    m_dialog = api.gtk_message_dialog_new(nullptr, 0, kMessageQuestion, kButtonsNone, "%s",
                                          "W\xC3\xA4hlen Sie einen Computer im Netzwerk:");
    const std::string title =
        Cp1252ToUtf8(m_request.title.IsEmpty() ? std::string_view("Computer suchen") : m_request.title.view());
    api.gtk_window_set_title(m_dialog, title.c_str());
    m_list = api.gtk_combo_box_text_new();
    for (const std::string& name : m_computers) api.gtk_combo_box_text_append_text(m_list, name.c_str());
    api.gtk_combo_box_set_active(m_list, 0);
    api.gtk_container_add(api.gtk_dialog_get_content_area(m_dialog), m_list);
    api.gtk_widget_show(m_list);
    api.gtk_dialog_add_button(m_dialog, "Abbrechen", kResponseCancel);
    Widget* ok = api.gtk_dialog_add_button(m_dialog, "OK", kResponseAccept);
    api.gtk_dialog_set_default_response(m_dialog, kResponseAccept);
    api.gtk_widget_grab_focus(ok);
    api.gtk_window_set_position(m_dialog, kWindowPositionCenter);
    Connect(api, m_dialog, "response", &OnResponse, this);
    api.gtk_widget_show(m_dialog);
  }

 private:
  static void OnResponse(Widget* dialog, int response, void* data) {
    auto* self = static_cast<ComputerRequest*>(data);
    if (response == kResponseAccept) {
      char* name = self->m_api->gtk_combo_box_text_get_active_text(self->m_list);
      if (!name) return;  // nothing chosen yet: the list may be empty
      self->chosen = std::string("\\\\") + name;
      self->m_api->g_free(name);
    }
    self->m_api->gtk_widget_destroy(dialog);
    self->Finish();
  }

  const XTFolderRequest& m_request;
  const std::vector<std::string> m_computers;
  const Api* m_api = nullptr;
  Widget* m_dialog = nullptr;
  Widget* m_list = nullptr;
};

}  // namespace

Outcome ShowComputerDialog(const XTFolderRequest& request, std::optional<std::string>& chosen) {
  ComputerRequest computers(request);
  const Outcome outcome = Run(computers);
  chosen = computers.chosen;
  return outcome;
}

}  // namespace xtb::gtk
