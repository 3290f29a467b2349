#include "command_line.h"

#include <strings.h>
#include <xtbasis/platform/winapp.h>

namespace {

void AppendQuoted(std::string& line, const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    line += argument;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char ch : argument) {
    if (ch == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as text only where no quote follows them.
    line.append(ch == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    line += ch;
  }
  line.append(2 * backslashes, '\\');
  line += '"';
}

bool Is(const char* param, const char* name) { return strcasecmp(param, name) == 0; }

}  // namespace

namespace xtb {

std::string QuotedCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    AppendQuoted(line, arguments[i]);
  }
  return line;
}

}  // namespace xtb

CCommandLineInfo::~CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL last) {
  if (param == nullptr) return;
  if (flag) {
    ParseFlag(param);
  } else {
    ParsePlain(param);
  }
  if (last && m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
}

void CCommandLineInfo::ParseFlag(const char* param) {
  if (Is(param, "p")) {
    m_nShellCommand = FilePrint;
  } else if (Is(param, "pt")) {
    m_nShellCommand = FilePrintTo;
  } else if (Is(param, "dde")) {
    m_nShellCommand = FileDDE;
  } else if (Is(param, "Register") || Is(param, "Regserver")) {
    m_nShellCommand = AppRegister;
  } else if (Is(param, "Unregister") || Is(param, "Unregserver")) {
    m_nShellCommand = AppUnregister;
  } else if (Is(param, "Embedding")) {
    m_bRunEmbedded = TRUE;
    m_bShowSplash = FALSE;
  } else if (Is(param, "Automation")) {
    m_bRunAutomated = TRUE;
    m_bShowSplash = FALSE;
  }
}

void CCommandLineInfo::ParsePlain(const char* param) {
  if (m_strFileName.IsEmpty()) {
    m_strFileName = param;
  } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty()) {
    m_strPrinterName = param;
  } else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty()) {
    m_strDriverName = param;
  } else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty()) {
    m_strPortName = param;
  }
}
