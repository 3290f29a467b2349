// The message box: a GtkMessageDialog with the buttons of its MB_ type.
#include "dialogs.h"
#include "utf8cp1252.h"

namespace xtb::gtk {
namespace {

class BoxRequest final : public Request {
 public:
  BoxRequest(std::string_view caption, std::string_view text, UINT type)
      : m_caption(Cp1252ToUtf8(caption)), m_text(Cp1252ToUtf8(text)), m_layout(LayoutOf(type)) {}

  void Start(const Api& api) override {
    m_api = &api;
    Widget* box = NewBox(api, m_layout, nullptr, m_caption, m_text);
    Connect(api, box, "response", &OnResponse, this);
    api.gtk_widget_show(box);
  }

  int answer() const { return m_answer; }

 private:
  static void OnResponse(Widget* box, int response, void* data) {
    auto* self = static_cast<BoxRequest*>(data);
    const int answer = BoxAnswer(self->m_layout, response);
    if (answer == 0) return;
    self->m_api->gtk_widget_destroy(box);
    self->m_answer = answer;
    self->Finish();
  }

  const std::string m_caption;
  const std::string m_text;
  const BoxLayout m_layout;
  const Api* m_api = nullptr;
  int m_answer = 0;
};

// GtkDialog answers a close request with a DELETE_EVENT response and then
// destroys the window; the response handler decides instead.
int KeepOpen(Widget*, void*, void*) { return 1; }

}  // namespace

Widget* NewBox(const Api& api, const BoxLayout& layout, Widget* parent, const std::string& caption,
               const std::string& text) {
  Widget* box = api.gtk_message_dialog_new(parent, parent ? kDialogModal | kDialogDestroyWithParent : 0,
                                           layout.messageType, kButtonsNone, "%s", text.c_str());
  api.gtk_window_set_title(box, caption.c_str());
  for (const BoxButton& button : layout.buttons) {
    Widget* widget = api.gtk_dialog_add_button(box, button.label, button.id);
    if (button.id == layout.defaultId) api.gtk_widget_grab_focus(widget);
  }
  api.gtk_dialog_set_default_response(box, layout.defaultId);
  api.gtk_window_set_keep_above(box, layout.keepAbove);
  api.gtk_window_set_position(box, kWindowPositionCenter);
  Connect(api, box, "delete-event", &KeepOpen, nullptr);
  return box;
}

Outcome ShowBox(std::string_view caption, std::string_view text, UINT type, int& answer) {
  BoxRequest request(caption, text, type);
  const Outcome outcome = Run(request);
  answer = request.answer();
  return outcome;
}

}  // namespace xtb::gtk
