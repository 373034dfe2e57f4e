// Dialogues answered from a prepared list, for tests and the batch commands. Every dialogue
// shown is recorded with its texts, so a test can check them word for word.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/state/Dialogues.h"

namespace vortel {

enum class DialogueKind { YesNo, YesNoCancel, Notify, Text, OpenFile };

// Thrown when a dialogue comes that the script did not expect. Deliberately not a
// std::exception, so the App's handler does not turn it into a message and a test fails.
struct UnexpectedDialogue {
    std::string What;
};

class ScriptedDialogues : public Dialogues {
public:
    struct Shown {
        DialogueKind Kind;
        std::string Message;  // prompt for texts
        std::string Title;    // dialogue title for files
        std::string Default;
    };

    // Queue the answers in the order the dialogues will come. Notices need no answer.
    ScriptedDialogues& Yes(DialogueKind kind = DialogueKind::YesNo);
    ScriptedDialogues& No(DialogueKind kind = DialogueKind::YesNo);
    ScriptedDialogues& Answer(DialogueKind kind, vortel::Answer answer);
    ScriptedDialogues& Type(const std::string& text);
    ScriptedDialogues& Pick(const std::string& path);
    ScriptedDialogues& CancelPick();
    // Answers the first choice of a series in one dialogue with these files, as the window's
    // multi-select dialogue does; no files stand for its cancel.
    ScriptedDialogues& PickSeveral(const std::vector<std::string>& paths);

    const std::vector<Shown>& Log() const { return m_log; }
    std::vector<std::string> Notices() const;
    bool AllAnswered() const { return m_replies.empty(); }
    int Beeps() const { return m_beeps; }

    vortel::Answer AskYesNo(const std::string& message, const std::string& title) override;
    vortel::Answer AskYesNoCancel(const std::string& message, const std::string& title) override;
    vortel::Answer Notify(const std::string& message, const std::string& title) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    void Beep() override { ++m_beeps; }

protected:
    std::optional<std::string> PickFile(const std::string& title) override;
    bool CanPickSeveral() const override { return !m_replies.empty() && m_replies.front().Several; }
    std::optional<std::vector<std::string>> PickFiles(const std::string& title, int count) override;

private:
    struct Reply {
        DialogueKind Kind;
        vortel::Answer Answer = vortel::Answer::Ok;
        std::string Text;
        bool Cancelled = false;
        bool Several = false;
        std::vector<std::string> Paths;
    };
    Reply Take(DialogueKind kind, const std::string& shownText);

    std::deque<Reply> m_replies;
    std::vector<Shown> m_log;
    int m_beeps = 0;
};

}  // namespace vortel
