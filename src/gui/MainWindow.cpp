#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTableWidget>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "gui/ClickableLabel.h"
#include "gui/Pictures.h"
#include "shell/base/Tables.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/Controls.h"
#include "shell/mainwindow/Form1.h"
#include "shell/mainwindow/Greetings.h"
#include "sortcount/SortForBootstrapResults.h"

namespace vortel::gui {
namespace {

QRect Pixels(const Control& c) {
    return QRect(c.Left / TwipsPerPixel, c.Top / TwipsPerPixel, c.Width / TwipsPerPixel,
                 c.Height / TwipsPerPixel);
}

void SetColours(QWidget* w, QColor fore, std::optional<QColor> back = std::nullopt) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, fore);
    if (back) {
        palette.setColor(QPalette::Window, *back);
        w->setAutoFillBackground(true);
    }
    w->setPalette(palette);
}

void SetFont(QWidget* w, double points, bool bold = false, bool italic = false) {
    QFont font = w->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    w->setFont(font);
}

// How each label looks before anything sets it: the design of the window, not its logic.
void DesignLabel(const std::string& name, ClickableLabel* label) {
    label->setTextFormat(Qt::PlainText);  // a caption is shown as given, never as markup
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (name == "Label12") {
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setLineWidth(2);
    } else if (name == "Label6") {
        // The per-pair progress alternates its background between yellow and red.
        SetColours(label, Qt::black, QColor(255, 255, 0));
        SetFont(label, 10, true);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else if (name == "Label13") {
        SetColours(label, QColor(20, 110, 40));
        SetFont(label, 14, true, true);
        label->setAlignment(Qt::AlignCenter);
    } else if (name == "Label4") {
        SetColours(label, QColor(20, 40, 120));
        SetFont(label, 14, false, true);
        label->setAlignment(Qt::AlignCenter);
    } else if (name == "Label14") {
        // The longest overview line fits on one line at 14 points only in a narrow face.
        QFont font = label->font();
        font.setFamilies({"DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow"});
        label->setFont(font);
        label->setMargin(8);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    } else if (name == "Label2") {
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    } else if (name == "Label15") {
        SetColours(label, QColor(128, 32, 0));
        SetFont(label, 10, true);
        label->setAlignment(Qt::AlignCenter);
    } else if (name == "Label1" || name == "Label10") {
        SetColours(label, QColor(70, 70, 70));
        SetFont(label, 9);
    } else if (name == "lblBootBegin" || name == "lblBootEnd") {
        SetColours(label, QColor(20, 40, 120));
        SetFont(label, 9, true);
    }
}

QString Hint(const std::string& box) {
    static const std::map<std::string, QString> hints = {
        {"txtDatafile", "Data file"},
        {"txtCohortsize", "Cohort size"},
        {"txtMeanfecundity", "Mean fecundity"},
        {"txtFiniteRate", "Finite rate"},
        {"txtIntrinsicrate", "Intrinsic rate"},
        {"txtNetreproductiverate", "Net reproductive rate"},
        {"txtMeangenerationtime", "Mean generation time"},
    };
    auto it = hints.find(box);
    return it == hints.end() ? QString() : it->second;
}

QPixmap PictureFor(const std::string& name, QSize size, qreal dpr) {
    if (name == "Image1") return StartPicture(size, dpr);
    if (name == "VeyPhoto") return PortraitPicture(size, dpr);
    const auto& greetings = GreetingPictureNames();
    for (std::size_t k = 0; k < greetings.size(); ++k)
        if (greetings[k] == name) return GreetingPicture(static_cast<int>(k), size, dpr);
    QPixmap blank(size * dpr);
    blank.setDevicePixelRatio(dpr);
    blank.fill(QColor(240, 240, 240));
    return blank;
}

// The commands that do something; the keyboard passes over the others.
bool IsLive(const std::string& button) {
    return button == "cmdCartesianDifference" || button == "cmdGeneralNormalTest" ||
           button == "Command1";
}

// The display frame's margins around the area that the status, the grid and the chart share.
constexpr int DisplayLeft = 16, DisplayTop = 120, DisplayBottomMargin = 10;

}  // namespace

