#include <gtest/gtest.h>
#include <sys/stat.h>

#include <xtbasis/xml.h>

#include "xml_support.h"

namespace {

using xmltest::ScratchDir;

std::string Bytes(CXTXMLWriter& writer) {
  CString out;
  EXPECT_TRUE(writer.ToString(out)) << writer.GetLastHResult().GetString();
  return out.str();
}

TEST(XmlWriter, ListWithEscapedEntryAndUtf8Default) {
  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.StartElement("Liste", "Version", "2", nullptr));
  ASSERT_TRUE(writer.CharElement("Eintrag", "A & B", nullptr));
  ASSERT_TRUE(writer.CharElement("Name", "M\xFCller", nullptr));  // ü in 1252
  ASSERT_TRUE(writer.EndElement());
  ASSERT_TRUE(writer.EndDocument());
  const std::string xml = Bytes(writer);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u) << xml;
  EXPECT_NE(xml.find("<Liste Version=\"2\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<Eintrag>A &amp; B</Eintrag>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("M\xC3\xBCller"), std::string::npos) << xml;  // the UTF-8 bytes of ü

  CXTXMLElement root;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(CString(xml), root));
  EXPECT_EQ(root.Name, "Liste");
  EXPECT_EQ(root.GetAttribute("Version"), "2");
  EXPECT_EQ(root.GetChildText("Eintrag"), "A & B");
  EXPECT_EQ(root.GetChildText("Name"), "M\xFCller");
}

TEST(XmlWriter, NamespacePrefixes) {
  CXTXMLWriter writer;
  writer.UseNameSpace("p");
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.StartElement("a", "xmlns:p", "urn:p", "xmlns:q", "urn:q", "id", "1", nullptr));
  ASSERT_TRUE(writer.SimpleElement(":b", nullptr));
  ASSERT_TRUE(writer.SimpleElement("q:c", nullptr));
  ASSERT_TRUE(writer.EndElement());
  ASSERT_TRUE(writer.EndDocument());
  const std::string xml = Bytes(writer);
  EXPECT_NE(xml.find("<p:a xmlns:p=\"urn:p\" xmlns:q=\"urn:q\" p:id=\"1\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<b/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<q:c/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("</p:a>"), std::string::npos) << xml;

  CXTXMLElement root;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(CString(xml), root));  // namespace-well-formed
  EXPECT_EQ(root.Name, "a");
  EXPECT_EQ(root.GetAttribute("id"), "1");
  EXPECT_EQ(root.GetAttribute("xmlns:p"), "urn:p");
}

TEST(XmlWriter, AttributeListsEndAtTheFirstNull) {
  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  const char* attributes[] = {"a", "1", "b", nullptr, "c", "3", nullptr};
  ASSERT_TRUE(writer.StartElement("r", attributes));
  ASSERT_TRUE(writer.SimpleElement("s", "x", "1", "y", nullptr, "z", "3", nullptr));
  ASSERT_TRUE(writer.ProcessingInstruction2("xml-stylesheet", "type", "text/xsl", "href", "a.xsl", nullptr));
  ASSERT_TRUE(writer.EndElement());
  ASSERT_TRUE(writer.EndDocument());
  const std::string xml = Bytes(writer);
  EXPECT_NE(xml.find("<r a=\"1\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<s x=\"1\"/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<?xml-stylesheet type=\"text/xsl\" href=\"a.xsl\"?>"), std::string::npos) << xml;
}

TEST(XmlWriter, AddElementsWritesTextBeforeChildrenAndNoAttributes) {
  CXTXMLElement root("Wurzel", "Text");
  root.Attributes["nicht"] = "geschrieben";
  root.Children.emplace_back("Erstes", "1");
  root.Children.emplace_back("Zweites");
  root.Children.back().Children.emplace_back("Enkel", "x");
  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.AddElements(root));
  ASSERT_TRUE(writer.EndDocument());
  const std::string xml = Bytes(writer);
  EXPECT_NE(xml.find("<Wurzel>Text<Erstes>1</Erstes><Zweites>"), std::string::npos) << xml;
  EXPECT_EQ(xml.find("nicht"), std::string::npos) << xml;

  CXTXMLElement back;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadString(CString(xml), back));
  root.Attributes.clear();
  std::string where;
  EXPECT_TRUE(xmltest::SameTree(root, back, where)) << where;
}

