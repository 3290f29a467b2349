#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <xtbasis/xml.h>

#include "xml_support.h"

namespace {

CXTXMLElement Read(const std::string& xml, bool expectSuccess = true) {
  CXTXMLElement root;
  EXPECT_EQ(CXTSimpleXMLReader().ReadString(CString(xml), root), expectSuccess) << xml;
  return root;
}

bool LibxmlIsMapped() {
  std::ifstream maps("/proc/self/maps");
  const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return text.find("libxml2.so") != std::string::npos;
}

// Each test runs in a process of its own, so this one sees the first parse.
TEST(XmlReader, LibxmlIsLoadedByTheFirstParse) {
  ASSERT_FALSE(LibxmlIsMapped()) << "a program that reads no document does not load libxml2";
  EXPECT_EQ(Read("<r>eins</r>").Text, "eins");
  EXPECT_TRUE(LibxmlIsMapped());
}

TEST(XmlReader, TextAroundChildrenIsConcatenated) {
  const CXTXMLElement root = Read("<r>hello<a x='1'/>world</r>");
  EXPECT_EQ(root.Name, "r");
  EXPECT_EQ(root.Text, "helloworld");
  ASSERT_EQ(root.Children.size(), 1u);
  EXPECT_EQ(root.Children[0].Name, "a");
  EXPECT_EQ(root.Children[0].GetAttribute("x"), "1");
}

TEST(XmlReader, WhitespaceStaysWhereItWas) {
  const CXTXMLElement root = Read("<Liste>\r\n\t<Eintrag>\n\t\teins\n\t</Eintrag>\n</Liste>");
  EXPECT_EQ(root.Text, "\n\t\n");  // line ends normalised, as XML wants
  EXPECT_EQ(root.GetChildText("Eintrag"), "\n\t\teins\n\t");
}

TEST(XmlReader, LocalNamesAttributesAndNamespaceDeclarations) {
  const CXTXMLElement root = Read(
      "<p:Liste xmlns:p='urn:p' xmlns:q='urn:q' p:Version='1' q:Version='2' Art=' a &amp; b '>"
      "<p:Eintrag/><Eintrag/></p:Liste>");
  EXPECT_EQ(root.Name, "Liste");
  EXPECT_EQ(root.GetAttribute("Version"), "2");  // the later one of the same local name wins
  EXPECT_EQ(root.GetAttribute("Art"), " a & b ");
  EXPECT_EQ(root.GetAttribute("xmlns:p"), "urn:p");
  unsigned int index = 0;
  int entries = 0;
  while (root.FindEach("Eintrag", index)) ++entries;
  EXPECT_EQ(entries, 2);
}

TEST(XmlReader, CdataEntitiesAndReferencesArriveAsText) {
  const CXTXMLElement root = Read(
      "<!DOCTYPE r [<!ENTITY firma 'Praxis &amp; Labor'>]>"
      "<r a='&firma;'>x<![CDATA[<b>&amp;</b>]]>y &firma; &#x20AC;&#228;&#x1F600;</r>");
  EXPECT_EQ(root.Text, "x<b>&amp;</b>y Praxis & Labor \x80\xE4?");
  EXPECT_EQ(root.GetAttribute("a"), "Praxis & Labor");
  EXPECT_TRUE(root.Children.empty());
}

TEST(XmlReader, EncodingComesFromTheDocument) {
  EXPECT_EQ(Read("<?xml version='1.0' encoding='ISO-8859-1'?><r>M\xFCller</r>").Text, "M\xFCller");
  EXPECT_EQ(Read("<?xml version='1.0' encoding='windows-1252'?><r>\x80</r>").Text, "\x80");
  EXPECT_EQ(Read("<r>M\xC3\xBCller</r>").Text, "M\xFCller");  // UTF-8 without a declaration
  EXPECT_EQ(Read(std::string("\xFF\xFE<\0r\0>\0\xFC\0<\0/\0r\0>\0", 18)).Text, "\xFC");  // UTF-16 with its mark
  // A declaration that does not match the bytes is an error.
  Read("<?xml version='1.0' encoding='UTF-8'?><r>M\xFCller</r>", false);
  Read("<?xml version='1.0' encoding='keine-kodierung'?><r/>", false);
}

TEST(XmlReader, MalformedDocumentsFail) {
  for (const char* xml : {"", "<r>", "<r><a></r>", "<r a='1' a='2'/>", "<r>&unbekannt;</r>", "<r/><s/>",
                          "<p:r/>", "<r>\x01</r>", "text", "<r a=\"<\"/>"}) {
    CXTXMLElement root;
    EXPECT_FALSE(CXTSimpleXMLReader().ReadString(xml, root)) << xml;
  }
  // A truncated document keeps what was read.
  CXTXMLElement root;
  EXPECT_FALSE(CXTSimpleXMLReader().ReadString("<r><a>eins</a><b>zw", root));
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[0].Text, "eins");
}

