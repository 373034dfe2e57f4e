#include "app/TerminalDialogues.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

namespace vortel {
namespace {

// Typed at a text or file prompt, it stands for the dialogue's Cancel button.
constexpr const char* CancelWord = ":cancel";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string TerminalDialogues::ReadLine() {
    m_out.flush();
    std::string line;
    if (!std::getline(m_in, line)) throw EndOfInput{};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void TerminalDialogues::Heading(const std::string& title, const std::string& message) {
    m_out << "\n== " << title << " ==\n";
    if (!message.empty()) m_out << message << (message.back() == '\n' ? "" : "\n");
}

Answer TerminalDialogues::Choose(const std::string& choices, bool cancel, bool emptyIsOk) {
    for (;;) {
        m_out << choices << " ";
        const std::string answer = Lower(Trimmed(ReadLine()));
        if (answer.empty() && emptyIsOk) return Answer::Ok;
        if (answer == "y" || answer == "yes") return Answer::Yes;
        if (answer == "n" || answer == "no") return Answer::No;
        if (answer == "o" || answer == "ok") return Answer::Ok;
        if (cancel && (answer == "c" || answer == "cancel")) return Answer::Cancel;
    }
}

Answer TerminalDialogues::AskYesNo(const std::string& message, const std::string& title) {
    Heading(title, message);
    for (;;) {
        const Answer a = Choose("(Y)es / (N)o?", false, false);
        if (a != Answer::Ok) return a;
    }
}

Answer TerminalDialogues::AskYesNoCancel(const std::string& message, const std::string& title) {
    Heading(title, message);
    for (;;) {
        const Answer a = Choose("(Y)es / (N)o / (C)ancel?", true, false);
        if (a != Answer::Ok) return a;
    }
}

Answer TerminalDialogues::Notify(const std::string& message, const std::string& title) {
    Heading(title, message);
    for (;;) {
        const Answer a = Choose("(O)K / (C)ancel [OK]?", true, true);
        if (a == Answer::Ok || a == Answer::Cancel) return a;
    }
}

std::string TerminalDialogues::AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) {
    Heading(title, prompt);
    m_out << "[" << defaultText << "] (Enter keeps it; " << CancelWord << " cancels): ";
    const std::string answer = ReadLine();
    if (answer == CancelWord) return {};
    return answer.empty() ? defaultText : answer;
}

void TerminalDialogues::Beep() { m_out << '\a'; }

std::optional<std::string> TerminalDialogues::PickFile(const std::string& title) {
    Heading(title, "");
    for (;;) {
        m_out << "File (" << CancelWord << " cancels): ";
        const std::string answer = Trimmed(ReadLine());
        if (answer == CancelWord) return std::nullopt;
        // Like the open-file dialogue, only a file that exists can be chosen, and a bare name
        // is looked for where the last choice was made.
        std::filesystem::path path = answer;
        if (path.is_relative()) path = CurrentFolder() / path;
        std::error_code ec;
        if (!answer.empty() && std::filesystem::is_regular_file(path, ec)) return path.string();
        m_out << "No such file: " << answer << "\n";
    }
}

}  // namespace vortel
