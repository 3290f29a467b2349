// A ported program hands every path-taking function of the library a path
// built with '\', as it did on Windows. Each row does one such call in a
// fresh folder and names the file that must then be there under its '/'
// path; no row may leave a file whose name holds a backslash.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>
#include <xtbasis/xtbasis.h>

namespace fs = std::filesystem;

namespace {

class ProbeBase : public CXTSysBase {};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A 2x1 24-bit bitmap, bottom-up, rows padded to four bytes.
std::string TinyBitmap() {
  std::string bmp = "BM";
  auto le = [&bmp](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  le(54 + 8, 4), le(0, 4), le(54, 4);
  le(40, 4), le(2, 4), le(1, 4), le(1, 2), le(24, 2), le(0, 4), le(8, 4), le(2835, 4), le(2835, 4), le(0, 4),
      le(0, 4);
  bmp += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00", 8);
  return bmp;
}

constexpr char kDocument[] = "<?xml version=\"1.0\"?><a xmlns=\"urn:probe\"><b>1</b></a>";
constexpr char kSchema[] =
    "<?xml version=\"1.0\"?><xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"urn:probe\" "
    "elementFormDefault=\"qualified\"><xs:element name=\"a\"><xs:complexType><xs:sequence>"
    "<xs:element name=\"b\" type=\"xs:int\"/></xs:sequence></xs:complexType></xs:element></xs:schema>";

struct Row {
  const char* function;
  // The call, given the folder in '\' form (ending with '\'); true when it
  // reports success.
  std::function<bool(const std::string& dir)> call;
  // What must exist afterwards below the folder ('/' form), or empty.
  const char* lands;
};

class BackslashPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xtb-probe-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    setenv("XTBASIS_REGISTRY_DIR", (m_root / "registry").c_str(), 1);
    fs::create_directories(m_root / "work" / "sub");
    fs::create_directories(m_root / "work" / "logs");
    fs::create_directories(m_root / "work" / "tmp");
    Put(m_root / "work" / "in.txt", "Zahnstein\r\n");
    Put(m_root / "work" / "in.xml", kDocument);
    Put(m_root / "work" / "schema.xsd", kSchema);
    Put(m_root / "work" / "in.bmp", TinyBitmap());
    m_base.LogDir = Windows(m_root / "work" / "logs") + "\\";
    m_base.TempDir = Windows(m_root / "work" / "tmp") + "\\";
    gp_XTSysBase = &m_base;
    SetXTTraceLevel(3);
  }
  void TearDown() override {
    gp_XTSysBase = nullptr;
    fs::remove_all(m_root);
  }
  // `path` with every '/' as '\'.
  static std::string Windows(const fs::path& path) {
    std::string text = path.string();
    for (char& ch : text)
      if (ch == '/') ch = '\\';
    return text;
  }
  std::vector<std::string> NamesWithBackslash() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(m_root))
      if (entry.path().filename().string().find('\\') != std::string::npos) names.push_back(entry.path());
    return names;
  }

  fs::path m_root;
  ProbeBase m_base;
};

