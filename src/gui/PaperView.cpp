#include "gui/PaperView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <cctype>
#include <filesystem>

#include "gui/DifferencesView.h"
#include "gui/QtDialogues.h"
#include "gui/SvgPicture.h"
#include "gui/SvgView.h"
#include "report/PaperTable.h"
#include "shell/base/OutputFile.h"

namespace vortel::gui {
namespace {

constexpr const char* Title = "For the paper";
// Resolution of a saved PNG figure: what journals ask of line art with text.
constexpr int FigureDpi = 600;
// The picture the clipboard gets: sharp in a document, small enough to paste at once.
constexpr int ClipboardDpi = 300;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The table's HTML as Qt's rich text reads it: a length in points (a cell's padding, the
// caption's margin) reads there as none, so the columns would touch; on screen each is given in
// pixels (4/3 to the point). What is copied and saved stays as the core writes it.
QString OnScreen(const QString& html) {
    static const QRegularExpression points("([0-9]+(?:\\.[0-9]+)?)pt\\b");
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : points.globalMatch(html)) {
        out += html.mid(from, m.capturedStart() - from) +
               QString::number(qRound(m.captured(1).toDouble() * 4 / 3)) + "px";
        from = m.capturedEnd();
    }
    out += html.mid(from);
    // Qt draws the table's top rule over the caption's last line; a thin line keeps them apart.
    out.replace("</p>\n<table", "</p>\n<p style=\"margin:0;font-size:2px\">&nbsp;</p>\n<table");
    return out;
}

QByteArray Bytes(const std::string& text) { return QByteArray::fromStdString(text); }

}  // namespace

PaperView::PaperView(QWidget* window, QWidget* bar, DifferencesView* differences, QtDialogues& ui)
    : QWidget(window), m_ui(ui), m_differences(differences) {
    setObjectName("PaperView");
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);
    auto tool = [this](QBoxLayout* row, const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setObjectName(name);
        b->setToolTip(tip);
        row->addWidget(b);
        return b;
    };

