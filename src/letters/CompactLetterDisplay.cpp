#include "letters/CompactLetterDisplay.h"

#include <algorithm>
#include <bit>

#include "shell/base/RunStopped.h"

namespace vortel {

namespace {

constexpr LetterMembers Bit(int t) { return LetterMembers{1} << t; }

bool Holds(LetterMembers letter, int t) { return (letter & Bit(t)) != 0; }

// Display order: of two letters, the one holding the first treatment that only one of them
// holds comes first; so letters are ordered by their first holder, then their next, and so on.
bool ComesBefore(LetterMembers a, LetterMembers b) {
    const LetterMembers either = a ^ b;
    return either != 0 && Holds(a, std::countr_zero(either));
}

void SortForDisplay(std::vector<LetterMembers>& letters) {
    std::sort(letters.begin(), letters.end(), ComesBefore);
}

// Insertion and absorption: one letter held by every treatment to begin with; for each
// differing pair, every letter holding both is replaced by a copy without the one and a copy
// without the other, and a copy that another letter contains is absorbed. The result holds the
// largest groups of mutually not-different treatments.
std::vector<LetterMembers> InsertAndAbsorb(const DifferenceMatrix& differs, int n) {
    std::vector<LetterMembers> letters{n == 64 ? ~LetterMembers{0} : Bit(n) - 1};
    std::vector<LetterMembers> kept, split;
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (!differs[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]) continue;
            const LetterMembers pair = Bit(i) | Bit(j);
            kept.clear();
            split.clear();
            for (const LetterMembers letter : letters) {
                if ((letter & pair) == pair) {
                    split.push_back(letter & ~Bit(i));
                    split.push_back(letter & ~Bit(j));
                } else {
                    kept.push_back(letter);
                }
            }
            if (split.empty()) continue;
            const std::size_t unsplit = kept.size();
            for (std::size_t s = 0; s < split.size(); ++s) {
                const LetterMembers copy = split[s];
                auto contains = [copy](LetterMembers other) { return (copy & other) == copy; };
                bool absorbed = std::any_of(
                    kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(unsplit), contains);
                for (std::size_t o = 0; o < split.size() && !absorbed; ++o) {
                    // Of two equal copies the first stays.
                    absorbed = o != s && contains(split[o]) && (split[o] != copy || o < s);
                }
                if (!absorbed) kept.push_back(copy);
            }
            letters.swap(kept);
        }
    }
    return letters;
}

// How many letters each pair of treatments shares, a treatment's own count on the diagonal:
// what a letter may be dropped against.
class Coverage {
public:
    Coverage(const std::vector<LetterMembers>& letters, int n)
        : m_n(n), m_count(static_cast<std::size_t>(n * n), 0) {
        for (const LetterMembers letter : letters) Change(letter, +1);
    }
    // Every pair of the letter's holders, and every holder, keeps another letter.
    bool LetterSpare(LetterMembers letter) const {
        for (int a = 0; a < m_n; ++a) {
            if (!Holds(letter, a)) continue;
            for (int b = a; b < m_n; ++b)
                if (Holds(letter, b) && At(a, b) < 2) return false;
        }
        return true;
    }
    void Drop(LetterMembers letter) { Change(letter, -1); }

private:
    void Change(LetterMembers letter, int by) {
        for (int a = 0; a < m_n; ++a)
            for (int b = 0; b < m_n; ++b)
                if (Holds(letter, a) && Holds(letter, b)) Count(a, b) += by;
    }
    int At(int a, int b) const { return m_count[static_cast<std::size_t>(a * m_n + b)]; }
    int& Count(int a, int b) { return m_count[static_cast<std::size_t>(a * m_n + b)]; }
    int m_n;
    std::vector<int> m_count;
};

}  // namespace

std::vector<LetterMembers> CompactLetterDisplay(const DifferenceMatrix& differs) {
    const auto size = differs.size();
    if (size > static_cast<std::size_t>(MostDisplayedTreatments)) {
        throw RunStopped("A letter display holds at most " +
                         std::to_string(MostDisplayedTreatments) + " treatments, not " +
                         std::to_string(size) + ".");
    }
    for (const auto& row : differs) {
        if (row.size() != size) throw RunStopped("The pairs of a letter display must be square.");
    }
    const int n = static_cast<int>(size);
    if (n == 0) return {};

    std::vector<LetterMembers> letters = InsertAndAbsorb(differs, n);
    SortForDisplay(letters);
    Coverage coverage(letters, n);
    // A letter every pair of whose holders shares another one says nothing; later letters go
    // first, so the display keeps its early ones.
    for (auto k = letters.size(); k-- > 0;) {
        if (!coverage.LetterSpare(letters[k])) continue;
        coverage.Drop(letters[k]);
        letters.erase(letters.begin() + static_cast<std::ptrdiff_t>(k));
    }
    return letters;
}

char LetterName(int letter) {
    if (letter < 0 || letter >= NamedLetterCount)
        throw RunStopped("No letter is named for number " + std::to_string(letter) + ".");
    return letter < 26 ? static_cast<char>('a' + letter) : static_cast<char>('A' + letter - 26);
}

std::optional<std::vector<std::string>> TreatmentLetters(const std::vector<LetterMembers>& letters,
                                                         int treatments) {
    if (letters.size() > static_cast<std::size_t>(NamedLetterCount)) return std::nullopt;
    std::vector<std::string> marks(static_cast<std::size_t>(std::max(treatments, 0)));
    for (std::size_t k = 0; k < letters.size(); ++k) {
        for (int t = 0; t < treatments; ++t)
            if (Holds(letters[k], t))
                marks[static_cast<std::size_t>(t)] += LetterName(static_cast<int>(k));
    }
    return marks;
}

}  // namespace vortel
