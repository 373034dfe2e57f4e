// "For the paper": what goes into a manuscript from the last test, in a view of its own over the
// window: the treatment table (PaperTableOf) and the means figure (MeansFigureSvg), copied to the
// clipboard or saved in the format a file's ending names.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "cartesian/result/CartesianResult.h"
#include "report/MeansFigure.h"
#include "report/PaperTable.h"

class QAbstractButton;
class QSpinBox;
class QTextBrowser;

namespace vortel::gui {

class DifferencesView;
class QtDialogues;
class SvgView;

// Covers the whole of `window` when shown; its button "For the paper…" goes into `bar` (the
// results bar, beside Differences…), which shows and hides with the results. Showing it closes
// `differences`, the other view over the window, and that view's showing closes this one.
class PaperView : public QWidget {
    Q_OBJECT
public:
    PaperView(QWidget* window, QWidget* bar, DifferencesView* differences, QtDialogues& ui);
    ~PaperView() override;

    // Keeps the finished test's result and its report's path (the saved files' names follow
    // it); the decimals start at the table's own choice.
    void Offer(CartesianResult result, std::string report);
    // Hides the view: another command is starting.
    void Withdraw();
    bool Offered() const { return m_offered; }

    void ShowView(bool shown);
    // The table on the clipboard as HTML (for a word processor) and as plain text (Markdown).
    void CopyTable();
    // The figure on the clipboard as a picture and as SVG.
    void CopyFigure();
    // Ask where, then write: the table as .csv, .md, .html or .tex, the figure as .svg or .png,
    // as the name's ending says.
    void SaveTable();
    void SaveFigure();

    // What the view shows now, for tests.
    std::string Table(PaperFormat format) const;
    const std::string& FigureSvg() const { return m_svg; }
    MeansFigureOptions FigureOptions() const;
    QTextBrowser* TableView() const { return m_table; }
    QSpinBox* Decimals() const { return m_decimals; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Draws the table and the figure again after a setting changed.
    void Redraw();
    // The name the user picked, with the suggested name's ending when none was typed; nothing
    // when cancelled.
    std::optional<std::string> PickName(const char* title, const char* filter,
                                        const char* suggestedEnding);

    QtDialogues& m_ui;
    DifferencesView* m_differences;
    QAbstractButton* m_open;
    QTextBrowser* m_table;
    SvgView* m_figure;
    QSpinBox* m_decimals;
    QAbstractButton* m_bars;
    QAbstractButton* m_double;
    CartesianResult m_result;
    std::string m_report;
    std::string m_svg;
    bool m_offered = false;
};

}  // namespace vortel::gui
