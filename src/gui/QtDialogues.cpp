#include "gui/QtDialogues.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "gui/GuiThread.h"

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

// Qt's own file dialogue, so that it looks the same everywhere and a test can drive it; it
// opens where the last choice was made. Any file may be chosen (treatment files have no fixed
// ending); the second filter shows only the CSV tables.
void PrepareOpen(QFileDialog& dialog, const Dialogues& ui) {
    dialog.setDirectory(Q(ui.CurrentFolder().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({"Treatment files and tables (*)", "Tables (*.csv)"});
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!ui.ChosenFile().empty()) dialog.selectFile(Q(ui.ChosenFile()));
}

}  // namespace

int QtDialogues::Show(QDialog& dialog) {
    if (m_closing) return QDialog::Rejected;
    if (m_aroundShow) m_aroundShow(true, dialog.frameGeometry());
    if (m_beforeShow) m_beforeShow(dialog);
    m_open = &dialog;
    const int result = dialog.exec();
    m_open = nullptr;
    const QRect place = dialog.frameGeometry();
    dialog.hide();
    if (m_aroundShow) m_aroundShow(false, place);
    return result;
}

void QtDialogues::CloseEveryDialogue() {
    m_closing = true;
    if (m_open) m_open->reject();
}

Answer QtDialogues::AskYesNoWithDefault(const std::string& message, const std::string& title,
                                        std::optional<Answer> preferred) {
    QMessageBox box(QMessageBox::Question, Q(title), Q(message), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    Plain(box);
    if (preferred)
        box.setDefaultButton(*preferred == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    const Answer a = FromButton(Show(box));
    return a == Answer::Yes ? Answer::Yes : Answer::No;  // closing the box counts as No
}

Answer QtDialogues::AskYesNo(const std::string& message, const std::string& title) {
    if (OffGuiThread()) return OnGuiThread([&] { return AskYesNo(message, title); });
    return AskYesNoWithDefault(message, title, std::nullopt);
}

Answer QtDialogues::AskYesNoAdvised(const std::string& message, const std::string& title,
                                    Answer advised) {
    if (OffGuiThread())
        return OnGuiThread([&] { return AskYesNoAdvised(message, title, advised); });
    return AskYesNoWithDefault(message, title, advised);
}

Answer QtDialogues::AskYesNoCancel(const std::string& message, const std::string& title) {
    if (OffGuiThread()) return OnGuiThread([&] { return AskYesNoCancel(message, title); });
    QMessageBox box(QMessageBox::Question, Q(title), Q(message),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    Plain(box);
    // Cancel is one of the three answers here, so Esc and the close button must not press it:
    // they press a button of their own that is never shown, and the caller gives up.
    QPushButton* away = box.addButton("Close", QMessageBox::RejectRole);
    away->hide();
    box.setEscapeButton(away);
    box.setDefaultButton(QMessageBox::Yes);
    Show(box);
    if (box.clickedButton() == nullptr || box.clickedButton() == away) return Answer::Closed;
    return FromButton(box.standardButton(box.clickedButton()));
}

Answer QtDialogues::Notify(const std::string& message, const std::string& title) {
    if (OffGuiThread()) return OnGuiThread([&] { return Notify(message, title); });
    QMessageBox box(QMessageBox::Information, Q(title), Q(message),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    Plain(box);
    box.setDefaultButton(QMessageBox::Ok);
    return FromButton(Show(box));
}

std::string QtDialogues::AskText(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    if (OffGuiThread()) return OnGuiThread([&] { return AskText(prompt, title, defaultText); });
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(Q(title));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(defaultText));
    // Wide enough for its title, which the window frame would otherwise cut short; the room
    // for the frame's buttons is a guess, and the screen is the limit.
    int width = dialog.fontMetrics().horizontalAdvance(Q(title)) + 160;
    if (const QScreen* screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    // The dialogue's layout sets its least width from its contents, so the typing line holds
    // the width open; asking for the size hint builds that layout first.
    (void)dialog.sizeHint();
    if (auto* line = dialog.findChild<QLineEdit*>()) line->setMinimumWidth(width - 40);
    if (Show(dialog) != QDialog::Accepted) return {};
    return dialog.textValue().toStdString();
}

void QtDialogues::Beep() {
    if (OffGuiThread()) return OnGuiThread([&] { return Beep(); });
    QApplication::beep();
}

std::optional<std::filesystem::path> QtDialogues::ChooseOtherFolder(const std::string& problem) {
    if (OffGuiThread()) return OnGuiThread([&] { return ChooseOtherFolder(problem); });
    const std::string title = "Folder for the results";
    if (AskYesNoWithDefault(problem + "\n\nChoose another folder for the results?", title,
                            Answer::Yes) != Answer::Yes)
        return std::nullopt;
    QFileDialog dialog(m_parent, Q(title), Q(CurrentFolder().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().first().toStdString());
}

std::optional<std::string> QtDialogues::PickFile(const std::string& title) {
    if (OffGuiThread()) return OnGuiThread([&] { return PickFile(title); });
    QFileDialog dialog(m_parent, Q(title));
    PrepareOpen(dialog, *this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toStdString();
}

std::optional<std::vector<std::string>> QtDialogues::PickFiles(const std::string& title,
                                                               int count) {
    if (OffGuiThread()) return OnGuiThread([&] { return PickFiles(title, count); });
    const QString wanted = QString("%1 (up to %2 files at once: hold Ctrl to choose several)")
                               .arg(Q(title))
                               .arg(count);
    for (;;) {
        QFileDialog dialog(m_parent, wanted);
        PrepareOpen(dialog, *this);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        if (files.size() <= count) {
            std::vector<std::string> paths;
            for (const QString& f : files)
                paths.push_back(QFileInfo(f).absoluteFilePath().toStdString());
            return paths;
        }
        QMessageBox box(QMessageBox::Warning, wanted,
                        QString("%1 files were chosen for %2 treatments. Please choose at most %2.")
                            .arg(files.size())
                            .arg(count),
                        QMessageBox::Ok, m_parent);
        Plain(box);
        Show(box);
    }
}

std::optional<std::string> QtDialogues::PickSaveFile(const std::string& title,
                                                     const std::string& filter,
                                                     const std::string& suggested) {
    if (OffGuiThread()) return OnGuiThread([&] { return PickSaveFile(title, filter, suggested); });
    QFileDialog dialog(m_parent, Q(title), Q(suggested), Q(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(Q(suggested));
    if (Show(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toStdString();
}

}  // namespace vortel::gui
