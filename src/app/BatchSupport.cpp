#include "app/BatchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef VORTEL_WITH_GUI
#include <QApplication>
#endif

namespace vortel {

#ifdef VORTEL_WITH_GUI
namespace {

std::string& DrawingCommand() {
    static std::string command;
    return command;
}

void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // Notes of the offscreen platform (no runtime folder, no window sizes) are no news to a
    // batch user; real failures still show.
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "vortel %s: %s\n", DrawingCommand().c_str(),
                     message.toLocal8Bit().constData());
}

}  // namespace

void DrawWithoutDisplay(const std::string& command, const std::function<void()>& draw) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    DrawingCommand() = command;
    qInstallMessageHandler(QuietQt);
    static int argc = 1;
    static char name[] = "vortel";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    draw();
}
#endif

int UsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "vortel %s: %s; see vortel --help\n", command.c_str(), message.c_str());
    return ExitUsage;
}

int Refused(const std::string& command, const std::string& message) {
    std::string oneLine = message;
    for (char& c : oneLine)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "vortel %s: %s\n", command.c_str(), oneLine.c_str());
    return ExitRefused;
}

std::optional<std::string> InputFileProblem(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return "there is no such file";
    if (fs::is_directory(status)) return "it is a folder, not a file";
    if (!fs::is_regular_file(status)) return "it is not a regular file";
    if (!std::ifstream(path, std::ios::binary)) return "it cannot be opened for reading";
    return std::nullopt;
}

}  // namespace vortel
