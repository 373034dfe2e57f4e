// Position-addressed containers of the analysis state: they grow to what a run needs and stop
// the command, never write past their end, when an index goes beyond their capacity.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/base/RunStopped.h"

namespace vortel {

[[noreturn]] void ThrowIndexBeyond(const char* table, std::int64_t index, std::int64_t capacity);

// Most treatments a test compares: the highest position of every per-treatment and per-pair
// table.
inline constexpr int MostTreatments = 20;
// Whether a test compares n treatments: at least `fewest` (two, for a pair; 0 where files not yet
// read may still hold more) and at most MostTreatments, for the tables. Every check of a count
// asks here.
inline constexpr bool TreatmentCountFits(double n, double fewest = 2) {
    return n >= fewest && n <= MostTreatments;
}
// Stops the command unless TreatmentCountFits(n, fewest), with the message `refusal` returns:
// each place that counts treatments words its own.
template <class Refusal>
void CheckTreatmentCount(double n, Refusal&& refusal, double fewest = 2) {
    if (!TreatmentCountFits(n, fewest)) throw RunStopped(refusal());
}

// Positions 0..capacity. Storage grows on demand, so a fresh record costs nothing; a position
// never written reads as a value-initialised element.
template <class T>
class PositionList {
public:
    PositionList(const char* name, std::int32_t capacity) : m_name(name), m_capacity(capacity) {}

    std::int32_t Capacity() const { return m_capacity; }

    // Checked access that grows the storage up to the position.
    T& operator()(std::int64_t k) {
        if (k < 0 || k > m_capacity) ThrowIndexBeyond(m_name, k, m_capacity);
        if (static_cast<std::size_t>(k) >= m_items.size())
            m_items.resize(static_cast<std::size_t>(k) + 1);
        return m_items[static_cast<std::size_t>(k)];
    }
    T Get(std::int64_t k) const {
        if (k < 0 || k > m_capacity) ThrowIndexBeyond(m_name, k, m_capacity);
        return static_cast<std::size_t>(k) < m_items.size() ? m_items[static_cast<std::size_t>(k)]
                                                            : T{};
    }

    // Makes positions 0..last addressable at once, for loops that then use Data() directly.
    T* Through(std::int64_t last) {
        if (last < 0 || last > m_capacity) ThrowIndexBeyond(m_name, last, m_capacity);
        if (static_cast<std::size_t>(last) >= m_items.size())
            m_items.resize(static_cast<std::size_t>(last) + 1);
        return m_items.data();
    }
    // Positions in use so far (the highest position ever touched, plus one).
    std::size_t Size() const { return m_items.size(); }
    const T* Data() const { return m_items.data(); }
    void Release() { std::vector<T>().swap(m_items); }

private:
    const char* m_name;
    std::int32_t m_capacity;
    std::vector<T> m_items;
};

// Positions 0..Last of a small fixed table (treatments, quotations).
template <class T, std::size_t Last>
class FixedTable {
public:
    explicit FixedTable(const char* name) : m_name(name) {}
    T& operator()(std::int64_t k) {
        Check(k);
        return m_items[static_cast<std::size_t>(k)];
    }
    const T& operator()(std::int64_t k) const {
        Check(k);
        return m_items[static_cast<std::size_t>(k)];
    }

private:
    void Check(std::int64_t k) const {
        if (k < 0 || k > static_cast<std::int64_t>(Last)) ThrowIndexBeyond(m_name, k, Last);
    }
    const char* m_name;
    std::array<T, Last + 1> m_items{};
};

// Square table with both indexes 0..MostTreatments.
template <class T>
class PairTable {
public:
    explicit PairTable(const char* name) : m_name(name) {}
    T& operator()(std::int64_t i, std::int64_t j) {
        Check(i, j);
        return m_items[static_cast<std::size_t>(i * Side + j)];
    }
    const T& operator()(std::int64_t i, std::int64_t j) const {
        Check(i, j);
        return m_items[static_cast<std::size_t>(i * Side + j)];
    }

private:
    static constexpr std::int64_t Side = MostTreatments + 1;
    void Check(std::int64_t i, std::int64_t j) const {
        if (i < 0 || i >= Side) ThrowIndexBeyond(m_name, i, MostTreatments);
        if (j < 0 || j >= Side) ThrowIndexBeyond(m_name, j, MostTreatments);
    }
    const char* m_name;
    std::array<T, Side * Side> m_items{};
};

// A value-list per treatment position: element (k, t).
template <class T>
class TreatmentLists {
public:
    TreatmentLists(const char* name, std::int32_t capacity)
        : m_lists(MostTreatments + 1, PositionList<T>(name, capacity)), m_name(name) {}
    T& operator()(std::int64_t k, std::int64_t t) { return List(t)(k); }
    T Get(std::int64_t k, std::int64_t t) const {
        if (t < 0 || t > MostTreatments) ThrowIndexBeyond(m_name, t, MostTreatments);
        return m_lists[static_cast<std::size_t>(t)].Get(k);
    }
    PositionList<T>& List(std::int64_t t) {
        if (t < 0 || t > MostTreatments) ThrowIndexBeyond(m_name, t, MostTreatments);
        return m_lists[static_cast<std::size_t>(t)];
    }

private:
    std::vector<PositionList<T>> m_lists;
    const char* m_name;
};

}  // namespace vortel
