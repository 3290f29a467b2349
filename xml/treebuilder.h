// The parser's UTF-8 events made into a CXTXMLElement tree, in two stages:
// TapeWriter on the parser's thread records the events on a tape,
// TreeAssembler reads the tape into the tree. For a large document, on a
// machine with a second processor for this process, the parser runs on a
// thread of its own (AssemblyLine), so that building the tree and parsing
// overlap; the tree is built on the calling thread.
//
// The tree's public layout (32-byte strings, children held by value) sets
// the floor of what a read takes: for the 50 MiB claims list of
// bench/xml_reader.cpp the peak is about 4 times the document.
#pragma once

#include <cstddef>
#include <map>

#include <xtbasis/xmlelement.h>
#include <xtbasis/platform/com.h>

namespace xtb::xml {

// Parses `size` bytes into `root` as ParserSession::Parse does (its result codes); the
// first error ends the parse, and the tree then holds what was read.
HRESULT BuildTree(const char* data, size_t size, CXTXMLElement& root, std::map<CString, CString>& prefixes);

}  // namespace xtb::xml
