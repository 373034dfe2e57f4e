#include "gui/DifferencesView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <cctype>
#include <filesystem>

#include "gui/DifferencesFigure.h"
#include "gui/QtDialogues.h"
#include "gui/SvgView.h"
#include "report/DifferencesSvg.h"
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
    // The drawing at its own size, as the page shows it; the view scrolls through the rows.
    m_scroller = new QScrollArea(this);
    m_scroller->setObjectName("DifferencesPanels");
    m_scroller->setBackgroundRole(QPalette::Base);
    m_scroller->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_figure = new SvgView(SvgView::Size::Own);
    m_figure->setObjectName("DifferencesFigure");
    m_scroller->setWidget(m_figure);
    layout->addWidget(m_scroller, 1);
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
    m_svg.clear();  // drawn when first shown
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
    if (m_svg.empty()) {
        m_svg = DifferencesFigureSvg(m_pairs);
        m_figure->Load(m_svg);
    }
    setGeometry(parentWidget()->rect());
    show();
    raise();
    m_scroller->setFocus();
}

bool DifferencesView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == parentWidget() && !isHidden())
        setGeometry(parentWidget()->rect());
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
        if (m_svg.empty()) m_svg = DifferencesFigureSvg(m_pairs);
        SaveDifferencesFigure(m_svg, path);
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
