// Text subcommands for support work: IBAN display form, byte counts,
// OEM-printable text and MIME types.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xtbasis/textformats.h>
#include <xtbasis/textfilters.h>

#include "command.h"

namespace {

int Iban(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("iban", "needs one IBAN");
  std::printf("%s\n", FormatIBAN(CString(args[0])).GetString());
  return 0;
}

int Bytes(const xtbtool::Args& args) {
  char* end = nullptr;
  if (args.size() != 1) return xtbtool::UsageError("bytes", "needs one COUNT");
  const double count = std::strtod(args[0].c_str(), &end);
  if (args[0].empty() || *end) return xtbtool::UsageError("bytes", "COUNT must be a number");
  std::setlocale(LC_NUMERIC, "");  // the user's decimal separator
  std::printf("%s\n", BytesToString(count).GetString());
  return 0;
}

int Printable(const xtbtool::Args& args) {
  if (args.size() != 2 || args[0].size() != 1 || args[0][0] < '0' || args[0][0] > '3')
    return xtbtool::UsageError("printable", "needs a MODE from 0 to 3 and one TEXT");
  CString text(args[1]);
  OemToPrintableOem(text, args[0][0] - '0');
  std::printf("%s\n", text.GetString());
  return 0;
}

int Mime(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("mime", "needs one FILENAME");
  std::printf("%s\n", GetMimeType(CString(args[0])).GetString());
  return 0;
}

const xtbtool::Registration iban({"iban", "an IBAN in groups of four", "xtbasis iban IBAN", Iban});
const xtbtool::Registration bytes({"bytes", "a byte count as text", "xtbasis bytes COUNT", Bytes});
const xtbtool::Registration printable({"printable", "the OEM-printable form of a text",
                                       "xtbasis printable MODE TEXT   (MODE 0 plainest, 1 and 2 keep more accents, 3 "
                                       "control bytes only)",
                                       Printable});
const xtbtool::Registration mime({"mime", "the MIME type of a file name", "xtbasis mime FILENAME", Mime});

}  // namespace
