#include "gui/QtDialogues.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace vortel::gui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

Answer FromButton(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
    }
}

// Messages are plain lines joined by line feeds; a file name or a value quoted from a file
// that looks like markup must show as typed, with its line breaks.
void Plain(QMessageBox& box) { box.setTextFormat(Qt::PlainText); }

}  // namespace

int QtDialogues::Show(QDialog& dialog) {
    if (m_beforeShow) m_beforeShow(dialog);
    return dialog.exec();
}

Answer QtDialogues::AskYesNo(const std::string& message, const std::string& title) {
    QMessageBox box(QMessageBox::Question, Q(title), Q(message), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    Plain(box);
    const Answer a = FromButton(Show(box));
    return a == Answer::Yes ? Answer::Yes : Answer::No;  // closing the box counts as No
}

Answer QtDialogues::AskYesNoCancel(const std::string& message, const std::string& title) {
    QMessageBox box(QMessageBox::Question, Q(title), Q(message),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    Plain(box);
    box.setEscapeButton(QMessageBox::Cancel);
    return FromButton(Show(box));
}

Answer QtDialogues::Notify(const std::string& message, const std::string& title) {
    QMessageBox box(QMessageBox::Information, Q(title), Q(message),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    Plain(box);
    box.setDefaultButton(QMessageBox::Ok);
    return FromButton(Show(box));
}

std::string QtDialogues::AskText(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(Q(title));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(defaultText));
    if (Show(dialog) != QDialog::Accepted) return {};
    return dialog.textValue().toStdString();
}

void QtDialogues::Beep() { QApplication::beep(); }

std::optional<std::string> QtDialogues::PickFile(const std::string& title) {
    // Qt's own dialogue, so that it looks the same everywhere and a test can drive it; it opens
    // where the last choice was made. Any file may be chosen: no filter.
    QFileDialog dialog(m_parent, Q(title), QString::fromStdString(CurrentFolder().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!ChosenFile().empty()) dialog.selectFile(Q(ChosenFile()));
    if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toStdString();
}

std::optional<std::string> QtDialogues::PickSaveFile(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& suggested) {
    QFileDialog dialog(m_parent, Q(title), Q(suggested), Q(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(Q(suggested));
    if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toStdString();
}

}  // namespace vortel::gui
