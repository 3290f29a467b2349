// The application helpers as a ported program calls them: strings by id
// from the module it makes the resource handle, boxes, the %1 templates,
// pieces of a text, the application's name.
#include <windows.h>
#include <afx.h>
#include <afxwin.h>
#include <tchar.h>

#include <stdio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "trace_log_fixture.h"

// <windows.h> maps FormatMessage to FormatMessageA as it maps LoadString;
// CString's member must be reached under the macro too.
#ifndef FormatMessage
#error "<windows.h> no longer maps FormatMessage"
#endif

namespace {

#define IDS_FRAGE 101
#define IDS_DATEI_FEHLT 102
#define IDS_VERSCHOBEN 103
#define IDS_ZAEHNE 104
#define IDS_NICHT_DA 199

HINSTANCE ProgramStrings() {
  static const XTResourceText kStrings[] = {
      {IDS_FRAGE, "Änderungen speichern?"},
      {IDS_DATEI_FEHLT, "Die Datei %1 fehlt (%1, %3%)."},
      {IDS_VERSCHOBEN, "%2 liegt jetzt in %1."},
      {IDS_ZAEHNE, "%d Zähne, %s"},
  };
  static HINSTANCE module = XTRegisterModule({"kitapp.exe", kStrings, 4});
  return module;
}

// The box lines of the headless presenter, in a file of their own.
class BoxLines {
 public:
  BoxLines() : m_file(tmpfile()), m_presenter(fileno(m_file)) { m_before = SetXTPresenter(&m_presenter); }
  ~BoxLines() {
    SetXTPresenter(m_before);
    fclose(m_file);
  }
  std::string Text() const {
    std::string text;
    rewind(m_file);
    for (int c; (c = fgetc(m_file)) != EOF;) text += static_cast<char>(c);
    return text;
  }

