#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

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

std::vector<CString> Names(const CXTXMLAttributes& attributes) {
  std::vector<CString> names;
  for (const auto& [name, value] : attributes) names.push_back(name);
  return names;
}

// The attributes keep the rules of an ordered map whichever way they are
// filled: byte-wise order (bytes above 0x7F after ASCII), one value per name.
TEST(XmlElement, AttributesBehaveAsAnOrderedMap) {
  CXTXMLAttributes attributes{{"b", "1"}, {"\xC4nderung", "2"}, {"B", "3"}, {"b", "nicht"}};
  EXPECT_EQ(Names(attributes), (std::vector<CString>{"B", "b", "\xC4nderung"}));
  EXPECT_EQ(attributes.at("b"), "1");  // of repeated names the first counts
  attributes["a"] = "4";
  attributes["\x80"] = "5";
  EXPECT_EQ(Names(attributes), (std::vector<CString>{"B", "a", "b", "\x80", "\xC4nderung"}));

  EXPECT_FALSE(attributes.insert({"a", "neu"}).second);
  EXPECT_EQ(attributes.at("a"), "4");
  EXPECT_FALSE(attributes.insert_or_assign("a", "neu").second);
  EXPECT_EQ(attributes.at("a"), "neu");
  EXPECT_THROW(attributes.at("fehlt"), std::out_of_range);
  EXPECT_EQ(attributes.count("fehlt"), 0u);
  EXPECT_EQ(attributes.find("fehlt"), attributes.end());

  // A hint in the wrong place still lands the entry in order.
  attributes.emplace_hint(attributes.end(), "A", "6");
  attributes.emplace_hint(attributes.begin(), "z", "7");
  EXPECT_EQ(attributes.emplace_hint(attributes.end(), "z", "nicht")->second, "7");
  EXPECT_EQ(Names(attributes), (std::vector<CString>{"A", "B", "a", "b", "z", "\x80", "\xC4nderung"}));

  EXPECT_EQ(attributes.erase("b"), 1u);
  EXPECT_EQ(attributes.erase("b"), 0u);
  attributes.erase(attributes.find("A"));
  EXPECT_EQ(attributes.size(), 5u);
  // Equal content compares equal, however it was put in.
  EXPECT_EQ(attributes, (CXTXMLAttributes{{"\xC4nderung", "2"}, {"\x80", "5"}, {"z", "7"}, {"a", "neu"}, {"B", "3"}}));
  EXPECT_NE(attributes, CXTXMLAttributes{});
  // Also into reserved room, where an entry is first made behind the last one.
  attributes.reserve(attributes.size() + 3);
  EXPECT_EQ(attributes.emplace_hint(attributes.end(), "\xC4nderung", "doppelt")->second, "2");
  EXPECT_EQ(attributes.emplace_hint(attributes.end(), "Y", "8")->first, "Y");
  EXPECT_EQ(attributes.emplace_hint(attributes.end(), "\xFF", "9")->first, "\xFF");
  EXPECT_EQ(Names(attributes), (std::vector<CString>{"B", "Y", "a", "z", "\x80", "\xC4nderung", "\xFF"}));
  attributes.clear();
  EXPECT_TRUE(attributes.empty());
}

// Filled one by one against the order, the array grows and stays sorted;
// copies are independent, moves leave the source empty.
TEST(XmlElement, AttributesGrowCopyAndMove) {
  CXTXMLAttributes attributes;
  for (int i = 99; i >= 0; --i) {
    char name[8];
    std::snprintf(name, sizeof name, "a%02d", i);
    attributes[name] = CString(std::to_string(i));
  }
  ASSERT_EQ(attributes.size(), 100u);
  EXPECT_TRUE(std::is_sorted(attributes.begin(), attributes.end()));
  EXPECT_EQ(attributes.at("a42"), "42");

  CXTXMLAttributes copy = attributes;
  copy["a42"] = "anders";
  copy.erase("a00");
  EXPECT_EQ(attributes.at("a42"), "42");
  EXPECT_EQ(attributes.size(), 100u);
  const CXTXMLAttributes& same = copy;
  copy = same;  // assigned to itself: unchanged
  EXPECT_EQ(copy.size(), 99u);

  CXTXMLAttributes moved = std::move(copy);
  EXPECT_TRUE(copy.empty());  // a moved-from map is empty
  EXPECT_EQ(moved.at("a42"), "anders");
  moved = attributes;
  EXPECT_EQ(moved, attributes);
  while (!moved.empty()) moved.erase(moved.begin());
  EXPECT_EQ(moved.begin(), moved.end());
  moved["x"] = "1";  // usable again after emptying
  EXPECT_EQ(moved.size(), 1u);
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
