#include <algorithm>
#include <atomic>
#include <csignal>
#include <iostream>
#include <map>
#include <optional>
#include <vector>

#include "app/Commands.h"
#include "app/TerminalDialogues.h"
#include "app/TerminalPaper.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/Controls.h"
#include "shell/mainwindow/Form1.h"
#include "shell/mainwindow/Greetings.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "sortcount/SortForBootstrapResults.h"

namespace vortel {
namespace {

// The main window as lines on the terminal: what the window would redraw at once (the status
// and progress labels, the end line, the grid) is printed when it changes.
class PrintingWindow : public HeadlessWindow {
public:
    explicit PrintingWindow(std::ostream& out) : m_out(out) {}

    void Redraw(const std::string& control) override {
        HeadlessWindow::Redraw(control);
        if (control == "Label2" || control == "Label6" || control == "lblBootBegin")
            PrintIfNew(control);
    }
    void SetCaption(const std::string& control, const std::string& text) override {
        HeadlessWindow::SetCaption(control, text);
        if (!m_live) return;
        if (control == "lblBootEnd") PrintIfNew(control);
        if (control == "txtDatafile") m_out << text << "\n";
    }
    // From now on changes are printed; the design captions and start-up are not.
    void GoLive() { m_live = true; }
    void RedrawGrid() override {
        HeadlessWindow::RedrawGrid();
        std::size_t width = 4;
        for (const auto& row : Grid())
            for (const auto& cell : row) width = std::max(width, cell.size() + 2);
        m_out << "\n";
        for (const auto& row : Grid()) {
            for (const auto& cell : row) m_out << std::string(width - cell.size(), ' ') << cell;
            m_out << "\n";
        }
    }
    void ShowNormalityView(const NormalityData& data) override {
        HeadlessWindow::ShowNormalityView(data);
        m_out << "The frequency chart needs the window: vortel sortcount --chart FILE.png draws "
                 "it into a picture.\n";
    }

private:
    // Prints the lines of the caption from the first one that changed, so that a status
    // label that only gains a progress line prints just that line.
    void PrintIfNew(const std::string& control) {
        if (!m_live) return;
        const std::vector<std::string> now = Lines(Caption(control));
        const std::vector<std::string> before = Lines(m_printed[control]);
        m_printed[control] = Caption(control);
        std::size_t same = 0;
        while (same < now.size() && same < before.size() && now[same] == before[same]) ++same;
        for (std::size_t k = same; k < now.size(); ++k) m_out << now[k] << "\n";
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

    std::ostream& m_out;
    std::map<std::string, std::string> m_printed;
    bool m_live = false;
};

// The program whose command Ctrl+C stops; none outside a command.
std::atomic<App*> g_stoppable{nullptr};
static_assert(std::atomic<App*>::is_always_lock_free);

// A signal handler may only touch lock-free atomics: it sets the command's stop token.
extern "C" void StopOnInterrupt(int) {
    if (App* app = g_stoppable.load()) app->RequestStop();
}

// Runs one command with Ctrl+C as its Stop; outside a command Ctrl+C ends the program as
// before. A stopped command says so and the menu comes back. True when the command ran to its
// end.
bool RunStoppable(App& app, PrintingWindow& window, const Command& command) {
    g_stoppable.store(&app);
    const auto previous = std::signal(SIGINT, StopOnInterrupt);
    const bool ran = app.Run(command);
    // No handler sees the program once it is taken back; one that ran after the command ended
    // stopped nothing, and its request must not stop the next command.
    g_stoppable.store(nullptr);
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    app.DropLateStop();
    // A test stopped halfway has not given the commands back.
    if (app.LastStopped()) window.SwitchCommands(true);
    return ran;
}

constexpr const char* Help =
    "Commands: Q  Cartesian paired test (\"Q. CartesianPT\")\n"
    "          N  sort, count and normality (\"N. Sort, norm.\")\n"
    "          L6 click the clock label: enables every command, Quit included\n"
    "          Quit  close all files, show the dedication and end\n"
    "          Close end at once, as closing the window does; so does the end of input\n"
    "Ctrl+C stops a running test (nothing is written) and comes back here.\n";
// Told on asking for help; the start-up lines stay as they were.
constexpr const char* PaperHelp =
    "          P  after a test: its treatments' table and means figure for a paper, as files\n"
    "             beside the report\n";

}  // namespace

int RunTerminal() {
    std::ostream& out = std::cout;
    TerminalDialogues ui(std::cin, out);
    PrintingWindow window(out);
    SystemClock clock;
    App app(ui, window, clock);
    ApplyDesign(window);
    StartUpWindow(app.State(), app.Seams());

    out << Form1Caption << "\n\n" << window.Caption("Label12") << "\n\n";
    if (const std::string quotation = window.Caption("Label4"); !quotation.empty())
        out << quotation << "\n\n";
    out << CommandOverview() << "\n" << Help;
    window.GoLive();
    // The result of the last test that wrote its report, for P; prepared while the test runs,
    // kept only once it has ended.
    std::optional<CartesianResult> prepared;
    std::optional<PaperSource> paper;
    app.Seams().resultsReady = [&prepared](const Treatments& treatments, const TestResults& results,
                                           const PairScratch& work) {
        prepared = CartesianResultOf(treatments, results, work);
    };

    try {
        for (;;) {
            TickClock(app.State(), window, clock);
            out << "\n> ";
            std::string command = ui.ReadLine();
            command.erase(0, command.find_first_not_of(" \t"));
            command.erase(command.find_last_not_of(" \t") + 1);
            std::transform(command.begin(), command.end(), command.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            auto enabled = [&window](const char* button) {
                return window.State(button).Enabled && window.State(button).Visible;
            };
            if (command.empty()) continue;
            if (command == "Q") {
                prepared.reset();
                if (RunStoppable(app, window, AskAndRunCartesianTest) && prepared)
                    paper = PaperSource{std::move(*prepared), app.State().ResultFileName};
                prepared.reset();
            } else if (command == "P") {
                if (paper)
                    AskAndWritePaperFiles(ui, out, *paper);
                else
                    out << "No test has written its report yet; Q runs one.\n";
            } else if (command == "N") {
                if (enabled("cmdGeneralNormalTest"))
                    RunStoppable(app, window, AskAndRunSortCount);
                else
                    out << "\"N. Sort, norm.\" is disabled; L6 enables it.\n";
            } else if (command == "L6") {
                EnableEveryCommand(window);
                out << "Every command is enabled.\n";
            } else if (command == "QUIT") {
                if (!enabled("Command1")) {
                    out << "Quit is disabled; L6 enables it, or Close ends the program.\n";
                    continue;
                }
                QuitMainWindow(app);
                out << "\n== Dedication ==\n"
                    << DedicationQuotation(clock, app.Generator()) << "\n";
                return 0;
            } else if (command == "CLOSE") {
                break;
            } else if (command == "HELP" || command == "?") {
                out << Help << PaperHelp;
            } else {
                out << "Unknown command \"" << command << "\".\n" << Help;
            }
        }
    } catch (const EndOfInput&) {
        out << "\n";
    }
    app.CloseAllFiles();
    return 0;
}

}  // namespace vortel
