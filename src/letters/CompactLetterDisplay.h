// Letters for any number of treatments: a compact letter display built by insertion and
// absorption (Piepho 2004), so that two treatments share a letter exactly when they are not
// significantly different, and no letter could be dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vortel {

// differs[i][j]: treatments i and j (counted from 0) differ significantly. Symmetric; the
// diagonal is not read.
using DifferenceMatrix = std::vector<std::vector<bool>>;

// A letter as the treatments holding it: bit t for treatment t.
using LetterMembers = std::uint64_t;

// Most treatments one display can hold (one bit each).
inline constexpr int MostDisplayedTreatments = 64;

// The display's letters in alphabetical order. Valid and complete: treatments i and j hold a
// common letter exactly when !differs[i][j] (only i < j is read); every treatment holds at
// least one letter. Each letter marks a largest group of mutually not-different treatments,
// and no letter can be dropped without losing a pair or a treatment's last letter. Treatment 0
// holds the first letter, and each letter first appears no earlier down the list of
// treatments than the letter before it. A matrix of more than MostDisplayedTreatments
// treatments, or one that is not square, stops the command.
std::vector<LetterMembers> CompactLetterDisplay(const DifferenceMatrix& differs);

// Letters a to z, then A to Z.
inline constexpr int NamedLetterCount = 52;
char LetterName(int letter);

// Each treatment's letters in alphabetical order ("abd"), or nothing when the display needs
// more letters than have names.
std::optional<std::vector<std::string>> TreatmentLetters(const std::vector<LetterMembers>& letters,
                                                         int treatments);

}  // namespace vortel
