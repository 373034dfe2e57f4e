// `Form1`, the main window: built from the table of controls, it forwards every click and timer
// tick to the core and runs the two commands through one App.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <optional>
#include <vector>

#include "gui/DedicationWindow.h"
#include "gui/DifferencesView.h"
#include "gui/PaperView.h"
#include "gui/QtDialogues.h"
#include "gui/QtWindow.h"
#include "gui/ResultLine.h"
#include "shell/mainwindow/App.h"

class QMimeData;
class QPushButton;
class QTableWidget;

namespace vortel::gui {

// The window's size on a screen of `available` room: the design size where it fits, less
// where it does not (the controls then scroll), leaving room for the window's frame.
QSize FittedWindowSize(QSize design, QRect available);
// Where a window of `size` goes to stand centred on `over`, kept inside `screen`.
QPoint CentredTopLeft(QRect over, QSize size, QRect screen);
// The comparison grid as tab-separated lines, cells without their padding blanks, for pasting
// into a spreadsheet.
QString GridText(const QTableWidget& grid);

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Clock& clock, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The size the controls are designed for.
    static QSize DesignSize();

    App& Program() { return m_app; }
    QtDialogues& Ui() { return m_ui; }
    QtWindow& Seam() { return m_window; }
    QTimer& Timer1() { return m_timer; }
    ResultLine& Results() { return *m_results; }
    // The dedication window once Quit has shown it.
    DedicationWindow* Vater() const { return m_vater; }
    // The figure and the CSV export of the last test's results.
    DifferencesView* Differences() const { return m_differences; }
    // The table and the means figure of the last test, for a manuscript.
    PaperView* Paper() const { return m_paper; }
    // Runs one command unless another is still running. The command runs on a worker thread
    // while this one keeps the window alive; returns once the command has ended.
    void RunCommand(const Command& command);
    // Asks the running command to stop (the Stop button, Esc); nothing if none runs.
    void StopCommand();
    bool Busy() const { return m_busy; }
    // A Cartesian paired test with these treatment files, in this order; the questions about
    // the test are still asked.
    void StartTestWith(const QStringList& files);
    // One tick of Timer1; a tick that comes while a command runs is let go, as the dialogues of
    // a test open event loops of their own.
    void Tick();

signals:
    // The main window or the dedication window was closed: the program ends.
    void endProgram();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Every control of the table, placed on the canvas.
    void Build(QWidget* canvas);
    void Connect();
    void Quit();
    // Runs the command on a worker and spins this thread's event loop until it ends.
    bool RunOffGuiThread(const Command& command);
    // Gives the room beyond the design size to the display frame and keeps the right column
    // at the right edge.
    void ArrangeCanvas();
    // Places the chart below the grid and the result line at the foot of the display frame,
    // so that none covers another.
    void ArrangeDisplay();
    // Takes the previous command's results off the display, and the start-up's overview.
    void ClearDisplay();
    // While a question waits during a command, the status label says so instead of asking not
    // to be touched; the window is repainted where a dialogue was.
    void AroundDialogue(bool opening, QRect place);
    // Tab goes from the grid to the results' buttons and the result line's paths and buttons.
    void ChainResultControls();
    // On the command's thread, once a test's report code is answered: the figure's data,
    // computed there so the window stays free and a stop still writes nothing.
    void PrepareResults(const Treatments& treatments, const TestResults& results,
                        const PairScratch& work);
    // Treatment files a drop brings, or nothing when it brings something else.
    QStringList DroppedTreatmentFiles(const QMimeData* data) const;

    Clock& m_clock;
    QtDialogues m_ui;
    QtWindow m_window;
    App m_app;
    QTimer m_timer;
    QPointer<DedicationWindow> m_vater;
    QWidget* m_canvas = nullptr;
    ResultLine* m_results = nullptr;
    DifferencesView* m_differences = nullptr;
    PaperView* m_paper = nullptr;
    QPushButton* m_stopButton = nullptr;
    // Read by the worker too (a command that tries to start another).
    std::atomic<bool> m_busy{false};
    bool m_closeWhenDone = false, m_quitWhenDone = false;
    int m_dialogueDepth = 0;
    QString m_waitingCaption;  // the status caption a dialogue covers
    // What PrepareResults left for the window's thread; read once the worker has ended.
    std::optional<std::vector<PairDifferences>> m_preparedPairs;
    std::optional<CartesianResult> m_preparedResult;
};

}  // namespace vortel::gui