TEST(XmlWriter, RefusedEventsWriteNothingAndNameTheirStep) {
  CXTXMLWriter idle;
  EXPECT_FALSE(idle.StartElement("a", nullptr));  // before StartDocument
  EXPECT_EQ(idle.GetLastHResult().Left(9), "Zeile 98:");

  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  EXPECT_EQ(writer.GetLastHResult(), "Zeile 57: Der Vorgang wurde erfolgreich beendet.\r\n");
  EXPECT_FALSE(writer.EndElement());  // nothing open
  ASSERT_TRUE(writer.StartElement("r", nullptr));
  const std::string before = Bytes(writer);
  EXPECT_FALSE(writer.StartElement("1a", nullptr));
  EXPECT_EQ(writer.GetLastHResult(), "Zeile 98: Falscher Parameter.\r\n");
  EXPECT_FALSE(writer.StartElement("a", "x", "1", "x", "2", nullptr));  // one value per name
  EXPECT_FALSE(writer.Characters("Steuerzeichen \x01"));
  EXPECT_EQ(writer.GetLastHResult().Left(10), "Zeile 150:");
  EXPECT_FALSE(writer.ProcessingInstruction("XmL", "x"));
  EXPECT_FALSE(writer.ProcessingInstruction("pi", "a ?> b"));
  EXPECT_EQ(Bytes(writer), before);
  EXPECT_FALSE(writer.EndDocument());  // r is still open
  ASSERT_TRUE(writer.EndElement());
  EXPECT_FALSE(writer.StartElement("zweite", nullptr));  // one document element only
  EXPECT_FALSE(writer.EndElement());
  ASSERT_TRUE(writer.EndDocument());
}

