#include "shell/state/Dialogues.h"

namespace vortel {

Dialogues::Dialogues() {
    std::error_code ec;
    m_currentFolder = std::filesystem::current_path(ec);
}

std::string ChosenPath(const std::string& picked) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(picked, ec);
    return ec ? picked : path.string();
}

void Dialogues::Choose(const std::string& picked) {
    m_chosenFile = ChosenPath(picked);
    m_currentFolder = std::filesystem::path(m_chosenFile).parent_path();
}

std::string Dialogues::ChooseOpenFile(const std::string& title) {
    if (!m_filesAhead.empty()) {
        Choose(m_filesAhead.front());
        m_filesAhead.erase(m_filesAhead.begin());
    } else if (auto picked = PickFile(title)) {
        Choose(*picked);
    }
    return m_chosenFile;  // a cancel keeps the earlier choice
}

std::string Dialogues::ChooseOpenFile(const std::string& title, int index, int count) {
    // Only a fresh series is offered as one dialogue: files given ahead already answer the
    // first choices, and the rest are asked one by one.
    if (index == 1 && count > 1 && m_filesAhead.empty() && CanPickSeveral()) {
        auto picked = PickFiles(title, count);
        if (!picked || picked->empty()) return m_chosenFile;  // as a cancel of one choice
        if (static_cast<int>(picked->size()) > count)
            picked->resize(static_cast<std::size_t>(count));
        m_filesAhead = std::move(*picked);
    }
    return ChooseOpenFile(title);
}

void Dialogues::GiveFilesAhead(std::vector<std::string> paths) { m_filesAhead = std::move(paths); }

}  // namespace vortel
