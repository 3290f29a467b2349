// Arbitrary file contents through both RC4 decryptors and IsRC4File: no
// crash, no hang, a decrypted target never longer than the input allows.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <xtbasis/platform/exceptions.h>
#include <xtbasis/rc4file.h>

namespace {

// The folder of the two files, removed again when the run ends.
const std::string& Folder() {
  static const std::string* const folder = [] {
    auto* path = new std::string("/tmp/xtb-fuzz-rc4-XXXXXX");
    if (mkdtemp(path->data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Folder(), ignored);
    });
    return path;
  }();
  return *folder;
}

off_t SizeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string source = Folder() + "/in", target = Folder() + "/out";
  FILE* file = std::fopen(source.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  unlink(target.c_str());
  if (DecryptRC4FileSchwachsinnigeVDDSEXPVariante(source.c_str(), target.c_str()) &&
      (size < 2 || SizeOf(target) != static_cast<off_t>(size - 1 - data[0])))
    std::abort();
  unlink(target.c_str());
  if (DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(source.c_str(), target.c_str()) &&
      SizeOf(target) > static_cast<off_t>(size))
    std::abort();
  try {
    CString content;
    if (IsRC4File(source.c_str(), content) && content.GetLength() != static_cast<int>(size) - 1 - data[0])
      std::abort();
  } catch (CException* error) {
    error->Delete();
  }
  return 0;
}
