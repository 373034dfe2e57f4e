#include "shell/state/CallServices.h"

#include "shell/base/RunStopped.h"

namespace vortel {

namespace {

[[noreturn]] void Refuse(const std::string& text) { throw RunStopped(text); }

}  // namespace

RequestAnswers::RequestAnswers(std::map<std::string, std::string> answers,
                               const std::filesystem::path& folder)
    : m_answers(std::move(answers)) {
    SetCurrentFolder(folder);
}

Answer RequestAnswers::AskYesNo(const std::string& message, const std::string&) { Refuse(message); }

Answer RequestAnswers::AskYesNoCancel(const std::string& message, const std::string&) {
    Refuse(message);
}

Answer RequestAnswers::Notify(const std::string& message, const std::string&) { Refuse(message); }

std::string RequestAnswers::AskText(const std::string& prompt, const std::string& title,
                                    const std::string&) {
    const auto it = m_answers.find(title);
    if (it == m_answers.end()) Refuse(prompt);
    return it->second;
}

std::optional<std::string> RequestAnswers::PickFile(const std::string& title) { Refuse(title); }

}  // namespace vortel