// Attributes are ordered by their 1252 names, not by the document's UTF-8
// bytes; names that 1252 cannot tell apart keep the later value.
TEST(XmlReader, AttributesAreOrderedByTheirConvertedNames) {
  const CXTXMLElement root = Read("<r \xC3\xA4='1' \xE2\x82\xAC='2' b='3' \xCE\xA9='4' \xD0\x96='5'/>");
  std::vector<std::pair<CString, CString>> entries(root.Attributes.begin(), root.Attributes.end());
  EXPECT_EQ(entries, (std::vector<std::pair<CString, CString>>{{"?", "5"}, {"b", "3"}, {"\x80", "2"}, {"\xE4", "1"}}));
}

// The root passed in keeps what it holds: the document adds to it.
TEST(XmlReader, TheRootGivenIsAddedTo) {
  CXTXMLElement root("alt", "vorher ");
  root.Attributes = {{"a", "alt"}, {"b", "bleibt"}};
  root.Children.emplace_back("erstes");
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString("<neu a='1' c='2'>nachher<zweites/></neu>", root));
  EXPECT_EQ(root.Name, "neu");
  EXPECT_EQ(root.Text, "vorher nachher");
  EXPECT_EQ(root.Attributes, (CXTXMLAttributes{{"a", "1"}, {"b", "bleibt"}, {"c", "2"}}));
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[1].Name, "zweites");
}

// Long runs of text and long attribute values cross the parser's input
// window in one piece; wide and deep trees come out in document order.
TEST(XmlReader, LargeTextsAndManyChildren) {
  const std::string text(3 << 20, 'x'), value(1 << 20, 'v');
  std::string xml = "<r a='" + value + "'><t>" + text + "</t><![CDATA[" + std::string(1 << 20, '<') + "]]>";
  for (int i = 0; i < 3000; ++i) xml += "<k n='" + std::to_string(i) + "'><i/><i>" + std::to_string(i) + "</i></k>";
  const CXTXMLElement root = Read(xml + "</r>");
  EXPECT_EQ(root.GetAttribute("a").GetLength(), 1 << 20);
  EXPECT_EQ(root.GetChildText("t").GetLength(), 3 << 20);
  EXPECT_EQ(root.Text.GetLength(), 1 << 20);
  ASSERT_EQ(root.Children.size(), 3001u);
  for (int i = 0; i < 3000; ++i) {
    const CXTXMLElement& k = root.Children[static_cast<size_t>(i) + 1];
    ASSERT_EQ(k.GetAttribute("n"), CString(std::to_string(i))) << i;
    ASSERT_EQ(k.Children.size(), 2u);
    ASSERT_EQ(k.Children[1].Text, CString(std::to_string(i)));
  }
}

TEST(XmlReader, ReusedReaderAndFiles) {
  xmltest::ScratchDir dir;
  xmltest::WriteBytes(dir / "a.xml", "<a><b>1</b></a>");
  CXTSimpleXMLReader reader;
  CXTXMLElement first, second, missing;
  EXPECT_TRUE(reader.ReadFile((dir / "a.xml").c_str(), first));
  EXPECT_FALSE(reader.ReadString("<kaputt>", second));
  EXPECT_TRUE(reader.ReadFile((dir / "a.xml").c_str(), second));
  EXPECT_EQ(second.Name, "a");
  ASSERT_EQ(second.Children.size(), 1u);
  EXPECT_EQ(second.GetChildText("b"), "1");
  EXPECT_FALSE(reader.ReadFile((dir / "fehlt.xml").c_str(), missing));
}

}  // namespace

