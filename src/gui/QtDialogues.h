// The dialogue services on Qt's message boxes, input box and open-file dialogue.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "shell/state/Dialogues.h"

class QDialog;

namespace vortel::gui {

class QtDialogues : public Dialogues {
public:
    explicit QtDialogues(QWidget* parent = nullptr) : m_parent(parent) {}

    Answer AskYesNo(const std::string& message, const std::string& title) override;
    Answer AskYesNoAdvised(const std::string& message, const std::string& title,
                           Answer advised) override;
    Answer AskYesNoCancel(const std::string& message, const std::string& title) override;
    Answer Notify(const std::string& message, const std::string& title) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    void Beep() override;
    // Asks whether to choose another folder, then offers Qt's folder dialogue.
    std::optional<std::filesystem::path> ChooseOtherFolder(const std::string& problem) override;

    // Qt's save dialogue, opening on `suggested`; the chosen path, or nothing on a cancel.
    std::optional<std::string> PickSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& suggested);

    // Called with every dialogue just before it runs, so a test can answer it through its real
    // buttons. The dialogue is a QMessageBox, a QInputDialog or a QFileDialog.
    using BeforeShow = std::function<void(QDialog&)>;
    void SetBeforeShow(BeforeShow hook) { m_beforeShow = std::move(hook); }
    // Called with true as a dialogue opens and with false once it has closed, each time with the
    // dialogue's place on the screen, so the window can say that it waits for an answer and
    // repaint where the dialogue was.
    using AroundShow = std::function<void(bool opening, QRect place)>;
    void SetAroundShow(AroundShow hook) { m_aroundShow = std::move(hook); }

    // The window is closing: the dialogue open now is closed unanswered, as its Esc would, and
    // every later one is closed so before it shows, so the command asking them gives up.
    void CloseEveryDialogue();

protected:
    std::optional<std::string> PickFile(const std::string& title) override;
    bool CanPickSeveral() const override { return true; }
    std::optional<std::vector<std::string>> PickFiles(const std::string& title, int count) override;

private:
    int Show(QDialog& dialog);
    Answer AskYesNoWithDefault(const std::string& message, const std::string& title,
                               std::optional<Answer> preferred);

    QPointer<QWidget> m_parent;
    BeforeShow m_beforeShow;
    AroundShow m_aroundShow;
    QPointer<QDialog> m_open;
    bool m_closing = false;
};

}  // namespace vortel::gui
