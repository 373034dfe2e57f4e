#include "gui/ResultLine.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace vortel::gui {

ResultLine::ResultLine(QWidget* parent)
    : QFrame(parent),
      m_grid(new QGridLayout(this)),
      m_opener([this](const QUrl& url) { return OpenWithDesktop(url); }) {
    setObjectName("ResultLine");
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    setAutoFillBackground(true);
    m_grid->setContentsMargins(8, 6, 8, 6);
    m_grid->setHorizontalSpacing(8);
    m_grid->setVerticalSpacing(4);
    m_grid->setColumnStretch(1, 1);
    hide();
}

void ResultLine::ShowFiles(const std::vector<WrittenFile>& files) {
    Fill(files.empty() ? "The command ended without writing a file." : QString(), files, false);
}

void ResultLine::ShowAbandoned(const QString& reason, const std::vector<WrittenFile>& files) {
    // The first line of the message says what stopped it; the message box had the rest.
    Fill("Abandoned: " + reason.section('\n', 0, 0), files, true);
}

void ResultLine::Fill(const QString& heading, const std::vector<WrittenFile>& files, bool failed) {
    while (QLayoutItem* item = m_grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int row = 0;
    if (!heading.isEmpty()) {
        auto* text = new QLabel(heading, this);
        text->setObjectName("ResultMessage");
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (failed) text->setStyleSheet("color: rgb(170, 20, 20);");
        m_grid->addWidget(text, row++, 0, 1, 3);
    }
    QString folder;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const QString path = QDir::toNativeSeparators(QString::fromStdString(files[k].Path));
        const QString role = QString::fromStdString(files[k].Role);
        auto* name = new QLabel(role + ":", this);
        // A read-only line keeps the whole path, lets it be selected and copied, and scrolls
        // where a long one does not fit.
        auto* edit = new QLineEdit(path, this);
        edit->setObjectName(QString("ResultPath%1").arg(k + 1));
        edit->setReadOnly(true);
        edit->setToolTip(path);
        edit->setCursorPosition(static_cast<int>(path.size()));  // a path too long shows its name
        name->setBuddy(edit);
        auto* open = new QPushButton(role == "Report" ? "Open report" : "Open", this);
        open->setObjectName(QString("ResultOpen%1").arg(k + 1));
        open->setToolTip("Open " + QFileInfo(path).fileName() +
                         " with the desktop's program for it");
        if (k == 0) {
            open->setShortcut(QKeySequence("Alt+O"));
            open->setToolTip(open->toolTip() + " (Alt+O)");
        }
        connect(open, &QPushButton::clicked, this, [this, path] { Open(path); });
        m_grid->addWidget(name, row, 0);
        m_grid->addWidget(edit, row, 1);
        m_grid->addWidget(open, row, 2);
        ++row;
        folder = QFileInfo(path).absolutePath();
    }
    if (!folder.isEmpty()) {
        auto* open = new QPushButton("Open folder", this);
        open->setObjectName("ResultOpenFolder");
        open->setToolTip(QDir::toNativeSeparators(folder) + " (Alt+F)");
        open->setShortcut(QKeySequence("Alt+F"));
        connect(open, &QPushButton::clicked, this, [this, folder] { Open(folder); });
        m_grid->addWidget(open, row, 2);
    }
    show();
    raise();
    adjustSize();
    emit changed();
}

void ResultLine::Open(const QString& path) {
    if (!m_opener || !m_opener(QUrl::fromLocalFile(path))) CannotOpen(path);
}

bool ResultLine::OpenWithDesktop(const QUrl& url) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop's own way counts as done once xdg-open has started, whether or not anything
    // opens the file; xdg-open's exit status says whether something did.
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) return false;
    const QString path = url.toLocalFile();
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::finished, this,
            [this, process, path](int code, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit || code != 0) CannotOpen(path);
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, path](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) return;
                process->deleteLater();
                CannotOpen(path);
            });
    process->start(opener, {path});
    return true;
#else
    return QDesktopServices::openUrl(url);
#endif
}

void ResultLine::CannotOpen(const QString& path) {
    auto* box = new QMessageBox(QMessageBox::Warning, "VORTEL",
                                "The desktop could not open\n\n" + path +
                                    "\n\nThe path can be selected here and copied, to open it "
                                    "another way.",
                                QMessageBox::Ok, this);
    box->setObjectName("CannotOpen");
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();  // the window stays usable meanwhile
}

}  // namespace vortel::gui
