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

class QScrollArea;
class QToolButton;

namespace vortel::gui {

class QtDialogues;
class SvgView;

// The figure in a view of its own that covers the whole of `window` when asked for: the core's
// drawing (DifferencesFigureSvg) through Qt SVG at full size, scrolling down; its head holds
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
    // Asks where and writes the figure: the drawing's bytes as SVG, or a PNG made from them.
    void SaveFigure(bool svg);
    // Writes both tables beside the report, together or not at all; tables of those names
    // already there are replaced only when the user agrees.
    void ExportCsv();

    // The drawing shown (made when first shown), and the widget that shows it, for tests.
    const std::string& Svg() const { return m_svg; }
    SvgView* Figure() const { return m_figure; }
    QScrollArea* Scroller() const { return m_scroller; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_bar;
    QScrollArea* m_scroller;
    SvgView* m_figure;
    QToolButton* m_toggle;
    QtDialogues& m_ui;
    std::vector<PairDifferences> m_pairs;
    std::string m_svg;
    ResultsCsv m_tables;
    std::string m_report;
    bool m_offered = false;
};

}  // namespace vortel::gui
