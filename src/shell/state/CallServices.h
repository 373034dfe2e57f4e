// What a procedure run as a call (not from a window or a terminal) is given in place of
// dialogues and a window: the few text questions its request answers, and nothing to show.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "shell/state/Dialogues.h"
#include "shell/state/Window.h"

namespace vortel {

// Answers text questions by their titles, from what the request gave. Any other question, a
// yes/no or a file to choose, or a notice (which would say why an answer was refused) stops the
// command with its text rather than waiting for an answer no one will give.
class RequestAnswers final : public Dialogues {
public:
    RequestAnswers(std::map<std::string, std::string> answers, const std::filesystem::path& folder);
    Answer AskYesNo(const std::string& message, const std::string&) override;
    Answer AskYesNoCancel(const std::string& message, const std::string&) override;
    Answer Notify(const std::string& message, const std::string&) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string&) override;
    void Beep() override {}

protected:
    std::optional<std::string> PickFile(const std::string& title) override;

private:
    std::map<std::string, std::string> m_answers;
};

// What a window would show goes nowhere.
class NoWindow final : public Window {
public:
    void SetCaption(const std::string&, const std::string&) override {}
    std::string Caption(const std::string&) const override { return {}; }
    void SetVisible(const std::string&, bool) override {}
    void SetEnabled(const std::string&, bool) override {}
    void SetLook(const std::string&, const Look&) override {}
    Look CurrentLook(const std::string&) const override { return {}; }
    void Redraw(const std::string&) override {}
    void SetGridSize(int, int) override {}
    void SetGridColumnWidth(int, int) override {}
    void SetGridCell(int, int, const std::string&) override {}
    void CentreGridCell(int, int) override {}
    void RedrawGrid() override {}
    void ShowNormalityView(const NormalityData&) override {}
    void SwitchCommands(bool) override {}
};

}  // namespace vortel