TEST(XmlWriter, WriteFilesOpenToAllAndRefusesEmptyDocuments) {
  ScratchDir dir;
  const mode_t old = umask(022);
  CXTXMLWriter empty;
  EXPECT_FALSE(empty.Write((dir / "leer.xml").c_str()));
  struct stat info {};
  ASSERT_EQ(stat((dir / "leer.xml").c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 0);

  CXTXMLWriter writer;
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.CharElement("Notiz", "Text", nullptr));
  ASSERT_TRUE(writer.EndDocument());
  ASSERT_TRUE(writer.Write((dir / "notiz.xml").c_str()));
  ASSERT_EQ(stat((dir / "notiz.xml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666u);
  EXPECT_EQ(xmltest::ReadBytes(dir / "notiz.xml"), Bytes(writer));
  umask(old);

  EXPECT_FALSE(writer.Write((dir / "fehlt/notiz.xml").c_str()));
  EXPECT_EQ(writer.GetLastHResult().Left(11), "Zeile 210: ");
  EXPECT_NE(writer.GetLastHResult(), "Zeile 210: Der Vorgang wurde erfolgreich beendet.\r\n");
}

TEST(XmlWriter, DocumentTypeDeclaration) {
  ScratchDir dir;
  CXTXMLWriter writer;
  writer.DocTypeName = "Abrechnung";
  writer.DocTypePublicId = "-//XT//Abrechnung 1.0//DE";
  writer.DocTypeSystemId = "abrechnung.dtd";
  writer.Standalone = false;
  ASSERT_TRUE(writer.StartDocument());
  ASSERT_TRUE(writer.SimpleElement("Abrechnung", nullptr));
  ASSERT_TRUE(writer.EndDocument());
  const std::string xml = Bytes(writer);
  EXPECT_NE(xml.find("standalone=\"no\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<!DOCTYPE Abrechnung PUBLIC \"-//XT//Abrechnung 1.0//DE\" \"abrechnung.dtd\">"),
            std::string::npos)
      << xml;
  xmltest::WriteBytes(dir / "doctype.xml", xml);
  EXPECT_EQ(xmltest::XmllintComplaints(dir / "doctype.xml"), "");

  CXTXMLWriter bad;
  bad.DocTypeName = "A";
  bad.DocTypeSystemId = "a\"b'c";  // no quote can hold it
  EXPECT_FALSE(bad.StartDocument());
  EXPECT_EQ(bad.GetLastHResult().Left(9), "Zeile 68:");
}

// A document with umlauts, the euro sign, markup characters, a carriage
// return, namespaces and a processing instruction.
// Names with umlauts only where the encoding can hold them.
void WriteSample(CXTXMLWriter& writer, bool umlautNames) {
  ASSERT_TRUE(writer.StartDocument()) << writer.GetLastHResult().GetString();
  ASSERT_TRUE(writer.StartElement("Abrechnung", "xmlns", "urn:xt:a", "xmlns:pat", "urn:xt:p", "Quartal",
                                  "4/2026 <\"&'>\t\r\n", nullptr));
  ASSERT_TRUE(writer.ProcessingInstruction("verarbeitung", "Stufe=\"2\""));
  ASSERT_TRUE(writer.StartElement("pat:Patient", "pat:Nr", "17", nullptr));
  ASSERT_TRUE(writer.CharElement("pat:Name", "J\xFCrgen M\xFCller-\xC4\xD6\xDC\xDF", nullptr));
  ASSERT_TRUE(writer.EndElement());
  ASSERT_TRUE(writer.CharElement("Betrag", "12,50 \x80 & <5> ]]> \"x\" 'y'", "Waehrung", "EUR \x80", nullptr));
  ASSERT_TRUE(writer.CharElement("Zeilen", "eins\r\nzwei\tdrei", nullptr));
  ASSERT_TRUE(writer.CharElement("Selten", "\x81\x8D \x9F", nullptr));
  if (umlautNames) {
    ASSERT_TRUE(writer.CharElement("Gr\xF6\xDF" "e", "XL", "\xC4nderung", "ja", nullptr));
  }
  ASSERT_TRUE(writer.EndElement());
  ASSERT_TRUE(writer.EndDocument());
}

CXTXMLElement ExpectedSample(bool umlautNames) {
  CXTXMLElement root("Abrechnung");
  root.Attributes = {{"xmlns", "urn:xt:a"}, {"xmlns:pat", "urn:xt:p"}, {"Quartal", "4/2026 <\"&'>\t\r\n"}};
  CXTXMLElement patient("Patient");
  patient.Attributes["Nr"] = "17";
  patient.Children.emplace_back("Name", "J\xFCrgen M\xFCller-\xC4\xD6\xDC\xDF");
  root.Children.push_back(patient);
  CXTXMLElement amount("Betrag", "12,50 \x80 & <5> ]]> \"x\" 'y'");
  amount.Attributes["Waehrung"] = "EUR \x80";
  root.Children.push_back(amount);
  root.Children.emplace_back("Zeilen", "eins\r\nzwei\tdrei");
  root.Children.emplace_back("Selten", "\x81\x8D \x9F");
  if (umlautNames) {
    root.Children.emplace_back("Gr\xF6\xDF" "e", "XL");
    root.Children.back().Attributes["\xC4nderung"] = "ja";
  }
  return root;
}

class XmlWriterEncoding : public testing::TestWithParam<const char*> {};

TEST_P(XmlWriterEncoding, RoundTripAcceptedByXmllint) {
  ScratchDir dir;
  CXTXMLWriter writer;
  writer.Encoding = GetParam();
  const bool umlautNames = std::string(GetParam()) != "US-ASCII";
  WriteSample(writer, umlautNames);
  const std::string path = dir / "sample.xml";
  ASSERT_TRUE(writer.Write(path.c_str())) << writer.GetLastHResult().GetString();
  EXPECT_EQ(xmltest::XmllintComplaints(path), "");

  CXTXMLElement back;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadFile(path.c_str(), back));
  std::string where;
  EXPECT_TRUE(xmltest::SameTree(ExpectedSample(umlautNames), back, where)) << where;
}

INSTANTIATE_TEST_SUITE_P(Encodings, XmlWriterEncoding,
                         testing::Values("UTF-8", "UTF-16", "ISO-8859-1", "ISO-8859-15", "windows-1252",
                                         "US-ASCII"));

TEST(XmlWriter, CharactersTheEncodingLacksBecomeReferences) {
  auto write = [](const char* encoding) {
    CXTXMLWriter writer;
    writer.Encoding = encoding;
    EXPECT_TRUE(writer.StartDocument());
    EXPECT_TRUE(writer.CharElement("t", "\xE4\x80\x81", nullptr));  // ä € and an undefined byte
    EXPECT_TRUE(writer.EndDocument());
    return Bytes(writer);
  };
  EXPECT_NE(write("ISO-8859-1").find("<t>\xE4&#8364;\x81</t>"), std::string::npos);
  EXPECT_NE(write("ISO-8859-15").find("<t>\xE4\xA4\x81</t>"), std::string::npos);
  EXPECT_NE(write("windows-1252").find("<t>\xE4\x80&#129;</t>"), std::string::npos);
  EXPECT_NE(write("US-ASCII").find("<t>&#228;&#8364;&#129;</t>"), std::string::npos);
  EXPECT_NE(write("utf-8").find("<t>\xC3\xA4\xE2\x82\xAC\xC2\x81</t>"), std::string::npos);
  const std::string utf16 = write("UTF-16");
  EXPECT_EQ(utf16.substr(0, 4), std::string("\xFF\xFE<\0", 4));

  CXTXMLWriter ascii;  // a name the encoding cannot hold has no reference form
  ascii.Encoding = "US-ASCII";
  ASSERT_TRUE(ascii.StartDocument());
  EXPECT_FALSE(ascii.StartElement("Gr\xF6\xDF" "e", nullptr));

  CXTXMLWriter unknown;  // an unknown encoding falls back to UTF-8
  unknown.Encoding = "KOI8-R";
  ASSERT_TRUE(unknown.StartDocument());
  ASSERT_TRUE(unknown.CharElement("t", "\xFC", nullptr));
  ASSERT_TRUE(unknown.EndDocument());
  EXPECT_NE(Bytes(unknown).find("encoding=\"UTF-8\""), std::string::npos);
}

}  // namespace
