// The INI text as Windows reads and edits it: names without case, comments,
// blanks and quotes, first occurrences, and edits that leave every other
// byte alone.
#include "profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using xtb::win32::ProfileKeys;
using xtb::win32::ProfileSections;
using xtb::win32::ProfileValue;
using xtb::win32::WithoutProfileSection;
using xtb::win32::WithProfileValue;

const char kPractice[] =
    "; Einstellungen der Praxis\r\n"
    "[Praxis]\r\n"
    "  Name =  Zahnarztpraxis Müller  \r\n"
    "Ort=\"  Köln \"\r\n"
    "Kurz='K'\r\n"
    ";Tel=0221\r\n"
    "Leer=\r\n"
    "Halb=\"offen\r\n"
    "ohne Gleichheitszeichen\r\n"
    "name=zweiter Eintrag\r\n"
    "\r\n"
    "[ Drucker ]\r\n"
    "Port=LPT1 ; kein Kommentar\r\n"
    "[praxis]\r\n"
    "Name=zweite Sektion\r\n"
    "Neu=1\r\n";

TEST(ProfileText, ReadsNamesAndValuesByWindowsRules) {
  EXPECT_EQ("Zahnarztpraxis Müller", ProfileValue(kPractice, "praxis", "NAME"));  // case-blind, trimmed
  EXPECT_EQ("  Köln ", ProfileValue(kPractice, "Praxis", "Ort"));                 // quotes keep the blanks
  EXPECT_EQ("K", ProfileValue(kPractice, "Praxis", "Kurz"));
  EXPECT_EQ("\"offen", ProfileValue(kPractice, "Praxis", "Halb"));  // no pair, no stripping
  EXPECT_EQ("", ProfileValue(kPractice, "Praxis", "Leer"));
  EXPECT_EQ("LPT1 ; kein Kommentar", ProfileValue(kPractice, "drucker", "port"));
  EXPECT_EQ(std::nullopt, ProfileValue(kPractice, "Praxis", ";Tel"));
  EXPECT_EQ(std::nullopt, ProfileValue(kPractice, "Praxis", "Tel"));
  EXPECT_EQ(std::nullopt, ProfileValue(kPractice, "Praxis", "ohne Gleichheitszeichen"));
  // The first section of a name counts, as does the first key.
  EXPECT_EQ(std::nullopt, ProfileValue(kPractice, "Praxis", "Neu"));
  EXPECT_EQ(std::nullopt, ProfileValue(kPractice, "Fehlt", "Name"));
  // 1252 letters without case ("\xC4RZTE" is "ÄRZTE"), "\n" lines, no last break.
  EXPECT_EQ("\xE4", ProfileValue("[\xC4RZTE]\nx=\xE4", "\xE4rzte", "X"));
}

TEST(ProfileText, ListsSectionsAndKeysOnce) {
  EXPECT_EQ((std::vector<std::string>{"Praxis", "Drucker"}), ProfileSections(kPractice));
  EXPECT_EQ((std::vector<std::string>{"Name", "Ort", "Kurz", "Leer", "Halb"}), ProfileKeys(kPractice, "PRAXIS"));
  EXPECT_TRUE(ProfileKeys(kPractice, "Fehlt").empty());
  EXPECT_TRUE(ProfileSections("").empty());
  EXPECT_TRUE(ProfileSections("x=1\n; [nein]\n[offen\n").empty());
}

TEST(ProfileText, EditsTouchOnlyTheirLine) {
  const std::string text = kPractice;
  // In place: the stored key keeps its spelling, the rest its bytes.
  std::string edited = WithProfileValue(text, "PRAXIS", "ort", "Bonn");
  std::string expected = text;
  expected.replace(expected.find("Ort=\"  Köln \"\r\n"), std::string("Ort=\"  Köln \"\r\n").size(), "Ort=Bonn\r\n");
  EXPECT_EQ(expected, edited);

  // A new key follows the section's last key, before its blank line.
  edited = WithProfileValue(text, "praxis", "Fax", "0222");
  expected = text;
  expected.insert(expected.find("\r\n[ Drucker ]"), "Fax=0222\r\n");
  EXPECT_EQ(expected, edited);
  EXPECT_EQ("0222", ProfileValue(edited, "Praxis", "fax"));

  // A new section goes to the end; a text without a last break gets one.
  EXPECT_EQ(text + "[Neu]\r\nA=b\r\n", WithProfileValue(text, "Neu", "A", "b"));
  EXPECT_EQ("[x]\nk=1\n[Neu]\nA=b\n", WithProfileValue("[x]\nk=1", "Neu", "A", "b"));
  EXPECT_EQ("[x]\nk=1\nA=b\n", WithProfileValue("[x]\nk=1", "X", "A", "b"));
  EXPECT_EQ("[Neu]\r\nA=b\r\n", WithProfileValue("", "Neu", "A", "b"));

  // Removing: a key's line, a whole section up to the next one.
  expected = text;
  expected.erase(expected.find("Kurz='K'\r\n"), std::string("Kurz='K'\r\n").size());
  EXPECT_EQ(expected, WithProfileValue(text, "Praxis", "KURZ", std::nullopt));
  expected = text;
  expected.erase(expected.find("[ Drucker ]"), std::string("[ Drucker ]\r\nPort=LPT1 ; kein Kommentar\r\n").size());
  EXPECT_EQ(expected, WithoutProfileSection(text, "drucker"));
  EXPECT_EQ("; Einstellungen der Praxis\r\n[ Drucker ]\r\nPort=LPT1 ; kein Kommentar\r\n[praxis]\r\nName=zweite Sektion\r\nNeu=1\r\n",
            WithoutProfileSection(text, "Praxis"));
  // Nothing to remove: the text as it was.
  EXPECT_EQ(text, WithProfileValue(text, "Praxis", "Fehlt", std::nullopt));
  EXPECT_EQ(text, WithProfileValue(text, "Fehlt", "A", std::nullopt));
  EXPECT_EQ(text, WithoutProfileSection(text, "Fehlt"));
}

}  // namespace
