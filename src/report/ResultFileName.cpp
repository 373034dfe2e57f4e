#include "report/ResultFileName.h"

#include <string_view>

namespace vortel {

bool CodeFitsFileName(const std::string& code) {
    constexpr std::string_view forbidden = "/\\:*?\"<>|";
    for (unsigned char c : code) {
        if (c < 32 || c == 127 || forbidden.find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return code.size() <= 200;
}

}  // namespace vortel
