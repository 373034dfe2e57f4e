// Date-times, the clock seam and the program's one pseudo-random generator.
#pragma once

#include <cstdint>
#include <random>

namespace vortel {

// A wall-clock reading, broken down as the user's clock shows it. `Empty` is the state of a
// date-time field that nothing has set yet.
struct DateTime {
    bool Empty = true;
    std::int64_t Epoch = 0;  // whole seconds, used for durations
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;

    // Broken down in UTC; tests and reproducible runs use it.
    static DateTime FromEpochUtc(std::int64_t epoch);
    // Broken down in the machine's local time zone.
    static DateTime FromEpochLocal(std::int64_t epoch);
};

// Whole seconds between two readings, as a count of second boundaries (never negative).
std::int64_t WholeSecondsBetween(const DateTime& a, const DateTime& b);

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() = 0;
};

// The machine's clock, or the fixed instant SOURCE_DATE_EPOCH names (UTC), so that outputs
// with dates and times in them can be reproduced byte for byte.
class SystemClock : public Clock {
public:
    DateTime Now() override;
};

// A clock that shows what a test sets and moves only when told.
class FixedClock : public Clock {
public:
    explicit FixedClock(std::int64_t epoch = 0) : m_epoch(epoch) {}
    DateTime Now() override { return DateTime::FromEpochUtc(m_epoch); }
    void Set(std::int64_t epoch) { m_epoch = epoch; }
    void Advance(std::int64_t seconds) { m_epoch += seconds; }

private:
    std::int64_t m_epoch;
};

// Uniform values in [0, 1). Seeded from the seconds of the clock as the window's start-up does,
// so two seedings in the same second give the same draws.
class Random {
public:
    void Seed(std::uint32_t seed) { m_engine.seed(seed); }
    double Next() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }

private:
    std::mt19937 m_engine{0};
};

}  // namespace vortel