TEST_F(BackslashPaths, EveryPathTakingFunctionReadsBackslashAsSeparator) {
  const CString hexKey = CXTCrypt::KeyToHex((m_root / "work" / "in.txt").c_str());
  // A throw-away key pair for the key, signature and file-encryption rows;
  // the one-call operations work in a container of their own, removed after.
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT) && crypt.GenKey(false)) << crypt.LastError.GetString();
  const std::string container = "xtb-probe-" + std::to_string(getpid());
  const std::vector<Row> rows = {
      {"SaveTextFile", [](const std::string& d) { return SaveTextFile(d + "saved.txt", "Text"); }, "saved.txt"},
      {"LoadTextFile",
       [](const std::string& d) {
         CString text;
         return LoadTextFile(d + "in.txt", text) && text == "Zahnstein\r\n";
       },
       ""},
      {"FileExists", [](const std::string& d) { return FileExists(d + "in.txt"); }, ""},
      {"DirExists",
       [](const std::string& d) {
         CString dir = d + "sub";
         return DirExists(dir);
       },
       ""},
      {"FindNewestFile", [](const std::string& d) { return !FindNewestFile(d + "*.txt").IsEmpty(); }, ""},
      {"CPath::Exists", [](const std::string& d) { return CPath((d + "in.t?t").c_str()).Exists(); }, ""},
      {"XTCheckSum", [](const std::string& d) { return !XTCheckSum(d + "in.txt").IsEmpty(); }, ""},
      {"CXTCrypt::CalcFileHash",
       [](const std::string& d) { return !CXTCrypt::CalcFileHash((d + "in.txt").c_str(), CALG_SHA_256).IsEmpty(); },
       ""},
      {"CXTCrypt::HexToKey", [&](const std::string& d) { return CXTCrypt::HexToKey(hexKey, (d + "key.bin").c_str()); },
       "key.bin"},
      {"CXTCrypt::KeyToHex", [&](const std::string& d) { return CXTCrypt::KeyToHex((d + "in.txt").c_str()) == hexKey; },
       ""},
      {"EncryptRC4File20",
       [](const std::string& d) { return EncryptRC4File20((d + "in.txt").c_str(), (d + "rc4.bin").c_str()); },
       "rc4.bin"},
      {"DecryptRC4FileNochSchwachsinnigereRZ2_1Variante",
       [](const std::string& d) {
         return DecryptRC4FileNochSchwachsinnigereRZ2_1Variante((d + "rc4.bin").c_str(), (d + "rc4.txt").c_str());
       },
       "rc4.txt"},
      {"EncryptRC4FileSchwachsinnigeVDDSEXPVariante",
       [](const std::string& d) {
         return EncryptRC4FileSchwachsinnigeVDDSEXPVariante((d + "in.txt").c_str(), (d + "rc4a.bin").c_str());
       },
       "rc4a.bin"},
      {"IsRC4File",
       [](const std::string& d) {
         CString content;
         return IsRC4File(d + "rc4a.bin", content) && content == "Zahnstein\r\n";
       },
       ""},
      {"CXTCrypt::ExportKey",
       [&](const std::string& d) {
         return crypt.ExportKey(KT_PUBLIC, (d + "public.blob").c_str()) &&
                crypt.ExportKey(KT_PRIVATE, (d + "private.blob").c_str());
       },
       "private.blob"},
      {"CXTCrypt::ImportKey",
       [](const std::string& d) {
         CXTCrypt other;
         return other.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT) &&
                other.ImportKey(KT_PUBLIC, (d + "public.blob").c_str());
       },
       ""},
      {"CXTCrypt::SignHash",
       [&](const std::string& d) { return crypt.SignHash((d + "in.txt").c_str(), (d + "in.sig").c_str(), nullptr); },
       "in.sig"},
      {"CXTCrypt::VerifyHash",
       [&](const std::string& d) { return crypt.VerifyHash((d + "in.txt").c_str(), (d + "in.sig").c_str(), nullptr); },
       ""},
      {"CXTCrypt::EncryptFileA",
       [&](const std::string& d) {
         CString error;
         return CXTCrypt::EncryptFileA(container.c_str(), (d + "public.blob").c_str(), (d + "in.txt").c_str(),
                                       (d + "in.enc").c_str(), (d + "session.blob").c_str(), nullptr, error);
       },
       "session.blob"},
      {"CXTCrypt::DecryptFileA",
       [&](const std::string& d) {
         CString error;
         return CXTCrypt::DecryptFileA(container.c_str(), (d + "private.blob").c_str(), (d + "session.blob").c_str(),
                                       (d + "in.enc").c_str(), (d + "in.dec").c_str(), nullptr, error);
       },
       "in.dec"},
      {"CXTXMLWriter::Write",
       [](const std::string& d) {
         CXTXMLWriter writer;
         writer.StartDocument();
         writer.StartElement("a", nullptr);
         writer.EndElement();
         writer.EndDocument();
         return writer.Write((d + "written.xml").c_str());
       },
       "written.xml"},
      {"CXTSimpleXMLReader::ReadFile",
       [](const std::string& d) {
         CXTSimpleXMLReader reader;
         CXTXMLElement root;
         return reader.ReadFile((d + "in.xml").c_str(), root);
       },
       ""},
      {"CXTXmlSchemaValidator",
       [](const std::string& d) {
         CXTXmlSchemaValidator validator;
         validator.AddToSchemaCache("urn:probe", (d + "schema.xsd").c_str());
         return validator.Validate((d + "in.xml").c_str());
       },
       ""},
      {"CBmp2Tiff",
       [](const std::string& d) {
         CBmp2Tiff tiff;
         return tiff.Create((d + "out.tif").c_str()) && tiff.AddBmp((d + "in.bmp").c_str()) && tiff.Close();
       },
       "out.tif"},
      {"xtb::ExportRegFile",
       [](const std::string& d) {
         HKEY key = nullptr;
         if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Probe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr) != ERROR_SUCCESS)
           return false;
         RegSetValueExA(key, "Wert", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
         RegCloseKey(key);
         xtb::RegFileError error;
         return xtb::ExportRegFile("HKEY_CURRENT_USER\\Software\\Probe", d + "probe.reg", xtb::RegFileFormat::Unicode,
                                   &error);
       },
       "probe.reg"},
      {"xtb::ImportRegFile",
       [](const std::string& d) {
         xtb::RegFileError error;
         return xtb::ImportRegFile(d + "probe.reg", &error);
       },
       ""},
      {"XTTrace (LogDir ending in '\\')",
       [](const std::string&) {
         XTTrace(1, 7, __FILE__, __LINE__, "Probe");
         return true;
       },
       "logs/r9trace.log"},
      {"XTTraceF", [](const std::string& d) {
         XTTraceF((d + "own.log").c_str(), 1, 7, __FILE__, __LINE__, "Probe");
         return true;
       },
       "own.log"},
      {"GetTempFilePath (TempDir ending in '\\')",
       [](const std::string&) {
         CString path;
         GetTempFilePath(path, "prb");
         return !path.IsEmpty() && path.Find('\\') < 0 && access(path, F_OK) == 0;
       },
       ""},
      {"CTmpFile::Create",
       [](const std::string&) {
         CTmpFile file(false);
         const CString path = file.Create("tfp");
         return !path.IsEmpty() && access(path, F_OK) == 0;
       },
       ""},
      {"CTmpDir::Create",
       [&](const std::string&) {
         CTmpDir dir(true);
         const CString path = dir.Create("tdp");
         return !path.IsEmpty() && fs::is_directory(std::string(path.GetString()));
       },
       ""},
      {"XTMiniDump", [](const std::string& d) {
         XTMiniDump((d + "probe.dmp").c_str());
         return true;
       },
       "probe.dmp"},
  };
  const std::string dir = Windows(m_root / "work") + "\\";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.function);
    EXPECT_TRUE(row.call(dir));
    if (*row.lands != '\0') EXPECT_TRUE(fs::exists(m_root / "work" / row.lands)) << row.lands << " is missing";
    EXPECT_EQ(NamesWithBackslash(), std::vector<std::string>());
  }
  EXPECT_EQ(Slurp(m_root / "work" / "rc4.txt"), "Zahnstein\r\n");
  EXPECT_EQ(Slurp(m_root / "work" / "in.dec"), "Zahnstein\r\n");
  CXTCrypt().AcquireContext(container.c_str(), CRYPT_DELETEKEYSET);
}

// Path text keeps its Windows meaning: drives, network roots, separators.
TEST(WindowsPathText, CPathStillParsesDrivesAndNetworkRoots) {
  CPath local("C:\\Daten\\Praxis\\brief.doc");
  EXPECT_EQ(local.GetDrive(), "C:");
  EXPECT_EQ(local.GetDir(), "\\Daten\\Praxis\\");
  EXPECT_EQ(local.GetFilenameExt(), "brief.doc");
  const CPath share("\\\\server\\share\\Praxis\\brief.doc");
  EXPECT_EQ(share.GetDrive(), "");
  EXPECT_EQ(share.GetDir(), "\\\\server\\share\\Praxis\\");
}

}  // namespace