namespace {

// A derived reader gets the events through the SAX interface; it must build
// the same tree as the reader itself, which takes a shorter road.
class CountingReader : public CXTSimpleXMLReader {
 public:
  int texts = 0;

 protected:
  HRESULT characters(const char16_t* text, int length) override {
    ++texts;
    return CXTSimpleXMLReader::characters(text, length);
  }
};

TEST(XmlReader, DerivedReaderBuildsTheSameTree) {
  const CString xml(
      "<?xml version='1.0' encoding='ISO-8859-1'?><!DOCTYPE r [<!ENTITY e 'Entit\xE4t'>]>"
      "<p:r xmlns:p='urn:p' xmlns='urn:d' p:a='1' b='&e; &lt;'>\n <k>&e;<![CDATA[<&>]]></k>\xFC<k/></p:r>");
  CXTXMLElement direct, derived;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(xml, direct));
  CountingReader reader;
  ASSERT_TRUE(reader.ReadString(xml, derived));
  EXPECT_GT(reader.texts, 0);
  std::string where;
  EXPECT_TRUE(xmltest::SameTree(direct, derived, where)) << where;
  EXPECT_EQ(direct.Text, derived.Text);
  EXPECT_EQ(direct.Attributes, (CXTXMLAttributes{
                                   {"a", "1"}, {"b", "Entit\xE4t <"}, {"xmlns", "urn:d"}, {"xmlns:p", "urn:p"}}));
  EXPECT_EQ(direct.GetChildText("k"), "Entit\xE4t<&>");
}

// A document of several MiB is put together while the parser reads on, on a
// second thread; the tree must be the one the SAX road builds, element for
// element, also when the document breaks off in the middle.
std::string ClaimsDocument(int records) {
  std::string xml = "<?xml version='1.0' encoding='UTF-8'?>\n<a:Liste xmlns:a='urn:a' Quartal='4/2026'>\n";
  for (int i = 0; i < records; ++i) {
    const std::string n = std::to_string(i);
    xml += " <a:Leistung Zahn='" + std::to_string(11 + i % 38) + "' Nr='" + n + "' a:Nr='x" + n + "'";
    if (i % 1000 == 1) {  // a name beyond ASCII, and a value that fills much of a batch's buffer
      xml += " Gr\xC3\xB6\xC3\x9F" "e='";
      for (int k = 0; k < 2000; ++k) xml += "\xC3\xA4";
      xml += "'";
    }
    xml += ">";
    xml += "<Text>F\xC3\xBCllung &amp; Politur " + n + "</Text>vor<Datum/>nach";
    if (i % 10000 == 2) xml += "<Anhang>" + std::string(70000, 'a') + "<![CDATA[&]]></Anhang>";  // large texts
    if (i % 10000 == 3) {  // and a CDATA section of several tapes' length, cut inside its characters
      xml += "<Anhang>";
      for (int k = 0; k < 40000; ++k) xml += "\xC3\xA4";
      xml += "<![CDATA[";
      for (int k = 0; k < 30000; ++k) xml += "\xE2\x82\xAC\xC3\xA4";
      xml += "]]></Anhang>";
    }
    if (i % 97 == 0) {
      for (int depth = 0; depth < 40; ++depth) xml += "<t" + std::to_string(depth % 3) + ">";
      xml += "<![CDATA[<tief>]]>";
      for (int depth = 39; depth >= 0; --depth) xml += "</t" + std::to_string(depth % 3) + ">";
    }
    xml += "</a:Leistung>\n";
  }
  return xml + "</a:Liste>\n";
}

// Every array of children holds exactly its children, however many the
// elements before it at its depth had.
bool ExactArrays(const CXTXMLElement& element) {
  if (element.Children.capacity() != element.Children.size()) return false;
  for (const CXTXMLElement& child : element.Children)
    if (!ExactArrays(child)) return false;
  return true;
}

// Below the document element, whose array may have room foreseen to spare.
bool ExactArraysBelow(const CXTXMLElement& root) {
  return std::all_of(root.Children.begin(), root.Children.end(), ExactArrays);
}

