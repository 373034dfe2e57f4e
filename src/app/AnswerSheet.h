// The batch commands' dialogues: every answer is written down beforehand against the title of
// the question it answers, so the order in which the core asks does not matter, and a question
// the command line did not foresee stops the command with its own text instead of taking an
// answer meant for another.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/state/Dialogues.h"

namespace vortel {

class AnswerSheet : public Dialogues {
public:
    // Each answer serves its question once: a question asked again (because the answer was
    // refused) finds none and stops the command with the notice that explains the refusal.
    AnswerSheet& Choose(const std::string& title, Answer answer);
    AnswerSheet& Type(const std::string& title, const std::string& text);
    AnswerSheet& Pick(const std::string& title, const std::string& path);
    // Answers the text question of this title with the text it offers.
    AnswerSheet& TakeOffered(const std::string& title);
    // What stops the command when a file is asked for that the command line did not give.
    AnswerSheet& WhenFilesRunOut(const std::string& message);
    // The notices of this title given so far, in order.
    std::vector<std::string> Notices(const std::string& title) const;

    Answer AskYesNo(const std::string& message, const std::string& title) override;
    Answer AskYesNoCancel(const std::string& message, const std::string& title) override;
    // Notices are kept, not shown: a batch command reports only its outcome.
    Answer Notify(const std::string& message, const std::string& title) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    void Beep() override {}

protected:
    std::optional<std::string> PickFile(const std::string& title) override;

private:
    struct Entry {
        Answer Choice = Answer::Ok;
        std::string Text;
        bool Offered = false;
    };
    Entry Take(const std::string& title, const std::string& shownText);

    std::map<std::string, Entry> m_entries;
    std::set<std::string> m_asked;
    std::string m_lastNotice;
    std::string m_filesRunOut;
    std::vector<std::pair<std::string, std::string>> m_notices;
};

}  // namespace vortel
