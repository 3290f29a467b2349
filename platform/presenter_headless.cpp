// The presenter of programs without a display: one line on standard error
// per box or dialog, answers from the default button or the environment.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>

#include "os/environment.h"
#include "os/file.h"
#include "utf8cp1252.h"

namespace {

struct NamedAnswer {
  const char* name;
  int id;
};

constexpr NamedAnswer kAnswers[] = {
    {"OK", IDOK},         {"CANCEL", IDCANCEL},     {"ABORT", IDABORT},
    {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE},     {"YES", IDYES},
    {"NO", IDNO},         {"TRYAGAIN", IDTRYAGAIN}, {"CONTINUE", IDCONTINUE},
    {"HELP", IDHELP},
};

// The ID* value named by `text` (a name in any case, or a number), 0 if none.
int ParseAnswer(const char* text) {
  for (const auto& answer : kAnswers)
    if (strcasecmp(text, answer.name) == 0) return answer.id;
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && number > 0 && number < 100 ? static_cast<int>(number) : 0;
}

int ChooseAnswer(UINT type, int fd) {
  const char* wanted = xtb::os::NonEmptyEnvironmentValue("XTBASIS_MSGBOX_ANSWER");
  if (!wanted) return XTDefaultButton(type);
  const int id = ParseAnswer(wanted);
  if (id == 0) {
    const std::string warning = std::string("XTBASIS_MSGBOX_ANSWER: unknown answer '") + wanted +
                                "', the default button is answered\n";
    xtb::os::WriteFull(fd, warning.data(), warning.size());
  }
  return XTHasButton(type, id) ? id : XTDefaultButton(type);
}

// Line breaks (CR LF, LF or CR) become single spaces.
std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      line += ' ';
    } else {
      line += text[i];
    }
  }
  return line;
}

BOOL AnswerDialog(const char* variable, CString& result) {
  const char* answer = xtb::os::NonEmptyEnvironmentValue(variable);
  if (!answer) {
    SetLastError(ERROR_CANCELLED);
    return FALSE;
  }
  result = answer;
  return TRUE;
}

bool HasExtension(const CString& path) {
  const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
  return path.ReverseFind('.') > slash;
}

}  // namespace

void XTHeadlessPresenter::WriteLine(const CString& caption, const CString& text) const {
  std::string line = OneLine(text.view());
  if (!caption.IsEmpty()) line = OneLine(caption.view()) + ": " + line;
  line = xtb::Cp1252ToUtf8(line) + '\n';
  // One write, so that lines of several threads do not mix.
  xtb::os::WriteFull(m_fd, line.data(), line.size());
}

int XTHeadlessPresenter::ShowMessageBox(HWND, const CString& text, const CString& caption, UINT type) {
  WriteLine(caption, text);
  return ChooseAnswer(type, m_fd);
}

BOOL XTHeadlessPresenter::ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) {
  WriteLine(request.title.IsEmpty() ? CString("Speichern unter") : request.title,
            request.fileName.IsEmpty() ? request.filter : request.fileName);
  CString chosen;
  if (!AnswerDialog("XTBASIS_SAVEFILE_ANSWER", chosen)) return FALSE;
  if (!request.defaultExt.IsEmpty() && !HasExtension(chosen)) chosen += "." + request.defaultExt;
  path = chosen;
  return TRUE;
}

BOOL XTHeadlessPresenter::ShowFolderDialog(const XTFolderRequest& request, CString& folder) {
  WriteLine(request.title.IsEmpty() ? CString("Ordner suchen") : request.title, request.initialFolder);
  return AnswerDialog("XTBASIS_FOLDER_ANSWER", folder);
}