QSize FittedWindowSize(QSize design, QRect available) {
    if (!available.isValid()) return design;
    // Room for the window frame and its title bar, which the available area still includes.
    return design.boundedTo(QSize(available.width() - 16, available.height() - 48))
        .expandedTo(QSize(320, 240));
}

QPoint CentredTopLeft(QRect over, QSize size, QRect screen) {
    QPoint p = over.center() - QPoint(size.width() / 2, size.height() / 2);
    if (screen.isValid()) {
        p.setX(std::max(screen.left(), std::min(p.x(), screen.right() + 1 - size.width())));
        p.setY(std::max(screen.top(), std::min(p.y(), screen.bottom() + 1 - size.height())));
    }
    return p;
}

QString GridText(const QTableWidget& grid) {
    QString text;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << (grid.item(r, c) ? grid.item(r, c)->text().trimmed() : QString());
        text += cells.join('\t') + '\n';
    }
    return text;
}

QSize MainWindow::DesignSize() { return {Form1Width / TwipsPerPixel, Form1Height / TwipsPerPixel}; }

MainWindow::MainWindow(Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_ui(this), m_window(this), m_app(m_ui, m_window, clock) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(Form1Caption.data(), static_cast<int>(Form1Caption.size())));
    // The controls keep their places on a canvas of at least the design size: a screen too
    // small for it gets scroll bars from the start, Quit included, and a larger window gives
    // its room to the display frame.
    m_canvas = new QWidget;
    m_canvas->setMinimumSize(DesignSize());
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // The scroll area is no stop of its own for Tab: it would take the focus and show no mark.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(m_canvas);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(FittedWindowSize(DesignSize(), screen() ? screen()->availableGeometry() : QRect()));
    Build(m_canvas);
    m_differences = new DifferencesView(this, m_canvas->findChild<QWidget*>("Frame3"), m_ui);
    m_paper = new PaperView(this, findChild<QWidget*>("ResultsBar"), m_differences, m_ui);
    ApplyDesign(m_window);
    Connect();
    m_ui.SetAroundShow([this](bool opening, QRect place) { AroundDialogue(opening, place); });
    m_window.SetPictureBase([this] { return m_app.State().OutputBaseName; });
    m_app.Seams().resultsReady = [this](const Treatments& treatments, const TestResults& results,
                                        const PairScratch& work) {
        PrepareResults(treatments, results, work);
    };
    // A label a command shows comes to the front; the Stop button stays in front of it, or the
    // label would take the clicks meant for it.
    m_window.SetAfterShow([this] {
        if (m_stopButton && m_stopButton->isVisible()) m_stopButton->raise();
    });
    setAcceptDrops(true);
    StartUpWindow(m_app.State(), m_app.Seams());
    m_timer.setObjectName("Timer1");
    m_timer.setInterval(500);
    m_timer.start();
}

MainWindow::~MainWindow() {
    m_timer.stop();
    delete m_vater;
}

