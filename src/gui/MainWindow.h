// `Form1`, the main window: built from the table of controls, it forwards every click and timer
// tick to the core and runs the two commands through one App.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "gui/DedicationWindow.h"
#include "gui/DifferencesView.h"
#include "gui/QtDialogues.h"
#include "gui/QtWindow.h"
#include "shell/state/App.h"

namespace vortel::gui {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Clock& clock, QWidget* parent = nullptr);
    ~MainWindow() override;

    App& Program() { return m_app; }
    QtDialogues& Ui() { return m_ui; }
    QtWindow& Seam() { return m_window; }
    QTimer& Timer1() { return m_timer; }
    // The dedication window once Quit has shown it.
    DedicationWindow* Vater() const { return m_vater; }
    // The figure and the CSV export of the last test's results.
    DifferencesView* Differences() const { return m_differences; }
    // Runs one command unless another is still running.
    void RunCommand(const Command& command);
    // One tick of Timer1; a tick that comes while a command runs is let go, as the dialogues of
    // a test open event loops of their own.
    void Tick();

signals:
    // The main window or the dedication window was closed: the program ends.
    void endProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Every control of the table, placed on the canvas.
    void Build(QWidget* canvas);
    void Connect();
    void Quit();

    Clock& m_clock;
    QtDialogues m_ui;
    QtWindow m_window;
    App m_app;
    QTimer m_timer;
    QPointer<DedicationWindow> m_vater;
    DifferencesView* m_differences = nullptr;
    bool m_busy = false;
};

}  // namespace vortel::gui
