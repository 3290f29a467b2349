#include "presenter_gtk/layout.h"

#include <gtest/gtest.h>
#include <xtbasis/platform/presenter.h>

#include <string>
#include <vector>

#include "presenter_gtk/api.h"

namespace {

using namespace xtb::gtk;

std::string Labels(const BoxLayout& layout) {
  std::string labels;
  for (const BoxButton& button : layout.buttons) labels += std::string(labels.empty() ? "" : "|") + button.label;
  return labels;
}

TEST(DesktopBoxLayout, ButtonsLabelsAndDefaultFollowTheBoxType) {
  const BoxLayout retry = LayoutOf(MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONWARNING | MB_TOPMOST);
  EXPECT_EQ(Labels(retry), "Abbrechen|Wiederholen|Ignorieren");
  EXPECT_EQ(retry.buttons.front().id, IDABORT);
  EXPECT_EQ(retry.defaultId, IDRETRY);
  EXPECT_EQ(retry.messageType, kMessageWarning);
  EXPECT_TRUE(retry.keepAbove);

  const BoxLayout question = LayoutOf(MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION);
  EXPECT_EQ(Labels(question), "Ja|Nein|Abbrechen");
  EXPECT_EQ(question.buttons.back().id, IDCANCEL);
  EXPECT_EQ(question.defaultId, IDCANCEL);
  EXPECT_EQ(question.messageType, kMessageQuestion);
  EXPECT_FALSE(question.keepAbove);

  EXPECT_EQ(Labels(LayoutOf(MB_CANCELTRYCONTINUE)), "Abbrechen|Erneut versuchen|Weiter");
  EXPECT_EQ(Labels(LayoutOf(MB_RETRYCANCEL)), "Wiederholen|Abbrechen");
  EXPECT_EQ(Labels(LayoutOf(MB_OKCANCEL | MB_HELP)), "OK|Abbrechen|Hilfe");
  EXPECT_EQ(Labels(LayoutOf(0x0000000Fu)), "OK");  // an unknown set shows OK alone
  EXPECT_EQ(LayoutOf(MB_OK | MB_ICONERROR).messageType, kMessageError);
  EXPECT_EQ(LayoutOf(MB_OK | MB_ICONINFORMATION).messageType, kMessageInfo);
  EXPECT_EQ(LayoutOf(MB_OK).messageType, kMessageOther);  // the trace box has no icon
}

TEST(DesktopBoxLayout, ClosingAnswersCancelOrOkOrIsRefused) {
  const int close = kResponseDeleteEvent;
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_YESNOCANCEL), close), IDCANCEL);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_RETRYCANCEL), close), IDCANCEL);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_CANCELTRYCONTINUE), close), IDCANCEL);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_OK | MB_HELP), close), IDOK);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_YESNO), close), 0);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_ABORTRETRYIGNORE), close), 0);

  EXPECT_EQ(BoxAnswer(LayoutOf(MB_YESNO), IDNO), IDNO);
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_OK | MB_HELP), IDHELP), 0);  // help keeps the box open
  EXPECT_EQ(BoxAnswer(LayoutOf(MB_OK), IDYES), 0);             // not a button of this box
}

TEST(DesktopFileDialog, FilterTextBecomesNamedPatternLists) {
  const auto dump = ParseFileFilter("DMP-Datei (*.dmp)|*.dmp||");
  ASSERT_EQ(dump.size(), 1u);
  EXPECT_EQ(dump[0].name, "DMP-Datei (*.dmp)");
  EXPECT_EQ(dump[0].patterns, std::vector<std::string>{"*.dmp"});

  // Several patterns, a final pair without "||", parsing ends at the empty description.
  const auto images = ParseFileFilter("Bilder|*.bmp;*.tif;;*.png|Alle Dateien (*.*)|*.*||Rest|*.x");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].patterns, (std::vector<std::string>{"*.bmp", "*.tif", "*.png"}));
  EXPECT_EQ(images[1].name, "Alle Dateien (*.*)");
  EXPECT_EQ(ParseFileFilter("Text|*.txt").size(), 1u);

  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("|*.dmp||").empty());
  EXPECT_TRUE(ParseFileFilter("Ohne Muster||").empty());
  EXPECT_TRUE(ParseFileFilter("Ohne Muster").empty());
}

TEST(DesktopFileDialog, PatternsMatchRegardlessOfCase) {
  EXPECT_EQ(CaseInsensitivePattern("*.dmp"), "*.[dD][mM][pP]");
  EXPECT_EQ(CaseInsensitivePattern("Bild?.JPG"), "[bB][iI][lL][dD]?.[jJ][pP][gG]");
  const std::string umlaut = "*_\xC3\xA4_1";  // "*_ä_1": only ASCII letters pair up
  EXPECT_EQ(CaseInsensitivePattern(umlaut), umlaut);
}

TEST(DesktopFileDialog, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(WithDefaultExtension("/srv/dumps/absturz", "dmp"), "/srv/dumps/absturz.dmp");
  EXPECT_EQ(WithDefaultExtension("/srv/a.b/absturz", "dmp"), "/srv/a.b/absturz.dmp");
  EXPECT_EQ(WithDefaultExtension("/srv/dumps/absturz.bin", "dmp"), "/srv/dumps/absturz.bin");
  EXPECT_EQ(WithDefaultExtension("absturz", "dmp"), "absturz.dmp");
  EXPECT_EQ(WithDefaultExtension("/srv/dumps/absturz", ""), "/srv/dumps/absturz");
}

}  // namespace
