// The only way the core talks to the user: modal questions, notices, typed answers and the
// open-file dialogue.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vortel {

// Closed: a three-way question was closed (Esc or the window's close button) without any of
// its answers; only AskYesNoCancel gives it, and callers take it as giving up the command.
enum class Answer { Yes, No, Cancel, Ok, Closed };

// A file as the file dialogue hands it on: by its whole path (as given when that cannot be had).
std::string ChosenPath(const std::string& picked);

class Dialogues {
public:
    Dialogues();
    virtual ~Dialogues() = default;

    // Yes or No; callers test for Yes.
    virtual Answer AskYesNo(const std::string& message, const std::string& title) = 0;
    // As AskYesNo, for a message that advises one of the answers: a front end with a default
    // button gives it that answer, so Enter follows the advice. Others ask as AskYesNo does.
    virtual Answer AskYesNoAdvised(const std::string& message, const std::string& title,
                                   Answer advised) {
        (void)advised;
        return AskYesNo(message, title);
    }
    virtual Answer AskYesNoCancel(const std::string& message, const std::string& title) = 0;
    // Shows OK and Cancel; callers ignore the answer.
    virtual Answer Notify(const std::string& message, const std::string& title) = 0;
    // The text entered, or the empty text when the user cancels.
    virtual std::string AskText(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) = 0;
    virtual void Beep() = 0;
    // The output folder cannot take files, for the reason `problem` gives: a front end that can
    // offers to choose another and returns it; nothing when it cannot or the user declines.
    virtual std::optional<std::filesystem::path> ChooseOtherFolder(const std::string& problem) {
        (void)problem;
        return std::nullopt;
    }

    // The dialogue keeps one current file name for the program run: a choice sets it and makes
    // the file's folder the current folder; a cancel keeps the earlier name.
    std::string ChooseOpenFile(const std::string& title);
    // Choice `index` (from 1) of `count` related choices, such as one file per treatment. A
    // front end that can pick several files in one dialogue offers that at the first choice;
    // the files picked there answer the following choices, and a choice left over is asked on
    // its own. A cancel means what it means for ChooseOpenFile.
    std::string ChooseOpenFile(const std::string& title, int index, int count);
    void ClearChosenFile() { m_chosenFile.clear(); }

    // Files given before they are asked for (treatment files dropped on the window): each
    // following choice takes the next of them, as if the user had chosen it.
    void GiveFilesAhead(std::vector<std::string> paths);
    std::size_t FilesAhead() const { return m_filesAhead.size(); }
    const std::vector<std::string>& PathsAhead() const { return m_filesAhead; }
    void ForgetFilesAhead() { m_filesAhead.clear(); }
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
    // Up to `count` files in one dialogue, in the order picked; nothing when the user cancels.
    // Only asked of a front end whose CanPickSeveral() is true.
    virtual bool CanPickSeveral() const { return false; }
    virtual std::optional<std::vector<std::string>> PickFiles(const std::string& title, int count) {
        (void)count;
        auto one = PickFile(title);
        if (!one) return std::nullopt;
        return std::vector<std::string>{*one};
    }

private:
    // Takes the chosen file as the current one.
    void Choose(const std::string& picked);

    std::string m_chosenFile;
    std::vector<std::string> m_filesAhead;
    std::filesystem::path m_currentFolder;
};

}  // namespace vortel
