#include "report/ResultFileName.h"

#include <string_view>

#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"

namespace vortel {

bool CodeFitsFileName(const std::string& code) {
    constexpr std::string_view forbidden = "/\\:*?\"<>|";
    for (unsigned char c : code) {
        if (c < 32 || c == 127 || forbidden.find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return code.size() <= 200;
}

std::string ResultFileNameFor(const std::string& baseName, const std::string& parameterName,
                              const std::string& code, const DateTime& now, double randomFraction) {
    std::string name = baseName + " results-" + FileNamePiece(parameterName) + "_";
    if (code == NoCode) {
        auto t = [](int v) { return Text(std::int64_t{v}); };
        name += t(now.Year) + t(now.Month) + t(now.Day) + "-" + t(now.Hour) + t(now.Minute) +
                t(now.Second);
    } else {
        const auto draw = static_cast<std::int64_t>(RoundHalfEven(randomFraction * 1000));
        name += code + " " + Text(draw);
    }
    return name + ".txt";
}

}  // namespace vortel
