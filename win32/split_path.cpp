// _splitpath and _makepath on Windows path text.
#include <xtbasis/win32/crt_files.h>

#include <cstring>
#include <string>
#include <string_view>

#include "invalid_parameter.h"

namespace {

struct Part {
  std::string_view text;
  char* buffer;
  size_t size;
};

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// Refuses a part whose buffer and size disagree: null needs 0, a buffer needs room.
bool Consistent(const Part& part) { return part.buffer ? part.size > 0 : part.size == 0; }

void EmptyAll(Part (&parts)[4]) {
  for (Part& part : parts)
    if (part.buffer) part.buffer[0] = '\0';
}

}  // namespace

errno_t _splitpath_s(const char* path, char* drive, size_t driveSize, char* dir, size_t dirSize, char* fname,
                     size_t fnameSize, char* ext, size_t extSize) {
  Part parts[4] = {{{}, drive, driveSize}, {{}, dir, dirSize}, {{}, fname, fnameSize}, {{}, ext, extSize}};
  for (const Part& part : parts)
    if (!Consistent(part) || !path) {
      EmptyAll(parts);
      return xtb::win32::InvalidParameter(EINVAL);
    }
  std::string_view rest(path);
  if (rest.size() >= 2 && rest[1] == ':') {
    parts[0].text = rest.substr(0, 2);
    rest.remove_prefix(2);
  }
  size_t nameStart = 0;
  for (size_t i = 0; i < rest.size(); ++i)
    if (IsSeparator(rest[i])) nameStart = i + 1;
  parts[1].text = rest.substr(0, nameStart);
  const std::string_view name = rest.substr(nameStart);
  const size_t dot = name.rfind('.');
  parts[2].text = dot == std::string_view::npos ? name : name.substr(0, dot);
  parts[3].text = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  for (const Part& part : parts)
    if (part.buffer && part.text.size() + 1 > part.size) {
      EmptyAll(parts);
      return xtb::win32::InvalidParameter(ERANGE);
    }
  for (const Part& part : parts)
    if (part.buffer) {
      part.text.copy(part.buffer, part.text.size());  // an empty part may have no text at all
      part.buffer[part.text.size()] = '\0';
    }
  return 0;
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  _splitpath_s(path, drive, drive ? _MAX_DRIVE : 0, dir, dir ? _MAX_DIR : 0, fname, fname ? _MAX_FNAME : 0, ext,
               ext ? _MAX_EXT : 0);
}

errno_t _makepath_s(char* path, size_t size, const char* drive, const char* dir, const char* fname,
                    const char* ext) {
  if (!path || size == 0) return xtb::win32::InvalidParameter(EINVAL);
  std::string joined;
  if (drive && *drive) {
    joined += drive[0];
    joined += ':';
  }
  if (dir && *dir) {
    joined += dir;
    if (!IsSeparator(joined.back())) joined += '\\';
  }
  if (fname) joined += fname;
  if (ext && *ext) {
    if (*ext != '.') joined += '.';
    joined += ext;
  }
  if (joined.size() + 1 > size) return xtb::win32::InvalidParameterEmptying(path, size, ERANGE);
  std::memcpy(path, joined.c_str(), joined.size() + 1);
  return 0;
}

void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext) {
  _makepath_s(path, _MAX_PATH, drive, dir, fname, ext);
}
