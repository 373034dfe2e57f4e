#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "cartesian/cmdCartesianDifference.h"
#include "gui/ClickableLabel.h"
#include "gui/Pictures.h"
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

QPixmap PictureFor(const std::string& name, QSize size) {
    if (name == "Image1") return StartPicture(size);
    if (name == "VeyPhoto") return PortraitPicture(size);
    const auto& greetings = GreetingPictureNames();
    for (std::size_t k = 0; k < greetings.size(); ++k)
        if (greetings[k] == name) return GreetingPicture(static_cast<int>(k), size);
    QPixmap blank(size);
    blank.fill(QColor(240, 240, 240));
    return blank;
}

}  // namespace

MainWindow::MainWindow(Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_ui(this), m_window(this), m_app(m_ui, m_window, clock) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(Form1Caption.data(), static_cast<int>(Form1Caption.size())));
    // The controls keep their places on a canvas of the design size; on a screen too small for
    // it the window scrolls rather than lose its lower part, Quit included.
    const QSize design(Form1Width / TwipsPerPixel, Form1Height / TwipsPerPixel);
    auto* canvas = new QWidget;
    canvas->setFixedSize(design);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->resize(design);  // at full size from the start, so no scroll bar shows needlessly
    scroll->setWidget(canvas);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    setMaximumSize(design);
    resize(design);
    Build(canvas);
    if (const Control* area = FindControl("MSChart1"))
        m_differences = new DifferencesView(
            canvas->findChild<QWidget*>(QString::fromStdString(area->Parent)), Pixels(*area), m_ui);
    ApplyDesign(m_window);
    Connect();
    Form_Load(m_app.State(), m_app.Seams());
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
                picture->setPixmap(PictureFor(c.Name, Pixels(c).size()));
                w = picture;
                break;
            }
            case ControlKind::Button:
                w = new QPushButton(parent);
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
                grid->setFocusPolicy(Qt::NoFocus);
                grid->setToolTip(
                    "Upper right: difference of the bootstrap means.\n"
                    "Lower left: P-value; * where the pair's t interval lies above zero.");
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
}

void MainWindow::Connect() {
    auto label = [this](const char* name) { return findChild<ClickableLabel*>(name); };
    auto button = [this](const char* name) { return findChild<QPushButton*>(name); };

    connect(button("cmdCartesianDifference"), &QPushButton::clicked, this,
            [this] { RunCommand(cmdCartesianDifference_Click); });
    connect(button("cmdGeneralNormalTest"), &QPushButton::clicked, this,
            [this] { RunCommand(cmdGeneralNormalTest_Click); });
    connect(button("Command1"), &QPushButton::clicked, this, &MainWindow::Quit);
    connect(label("Image1"), &ClickableLabel::clicked, this, [this] { Image1_Click(m_window); });
    connect(label("Label4"), &ClickableLabel::clicked, this,
            [this] { Label4_Click(m_app.State(), m_app.Seams()); });
    connect(label("Label4"), &ClickableLabel::doubleClicked, this,
            [this] { Label4_DblClick(m_app.State(), m_window); });
    connect(label("Label6"), &ClickableLabel::clicked, this, [this] { Label6_Click(m_window); });
    connect(&m_timer, &QTimer::timeout, this, &MainWindow::Tick);
}

void MainWindow::Tick() {
    if (!m_busy) Timer1_Timer(m_app.State(), m_window, m_clock);
}

void MainWindow::RunCommand(const Command& command) {
    if (m_busy) return;
    m_busy = true;
    if (m_differences) m_differences->Withdraw();
    const std::int16_t tables = m_app.State().TableNumber;
    // Only a finished report numbers its tables: then its results can be drawn and exported.
    if (m_app.Run(command) && m_app.State().TableNumber != tables && m_differences)
        m_app.Run([this](AnalysisState& state, Services&) { m_differences->Offer(state); });
    m_busy = false;
}

void MainWindow::Quit() {
    if (m_busy) return;
    // Shown before the main window goes, so that the program always has a window on screen.
    m_vater = new DedicationWindow(m_clock, m_app.Generator());
    m_vater->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_vater, &DedicationWindow::endProgram, this, &MainWindow::endProgram);
    m_vater->show();
    Command1_Click(m_app);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_app.CloseAllFiles();
    if (m_vater) m_vater->hide();
    event->accept();
    emit endProgram();
}

}  // namespace vortel::gui
