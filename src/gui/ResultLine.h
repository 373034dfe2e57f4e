// The line under the display that says where the last command put its files: each file's
// full path, selectable, with a button that opens it and one that opens its folder.
#pragma once

#include <QFrame>
#include <QUrl>
#include <functional>
#include <vector>

#include "shell/state/Window.h"

class QGridLayout;

namespace vortel::gui {

class ResultLine : public QFrame {
    Q_OBJECT
public:
    // Opens a file or folder with the desktop's default program; false when none would. It
    // may also find out later, and then calls CannotOpen() itself.
    using Opener = std::function<bool(const QUrl&)>;

    explicit ResultLine(QWidget* parent = nullptr);

    // The files of a command that ran to its end; none says so.
    void ShowFiles(const std::vector<WrittenFile>& files);
    // A command that was abandoned, with the files it did complete.
    void ShowAbandoned(const QString& reason, const std::vector<WrittenFile>& files);
    // Tests open nothing: they give an opener that records what it was asked to open.
    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    // Says that the desktop could not open `path`, and gives the path to be copied.
    void CannotOpen(const QString& path);

signals:
    void changed();

private:
    void Fill(const QString& heading, const std::vector<WrittenFile>& files, bool failed);
    void Open(const QString& path);
    // The desktop's opener, whose failure is reported once it is known.
    bool OpenWithDesktop(const QUrl& url);

    QGridLayout* m_grid;
    Opener m_opener;
};

}  // namespace vortel::gui
