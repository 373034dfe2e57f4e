#include <cstdio>
#include <cstdlib>

#include "app/Commands.h"

#ifdef VORTEL_WITH_GUI
#include <QByteArray>
#include <QtGlobal>

#include "gui/GuiMain.h"
#endif

namespace vortel {
#ifdef VORTEL_WITH_GUI
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Only X11 and Wayland say through the environment whether there is a screen; Windows and
// macOS always have one.
bool HasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

}  // namespace
#endif

int RunWindow(int argc, char** argv, const std::string& screenshotPath) {
#ifdef VORTEL_WITH_GUI
    if (!screenshotPath.empty()) {
        // A picture needs no screen.
        if (!Set("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    } else if (!HasDisplay()) {
        std::fputs(
            "vortel: no display to open the window on.\n"
            "Run the same program in this terminal with:  vortel --terminal\n"
            "or one command at a time with:               vortel cartesian ... / vortel "
            "sortcount ...\n"
            "(vortel --help lists them).\n",
            stderr);
        return 1;
    }
    return gui::RunMainWindow(argc, argv, screenshotPath);
#else
    (void)argc;
    (void)argv;
    (void)screenshotPath;
    std::fputs(
        "This build of vortel has no window. Use vortel --terminal or the batch commands "
        "(vortel --help).\n",
        stderr);
    return 1;
#endif
}

}  // namespace vortel
