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
#include "shell/state/lifetabl.h"

class QGraphicsScene;
class QGraphicsView;
class QToolButton;

namespace vortel::gui {

class QtDialogues;

// The figure covers `area` of `frame` when asked for; a bar of buttons sits along the area's
// foot: "Differences" (the figure or the grid), "Save as PNG…", "Save as SVG…" and
// "Export results (CSV)…". Both stay hidden until a test's results are offered.
class DifferencesView : public QWidget {
    Q_OBJECT
public:
    DifferencesView(QWidget* frame, const QRect& area, QtDialogues& ui);
    ~DifferencesView() override;

    // Keeps what the finished test left (the pairs' histograms, the tables, the report's path),
    // so a later command that reuses the record changes nothing here, and shows the bar.
    void Offer(const AnalysisState& state);
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

private:
    QWidget* m_bar;
    QGraphicsView* m_view;
    QToolButton* m_toggle;
    QtDialogues& m_ui;
    std::unique_ptr<QGraphicsScene> m_scene;
    std::vector<PairDifferences> m_pairs;
    ResultsCsv m_tables;
    std::string m_report;
    bool m_offered = false;
};

}  // namespace vortel::gui
