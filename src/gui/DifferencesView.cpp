#include "gui/DifferencesView.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
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

}  // namespace

DifferencesView::DifferencesView(QWidget* window, QWidget* frame, QtDialogues& ui)
    : QWidget(window), m_ui(ui) {
    setObjectName("DifferencesView");
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);
    // Tool buttons: they act on the results shown, they are not commands of the window.
    auto button = [](QWidget* parent, QHBoxLayout* row, const char* name, const QString& text) {
        auto* b = new QToolButton(parent);
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setObjectName(name);
        row->addWidget(b);
        return b;
    };
    auto* head = new QHBoxLayout;
    auto* back = button(this, head, "HideDifferences", "Back to the grid");
    back->setShortcut(Qt::Key_Escape);
    auto* title = new QLabel("Cartesian differences of each pair", this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    head->addWidget(title);
    head->addStretch();
    auto* png = button(this, head, "SaveDifferencesPng", QString::fromUtf8("Save as PNG\u2026"));
    auto* svg = button(this, head, "SaveDifferencesSvg", QString::fromUtf8("Save as SVG\u2026"));
    layout->addLayout(head);
    // The key stays in sight while the panels scroll under it.
    m_key = new QGraphicsView(this);
    m_key->setObjectName("DifferencesKey");
    m_key->setFrameShape(QFrame::NoFrame);
    m_key->setFixedHeight(KeyHeight + 2);
    m_key->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_key->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_key->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_key->setBackgroundBrush(Qt::white);
    layout->addWidget(m_key);
    m_view = new QGraphicsView(this);
    m_view->setObjectName("DifferencesPanels");
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setBackgroundBrush(Qt::white);
    m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Showing or resizing the view keeps the panels where they are rather than centring them.
    m_view->setTransformationAnchor(QGraphicsView::NoAnchor);
    m_view->viewport()->installEventFilter(this);
    layout->addWidget(m_view, 1);
    window->installEventFilter(this);
    hide();

    m_bar = new QWidget(frame);
    m_bar->setObjectName("ResultsBar");
    m_bar->resize(frame->width(), BarHeight);
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_toggle = button(m_bar, row, "ShowDifferences", QString::fromUtf8("Differences\u2026"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip("Every pair's Cartesian differences, in a view of their own (Alt+D)");
    m_toggle->setShortcut(QKeySequence("Alt+D"));
    row->addStretch();
    auto* csv =
        button(m_bar, row, "ExportResultsCsv", QString::fromUtf8("Export results (CSV)\u2026"));
    csv->setToolTip("Both tables of the results as CSV files beside the report (Alt+E)");
    csv->setShortcut(QKeySequence("Alt+E"));
    connect(m_toggle, &QToolButton::toggled, this, &DifferencesView::ShowFigure);
    connect(back, &QToolButton::clicked, this, [this] { ShowFigure(false); });
    connect(png, &QToolButton::clicked, this, [this] { SaveFigure(false); });
    connect(svg, &QToolButton::clicked, this, [this] { SaveFigure(true); });
    connect(csv, &QToolButton::clicked, this, &DifferencesView::ExportCsv);
    m_bar->setEnabled(false);
    m_bar->hide();
}

DifferencesView::~DifferencesView() = default;

void DifferencesView::Offer(std::vector<PairDifferences> pairs, const AnalysisState& state) {
    m_pairs = std::move(pairs);
    m_tables = ResultsCsvOf(state, state, state);
    m_report = state.ResultFileName;
    m_view->setScene(nullptr);
    m_scene.reset();
    m_key->setScene(nullptr);
    m_keyScene.reset();
    m_columns = 0;
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
    if (!m_keyScene) {
        m_keyScene = CreateDifferencesKey(
            m_pairs.empty() ? DifferenceBins
                            : static_cast<int>(m_pairs.front().Histogram.Counts.size()));
        m_key->setScene(m_keyScene.get());
    }
    setGeometry(parentWidget()->rect());
    show();
    raise();
    layout()->activate();  // the panels' view has its size now, so the columns fit it
    Layout();
    m_view->setFocus();
}

void DifferencesView::Layout() {
    if (isHidden() || !m_offered) return;
    // Panels at full size, so every title, tick and line reads; the width decides how many go
    // to a row, and the view scrolls down through the rows.
    const int width = m_view->viewport()->width();
    const int columns = std::max(1, std::min(width / PanelWidth, static_cast<int>(m_pairs.size())));
    if (m_scene && columns == m_columns) return;
    m_columns = columns;
    m_view->setScene(nullptr);
    m_scene = CreateDifferencesScene(m_pairs, columns, false);
    m_view->setScene(m_scene.get());
    // The first pair first.
    m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->minimum());
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->minimum());
}

bool DifferencesView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == parentWidget() && !isHidden())
            setGeometry(parentWidget()->rect());
        else if (watched == m_view->viewport())
            Layout();
    }
    return QWidget::eventFilter(watched, event);
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
        // Enter keeps them: a table may have been edited since it was written.
        if (m_ui.AskYesNoAdvised(message, ExportTitle, Answer::No) != Answer::Yes) return;
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
