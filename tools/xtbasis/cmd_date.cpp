// xtbasis date correct|quarter|week|age|iso: the calendar functions on the
// command line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include <xtbasis/dateforms.h>
#include <xtbasis/datecorrection.h>
#include <xtbasis/quarters.h>
#include <xtbasis/xtdate.h>

namespace {

int Usage(const std::string& message) { return xtbtool::UsageError("date", message); }

void Line(const char* label, const char* value) { std::printf("%-15s %s\n", label, value); }

void Line(const char* label, long long value) { std::printf("%-15s %lld\n", label, value); }

// A DB date, or a display date turned into one; empty unless it names a real day.
CString RealDbDate(const std::string& text) {
  CString date = text.size() == 10 ? Date2Db(CString(text)) : CString(text);
  if (date.GetLength() != 8 || date.view().find_first_not_of("0123456789") != std::string_view::npos)
    return CString();
  const int year = std::atoi(date.Left(4)), month = std::atoi(date.Mid(4, 2)), day = std::atoi(date.Mid(6, 2));
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > LastDayI(month, year)) return CString();
  return date;
}

int Correct(const xtbtool::Args& args) {
  if (args.empty() || args.size() > 2) return Usage("correct needs an optional kind and a text");
  int flags = 0;
  if (args.size() == 2) {
    const std::string& kind = args[0];
    if (kind == "birth")
      flags = XTDATE_BIRTH | XTDATE_OPEN;
    else if (kind == "validity")
      flags = XTDATE_VALIDITY;
    else if (kind != "plain")
      return Usage("unknown kind '" + kind + "'");
  }
  CString date(args.back());
  const bool unchanged = DoCorrectDate(date, flags);
  Line("typed:", args.back().c_str());
  Line("corrected:", date);
  Line("display:", Db2Date(date));
  Line("unchanged:", unchanged ? "yes" : "no");
  return 0;
}

int Quarter(const xtbtool::Args& args) {
  if (args.size() != 1) return Usage("quarter needs one DB date");
  const CString date = RealDbDate(args[0]);
  if (date.IsEmpty()) return Usage("'" + args[0] + "' is not a date");
  Line("quarter:", DbDate2Quartal(date));
  Line("first day:", QuartalsAnfang(date));
  Line("last day:", QuartalsEnde(date));
  Line("previous:", DbDate2Quartal(VorQuartal(date, 1)));
  Line("next:", DbDate2Quartal(VorQuartal(date, -1)));
  return 0;
}

int Week(const xtbtool::Args& args) {
  if (args.size() != 1) return Usage("week needs one date");
  const CString date = RealDbDate(args[0]);
  if (date.IsEmpty()) return Usage("'" + args[0] + "' is not a date");
  COleDateTime day(std::atoi(date.Left(4)), std::atoi(date.Mid(4, 2)), std::atoi(date.Mid(6, 2)), 0, 0, 0);
  Line("date:", Db2Date(date));
  Line("week:", GetCalWeekNo(day));
  return 0;
}

int Age(const xtbtool::Args& args) {
  if (args.empty() || args.size() > 2) return Usage("age needs a birth date and an optional reference date");
  const CString birth = RealDbDate(args[0]);
  const CString reference = args.size() == 2 ? RealDbDate(args[1]) : GetXTDate();
  if (birth.IsEmpty() || reference.IsEmpty()) return Usage("the dates must be real days");
  int years = 0, months = 0;
  GetAlter(reference, birth, years, months);
  Line("on:", Db2Date(reference));
  Line("years:", years);
  Line("month of life:", months);
  return 0;
}

int Iso(const xtbtool::Args& args) {
  if (args.size() != 1) return Usage("iso needs one ISO 8601 text");
  CXTDate date;
  try {
    date.FromISO8601(CString(args[0]));
    if (date.GetTime() == 0) {
      std::fprintf(stderr, "xtbasis date: '%s' is not an ISO 8601 time stamp\n", args[0].c_str());
      return 1;
    }
    Line("UTC:", date.ToISO8601(true));
    Line("local:", date.ToISO8601(false));
    Line("DB date:", static_cast<CString>(date));
    Line("seconds:", date.GetTime());
  } catch (const CAtlException& e) {
    std::fprintf(stderr, "xtbasis date: '%s' is no time that can be converted (HRESULT 0x%08X)\n",
                 args[0].c_str(), static_cast<unsigned>(e.m_hr));
    return 1;
  }
  return 0;
}

int RunDate(const xtbtool::Args& args) {
  if (args.empty()) return Usage("missing subcommand");
  const xtbtool::Args rest(args.begin() + 1, args.end());
  const std::string& sub = args[0];
  if (sub == "correct") return Correct(rest);
  if (sub == "quarter") return Quarter(rest);
  if (sub == "week") return Week(rest);
  if (sub == "age") return Age(rest);
  if (sub == "iso") return Iso(rest);
  return Usage("unknown subcommand '" + sub + "'");
}

const xtbtool::Registration registration{{"date", "correct typed dates, quarters, calendar weeks, ages, ISO 8601 stamps",
                                           "xtbasis date correct [plain|birth|validity] TEXT\n"
                                           "       xtbasis date quarter DBDATE\n"
                                           "       xtbasis date week DATE\n"
                                           "       xtbasis date age BIRTHDATE [REFDATE]\n"
                                           "       xtbasis date iso TEXT\n"
                                           "DBDATE is YYYYMMDD; DATE is YYYYMMDD or DD.MM.YYYY",
                                           RunDate}};

}  // namespace
