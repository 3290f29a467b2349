// Writers, readers and validators on several threads at once: each object
// belongs to one thread, the parser's set-up is shared.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <xtbasis/xml.h>

#include "xml_support.h"

namespace {

TEST(XmlThreads, IndependentObjectsOnEachThread) {
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 25; ++i) {
        CXTXMLWriter writer;
        writer.Encoding = t % 2 ? "ISO-8859-1" : "UTF-8";
        CString xml;
        const CString text = CString("Z\xE4hler ") + CString(std::to_string(t * 100 + i));
        if (!writer.StartDocument() || !writer.CharElement("Wert", text, nullptr) || !writer.EndDocument() ||
            !writer.ToString(xml))
          ++failures;
        CXTXMLElement root;
        if (!CXTSimpleXMLReader().ReadString(xml, root) || root.Text != text) ++failures;
        CXTXmlSchemaValidator validator;
        validator.AddToSchemaCache("urn:xt:abrechnung", xmltest::DataFile("abrechnung.xsd").c_str());
        validator.AddToSchemaCache("urn:xt:patient", xmltest::DataFile("patient.xsd").c_str());
        if (!validator.Validate(xmltest::DataFile("valid.xml").c_str())) ++failures;
        if (validator.Validate(xmltest::DataFile("five_errors.xml").c_str())) ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
