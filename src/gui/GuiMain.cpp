#include "gui/GuiMain.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>
#include <cstdio>

#include "gui/MainWindow.h"

namespace vortel::gui {

int RunMainWindow(int& argc, char** argv, const std::string& screenshotPath) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("VORTEL");
    QGuiApplication::setDesktopFileName("vortel");
    QApplication::setWindowIcon(QIcon::fromTheme("vortel"));
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // The program ends when a window closes, not when the last one is merely hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    MainWindow window(clock);
    QObject::connect(&window, &MainWindow::endProgram, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();

    if (!screenshotPath.empty()) {
        // As the window looks after its first tick, with the clock showing, at its full size
        // whatever the screen.
        window.resize(MainWindow::DesignSize());
        window.Tick();
        QApplication::processEvents();
        const QString path = QString::fromStdString(screenshotPath);
        if (!window.grab().save(path, "PNG")) {
            std::fprintf(stderr, "vortel: could not save the picture to %s\n",
                         screenshotPath.c_str());
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}

}  // namespace vortel::gui
