// The only way the core talks to the user: modal questions, notices, typed answers and the
// open-file dialogue.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vortel {

enum class Answer { Yes, No, Cancel, Ok };

class Dialogues {
public:
    Dialogues();
    virtual ~Dialogues() = default;

    // Yes or No; callers test for Yes.
    virtual Answer AskYesNo(const std::string& message, const std::string& title) = 0;
    virtual Answer AskYesNoCancel(const std::string& message, const std::string& title) = 0;
    // Shows OK and Cancel; callers ignore the answer.
    virtual Answer Notify(const std::string& message, const std::string& title) = 0;
    // The text entered, or the empty text when the user cancels.
    virtual std::string AskText(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) = 0;
    virtual void Beep() = 0;

    // The dialogue keeps one current file name for the program run: a choice sets it and makes
    // the file's folder the current folder; a cancel keeps the earlier name.
    std::string ChooseOpenFile(const std::string& title);
    void ClearChosenFile() { m_chosenFile.clear(); }
    const std::string& ChosenFile() const { return m_chosenFile; }

    // Where output files named without a folder are created.
    const std::filesystem::path& CurrentFolder() const { return m_currentFolder; }
    void SetCurrentFolder(const std::filesystem::path& folder) { m_currentFolder = folder; }
    std::filesystem::path OutputPath(const std::string& name) const {
        return m_currentFolder / name;
    }

protected:
    // The chosen file's path, or nothing when the user cancels.
    virtual std::optional<std::string> PickFile(const std::string& title) = 0;

private:
    std::string m_chosenFile;
    std::filesystem::path m_currentFolder;
};

}  // namespace vortel
