// Answers the real Qt dialogues of a command through their own buttons, in the order they come,
// and records the title of each one shown.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

#include "gui/QtDialogues.h"

namespace vortel::gui::test {

class DialogueScript {
public:
    explicit DialogueScript(QtDialogues& ui) {
        ui.SetBeforeShow([this](QDialog& d) { Shown(d); });
    }

    DialogueScript& Press(QMessageBox::StandardButton which) {
        return Then([this, which](QDialog& d) {
            auto* box = qobject_cast<QMessageBox*>(&d);
            if (!box || !box->button(which)) return Wrong(d);
            box->button(which)->click();
        });
    }
    DialogueScript& Yes() { return Press(QMessageBox::Yes); }
    DialogueScript& No() { return Press(QMessageBox::No); }
    // Types into an input box, or with no text accepts what it holds.
    DialogueScript& Type(const QString& text = QString()) {
        return Then([this, text](QDialog& d) {
            auto* input = qobject_cast<QInputDialog*>(&d);
            if (!input) return Wrong(d);
            m_defaults << input->textValue();
            if (!text.isNull()) input->setTextValue(text);
            input->accept();
        });
    }
    DialogueScript& Pick(const QString& path) {
        return Then([this, path](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            if (!files) return Wrong(d);
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
        });
    }

    // Chooses several files in one multi-select dialogue, in this order.
    DialogueScript& PickSeveral(const QStringList& paths) {
        return Then([this, paths](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            if (!files || files->fileMode() != QFileDialog::ExistingFiles) return Wrong(d);
            QStringList quoted;
            for (const QString& p : paths) {
                files->setDirectory(QFileInfo(p).absolutePath());
                quoted << '"' + QFileInfo(p).fileName() + '"';
            }
            files->findChild<QLineEdit*>("fileNameEdit")->setText(quoted.join(' '));
            static_cast<QDialog*>(files)->accept();
        });
    }
    // Any other step: looks at the dialogue and answers it.
    DialogueScript& Then(std::function<void(QDialog&)> step) {
        m_steps.push_back(std::move(step));
        return *this;
    }

    const QStringList& Titles() const { return m_titles; }
    // The text each input box held when it opened.
    const QStringList& Defaults() const { return m_defaults; }
    // Dialogues that came with no answer left, or of another kind than the answer.
    const QStringList& Unexpected() const { return m_unexpected; }
    bool AllUsed() const { return m_steps.empty(); }

private:
    void Wrong(QDialog& d) {
        auto* box = qobject_cast<QMessageBox*>(&d);
        m_unexpected << d.windowTitle() + (box ? ": " + box->text() : QString());
        d.reject();
    }
    void Shown(QDialog& d) {
        m_titles << d.windowTitle();
        if (m_steps.empty()) {
            QTimer::singleShot(0, &d, [this, &d] { Wrong(d); });
            return;
        }
        auto step = std::move(m_steps.front());
        m_steps.pop_front();
        // Runs once the dialogue's own event loop has started.
        QTimer::singleShot(0, &d, [step, &d] { step(d); });
    }

    std::deque<std::function<void(QDialog&)>> m_steps;
    QStringList m_titles, m_defaults, m_unexpected;
};

}  // namespace vortel::gui::test