void MainWindow::Build(QWidget* canvas) {
    std::map<std::string, QWidget*> frames;
    // Pictures drawn for the screen's scale, so they stay sharp on a scaled screen.
    const qreal dpr = devicePixelRatioF();
    for (const Control& c : Form1Controls()) {
        QWidget* parent = c.Parent.empty() ? canvas : frames.at(c.Parent);
        QWidget* w = nullptr;
        switch (c.Kind) {
            case ControlKind::Frame:
                w = frames[c.Name] = new QGroupBox(parent);
                break;
            case ControlKind::Label: {
                auto* label = new ClickableLabel(parent);
                DesignLabel(c.Name, label);
                w = label;
                break;
            }
            case ControlKind::Picture: {
                auto* picture = new ClickableLabel(parent);
                picture->setPixmap(PictureFor(c.Name, Pixels(c).size(), dpr));
                w = picture;
                break;
            }
            case ControlKind::Button:
                w = new QPushButton(parent);
                if (!IsLive(c.Name)) w->setFocusPolicy(Qt::NoFocus);
                break;
            case ControlKind::TextBox: {
                auto* box = new QLineEdit(parent);
                box->setPlaceholderText(Hint(c.Name));
                box->setReadOnly(true);
                w = box;
                break;
            }
            case ControlKind::Grid: {
                auto* grid = new QTableWidget(parent);
                grid->horizontalHeader()->hide();
                grid->verticalHeader()->hide();
                grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
                grid->setSelectionMode(QAbstractItemView::NoSelection);
                // Tab goes on to the buttons of the results, not from cell to cell.
                grid->setTabKeyNavigation(false);
                // The keyboard reaches the grid to copy it, and sees where it is.
                grid->setFocusPolicy(Qt::StrongFocus);
                grid->setToolTip(
                    "Upper right: difference of the bootstrap means.\n"
                    "Lower left: P-value; * where the pair's t interval lies above zero.\n"
                    "Ctrl+C or the right mouse button copies the table.");
                auto* copy = new QAction("Copy table", grid);
                copy->setObjectName("CopyGrid");
                copy->setShortcut(QKeySequence::Copy);
                copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
                grid->addAction(copy);
                grid->setContextMenuPolicy(Qt::ActionsContextMenu);
                connect(copy, &QAction::triggered, grid,
                        [grid] { QApplication::clipboard()->setText(GridText(*grid)); });
                grid->installEventFilter(this);
                SetFont(grid, 11);
                grid->verticalHeader()->setDefaultSectionSize(30);
                w = grid;
                break;
            }
            case ControlKind::Chart: {
                auto* host = new QFrame(parent);
                host->setFrameStyle(QFrame::StyledPanel);
                // Opaque, so that the start picture or the grid behind it cannot show through.
                host->setAutoFillBackground(true);
                auto* text = new QLabel(QString::fromStdString(c.Caption), host);
                text->setWordWrap(true);
                text->setGeometry(8, 8, Pixels(c).width() - 16, 40);
                w = host;
                break;
            }
            case ControlKind::Timer:
            case ControlKind::FileDialog:
                continue;
        }
        w->setObjectName(QString::fromStdString(c.Name));
        w->setGeometry(Pixels(c));
    }
    QWidget* display = frames.at("Frame3");
    m_stopButton = new QPushButton("Stop (Esc)", display);
    m_stopButton->setObjectName("StopCommand");
    m_stopButton->setToolTip("Stop the running command; no file is written.");
    m_stopButton->hide();
    m_stopButton->setEnabled(false);
    m_results = new ResultLine(display);
    connect(m_results, &ResultLine::changed, this, &MainWindow::ArrangeDisplay);
    canvas->installEventFilter(this);
    display->installEventFilter(this);
    for (const char* chart : {"MSChart1", "MSChart2"})
        display->findChild<QWidget*>(chart)->installEventFilter(this);
}

void MainWindow::ArrangeCanvas() {
    const QSize extra = (m_canvas->size() - DesignSize()).expandedTo(QSize(0, 0));
    const int rightColumn = FindControl("Frame2")->Left / TwipsPerPixel;
    for (const Control& c : Form1Controls()) {
        if (!c.Parent.empty() || c.Kind == ControlKind::Timer || c.Kind == ControlKind::FileDialog)
            continue;
        QWidget* w = m_canvas->findChild<QWidget*>(QString::fromStdString(c.Name),
                                                   Qt::FindDirectChildrenOnly);
        if (!w) continue;
        QRect g = Pixels(c);
        if (c.Name == "Frame3")
            g.setSize(g.size() + extra);
        else if (c.Name == "Frame1")
            g.translate(extra.width() / 2, extra.height());
        else if (g.left() >= rightColumn)
            g.translate(extra.width(), 0);
        else
            continue;  // the left column stays, with whatever sizes the commands gave it
        w->setGeometry(g);
    }
}

