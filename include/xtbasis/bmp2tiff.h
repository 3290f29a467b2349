// CBmp2Tiff: collects bitmap files (.bmp) into one multi-page TIFF file, one
// LZW-compressed page per bitmap, with an optional resolution.
//
// libtiff ("libtiff.so.6") is loaded on the first Create and its functions
// looked up by name; without it Create and Close answer false and nothing
// else is affected. Bitmaps are read by the library's own decoder: 1, 4, 8,
// 16, 24 and 32 bits per pixel, BI_RGB and BI_BITFIELDS, bottom-up or
// top-down, with core, info, V4 or V5 headers. Indexed bitmaps become palette
// pages (their colours widened to 16 bits), 24- and 32-bit ones RGB pages of
// 3 or 4 samples (the fourth set to 0xFF and declared
// an unspecified extra sample), 16-bit ones RGB pages of 3 samples
// with every channel widened to 8 bits. A bitmap that is malformed, truncated
// or compressed otherwise is refused by AddBmp, and the file stays as it was.
#pragma once

#include <memory>
#include <string>

#include <xtbasis/platform/api.h>

class XTBASIS_API CBmp2Tiff {
 public:
  // `libraryName` names the libtiff file to load, for installations that
  // keep it elsewhere.
  CBmp2Tiff() : CBmp2Tiff("libtiff.so.6") {}
  explicit CBmp2Tiff(const char* libraryName);
  // Copies share the loaded library and the open file: whichever copy
  // closes the file closes it for all of them, the others' Close then
  // answers false, and the last copy to go closes it when nobody did.
  CBmp2Tiff(const CBmp2Tiff&) = default;
  CBmp2Tiff& operator=(const CBmp2Tiff&) = default;
  ~CBmp2Tiff() = default;

  // Loads libtiff on the first call (false when it cannot be loaded or lacks
  // one of its seven functions; it is then unloaded again), closes a file
  // still open, then opens `path` for writing, replacing an existing file.
  bool Create(const char* path);
  // Dots per inch for the pages added afterwards; 0 or less writes none.
  bool SetResolution(float dpi);
  // Appends one page made from the bitmap file `bitmapPath`; true when the
  // page was written. False without an open file.
  bool AddBmp(const char* bitmapPath);
  // False when no library is loaded or no file is open.
  bool Close();

 private:
  struct Library;
  struct OpenFile;

  std::string m_libraryName;
  std::shared_ptr<const Library> m_library;
  std::shared_ptr<OpenFile> m_file;
  float m_resolution = -1.0f;
};