void ExpectBothRoadsAgree(const std::string& xml, bool wellFormed) {
  CXTXMLElement direct("alt", "vorher "), derived("alt", "vorher ");
  direct.Attributes = derived.Attributes = {{"Quartal", "alt"}, {"b", "bleibt"}};
  direct.Children.emplace_back("erstes");
  derived.Children.emplace_back("erstes");
  EXPECT_EQ(CXTSimpleXMLReader().ReadString(CString(xml), direct), wellFormed);
  CountingReader reader;
  EXPECT_EQ(reader.ReadString(CString(xml), derived), wellFormed);
  std::string where;
  EXPECT_TRUE(xmltest::SameTree(direct, derived, where, true)) << where;
}

TEST(XmlReader, LargeDocumentsBuildTheSameTreeOnBothRoads) {
  const std::string xml = ClaimsDocument(40000);
  ASSERT_GT(xml.size(), 4u << 20);
  ExpectBothRoadsAgree(xml, true);

  CXTXMLElement root;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(CString(xml), root));
  EXPECT_EQ(root.Name, "Liste");
  ASSERT_EQ(root.Children.size(), 40000u);
  const CXTXMLElement& last = root.Children.back();
  EXPECT_EQ(last.Attributes, (CXTXMLAttributes{{"Nr", "x39999"}, {"Zahn", "34"}}));
  EXPECT_EQ(root.Children[39001].Attributes,
            (CXTXMLAttributes{{"Gr\xF6\xDF" "e", std::string(2000, '\xE4').c_str()}, {"Nr", "x39001"}, {"Zahn", "24"}}));
  EXPECT_EQ(last.Text, "vornach");
  EXPECT_EQ(root.Children[30002].GetChildText("Anhang"), (std::string(70000, 'a') + "&").c_str());
  std::string euros;
  for (int k = 0; k < 30000; ++k) euros += "\x80\xE4";
  EXPECT_EQ(root.Children[30003].GetChildText("Anhang"), (std::string(40000, '\xE4') + euros).c_str());
  EXPECT_TRUE(ExactArraysBelow(root));
  EXPECT_EQ(last.GetChildText("Text"), "F\xFCllung & Politur 39999");
  const CXTXMLElement* deep = &root.Children[97];
  for (int depth = 0; depth < 40; ++depth) {
    ASSERT_EQ(deep->Children.size(), depth == 0 ? 3u : 1u) << depth;
    deep = &deep->Children.back();
  }
  EXPECT_EQ(deep->Text, "<tief>");
}

// The document element's array is given room for the children foreseen
// from how far the parser has read; it ends up right whether the records
// stay alike or turn much shorter along the document.
TEST(XmlReader, TheDocumentElementsChildrenAreForeseen) {
  std::string alike = "<Liste>";
  for (int i = 0; i < 120000; ++i)
    alike += "<Leistung Nr=\"" + std::to_string(100000 + i) + "\"><Text>F\xC3\xBCllung</Text></Leistung>\n";
  alike += "</Liste>";
  ASSERT_GT(alike.size(), 6u << 20);
  CXTXMLElement root;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(CString(alike), root));
  ASSERT_EQ(root.Children.size(), 120000u);
  EXPECT_GT(root.Children.capacity(), 120000u);  // foreseen with a margin, not grown at the end
  EXPECT_LE(root.Children.capacity(), 120000u * 108 / 100);
  EXPECT_EQ(root.Children[119999].Attributes.at("Nr"), "219999");
  EXPECT_TRUE(ExactArraysBelow(root));

  std::string shrinking = alike.substr(0, alike.rfind("<Leistung Nr=\"200000\""));
  for (int i = 0; i < 300000; ++i) shrinking += i % 2 ? "<k/>" : "<k>\xC3\xA4</k>";
  ExpectBothRoadsAgree(shrinking + "</Liste>", true);
}

TEST(XmlReader, LargeDocumentBrokenOffKeepsWhatWasRead) {
  const std::string xml = ClaimsDocument(30000);
  for (const size_t cut : {xml.size() / 3, xml.size() - 30}) ExpectBothRoadsAgree(xml.substr(0, cut), false);
  std::string wrongTag = xml;
  wrongTag.replace(wrongTag.size() / 2, 0, "</falsch>");
  ExpectBothRoadsAgree(wrongTag, false);
}

}  // namespace
