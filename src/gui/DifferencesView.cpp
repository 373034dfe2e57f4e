#include "gui/DifferencesView.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QToolButton>
#include <cctype>
#include <filesystem>

#include "gui/DifferencesFigure.h"
#include "gui/QtDialogues.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"

namespace vortel::gui {
namespace {

constexpr int BarHeight = 30;
constexpr const char* ExportTitle = "Export results (CSV)";

// Scales the figure to the view, whatever the number of panels.
class FittingView : public QGraphicsView {
public:
    using QGraphicsView::QGraphicsView;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QGraphicsView::resizeEvent(event);
        if (scene()) fitInView(scene()->sceneRect(), Qt::KeepAspectRatio);
    }
};

}  // namespace

DifferencesView::DifferencesView(QWidget* frame, const QRect& area, QtDialogues& ui)
    : QWidget(frame), m_ui(ui) {
    setObjectName("DifferencesView");
    setGeometry(area.x(), area.y(), area.width(), area.height() - BarHeight - 4);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new FittingView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setBackgroundBrush(Qt::white);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_view);
    hide();

    m_bar = new QWidget(frame);
    m_bar->setObjectName("ResultsBar");
    m_bar->setGeometry(area.x(), area.bottom() - BarHeight, area.width(), BarHeight);
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(0, 0, 0, 0);
    // Tool buttons: they act on the results shown, they are not commands of the window.
    auto button = [this, row](const char* name, const QString& text) {
        auto* b = new QToolButton(m_bar);
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setObjectName(name);
        row->addWidget(b);
        return b;
    };
    m_toggle = button("ShowDifferences", "Differences");
    m_toggle->setCheckable(true);
    auto* png = button("SaveDifferencesPng", QString::fromUtf8("Save as PNG\u2026"));
    auto* svg = button("SaveDifferencesSvg", QString::fromUtf8("Save as SVG\u2026"));
    row->addStretch();
    auto* csv = button("ExportResultsCsv", QString::fromUtf8("Export results (CSV)\u2026"));
    connect(m_toggle, &QToolButton::toggled, this, &DifferencesView::ShowFigure);
    connect(png, &QToolButton::clicked, this, [this] { SaveFigure(false); });
    connect(svg, &QToolButton::clicked, this, [this] { SaveFigure(true); });
    connect(csv, &QToolButton::clicked, this, &DifferencesView::ExportCsv);
    m_bar->setEnabled(false);
    m_bar->hide();
}

DifferencesView::~DifferencesView() = default;

void DifferencesView::Offer(const AnalysisState& state) {
    m_pairs = DifferencesOfPairs(state);
    m_tables = ResultsCsvOf(state);
    m_report = state.ResultFileName;
    m_view->setScene(nullptr);
    m_scene.reset();
    m_offered = true;
    m_bar->setEnabled(true);
    m_bar->show();
    m_bar->raise();
}

void DifferencesView::Withdraw() {
    m_offered = false;
    m_toggle->setChecked(false);
    hide();
    m_bar->setEnabled(false);
    m_bar->hide();
}

void DifferencesView::ShowFigure(bool shown) {
    if (m_toggle->isChecked() != shown) m_toggle->setChecked(shown);  // comes back here
    if (!shown || !m_offered) {
        hide();
        return;
    }
    if (!m_scene) {
        m_scene = CreateDifferencesScene(m_pairs);
        m_view->setScene(m_scene.get());
    }
    show();
    raise();
    m_view->fitInView(m_scene->sceneRect(), Qt::KeepAspectRatio);
}

void DifferencesView::SaveFigure(bool svg) {
    if (!m_offered) return;
    namespace fs = std::filesystem;
    fs::path suggested = m_report;
    suggested.replace_extension();
    suggested += svg ? " differences.svg" : " differences.png";
    const auto chosen = m_ui.PickSaveFile(
        svg ? "Save the differences as SVG" : "Save the differences as PNG",
        svg ? "SVG pictures (*.svg)" : "PNG pictures (*.png)", suggested.string());
    if (!chosen) return;
    std::string path = *chosen;
    const std::string ending = svg ? ".svg" : ".png";
    // The format follows the name, so a name typed without its ending gets it.
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ending) path += ending;
    try {
        SaveDifferencesFigure(m_pairs, path);
    } catch (const std::exception& e) {
        m_ui.Notify(e.what(), "VORTEL");
    }
}

void DifferencesView::ExportCsv() {
    if (!m_offered) return;
    const ResultsCsvPaths paths = ResultsCsvPathsFor(m_report);
    std::error_code ec;
    if (std::filesystem::exists(paths.Pairs, ec) || std::filesystem::exists(paths.Treatments, ec)) {
        const std::string message = "Files of these names are already beside the report:\n" +
                                    paths.Pairs.string() + "\n" + paths.Treatments.string() +
                                    "\n\nReplace them?";
        if (m_ui.AskYesNo(message, ExportTitle) != Answer::Yes) return;
    }
    try {
        OutputSet files;
        WriteResultsCsv(m_tables, paths, files);
        files.CommitAll();
    } catch (const std::exception& e) {
        m_ui.Notify(e.what(), ExportTitle);
        return;
    }
    m_ui.Notify(
        "The results are written to:\n" + paths.Pairs.string() + "\n" + paths.Treatments.string(),
        ExportTitle);
}

}  // namespace vortel::gui
