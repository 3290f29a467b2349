// The save-file and folder dialogs: GtkFileChooserDialog in save and in
// select-folder mode.
#include "dialogs.h"
#include "os/file.h"
#include "utf8cp1252.h"

namespace xtb::gtk {
namespace {

// A chooser with Cancel and an accepting button; the common part of both dialogs.
class ChooserRequest : public Request {
 public:
  std::optional<std::string> chosen;

 protected:
  void Open(const Api& api, const CString& title, const char* defaultTitle, int action, const char* accept) {
    m_api = &api;
    const std::string caption = Cp1252ToUtf8(title.IsEmpty() ? std::string_view(defaultTitle) : title.view());
    m_chooser = api.gtk_file_chooser_dialog_new(caption.c_str(), nullptr, action, "Abbrechen", kResponseCancel, accept,
                                                kResponseAccept, nullptr);
    api.gtk_dialog_set_default_response(m_chooser, kResponseAccept);
    api.gtk_window_set_position(m_chooser, kWindowPositionCenter);
  }

  void Show() {
    Connect(*m_api, m_chooser, "response", &OnResponse, this);
    m_api->gtk_widget_show(m_chooser);
  }

  // The path to hand back for the one the user accepted; nothing keeps the
  // dialog open (Done is then called later, or never).
  virtual std::optional<std::string> Accept(std::string path) = 0;

  void Done(std::optional<std::string> path) {
    m_api->gtk_widget_destroy(m_chooser);
    chosen = std::move(path);
    Finish();
  }

  // File-system bytes in the form GTK shows: UTF-8 as it is, anything else read as 1252.
  std::string DisplayForm(std::string_view name) const {
    return m_api->g_utf8_validate(name.data(), static_cast<long>(name.size()), nullptr) ? std::string(name)
                                                                                        : Cp1252ToUtf8(name);
  }

  const Api* m_api = nullptr;
  Widget* m_chooser = nullptr;

 private:
  static void OnResponse(Widget* chooser, int response, void* data) {
    auto* self = static_cast<ChooserRequest*>(data);
    if (response != kResponseAccept) return self->Done(std::nullopt);
    char* name = self->m_api->gtk_file_chooser_get_filename(chooser);
    if (!name) return;  // nothing chosen yet
    std::string path(name);
    self->m_api->g_free(name);
    if (std::optional<std::string> accepted = self->Accept(std::move(path))) self->Done(std::move(accepted));
  }
};

class SaveRequest final : public ChooserRequest {
 public:
  explicit SaveRequest(const XTSaveFileRequest& request) : m_request(request) {}

  void Start(const Api& api) override {
    Open(api, m_request.title, "Speichern unter", kActionSave, "Speichern");
    Preset(m_request.fileName.view());
    for (const FileFilterEntry& entry : ParseFileFilter(m_request.filter.view())) {
      FileFilter* filter = api.gtk_file_filter_new();
      api.gtk_file_filter_set_name(filter, Cp1252ToUtf8(entry.name).c_str());
      for (const std::string& pattern : entry.patterns)
        api.gtk_file_filter_add_pattern(filter, CaseInsensitivePattern(Cp1252ToUtf8(pattern)).c_str());
      api.gtk_file_chooser_add_filter(m_chooser, filter);
    }
    Show();
  }

 private:
  // A preset name may bring its folder along: "/srv/dumps/absturz.dmp".
  void Preset(std::string_view fileName) {
    const size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) {
      std::string folder(fileName.substr(0, slash + 1));
      for (char& ch : folder)
        if (ch == '\\') ch = '/';
      m_api->gtk_file_chooser_set_current_folder(m_chooser, folder.c_str());
      fileName.remove_prefix(slash + 1);
    }
    if (!fileName.empty()) m_api->gtk_file_chooser_set_current_name(m_chooser, DisplayForm(fileName).c_str());
  }

  std::optional<std::string> Accept(std::string path) override {
    path = WithDefaultExtension(std::move(path), Cp1252ToUtf8(m_request.defaultExt.view()));
    os::FileFacts facts;
    if (!(m_request.flags & OFN_OVERWRITEPROMPT) || !os::FactsOf(path.c_str(), facts)) return path;
    const std::string name = DisplayForm(path.substr(path.rfind('/') + 1));
    m_replacing = std::move(path);
    m_confirm = LayoutOf(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    Widget* box =
        NewBox(*m_api, m_confirm, m_chooser, "Datei ersetzen",
               "Die Datei \xE2\x80\x9E" + name + "\xE2\x80\x9C ist bereits vorhanden.\nSoll sie ersetzt werden?");
    Connect(*m_api, box, "response", &OnConfirm, this);
    m_api->gtk_widget_show(box);
    return std::nullopt;
  }

  // "Ja" takes the existing file; "Nein" goes back to the dialog.
  static void OnConfirm(Widget* box, int response, void* data) {
    auto* self = static_cast<SaveRequest*>(data);
    const int answer = BoxAnswer(self->m_confirm, response);
    if (answer == 0) return;
    self->m_api->gtk_widget_destroy(box);
    if (answer == IDYES) self->Done(std::move(self->m_replacing));
  }

  const XTSaveFileRequest& m_request;
  BoxLayout m_confirm{};
  std::string m_replacing;  // the existing file the user is asked about
};

class FolderRequest final : public ChooserRequest {
 public:
  explicit FolderRequest(const XTFolderRequest& request) : m_request(request) {}

  void Start(const Api& api) override {
    Open(api, m_request.title, "Ordner suchen", kActionSelectFolder, "Auswählen");
    if (!m_request.initialFolder.IsEmpty())
      api.gtk_file_chooser_set_current_folder(m_chooser, m_request.initialFolder.GetString());
    Show();
    // The chooser sizes itself by its font, too large for small screens: its buttons would be off screen.
    api.gtk_window_resize(m_chooser, 640, 440);
  }

 private:
  std::optional<std::string> Accept(std::string path) override { return path; }

  const XTFolderRequest& m_request;
};

template <typename RequestType, typename Options>
Outcome ShowChooser(const Options& options, std::optional<std::string>& chosen) {
  RequestType request(options);
  const Outcome outcome = Run(request);
  chosen = request.chosen;
  return outcome;
}

}  // namespace

Outcome ShowSaveDialog(const XTSaveFileRequest& request, std::optional<std::string>& chosen) {
  return ShowChooser<SaveRequest>(request, chosen);
}

Outcome ShowFolderDialog(const XTFolderRequest& request, std::optional<std::string>& chosen) {
  return ShowChooser<FolderRequest>(request, chosen);
}

}  // namespace xtb::gtk