    auto* head = new QHBoxLayout;
    auto* back = tool(head, "HidePaper", "Back to the grid", "Back to the comparison grid (Esc)");
    back->setShortcut(Qt::Key_Escape);
    auto* title = new QLabel(QString::fromUtf8("For the paper: the treatments\u2019 table and the "
                                               "means figure, with the test\u2019s letters"),
                             this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    head->addWidget(title);
    head->addStretch();
    layout->addLayout(head);

    // The settings, then what to do with the table and the figure, in one row. Their Alt keys
    // are none of the window's own (Q, N, C, O, F, D, E, P), which stay live under this view.
    auto* settings = new QHBoxLayout;
    auto* decimalsLabel = new QLabel("Deci&mals:", this);
    m_decimals = new QSpinBox(this);
    m_decimals->setObjectName("PaperDecimals");
    m_decimals->setRange(0, MostPaperDecimals);
    m_decimals->setToolTip(
        "Decimals of every estimate, SE and limit; it starts at the fewest that "
        "show the smallest difference the letters call real");
    decimalsLabel->setBuddy(m_decimals);
    settings->addWidget(decimalsLabel);
    settings->addWidget(m_decimals);
    settings->addSpacing(16);
    const auto pair = [this, settings](const char* label, const char* first, const char* second,
                                       const char* name) {
        settings->addWidget(new QLabel(label, this));
        auto* a = new QRadioButton(first, this);
        auto* b = new QRadioButton(second, this);
        b->setObjectName(name);
        a->setChecked(true);
        auto* group = new QButtonGroup(this);
        group->addButton(a);
        group->addButton(b);
        settings->addWidget(a);
        settings->addWidget(b);
        settings->addSpacing(16);
        return b;
    };
    m_bars = pair("Figure:", "Poin&ts", "&Bars", "PaperBars");
    m_double = pair("Width:", "&85 mm (one column)", "1&75 mm (two columns)", "PaperDouble");
    settings->addStretch();
    auto* copyTable = tool(settings, "CopyPaperTable", "Cop&y table",
                           "The table on the clipboard, to paste into a word processor (with its "
                           "layout) or a text");
    auto* saveTable = tool(settings, "SavePaperTable", QString::fromUtf8("&Save table\u2026"),
                           "The table as .csv, .md, .html or .tex: the name's ending decides");
    auto* copyFigure = tool(settings, "CopyPaperFigure", "Copy f&igure",
                            "The figure on the clipboard as a picture");
    auto* saveFigure = tool(settings, "SavePaperFigure", QString::fromUtf8("Save fi&gure\u2026"),
                            "The figure as .svg or as .png at 600 dpi: the name's ending decides");
    layout->addLayout(settings);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName("PaperSplit");
    split->setChildrenCollapsible(false);
    m_table = new QTextBrowser(split);
    m_table->setObjectName("PaperTable");
    m_table->setOpenLinks(false);
    m_figure = new SvgView(SvgView::Size::Fitted, split);
    m_figure->setObjectName("PaperFigure");
    split->addWidget(m_table);
    split->addWidget(m_figure);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    hide();

    connect(back, &QToolButton::clicked, this, [this] { ShowView(false); });
    connect(m_decimals, &QSpinBox::valueChanged, this, &PaperView::Redraw);
    connect(m_bars, &QAbstractButton::toggled, this, &PaperView::Redraw);
    connect(m_double, &QAbstractButton::toggled, this, &PaperView::Redraw);
    connect(copyTable, &QToolButton::clicked, this, &PaperView::CopyTable);
    connect(saveTable, &QToolButton::clicked, this, &PaperView::SaveTable);
    connect(copyFigure, &QToolButton::clicked, this, &PaperView::CopyFigure);
    connect(saveFigure, &QToolButton::clicked, this, &PaperView::SaveFigure);

    // The button that opens the view, beside Differences… in the results bar.
    auto* open = new QToolButton(bar);
    open->setObjectName("ShowPaper");
    open->setText(QString::fromUtf8("For the paper\u2026"));
    open->setToolButtonStyle(Qt::ToolButtonTextOnly);
    open->setToolTip(
        "The treatments' table and the means figure with the letters, to copy or "
        "save for a manuscript (Alt+P)");
    open->setShortcut(QKeySequence("Alt+P"));
    if (auto* row = qobject_cast<QBoxLayout*>(bar->layout())) row->insertWidget(1, open);
    m_open = open;
    connect(open, &QToolButton::clicked, this, [this] { ShowView(true); });

    window->installEventFilter(this);
    if (m_differences) m_differences->installEventFilter(this);
}

PaperView::~PaperView() = default;

void PaperView::Offer(CartesianResult result, std::string report) {
    m_result = std::move(result);
    m_report = std::move(report);
    m_offered = true;
    const QSignalBlocker quiet(m_decimals);
    m_decimals->setValue(PaperDecimals(m_result));
    Redraw();
}

void PaperView::Withdraw() {
    m_offered = false;
    hide();
}

void PaperView::ShowView(bool shown) {
    if (!shown || !m_offered) {
        hide();
        if (!shown && m_open->isVisible()) m_open->setFocus();
        return;
    }
    if (m_differences) m_differences->ShowFigure(false);
    setGeometry(parentWidget()->rect());
    show();
    raise();
    m_table->setFocus();
}

MeansFigureOptions PaperView::FigureOptions() const {
    MeansFigureOptions o;
    o.Style = m_bars->isChecked() ? MeansStyle::Bars : MeansStyle::Points;
    o.Column = m_double->isChecked() ? FigureColumn::Double : FigureColumn::Single;
    return o;
}

std::string PaperView::Table(PaperFormat format) const {
    return PaperTableOf(m_result, format, m_decimals->value());
}

void PaperView::Redraw() {
    if (!m_offered) return;
    // The browser keeps where it was scrolled to, so a change of decimals does not jump.
    const int scrolled = m_table->verticalScrollBar()->value();
    m_table->setHtml(OnScreen(QString::fromStdString(Table(PaperFormat::Html))));
    m_table->verticalScrollBar()->setValue(scrolled);
    m_svg = MeansFigureSvg(m_result, FigureOptions());
    m_figure->Load(m_svg);
}

void PaperView::CopyTable() {
    if (!m_offered) return;
    auto* data = new QMimeData;
    data->setHtml(QString::fromStdString(Table(PaperFormat::Html)));
    data->setText(QString::fromStdString(Table(PaperFormat::Markdown)));
    QApplication::clipboard()->setMimeData(data);
}

void PaperView::CopyFigure() {
    if (!m_offered) return;
    auto* data = new QMimeData;
    data->setData("image/svg+xml", Bytes(m_svg));
    try {
        const FigureSizeMm mm = MeansFigureSize(m_result, FigureOptions());
        data->setImageData(
            QImage::fromData(Bytes(PngOfSvg(m_svg, mm.Width, mm.Height, ClipboardDpi)), "PNG"));
    } catch (const std::exception& e) {
        delete data;
        m_ui.Notify(e.what(), Title);
        return;
    }
    QApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> PaperView::PickName(const char* title, const char* filter,
                                               const char* suggestedEnding) {
    namespace fs = std::filesystem;
    fs::path suggested = m_report;
    suggested.replace_extension();
    suggested += suggestedEnding;
    auto chosen = m_ui.PickSaveFile(title, filter, suggested.string());
    // A name typed without an ending gets the suggested one's.
    if (chosen && fs::path(*chosen).extension().empty())
        *chosen += fs::path(suggestedEnding).extension().string();
    return chosen;
}

void PaperView::SaveTable() {
    if (!m_offered) return;
    const auto path = PickName("Save the table for the paper",
                               "Tables (*.html *.md *.csv *.tex);;All files (*)", " paper.html");
    if (!path) return;
    const auto format = PaperFormatOf(*path);
    if (!format) {
        m_ui.Notify("The table's name must end in " + std::string(PaperFormatEndings) +
                        ", which chooses its format:\n" + *path,
                    Title);
        return;
    }
    try {
        OutputSet files;
        files.Create(*path).Writer().Text(Table(*format));
        files.CommitAll();
    } catch (const std::exception& e) {
        m_ui.Notify(e.what(), Title);
    }
}

void PaperView::SaveFigure() {
    if (!m_offered) return;
    const auto path =
        PickName("Save the means figure", "Pictures (*.svg *.png);;All files (*)", " means.svg");
    if (!path) return;
    const std::string ending = Lower(std::filesystem::path(*path).extension().string());
    if (ending != ".svg" && ending != ".png") {
        m_ui.Notify(
            "The figure's name must end in .svg or .png, which chooses its format:\n" + *path,
            Title);
        return;
    }
    try {
        std::string bytes = m_svg;
        if (ending == ".png") {
            const FigureSizeMm mm = MeansFigureSize(m_result, FigureOptions());
            bytes = PngOfSvg(m_svg, mm.Width, mm.Height, FigureDpi);
        }
        OutputSet files;
        files.Create(*path).Writer().Text(bytes);
        files.CommitAll();
    } catch (const std::exception& e) {
        m_ui.Notify(e.what(), Title);
    }
}

bool PaperView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && !isHidden())
        setGeometry(parentWidget()->rect());
    // The other view over the window takes its place.
    if (watched == m_differences && event->type() == QEvent::Show) hide();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vortel::gui
