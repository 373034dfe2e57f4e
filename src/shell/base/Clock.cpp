#include "shell/base/Clock.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vortel {
namespace {

DateTime FromTm(std::int64_t epoch, const std::tm& tm) {
    DateTime t;
    t.Empty = false;
    t.Epoch = epoch;
    t.Year = tm.tm_year + 1900;
    t.Month = tm.tm_mon + 1;
    t.Day = tm.tm_mday;
    t.Hour = tm.tm_hour;
    t.Minute = tm.tm_min;
    t.Second = tm.tm_sec;
    return t;
}

}  // namespace

DateTime DateTime::FromEpochUtc(std::int64_t epoch) {
    std::time_t raw = static_cast<std::time_t>(epoch);
    std::tm tm{};
    gmtime_r(&raw, &tm);
    return FromTm(epoch, tm);
}

DateTime DateTime::FromEpochLocal(std::int64_t epoch) {
    std::time_t raw = static_cast<std::time_t>(epoch);
    std::tm tm{};
    localtime_r(&raw, &tm);
    return FromTm(epoch, tm);
}

std::int64_t WholeSecondsBetween(const DateTime& a, const DateTime& b) {
    const std::int64_t d = b.Epoch - a.Epoch;
    return d < 0 ? -d : d;
}

DateTime SystemClock::Now() {
    if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH"); fixed && *fixed) {
        char* end = nullptr;
        const long long epoch = std::strtoll(fixed, &end, 10);
        if (end && *end == '\0') return DateTime::FromEpochUtc(epoch);
    }
    const auto now = std::chrono::system_clock::now();
    return DateTime::FromEpochLocal(
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count());
}

}  // namespace vortel