void MainWindow::ArrangeDisplay() {
    if (!m_results) return;  // still being built
    auto* display = m_canvas->findChild<QWidget*>("Frame3");
    auto* grid = display->findChild<QTableWidget*>("MSFlexGrid1");
    const int width = display->width() - 2 * DisplayLeft;
    int bottom = display->height() - DisplayBottomMargin;
    for (const char* overlay : {"Label14", "Label2"})
        display->findChild<QWidget*>(overlay)->setGeometry(DisplayLeft, DisplayTop, width,
                                                           bottom - DisplayTop);
    QWidget* quotation = display->findChild<QWidget*>("Label4");
    quotation->resize(width, quotation->height());
    if (auto* picture = display->findChild<QWidget*>("Image1"); picture && picture->isVisible()) {
        // Centred as start-up places it, 600 twips below the middle.
        picture->move((display->width() - picture->width()) / 2,
                      (display->height() - picture->height()) / 2 + 600 / TwipsPerPixel);
    }
    if (!m_results->isHidden()) {
        const int h = m_results->sizeHint().height();
        m_results->setGeometry(DisplayLeft, bottom - h, width, h);
        bottom -= h + 6;
    }
    // The bar of a finished test's figure and tables stands just above the result line.
    if (auto* bar = display->findChild<QWidget*>("ResultsBar"); bar && !bar->isHidden()) {
        const int h = bar->height();
        bar->setGeometry(DisplayLeft, bottom - h, width, h);
        bottom -= h + 4;
    }
    // The grid takes the room its cells need, as far as the display goes; past that it
    // scrolls.
    if (!grid->isHidden()) {
        const QSize needed = grid->property(GridNeededSize).toSize();
        if (needed.isValid())
            grid->resize(std::min(needed.width(), width),
                         std::min(needed.height(), std::max(bottom - grid->y(), 90)));
    }
    const QSize stop = m_stopButton->sizeHint();
    m_stopButton->setGeometry(DisplayLeft + width - stop.width(), DisplayTop - stop.height() - 6,
                              stop.width(), stop.height());
    const int top = grid->isHidden() ? DisplayTop : grid->geometry().bottom() + 8;
    const QRect below(DisplayLeft, top, width, std::max(bottom - top, 120));
    for (const char* chart : {"MSChart1", "MSChart2"})
        display->findChild<QWidget*>(chart)->setGeometry(below);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_canvas) {
        if (type == QEvent::Resize) ArrangeCanvas();
    } else if (auto* grid = qobject_cast<QTableWidget*>(watched)) {
        // The view would copy just its current cell; Ctrl+C copies the whole table.
        if (type == QEvent::ShortcutOverride || type == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy)) {
                if (type == QEvent::KeyPress) QApplication::clipboard()->setText(GridText(*grid));
                event->accept();
                return true;
            }
        }
        if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Resize)
            ArrangeDisplay();
    } else if (watched->objectName() == "Frame3" ? type == QEvent::Resize : type == QEvent::Show) {
        ArrangeDisplay();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::Connect() {
    auto label = [this](const char* name) { return findChild<ClickableLabel*>(name); };
    auto button = [this](const char* name) { return findChild<QPushButton*>(name); };

    connect(button("cmdCartesianDifference"), &QPushButton::clicked, this,
            [this] { RunCommand(AskAndRunCartesianTest); });
    connect(button("cmdGeneralNormalTest"), &QPushButton::clicked, this,
            [this] { RunCommand(AskAndRunSortCount); });
    connect(button("Command1"), &QPushButton::clicked, this, &MainWindow::Quit);
    // While a command runs its worker owns the record and the commands' switches.
    connect(label("Image1"), &ClickableLabel::clicked, this, [this] {
        if (!m_busy) ShowQuotationAndOverview(m_window);
    });
    connect(label("Label4"), &ClickableLabel::clicked, this, [this] {
        if (!m_busy) ShowRandomQuotation(m_app.State(), m_app.Seams());
    });
    connect(label("Label4"), &ClickableLabel::doubleClicked, this, [this] {
        if (!m_busy) ShowFixedQuotation(m_app.State(), m_window);
    });
    connect(label("Label6"), &ClickableLabel::clicked, this, [this] {
        if (!m_busy) EnableEveryCommand(m_window);
    });
    connect(&m_timer, &QTimer::timeout, this, &MainWindow::Tick);

    // The keyboard reaches every live command; a shortcut does what a click on its control does,
    // so a disabled command stays disabled.
    const struct {
        const char* keys;
        const char* control;
        const char* hint;
    } shortcuts[] = {
        {"Alt+Q", "cmdCartesianDifference",
         "Cartesian paired test (Alt+Q). Treatment files dropped on the window start one too."},
        {"Alt+N", "cmdGeneralNormalTest", "Sort, count and normality view (Alt+N)"},
        {"Ctrl+Q", "Command1", "Quit (Ctrl+Q)"},
        {"Alt+C", "Label6", "Click, or press Alt+C, to switch on every command"},
    };
    for (const auto& s : shortcuts) {
        QWidget* target = findChild<QWidget*>(s.control);
        target->setToolTip(s.hint);
        auto* shortcut = new QShortcut(QKeySequence(s.keys), this);
        shortcut->setObjectName(QString("Shortcut_") + s.control);
        if (auto* b = qobject_cast<QPushButton*>(target))
            connect(shortcut, &QShortcut::activated, b, [b] {
                if (b->isEnabled() && b->isVisible()) b->click();
            });
        else
            connect(shortcut, &QShortcut::activated, this, [this] {
                if (!m_busy) EnableEveryCommand(m_window);
            });
    }
    connect(m_stopButton, &QPushButton::clicked, this, &MainWindow::StopCommand);
    // The clock label is a control of its own for the keyboard: Tab reaches it, Space or
    // Enter clicks it.
    label("Label6")->setFocusPolicy(Qt::StrongFocus);
}

void MainWindow::Tick() {
    if (!m_busy) TickClock(m_app.State(), m_window, m_clock);
}

void MainWindow::ClearDisplay() {
    // Once a command has run, the display is the commands': the start-up timer no longer puts
    // the command overview over what they show.
    m_app.State().IntroPending = false;
    m_results->hide();
    m_differences->Withdraw();
    m_paper->Withdraw();
    for (const char* shown :
         {"Image1", "Label14", "MSFlexGrid1", "MSChart2", "lblBootBegin", "lblBootEnd"})
        m_window.SetVisible(shown, false);
    m_window.SetCaption("txtDatafile", "");
    m_window.ClearNormalityView();
}

void MainWindow::RunCommand(const Command& command) {
    if (m_busy.exchange(true)) return;
    // Each command's results replace the previous command's.
    ClearDisplay();
    m_window.TakeWrittenFiles();
    m_preparedPairs.reset();
    m_preparedResult.reset();
    const bool ran = RunOffGuiThread(command);
    // Only a test that wrote its report prepared its results: then they can be drawn and
    // exported.
    if (ran && m_preparedPairs) {
        m_app.Run([this](AnalysisState& state, Services&) {
            m_differences->Offer(std::move(*m_preparedPairs), state);
            m_paper->Offer(std::move(*m_preparedResult), state.ResultFileName);
        });
    }
    m_preparedPairs.reset();
    m_preparedResult.reset();
    m_busy = false;
    const std::vector<WrittenFile> files = m_window.TakeWrittenFiles();
    if (ran) {
        m_results->ShowFiles(files);
        ChainResultControls();
    } else {
        // Nothing runs any more, whatever the status label said.
        m_window.SetVisible("Label2", false);
        m_results->ShowAbandoned(QString::fromStdString(m_app.LastFailure()), files);
    }
    if (m_closeWhenDone)
        close();
    else if (std::exchange(m_quitWhenDone, false))
        Quit();
}

bool MainWindow::RunOffGuiThread(const Command& command) {
    // The command reaches the widgets through blocking queued calls, so this thread keeps its
    // event loop running until the worker ends: the window repaints, the timers fire, and the
    // Stop button and the dialogues answer.
    bool ran = false;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] { ran = m_app.Run(command); }));
    // Delivered through this loop only, so it cannot come before the loop runs.
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    m_stopButton->setEnabled(true);
    m_stopButton->show();
    m_stopButton->raise();
    worker->start();
    loop.exec();
    worker->wait();
    // A Stop pressed after the command ended, before this loop learned of it, stopped nothing.
    m_app.DropLateStop();
    m_stopButton->hide();
    m_stopButton->setEnabled(false);
    return ran;
}

