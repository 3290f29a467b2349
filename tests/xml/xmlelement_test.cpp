#include <gtest/gtest.h>

#include <xtbasis/xmlelement.h>

namespace {

// <Abrechnung><Eintrag Nr="1">erster</Eintrag><Patient><Name>Meier</Name></Patient>
//   <EINTRAG Version="2"> zweiter </EINTRAG><Patient><Name>Schulz</Name></Patient></Abrechnung>
CXTXMLElement Sample() {
  CXTXMLElement root("Abrechnung");
  CXTXMLElement first("Eintrag", "erster");
  first.Attributes["Nr"] = "1";
  root.Children.push_back(first);
  CXTXMLElement patient("Patient");
  patient.Children.emplace_back("Name", "Meier");
  root.Children.push_back(patient);
  CXTXMLElement second("EINTRAG", " zweiter ");
  second.Attributes["Version"] = "2";
  second.Attributes["Leer"] = "";
  root.Children.push_back(second);
  patient.Children[0].Text = "Schulz";
  root.Children.push_back(patient);
  return root;
}

TEST(XmlElement, FindElementFollowsFirstMatchesIgnoringCase) {
  CXTXMLElement root = Sample();
  EXPECT_EQ(root.FindElement(nullptr), &root);
  const CXTXMLElement* name = root.FindElement("patient", "NAME", nullptr);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->Text, "Meier");  // the first Patient only, never the second
  EXPECT_EQ(root.FindElement("eintrag", nullptr), &root.Children[0]);
  EXPECT_EQ(root.FindElement("Patient", "Name", "Vorname", nullptr), nullptr);
  EXPECT_EQ(root.FindElement("Fehlt", "Name", nullptr), nullptr);
  // The non-const form hands out the element for editing.
  root.FindElement("Patient", "Name", nullptr)->Text = "Huber";
  const CXTXMLElement& constant = root;
  EXPECT_EQ(constant.FindElement("Patient", "Name", nullptr)->Text, "Huber");
}

TEST(XmlElement, FindEachVisitsEveryMatchInOrder) {
  const CXTXMLElement root = Sample();
  unsigned int index = 0;
  std::vector<CString> texts;
  while (const CXTXMLElement* entry = root.FindEach("Eintrag", index)) texts.push_back(entry->Text);
  EXPECT_EQ(texts, (std::vector<CString>{"erster", " zweiter "}));
  EXPECT_EQ(index, root.Children.size());
  unsigned int past = 9;
  EXPECT_EQ(root.FindEach("Eintrag", past), nullptr);
  EXPECT_EQ(past, 9u);
  unsigned int second = 1;
  EXPECT_EQ(root.FindEach("patient", second), &root.Children[1]);
  EXPECT_EQ(second, 2u);
}

TEST(XmlElement, ChildTextAndAttributes) {
  const CXTXMLElement root = Sample();
  EXPECT_EQ(root.GetChildText("EINTRAG"), "erster");
  EXPECT_EQ(root.GetChildText("Fehlt"), "");
  const CXTXMLElement& second = root.Children[2];
  EXPECT_EQ(second.GetAttribute("Version"), "2");
  EXPECT_EQ(second.GetAttribute("version"), "");  // attribute names are exact
  EXPECT_EQ(second.GetAttribute("Leer"), "");
  EXPECT_EQ(second.Attributes.begin()->first, "Leer");  // ordered by name
}

TEST(XmlElement, CopiesAreDeep) {
  const CXTXMLElement root = Sample();
  CXTXMLElement copy = root;
  copy.FindElement("Patient", "Name", nullptr)->Text = "geaendert";
  EXPECT_EQ(root.FindElement("Patient", "Name", nullptr)->Text, "Meier");
  CXTXMLElement moved = std::move(copy);
  EXPECT_EQ(moved.Children.size(), 4u);
  EXPECT_EQ(moved.FindElement("Patient", "Name", nullptr)->Text, "geaendert");
}

}  // namespace
