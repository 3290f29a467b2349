#include <gtest/gtest.h>

#include <xtbasis/xml.h>

#include "tool_run.h"
#include "xml_support.h"

namespace {

using xmltest::DataFile;

// The claims schema imports the patient schema; both namespaces are added.
CXTXmlSchemaValidator ClaimsValidator() {
  CXTXmlSchemaValidator validator;
  validator.AddToSchemaCache("urn:xt:abrechnung", DataFile("abrechnung.xsd").c_str());
  validator.AddToSchemaCache("urn:xt:patient", DataFile("patient.xsd").c_str());
  return validator;
}

int Entries(const CString& text) {
  int count = 0;
  for (int at = text.Find("Zeile: "); at >= 0; at = text.Find("Zeile: ", at + 1)) ++count;
  return count;
}

TEST(XmlSchemaValidator, ValidDocumentAgainstTwoNamespaces) {
  CXTXmlSchemaValidator validator = ClaimsValidator();
  EXPECT_TRUE(validator.Validate(DataFile("valid.xml").c_str())) << validator.GetError().GetString();
  EXPECT_EQ(validator.GetError(), "");
  // Validating again re-reads the schemas and gives the same answer.
  EXPECT_TRUE(validator.Validate(DataFile("valid.xml").c_str()));
}

TEST(XmlSchemaValidator, ErrorsAreReportedUpToTheLimit) {
  CXTXmlSchemaValidator validator = ClaimsValidator();
  EXPECT_FALSE(validator.Validate(DataFile("five_errors.xml").c_str()));
  const CString all = validator.GetError();
  EXPECT_EQ(Entries(all), 5) << all.GetString();
  EXPECT_EQ(all.Left(11), "Zeile: 7: F");
  EXPECT_EQ(all.Right(2), "\r\n");
  EXPECT_NE(all.Find("Zeile: 11: Fehler: "), -1);
  EXPECT_NE(all.Find("zw\xF6lf"), -1);  // the parser's reason in 1252

  validator.SetMaxErrors(2);
  EXPECT_FALSE(validator.Validate(DataFile("five_errors.xml").c_str()));
  const CString two = validator.GetError();
  EXPECT_EQ(Entries(two), 2);
  EXPECT_EQ(two.Left(18), "Zeile: 7: Fehler: ");
  EXPECT_NE(two.Find("\r\nZeile: 8: Fehler: "), -1);

  validator.SetMaxErrors(0);
  EXPECT_FALSE(validator.Validate(DataFile("five_errors.xml").c_str()));
  EXPECT_EQ(validator.GetError(), "");
}

TEST(XmlSchemaValidator, MalformedDocumentGivesItsParseErrors) {
  CXTXmlSchemaValidator validator = ClaimsValidator();
  EXPECT_FALSE(validator.Validate(DataFile("malformed.xml").c_str()));
  EXPECT_EQ(validator.GetError().Left(18), "Zeile: 4: Fehler: ");
  EXPECT_FALSE(validator.Validate(DataFile("fehlt.xml").c_str()));
  EXPECT_EQ(validator.GetError().Left(18), "Zeile: 0: Fehler: ");
  xmltest::ScratchDir dir;
  xmltest::WriteBytes(dir / "leer.xml", "");
  EXPECT_FALSE(validator.Validate((dir / "leer.xml").c_str()));
  EXPECT_EQ(validator.GetError().Left(18), "Zeile: 0: Fehler: ");
}

TEST(XmlSchemaValidator, DocumentNamespaceMustBeInTheSchemaSet) {
  CXTXmlSchemaValidator validator = ClaimsValidator();
  EXPECT_FALSE(validator.Validate(DataFile("other_namespace.xml").c_str()));
  EXPECT_EQ(validator.GetError(), "Der Namespace des Dokumentes ist im Schema nicht definiert");

  validator.Clear();
  EXPECT_FALSE(validator.Validate(DataFile("valid.xml").c_str()));
  EXPECT_EQ(validator.GetError(), "Der Namespace des Dokumentes ist im Schema nicht definiert");
  EXPECT_TRUE(validator.Validate(DataFile("notiz.xml").c_str()));  // no namespace, no schema
  EXPECT_EQ(validator.GetError(), "");
}

TEST(XmlSchemaValidator, SchemaWithoutNamespace) {
  xmltest::ScratchDir dir;
  xmltest::WriteBytes(dir / "zahl.xml", "<Notiz><x/></Notiz>");
  CXTXmlSchemaValidator validator;
  validator.AddToSchemaCache("", DataFile("notiz.xsd").c_str());
  EXPECT_TRUE(validator.Validate(DataFile("notiz.xml").c_str()));
  EXPECT_FALSE(validator.Validate((dir / "zahl.xml").c_str()));
  EXPECT_EQ(validator.GetError().Left(18), "Zeile: 1: Fehler: ");
}

TEST(XmlSchemaValidator, SchemasThatCannotBeLoaded) {
  xmltest::ScratchDir dir;
  xmltest::WriteBytes(dir / "kaputt.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>");
  xmltest::WriteBytes(dir / "falsch.xsd",
                      "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:element/></xs:schema>");
  for (const std::string& schema : {dir / "fehlt.xsd", dir / "kaputt.xsd", dir / "falsch.xsd"}) {
    CXTXmlSchemaValidator validator = ClaimsValidator();
    validator.AddToSchemaCache("urn:xt:weitere", schema.c_str());
    EXPECT_FALSE(validator.Validate(DataFile("valid.xml").c_str())) << schema;
    EXPECT_EQ(validator.GetError(), "Das XML Schema konnte nicht geladen werden") << schema;
  }
  // A schema file whose target namespace is not the one it was added under.
  CXTXmlSchemaValidator wrong;
  wrong.AddToSchemaCache("urn:xt:abrechnung", DataFile("patient.xsd").c_str());
  EXPECT_FALSE(wrong.Validate(DataFile("valid.xml").c_str()));
  EXPECT_EQ(wrong.GetError(), "Das XML Schema konnte nicht geladen werden");
}

TEST(XmlTool, ValidateTreeAndCanon) {
  const std::string schemas = " --schema urn:xt:abrechnung=" + DataFile("abrechnung.xsd") +
                              " --schema urn:xt:patient=" + DataFile("patient.xsd");
  ToolRun valid = RunTool("xml validate " + DataFile("valid.xml") + schemas);
  EXPECT_EQ(valid.status, 0) << valid.output;
  ToolRun invalid = RunTool("xml validate " + DataFile("five_errors.xml") + schemas + " --max 2");
  EXPECT_EQ(invalid.status, 1);
  EXPECT_EQ(invalid.output.rfind("Zeile: 7: Fehler: ", 0), 0u) << invalid.output;
  EXPECT_NE(invalid.output.find("zwölf"), std::string::npos);  // shown as UTF-8
  EXPECT_EQ(invalid.output.find("Zeile: 9"), std::string::npos);
  ToolRun other = RunTool("xml validate " + DataFile("other_namespace.xml") + schemas);
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.output, "Der Namespace des Dokumentes ist im Schema nicht definiert\n");

  ToolRun tree = RunTool("xml tree " + DataFile("valid.xml"));
  EXPECT_EQ(tree.status, 0);
  EXPECT_NE(tree.output.find("  Patient Nr=\"17\"\n    Name: Müller\n"), std::string::npos) << tree.output;

  xmltest::ScratchDir dir;
  ToolRun canon = RunTool("xml canon " + DataFile("valid.xml") + " --encoding ISO-8859-1");
  EXPECT_EQ(canon.status, 0);
  xmltest::WriteBytes(dir / "canon.xml", canon.output);
  EXPECT_EQ(xmltest::XmllintComplaints(dir / "canon.xml"), "");
  CXTXMLElement original, rewritten;
  ASSERT_TRUE(CXTSimpleXMLReader().ReadFile(DataFile("valid.xml").c_str(), original));
  ASSERT_TRUE(CXTSimpleXMLReader().ReadFile((dir / "canon.xml").c_str(), rewritten));
  std::string where;
  EXPECT_TRUE(xmltest::SameTree(original, rewritten, where)) << where;

  EXPECT_EQ(RunTool("xml tree " + DataFile("malformed.xml")).status, 1);
  EXPECT_EQ(RunTool("xml nichts x").status, 2);
}

}  // namespace