void MainWindow::ChainResultControls() {
    // The result line's controls are made anew for each command, so they would come last in
    // the order of Tab; they follow the grid and the results' buttons instead.
    QList<QWidget*> chain{findChild<QTableWidget*>("MSFlexGrid1"),
                          findChild<QWidget*>("ShowDifferences"), findChild<QWidget*>("ShowPaper"),
                          findChild<QWidget*>("ExportResultsCsv")};
    for (QWidget* w : m_results->findChildren<QWidget*>())
        if (w->focusPolicy() & Qt::TabFocus) chain << w;
    for (qsizetype k = 1; k < chain.size(); ++k)
        if (chain[k - 1] && chain[k]) QWidget::setTabOrder(chain[k - 1], chain[k]);
}

void MainWindow::PrepareResults(const Treatments& treatments, const TestResults& results,
                                const PairScratch& work) {
    TestScreen& screen = m_app.Seams().screen;
    screen.PreparingFigure(0, treatments.PairCount);
    m_preparedPairs = DifferencesOfPairs(treatments, results, work, DifferenceBins,
                                         m_app.Seams().stop, [&screen](int done, int total) {
                                             if (done < total) screen.PreparingFigure(done, total);
                                         });
    m_preparedResult = CartesianResultOf(treatments, results, work);
}

