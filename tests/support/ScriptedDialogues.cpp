#include "support/ScriptedDialogues.h"

namespace vortel {

namespace {
const char* KindName(DialogueKind kind) {
    switch (kind) {
        case DialogueKind::YesNo:
            return "a yes/no question";
        case DialogueKind::YesNoCancel:
            return "a yes/no/cancel question";
        case DialogueKind::Notify:
            return "a notice";
        case DialogueKind::Text:
            return "a text prompt";
        case DialogueKind::OpenFile:
            return "a file choice";
    }
    return "a dialogue";
}
}  // namespace

ScriptedDialogues& ScriptedDialogues::Yes(DialogueKind kind) {
    return Answer(kind, vortel::Answer::Yes);
}
ScriptedDialogues& ScriptedDialogues::No(DialogueKind kind) {
    return Answer(kind, vortel::Answer::No);
}

ScriptedDialogues& ScriptedDialogues::Answer(DialogueKind kind, vortel::Answer answer) {
    m_replies.push_back({kind, answer, {}, false, false, {}});
    return *this;
}

ScriptedDialogues& ScriptedDialogues::Type(const std::string& text) {
    m_replies.push_back({DialogueKind::Text, vortel::Answer::Ok, text, false, false, {}});
    return *this;
}

ScriptedDialogues& ScriptedDialogues::Pick(const std::string& path) {
    m_replies.push_back({DialogueKind::OpenFile, vortel::Answer::Ok, path, false, false, {}});
    return *this;
}

ScriptedDialogues& ScriptedDialogues::CancelPick() {
    m_replies.push_back({DialogueKind::OpenFile, vortel::Answer::Cancel, {}, true, false, {}});
    return *this;
}

ScriptedDialogues& ScriptedDialogues::PickSeveral(const std::vector<std::string>& paths) {
    m_replies.push_back(
        {DialogueKind::OpenFile, vortel::Answer::Ok, {}, paths.empty(), true, paths});
    return *this;
}

std::vector<std::string> ScriptedDialogues::Notices() const {
    std::vector<std::string> out;
    for (const auto& s : m_log)
        if (s.Kind == DialogueKind::Notify) out.push_back(s.Message);
    return out;
}

ScriptedDialogues::Reply ScriptedDialogues::Take(DialogueKind kind, const std::string& shownText) {
    if (m_replies.empty() || m_replies.front().Kind != kind) {
        throw UnexpectedDialogue{std::string("Unexpected ") + KindName(kind) + ": \"" + shownText +
                                 "\"" +
                                 (m_replies.empty() ? std::string(" (no answer left)")
                                                    : std::string(" (the next answer is for ") +
                                                          KindName(m_replies.front().Kind) + ")")};
    }
    Reply r = m_replies.front();
    m_replies.pop_front();
    return r;
}

vortel::Answer ScriptedDialogues::AskYesNo(const std::string& message, const std::string& title) {
    m_log.push_back({DialogueKind::YesNo, message, title, {}});
    return Take(DialogueKind::YesNo, title).Answer;
}

vortel::Answer ScriptedDialogues::AskYesNoCancel(const std::string& message,
                                                 const std::string& title) {
    m_log.push_back({DialogueKind::YesNoCancel, message, title, {}});
    return Take(DialogueKind::YesNoCancel, title).Answer;
}

vortel::Answer ScriptedDialogues::Notify(const std::string& message, const std::string& title) {
    m_log.push_back({DialogueKind::Notify, message, title, {}});
    return vortel::Answer::Ok;
}

std::string ScriptedDialogues::AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) {
    m_log.push_back({DialogueKind::Text, prompt, title, defaultText});
    return Take(DialogueKind::Text, prompt).Text;
}

std::optional<std::string> ScriptedDialogues::PickFile(const std::string& title) {
    m_log.push_back({DialogueKind::OpenFile, {}, title, {}});
    Reply r = Take(DialogueKind::OpenFile, title);
    if (r.Cancelled) return std::nullopt;
    return r.Text;
}

std::optional<std::vector<std::string>> ScriptedDialogues::PickFiles(const std::string& title,
                                                                     int count) {
    m_log.push_back({DialogueKind::OpenFile, {}, title, std::to_string(count)});
    Reply r = Take(DialogueKind::OpenFile, title);
    if (r.Cancelled) return std::nullopt;
    return r.Paths;
}

}  // namespace vortel
