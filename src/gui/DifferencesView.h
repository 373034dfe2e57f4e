// What the window offers once a test has written its report: the differences figure in the
// chart area, saved as PNG or SVG, and the results exported as CSV tables beside the report.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "report/DifferenceHistogram.h"
#include "report/ResultsCsv.h"
#include "shell/state/AnalysisState.h"

class QGraphicsScene;
class QGraphicsView;
class QToolButton;

namespace vortel::gui {

class QtDialogues;

// The figure in a view of its own that covers the whole of `window` when asked for, its panels
// at full size in as many columns as the width takes, scrolling down; its head holds the key,
// "Back to the grid", "Save as PNG…" and "Save as SVG…". A bar of buttons in `frame`
// (placed by the window) offers "Differences" and "Export results (CSV)…". Both stay hidden
// until a test's results are offered.
class DifferencesView : public QWidget {
    Q_OBJECT
public:
    DifferencesView(QWidget* window, QWidget* frame, QtDialogues& ui);
    ~DifferencesView() override;

    // Keeps what the finished test left (the pairs' histograms, prepared off the window's
    // thread by DifferencesOfPairs; the tables; the report's path), so a later command that
    // reuses the record changes nothing here, and shows the bar.
    void Offer(std::vector<PairDifferences> pairs, const AnalysisState& state);
    // Hides the bar and the figure: another command is starting.
    void Withdraw();
    bool Offered() const { return m_offered; }

    // Shows the figure in place of the grid, or the grid again.
    void ShowFigure(bool shown);
    // Asks where and writes the figure; the format follows the name's ending.
    void SaveFigure(bool svg);
    // Writes both tables beside the report, together or not at all; tables of those names
    // already there are replaced only when the user agrees.
    void ExportCsv();

    // The panels as laid out now, for tests: one chart per pair.
    QGraphicsView* Panels() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Lays the panels out again when the width takes another number of columns.
    void Layout();

    QWidget* m_bar;
    QGraphicsView* m_view;
    QGraphicsView* m_key;
    std::unique_ptr<QGraphicsScene> m_keyScene;
    int m_columns = 0;
    QToolButton* m_toggle;
    QtDialogues& m_ui;
    std::unique_ptr<QGraphicsScene> m_scene;
    std::vector<PairDifferences> m_pairs;
    ResultsCsv m_tables;
    std::string m_report;
    bool m_offered = false;
};

}  // namespace vortel::gui
