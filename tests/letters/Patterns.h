// Significance patterns for the marking tests, written as their not-different pairs.
#pragma once

#include <sstream>
#include <string>

#include "letters/MarkingRule.h"

namespace vortel::test {

// "1-2 3-4": those pairs not different, every other pair different.
inline NotDifferentPairs Pattern(int n, const std::string& notDifferent) {
    NotDifferentPairs pairs(n);
    std::istringstream in(notDifferent);
    std::string pair;
    while (in >> pair) pairs.Set(pair[0] - '0', pair[2] - '0', true);
    return pairs;
}

// Pattern number `bits` of n treatments: bit b set makes the b-th pair of 1-2, 1-3, ...,
// (n-1)-n not different. Numbers 0 to 2^(n(n-1)/2) - 1 give every pattern once.
inline NotDifferentPairs PatternNumber(int n, unsigned bits) {
    NotDifferentPairs pairs(n);
    unsigned b = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j, ++b) pairs.Set(i, j, ((bits >> b) & 1u) != 0);
    }
    return pairs;
}

inline unsigned PatternCount(int n) { return 1u << (n * (n - 1) / 2); }

}  // namespace vortel::test