 private:
  FILE* m_file;
  XTHeadlessPresenter m_presenter;
  XTPresenter* m_before;
};

class MfcApp : public TraceLogTest {
 protected:
  void SetUp() override {
    TraceLogTest::SetUp();
    ASSERT_NE(ProgramStrings(), nullptr);
    AfxSetResourceHandle(ProgramStrings());
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    TraceLogTest::TearDown();
  }
};

// <windows.h> makes LoadString the macro of LoadStringA; the member and the
// call of the same name both work in one file.
TEST_F(MfcApp, CStringLoadStringAndTheWin32CallLiveSideBySide) {
  CString text;
  ASSERT_TRUE(text.LoadString(IDS_FRAGE));
  EXPECT_EQ(text, "\xC4nderungen speichern?");
  TCHAR buffer[8];
  EXPECT_EQ(::LoadString(AfxGetResourceHandle(), IDS_FRAGE, buffer, 8), 7);
  EXPECT_STREQ(buffer, "\xC4nderun");
  EXPECT_TRUE(text.LoadString(ProgramStrings(), IDS_VERSCHOBEN));
  EXPECT_EQ(text, "%2 liegt jetzt in %1.");

  SetLastError(0);
  EXPECT_FALSE(text.LoadString(IDS_NICHT_DA));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  // The program's own module record has no strings of its own.
  EXPECT_FALSE(text.LoadString(AfxGetInstanceHandle(), IDS_FRAGE));
}

TEST_F(MfcApp, TheResourceHandleIsWhatTheCallsByIdRead) {
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandle(nullptr));
  CString text;
  EXPECT_FALSE(text.LoadString(IDS_FRAGE));
  AfxSetResourceHandle(ProgramStrings());
  EXPECT_EQ(AfxGetResourceHandle(), ProgramStrings());
  EXPECT_TRUE(text.LoadString(IDS_FRAGE));
  // A handle no module has: the calls fail and say so.
  int notAModule = 0;
  AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(&notAModule));
  EXPECT_FALSE(text.LoadString(IDS_FRAGE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(MfcApp, MessageBoxByIdShowsTheStringUnderTheApplicationsName) {
  BoxLines lines;
  setenv("XTBASIS_MSGBOX_ANSWER", "YES", 1);
  EXPECT_EQ(AfxMessageBox(IDS_FRAGE, MB_YESNO | MB_ICONQUESTION), IDYES);
  {
    CWinApp app(_T("Empfang"));
    EXPECT_STREQ(AfxGetAppName(), "Empfang");
    EXPECT_EQ(AfxMessageBox(IDS_FRAGE), IDOK);
    EXPECT_EQ(AfxMessageBox(_T("Fertig.")), IDOK);
  }
  EXPECT_EQ(AfxGetAppName(), nullptr);
  EXPECT_EQ(lines.Text(), std::string(program_invocation_short_name) +
                              ": \xC3\x84nderungen speichern?\n"
                              "Empfang: \xC3\x84nderungen speichern?\n"
                              "Empfang: Fertig.\n");
}

TEST_F(MfcApp, MessageBoxWithAMissingStringShowsNothingAndTracesTheId) {
  BoxLines lines;
  SetLastError(0);
  EXPECT_EQ(AfxMessageBox(IDS_NICHT_DA, MB_OK), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(lines.Text(), "");
  EXPECT_NE(NewRecords().find("AfxMessageBox: Text 199 fehlt"), std::string::npos) << NewRecords();
}

TEST_F(MfcApp, FormatStringReplacesEachNumberedPlaceAsOftenAsItStands) {
  CString out(_T("alt"));
  AfxFormatString1(out, IDS_DATEI_FEHLT, _T("C:\\Praxis\\brief.xml"));
  // %3 has no string and stays; so does a '%' before anything but a digit.
  EXPECT_EQ(out, "Die Datei C:\\Praxis\\brief.xml fehlt (C:\\Praxis\\brief.xml, %3%).");
  AfxFormatString2(out, IDS_VERSCHOBEN, _T("Archiv"), _T("brief.xml"));
  EXPECT_EQ(out, "brief.xml liegt jetzt in Archiv.");
  AfxFormatString2(out, IDS_VERSCHOBEN, nullptr, _T("brief.xml"));
  EXPECT_EQ(out, "brief.xml liegt jetzt in .");
  AfxFormatString1(out, IDS_NICHT_DA, _T("x"));
  EXPECT_TRUE(out.IsEmpty());

  // The text form, with the output as one of the strings.
  CString name(_T("%1"));
  LPCTSTR strings[] = {_T("eins"), _T("zwei"), _T("drei")};
  AfxFormatStrings(name, _T("%3-%2-%1-%4"), strings, 3);
  EXPECT_EQ(name, "drei-zwei-eins-%4");
}

TEST_F(MfcApp, ExtractSubStringCountsEmptyPiecesAndRefusesPastTheEnd) {
  CString piece(_T("alt"));
  EXPECT_TRUE(AfxExtractSubString(piece, _T("M\xFCller;Kontrolle;;14:30"), 0, _T(';')));
  EXPECT_EQ(piece, "M\xFCller");
  EXPECT_TRUE(AfxExtractSubString(piece, _T("M\xFCller;Kontrolle;;14:30"), 2, _T(';')));
  EXPECT_TRUE(piece.IsEmpty());
  EXPECT_TRUE(AfxExtractSubString(piece, _T("M\xFCller;Kontrolle;;14:30"), 3, _T(';')));
  EXPECT_EQ(piece, "14:30");
  piece = _T("alt");
  EXPECT_FALSE(AfxExtractSubString(piece, _T("M\xFCller;Kontrolle;;14:30"), 4, _T(';')));
  EXPECT_TRUE(piece.IsEmpty());
  // The default separator is the line feed; a trailing one leaves an empty piece.
  EXPECT_TRUE(AfxExtractSubString(piece, _T("Zeile 1\nZeile 2\n"), 1));
  EXPECT_EQ(piece, "Zeile 2");
  EXPECT_TRUE(AfxExtractSubString(piece, _T("Zeile 1\nZeile 2\n"), 2));
  EXPECT_TRUE(piece.IsEmpty());
  EXPECT_TRUE(AfxExtractSubString(piece, _T(""), 0));
  EXPECT_FALSE(AfxExtractSubString(piece, _T(""), 1));
  EXPECT_FALSE(AfxExtractSubString(piece, _T("a;b"), -1, _T(';')));
  EXPECT_FALSE(AfxExtractSubString(piece, nullptr, 0));
  // A CString as the text, as the reception service hands it.
  const CString mail(_T("Meier;Termin"));
  EXPECT_TRUE(AfxExtractSubString(piece, mail, 1, _T(';')));
  EXPECT_EQ(piece, "Termin");
}

TEST_F(MfcApp, FormatAndFormatMessageByIdUnderTheUnsuffixedMacros) {
  CString text;
  const CString quadrant(_T("Oberkiefer rechts"));
  text.Format(IDS_ZAEHNE, 8, quadrant);
  EXPECT_EQ(text, "8 Z\xE4hne, Oberkiefer rechts");
  text.AppendFormat(IDS_ZAEHNE, 1L, _T("links"));
  EXPECT_EQ(text, "8 Z\xE4hne, Oberkiefer rechts1 Z\xE4hne, links");
  text.Format(IDS_NICHT_DA, 8);
  EXPECT_TRUE(text.IsEmpty());
  text.FormatMessage(IDS_VERSCHOBEN, _T("Archiv"), CString(_T("brief.xml")));
  EXPECT_EQ(text, "brief.xml liegt jetzt in Archiv.");
  text.FormatMessage(_T("%1!d! von %2!d!"), 3, 4);
  EXPECT_EQ(text, "3 von 4");
}

}  // namespace
