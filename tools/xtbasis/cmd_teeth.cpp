// xtbasis teeth NOTATION: parses a tooth list and prints its written forms
// and the counts that fee rules ask for.
#include <cstdio>

#include "command.h"
#include <xtbasis/teeth.h>

namespace {

class PrintedTeeth : public CTeeth {
 public:
  CString Hex() const {
    CString hex;
    GetHexTeeth(hex);
    return hex;
  }
};

void Line(const char* label, const char* value) { std::printf("%-22s %s\n", label, value); }

void Line(const char* label, int value) { std::printf("%-22s %d\n", label, value); }

// What the parser had appended before it stopped, in the order appended.
CString ParsedPrefix(CTeeth& teeth) {
  CString prefix;
  int index;
  while (teeth.TryPop(index, false)) {
    CString tooth;
    CTeeth::ConvertToothIndex(index, tooth);
    if (!prefix.IsEmpty()) tooth += ',';
    tooth += prefix;
    prefix = tooth;
  }
  return prefix;
}

void PrintForms(const PrintedTeeth& teeth) {
  CString text;
  teeth.GetNormalizedTeeth(text, false);
  Line("normal:", text);
  teeth.GetNormalizedTeeth(text, true);
  Line("expanded:", text);
  teeth.GetVDDSTeeth(text);
  Line("VDDS:", text);
  Line("database:", teeth.Hex());
}

void PrintCounts(const PrintedTeeth& teeth) {
  Line("teeth:", teeth.CntTeeth());
  Line("upper jaw (OK):", teeth.CntOKTeeth());
  Line("lower jaw (UK):", teeth.CntUKTeeth());
  Line("front:", teeth.CntFrontTeeth());
  Line("side:", teeth.CntSideTeeth());
  Line("veneer:", teeth.CntVerblendTeeth());
  Line("one root:", teeth.CntRootTeeth(2));
  Line("two roots:", teeth.CntRootTeeth(3));
  Line("three roots:", teeth.CntRootTeeth(4));
  Line("canals:", teeth.CntAllCanal());
  Line("areas (CntFzKh):", teeth.CntFzKh());
  Line("spans:", teeth.CntSpans());
  for (int len = 1; len <= 2; ++len) {
    CTeeth scan = teeth;  // the bridge scans replace the marks
    int count = 0;
    scan.HasBridgeLen(len, count);
    Line(len == 1 ? "bridges of length 1:" : "bridges of length 2:", count);
  }
  CTeeth chains = teeth;
  Line("CntBridge25:", chains.CntBridge25());
}

int RunTeeth(const xtbtool::Args& args) {
  if (args.empty()) return xtbtool::UsageError("teeth", "needs a NOTATION");
  std::string notation = args[0];
  for (size_t i = 1; i < args.size(); ++i) notation += " " + args[i];

  PrintedTeeth teeth;
  Line("notation:", notation.c_str());
  if (!teeth.TryDoAddTeeth(notation.c_str())) {
    Line("parsed:", "no");
    Line("read before the error:", ParsedPrefix(teeth));
    return 1;
  }
  Line("parsed:", "yes");
  PrintForms(teeth);
  PrintCounts(teeth);
  return 0;
}

const xtbtool::Registration registration{{"teeth", "parse a tooth list: written forms and fee-rule counts",
                                           "xtbasis teeth NOTATION   (e.g. \"18-28,38-48\", \"11, 12\", \"okm\")",
                                           RunTeeth}};

}  // namespace
