// Time zones and instants for the calendar tests.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Runs a test in a named tz database zone and restores the previous one.
class ScopedZone {
 public:
  explicit ScopedZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) m_previous = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedZone() {
    if (m_previous)
      setenv("TZ", m_previous->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  ScopedZone(const ScopedZone&) = delete;
  ScopedZone& operator=(const ScopedZone&) = delete;

 private:
  std::optional<std::string> m_previous;
};

// The local year now, read independently of the library.
inline int LocalYearNow() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// The instant of a UTC calendar time, computed by the C library.
inline time_t Utc(int year, int month, int day, int hour, int minute, int second) {
  struct tm parts {};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  return timegm(&parts);
}
