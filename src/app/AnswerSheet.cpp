#include "app/AnswerSheet.h"

#include "shell/base/RunStopped.h"

namespace vortel {

AnswerSheet& AnswerSheet::Choose(const std::string& title, Answer answer) {
    m_entries[title] = {answer, {}};
    return *this;
}

AnswerSheet& AnswerSheet::Type(const std::string& title, const std::string& text) {
    m_entries[title] = {Answer::Ok, text};
    return *this;
}

AnswerSheet& AnswerSheet::Pick(const std::string& title, const std::string& path) {
    return Type(title, path);
}

AnswerSheet& AnswerSheet::TakeOffered(const std::string& title) {
    m_entries[title] = {Answer::Ok, {}, true};
    return *this;
}

AnswerSheet& AnswerSheet::WhenFilesRunOut(const std::string& message) {
    m_filesRunOut = message;
    return *this;
}

std::vector<std::string> AnswerSheet::Notices(const std::string& title) const {
    std::vector<std::string> found;
    for (const auto& [t, message] : m_notices)
        if (t == title) found.push_back(message);
    return found;
}

AnswerSheet::Entry AnswerSheet::Take(const std::string& title, const std::string& shownText) {
    const bool askedBefore = !m_asked.insert(title).second;
    auto it = m_entries.find(title);
    if (it == m_entries.end()) {
        // A question asked again follows the notice that says why its answer was refused.
        if (askedBefore && !m_lastNotice.empty()) throw RunStopped(m_lastNotice);
        throw RunStopped("the command line does not answer \"" + shownText + "\"");
    }
    Entry e = std::move(it->second);
    m_entries.erase(it);
    return e;
}

Answer AnswerSheet::AskYesNo(const std::string& message, const std::string& title) {
    return Take(title, message).Choice;
}

Answer AnswerSheet::AskYesNoCancel(const std::string& message, const std::string& title) {
    return Take(title, message).Choice;
}

Answer AnswerSheet::Notify(const std::string& message, const std::string& title) {
    m_lastNotice = message;
    m_notices.emplace_back(title, message);
    return Answer::Ok;
}

std::string AnswerSheet::AskText(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    const Entry e = Take(title, prompt);
    return e.Offered ? defaultText : e.Text;
}

std::optional<std::string> AnswerSheet::PickFile(const std::string& title) {
    if (!m_filesRunOut.empty() && m_entries.find(title) == m_entries.end())
        throw RunStopped(m_filesRunOut);
    return Take(title, title).Text;
}

}  // namespace vortel
