// Splitting and building path text with the rules of the familiar runtime
// functions: drive, directory, file name, extension.
#pragma once

#include <string>
#include <string_view>

namespace xtb::path {

inline bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// The first separator in `text`, else `fallback`.
char SeparatorOf(std::string_view text, char fallback = '/');

struct Parts {
  std::string drive;  // "C:" or empty
  std::string dir;    // with trailing separator, or empty
  std::string name;   // without extension
  std::string ext;    // with its '.', or empty
};

Parts Split(std::string_view path);
// A null or empty part is left out; ':' after the drive letter, a separator
// after the directory and '.' before the extension are added when missing.
std::string Make(const char* drive, const char* dir, const char* name, const char* ext);
inline std::string Make(const Parts& p) { return Make(p.drive.c_str(), p.dir.c_str(), p.name.c_str(), p.ext.c_str()); }

// The directory with "." and ".." resolved as CPath's joining describes.
std::string NormaliseDir(std::string_view dir, char separator);

}  // namespace xtb::path