void MainWindow::StopCommand() {
    if (m_busy) m_app.RequestStop();
}

void MainWindow::StartTestWith(const QStringList& files) {
    auto* test = findChild<QPushButton*>("cmdCartesianDifference");
    if (m_busy || !test->isEnabled()) return;
    std::vector<std::string> paths;
    for (const QString& f : files) paths.push_back(f.toStdString());
    m_ui.GiveFilesAhead(std::move(paths));
    RunCommand(AskAndRunCartesianTest);
    m_ui.ForgetFilesAhead();  // more files than treatments: the rest are not for a later test
}

QStringList MainWindow::DroppedTreatmentFiles(const QMimeData* data) const {
    if (!data || !data->hasUrls()) return {};
    QStringList files;
    for (const QUrl& url : data->urls()) {
        const QFileInfo info(url.toLocalFile());
        if (!url.isLocalFile() || !info.isFile()) return {};
        files << info.absoluteFilePath();
    }
    // A table may hold every treatment: only more files than a test compares are refused here.
    if (!vortel::TreatmentCountFits(static_cast<double>(files.size()), 0)) return {};
    return files;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_busy && findChild<QPushButton*>("cmdCartesianDifference")->isEnabled() &&
        !DroppedTreatmentFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedTreatmentFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    // Started once the drop has returned, so the program the files came from is not held up
    // by the questions of the test.
    QTimer::singleShot(0, this, [this, files] { StartTestWith(files); });
}

void MainWindow::AroundDialogue(bool opening, QRect place) {
    auto* status = findChild<QLabel*>("Label2");
    if (opening) {
        if (m_dialogueDepth++ == 0 && m_busy && status->isVisible()) {
            m_waitingCaption = status->text();
            status->setText("Waiting for your answer...");
            status->repaint();
        }
        return;
    }
    if (--m_dialogueDepth == 0 && !m_waitingCaption.isNull()) {
        status->setText(m_waitingCaption);
        m_waitingCaption = QString();
    }
    // The computation that follows lets no paint event through; without this the closed
    // dialogue stays on screen where it was. A parent's repaint does not reach the controls
    // inside the scroll area, so each control it stood over is repainted itself.
    if (!isVisible()) return;
    for (QWidget* control : m_canvas->findChildren<QWidget*>()) {
        const QRect where(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (control->isVisible() && where.intersects(place)) control->repaint();
    }
}

void MainWindow::Quit() {
    // Quit during a command stops it; the program ends once it has stopped.
    if (m_busy) {
        m_quitWhenDone = true;
        StopCommand();
        return;
    }
    // Shown before the main window goes, so that the program always has a window on screen.
    m_vater = new DedicationWindow(m_clock, m_app.Generator());
    m_vater->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_vater, &DedicationWindow::endProgram, this, &MainWindow::endProgram);
    const QScreen* where = screen();
    m_vater->move(
        CentredTopLeft(geometry(), m_vater->size(), where ? where->availableGeometry() : QRect()));
    m_vater->show();
    QuitMainWindow(m_app);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Esc stops a running command as the Stop button does; a dialogue takes its own Esc first.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_busy) {
        StopCommand();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The running command is on this thread's stack: it is stopped first, and the window
    // closes once it has ended.
    if (m_busy) {
        m_closeWhenDone = true;
        // A question open now, or asked later, is closed unanswered, so the command ends.
        m_ui.CloseEveryDialogue();
        StopCommand();
        event->ignore();
        return;
    }
    m_app.CloseAllFiles();
    if (m_vater) m_vater->hide();
    event->accept();
    emit endProgram();
}

}  // namespace vortel::gui
