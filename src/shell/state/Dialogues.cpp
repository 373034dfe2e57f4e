#include "shell/state/Dialogues.h"

namespace vortel {

Dialogues::Dialogues() {
    std::error_code ec;
    m_currentFolder = std::filesystem::current_path(ec);
}

std::string Dialogues::ChooseOpenFile(const std::string& title) {
    if (auto picked = PickFile(title)) {
        std::error_code ec;
        std::filesystem::path path = std::filesystem::absolute(*picked, ec);
        if (ec) path = *picked;
        m_chosenFile = path.string();
        m_currentFolder = path.parent_path();
    }
    return m_chosenFile;  // a cancel keeps the earlier choice
}

}  // namespace vortel
