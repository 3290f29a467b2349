// Arbitrary text through CPath's constructors, splitting, setters and
// joining: no crash, and no result longer than 259 characters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <xtbasis/path.h>

namespace {

void CheckBound(const CPath& path) {
  if (std::strlen(path.c_str()) > static_cast<size_t>(CPath::kMaxLength)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Up to four NUL-separated texts: a path, a relative path and two parts.
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string texts[4];
  size_t start = 0;
  for (std::string& text : texts) {
    const size_t end = std::min(input.find('\0', start), input.size());
    if (start < input.size()) text = input.substr(start, end - start);
    start = end + 1;
  }
  CPath path(texts[0].c_str());
  CheckBound(path);
  char small[7];
  path.GetDir(small, sizeof small);
  if (std::strlen(small) >= sizeof small) std::abort();
  (void)path.GetDriveDir();
  (void)path.GetFilenameExt();
  CPath joined = path + CPath(texts[1].c_str());
  CheckBound(joined);
  joined += joined;
  CheckBound(joined);
  path.SetDir(texts[2].c_str());
  CheckBound(path);
  path.SetFilename(texts[3].c_str());
  CheckBound(path);
  path.SetExtension(texts[2].c_str());
  CheckBound(path);
  path.SetDrive(texts[3].c_str());
  CheckBound(path);
  CheckBound(CPath(texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str()));
  (void)CPath::IsSubPath(path, joined);
  return 0;
}
