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
    Answer AskYesNoCancel(const std::string& message, const std::string& title) override;
    Answer Notify(const std::string& message, const std::string& title) override;
    std::string AskText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    void Beep() override;

    // Qt's save dialogue, opening on `suggested`; the chosen path, or nothing on a cancel.
    std::optional<std::string> PickSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& suggested);

    // Called with every dialogue just before it runs, so a test can answer it through its real
    // buttons. The dialogue is a QMessageBox, a QInputDialog or a QFileDialog.
    using BeforeShow = std::function<void(QDialog&)>;
    void SetBeforeShow(BeforeShow hook) { m_beforeShow = std::move(hook); }

protected:
    std::optional<std::string> PickFile(const std::string& title) override;

private:
    int Show(QDialog& dialog);

    QPointer<QWidget> m_parent;
    BeforeShow m_beforeShow;
};

}  // namespace vortel::gui
