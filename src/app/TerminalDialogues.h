// The dialogue services as prompts on a terminal, for machines without a display.
#pragma once

#include <iosfwd>

#include "shell/state/Dialogues.h"

namespace vortel {

// Standard input ended while a dialogue waited. Not a std::exception, so that no command turns
// it into a message: it ends the program run, and any output file not yet complete is dropped.
struct EndOfInput {};

class TerminalDialogues : public Dialogues {
public:
    TerminalDialogues(std::istream& in, std::ostream& out) : m_in(in), m_out(out) {}

    Answer AskYesNo(const std::string& message, const std::string& title) override;
    Answer AskYesNoCancel(const std::string& message, const std::string& title) override;
    Answer Notify(const std::string& message, const std::string& title) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    void Beep() override;

    // One line of input with its line end removed; throws EndOfInput at the end.
    std::string ReadLine();

protected:
    std::optional<std::string> PickFile(const std::string& title) override;

private:
    void Heading(const std::string& title, const std::string& message);
    // Asks until one of the answers is typed (first letter or whole word, any case).
    Answer Choose(const std::string& choices, bool cancel, bool emptyIsOk);

    std::istream& m_in;
    std::ostream& m_out;
};

}  // namespace vortel
