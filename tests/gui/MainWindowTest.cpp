#include <QChartView>
#include <QDialog>
#include <QFileDialog>
#include <QGraphicsTextItem>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "GuiTests.h"
#include "WindowSession.h"
#include "gui/ChartExport.h"
#include "gui/MainWindow.h"
#include "gui/NormalityChart.h"
#include "gui/Pictures.h"
#include "shell/base/NumberText.h"
#include "shell/mainwindow/Greetings.h"
#include "sortcount/NormalityView.h"

using namespace vortel;
using vortel::gui::MainWindow;
using vortel::gui::QtDialogues;
using vortel::gui::test::ChartTexts;
using vortel::gui::test::March7;

namespace {

QStringList EnabledButtons(const QWidget& window) {
    QStringList names;
    for (auto* b : window.findChildren<QPushButton*>())
        if (b->isEnabled()) names << b->objectName();
    names.sort();
    return names;
}

// Saves a picture for the README when VORTEL_SCREENSHOT_DIR names a folder.
// The main window is shown at its design size, whatever the test screen's size.
void Picture(QWidget& w, const char* name) {
    const QByteArray folder = qgetenv("VORTEL_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    if (auto* main = qobject_cast<MainWindow*>(&w)) {
        main->resize(MainWindow::DesignSize());
        QApplication::processEvents();
    }
    QVERIFY(w.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name)));
}

QString Quotation(int k) { return QString::fromStdString(Quotations()[static_cast<size_t>(k)]); }

const std::vector<FrequencyClass> SomeClasses = {
    {0.1125, 3}, {0.1250, 9}, {0.1375, 21}, {0.1500, 30}, {0.1625, 19}, {0.1750, 8}, {0.1875, 2}};

// Answers the next dialogue of a command with a step that sees it.
void AnswerNext(QtDialogues& ui, std::function<void(QDialog&)> step) {
    ui.SetBeforeShow([step](QDialog& d) { QTimer::singleShot(0, &d, [step, &d] { step(d); }); });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QLabel* Label(MainWindow& w, const char* name) { return w.findChild<QLabel*>(name); }

private slots:
    void startUp_data() {
        QTest::addColumn<qint64>("epoch");
        QTest::addColumn<QString>("quotation");
        QTest::addRow("7th") << qint64(March7) << Quotation(7);
        QTest::addRow("28th") << qint64(March7 + 21 * 86400) << QString();
        QTest::addRow("31st") << qint64(March7 + 24 * 86400) << QString();
    }
    void startUp() {
        QFETCH(qint64, epoch);
        QFETCH(QString, quotation);
        FixedClock clock(epoch);
        MainWindow w(clock);
        w.show();
        QCOMPARE(w.windowTitle(), QString("Life table is the key to population ecology, pest "
                                          "management, and biological control"));
        QCOMPARE(EnabledButtons(w), QStringList{"cmdCartesianDifference"});
        QCOMPARE(Label(w, "Label4")->text(), quotation);
        QVERIFY(!Label(w, "Label4")->isVisible());
        QVERIFY(Label(w, "Image1")->isVisible());
        QVERIFY(Label(w, "Label13")->isVisible());
        QCOMPARE(Label(w, "Label12")->text(),
                 QString("VORTEL\nCartesian Paired Test Only\n(B =2000, CPT =4000000, 4 "
                         "treatments)"));
        QCOMPARE(w.Timer1().interval(), 500);
        QVERIFY(w.Timer1().isActive());
    }

    void clockClickEnablesEveryCommand() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        QTest::mouseClick(Label(w, "Label6"), Qt::LeftButton);
        const QStringList enabled = EnabledButtons(w);
        QVERIFY(enabled.contains("cmdGeneralNormalTest"));
        QVERIFY(enabled.contains("Command1"));
        // Every button but the one that is never switched, and Stop, which only a running
        // command enables.
        QCOMPARE(enabled.size(), w.findChildren<QPushButton*>().size() - 2);
        QVERIFY(!enabled.contains("Command2"));
        QVERIFY(!enabled.contains("StopCommand"));
    }

    void pictureAndQuotationClicks() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        QTest::mouseClick(Label(w, "Image1"), Qt::LeftButton);
        QVERIFY(!Label(w, "Image1")->isVisible());
        QVERIFY(Label(w, "Label4")->isVisible());
        QVERIFY(Label(w, "Label14")->isVisible());
        QVERIFY(Label(w, "Label14")->text().endsWith("  Q: Cartesian paired test.\n"));
        w.Tick();  // the clock shows in the picture
        Picture(w, "main-window-overview.png");

        // A real double click: press, release, double click, release.
        QLabel* quotation = Label(w, "Label4");
        QTest::mouseClick(quotation, Qt::LeftButton);
        QVERIFY(quotation->text() != Quotation(26));  // the click drew another one
        QTest::mouseDClick(quotation, Qt::LeftButton);
        QTest::mouseRelease(quotation, Qt::LeftButton);
        QCOMPARE(quotation->text(), Quotation(26));
    }

    void ticksShowClockGreetingAndEndTheStartPicture() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        for (int tick = 1; tick <= 9; ++tick) {
            w.Tick();
            if (tick % 2 == 0) clock.Advance(1);
            if (tick == 8) QCOMPARE(Label(w, "Label13")->text(), QString("How do you do?"));
        }
        QCOMPARE(Label(w, "Label13")->text(), QString("Wie geht es Ihnen?"));
        QCOMPARE(Label(w, "Label6")->text(), QString("3/7/2024 9:05:07 AM"));
        QVERIFY(Label(w, "Image1")->isVisible());
        clock.Advance(12);  // 16 seconds after start-up
        w.Tick();
        QVERIFY(!Label(w, "Image1")->isVisible());
        QVERIFY(Label(w, "Label4")->isVisible());
        QVERIFY(Label(w, "Label14")->isVisible());
    }

    void nothingElseRunsWhileACommandRuns() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        bool nestedRan = false;
        w.RunCommand([&](AnalysisState&, Services&) {
            // What a dialogue's event loop could deliver meanwhile: a tick and a second click.
            w.Tick();
            w.RunCommand([&](AnalysisState&, Services&) { nestedRan = true; });
        });
        QVERIFY(!nestedRan);
        QCOMPARE(Label(w, "Label6")->text(), QString("Label6"));
        w.Tick();
        QCOMPARE(Label(w, "Label6")->text(), QString("3/7/2024 9:05:03 AM"));
    }

    void quitLeadsToTheDedicationWindow() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        QSignalSpy ended(&w, &MainWindow::endProgram);
        QTest::mouseClick(Label(w, "Label6"), Qt::LeftButton);
        QTest::mouseClick(w.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(w.Vater() && w.Vater()->isVisible());
        QCOMPARE(w.Vater()->windowTitle(), QString("Dedication"));
        auto* button = w.Vater()->findChild<QPushButton*>("Command1");
        QStringList sayings;
        for (const auto& s : TeacherQuotations()) sayings << QString::fromStdString(s);
        QVERIFY(sayings.contains(button->text()));
        QCOMPARE(ended.count(), 0);
        Picture(*w.Vater(), "dedication.png");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
    }

    void normalityViewComesWithItsSaveButton() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        const std::vector<FrequencyClass> classes = {{1.0, 2}, {2.0, 5}, {3.0, 3}};
        w.Seam().ShowNormalityView(MakeNormalityData(classes, "Tomato", "r"));
        auto* host = w.findChild<QWidget*>("MSChart1");
        QVERIFY(host->isVisible());
        QVERIFY(host->findChild<QWidget*>("NormalityChart"));
        QVERIFY(host->findChild<QPushButton*>("SaveChartPng"));
        QVERIFY(host->findChild<QPushButton*>("SaveChartSvg"));
    }

    void messagesShowMarkupAsTyped() {
        FixedClock clock(March7);
        MainWindow w(clock);
        Qt::TextFormat format = Qt::AutoText;
        w.Ui().SetBeforeShow([&format](QDialog& box) {
            format = box.findChild<QLabel*>("qt_msgbox_label")->textFormat();
            QTimer::singleShot(0, &box, &QDialog::accept);
        });
        // A value quoted from a hostile file must neither vanish as a tag nor join the lines,
        // as it would if the box took the message for markup.
        const std::string message = "Field 2 holds <b>x</b>\nThe run stopped.";
        QVERIFY(Qt::mightBeRichText(QString::fromStdString(message)));
        w.Ui().Notify(message, "VORTEL");
        QCOMPARE(format, Qt::PlainText);
    }

    void smallScreenScrollsToEveryControl() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.resize(1000, 600);  // a laptop screen
        w.show();
        QCOMPARE(w.size(), QSize(1000, 600));
        auto* quit = w.findChild<QPushButton*>("Command1");
        w.findChild<QScrollArea*>()->ensureWidgetVisible(quit);
        QVERIFY(w.rect().contains(QRect(quit->mapTo(&w, QPoint(0, 0)), quit->size())));
    }

    void closingTheWindowEndsTheProgram() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        QSignalSpy ended(&w, &MainWindow::endProgram);
        w.close();
        QCOMPARE(ended.count(), 1);
    }

    // Closing the window while a test asks a question closes the question unanswered, and the
    // window once the test has given up: the program ends, and no file is written.
    void closingTheWindowDuringAQuestionEndsTheProgram_data() {
        QTest::addColumn<int>("answered");  // questions answered before the window is closed
        QTest::addRow("the first question") << 0;
        QTest::addRow("the count of treatments") << 2;
        QTest::addRow("a treatment file") << 5;
        QTest::addRow("the report's code") << 7;
    }
    void closingTheWindowDuringAQuestionEndsTheProgram() {
        QFETCH(int, answered);
        vortel::gui::test::WindowSession s;
        const QStringList before = QDir(s.folder.path()).entryList(QDir::Files);
        vortel::gui::test::DialogueScript& script = s.script;
        const std::function<void()> answers[] = {
            [&] { script.No(); },
            [&] { script.No(); },
            [&] { script.Type("3"); },
            [&] { script.Type(); },
            [&] { script.Pick(s.File("A.txt")); },
            [&] { script.Pick(s.File("B.txt")); },
            [&] { script.Pick(s.File("C.txt")); },
            [&] { script.Type(); },
        };
        for (int k = 0; k < answered; ++k) answers[k]();
        script.Then([&s](QDialog&) { s.w.close(); });
        QSignalSpy ended(&s.w, &MainWindow::endProgram);
        s.Press("cmdCartesianDifference");
        QCOMPARE(int(script.Titles().size()), answered + 1);  // no question after the close shows
        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY(script.AllUsed());
        QVERIFY(!s.w.Busy());
        QCOMPARE(ended.count(), 1);
        QVERIFY(!s.w.isVisible());
        QCOMPARE(QDir(s.folder.path()).entryList(QDir::Files), before);
    }

    void windowIsRepaintedWhereADialogueClosedDuringACommand() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Counts the paints of the title label, which the dialogue is moved over.
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        } counter;
        QLabel* title = Label(w, "Label12");
        title->installEventFilter(&counter);
        int paintsAfterDialogue = -1;
        w.RunCommand([&](AnalysisState&, Services& services) {
            AnswerNext(w.Ui(), [title](QDialog& d) {
                d.move(title->mapToGlobal(QPoint(0, 0)));
                d.accept();
            });
            counter.paints = 0;
            services.ui.Notify("A notice", "VORTEL");
            // The computation goes on here without an event loop.
            paintsAfterDialogue = counter.paints;
        });
        QVERIFY(paintsAfterDialogue > 0);
    }

    void keyboardReachesTheLiveCommands() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Tab passes over the commands without an action.
        QCOMPARE(w.findChild<QPushButton*>("cmdReadDataA1")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w.findChild<QPushButton*>("Command1")->focusPolicy(), Qt::StrongFocus);
        // A shortcut is no way round a disabled command: Quit waits for the clock.
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.Vater());
        QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
        QVERIFY(w.findChild<QPushButton*>("Command1")->isEnabled());
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(w.Vater() && w.Vater()->isVisible());

        // The clock label itself takes the focus and answers Space.
        MainWindow other(clock);
        other.show();
        auto* clockLabel = Label(other, "Label6");
        QCOMPARE(clockLabel->focusPolicy(), Qt::StrongFocus);
        QTest::keyClick(clockLabel, Qt::Key_Space);
        QVERIFY(other.findChild<QPushButton*>("cmdGeneralNormalTest")->isEnabled());
    }

    void dedicationWindowStandsCentredOnTheMainWindow() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        w.move(10, 20);
        const QPoint centre = w.geometry().center();
        QTest::mouseClick(Label(w, "Label6"), Qt::LeftButton);
        QTest::mouseClick(w.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY(w.Vater());
        const QPoint vater = w.Vater()->geometry().center();
        QVERIFY2((vater - centre).manhattanLength() <= 2, qPrintable(QString("%1,%2 vs %3,%4")
                                                                         .arg(vater.x())
                                                                         .arg(vater.y())
                                                                         .arg(centre.x())
                                                                         .arg(centre.y())));
        // On a screen edge it is kept on the screen.
        const QRect screen(0, 0, 1366, 768);
        QCOMPARE(gui::CentredTopLeft(QRect(900, 500, 400, 200), QSize(760, 520), screen),
                 QPoint(1366 - 760, 768 - 520));
        QCOMPARE(gui::CentredTopLeft(QRect(100, 100, 1000, 600), QSize(760, 520), screen),
                 QPoint(219, 139));  // QRect's centre rounds down
    }

    void windowFitsItsScreenWithScrollBars() {
        struct Case {
            QRect available;
            QSize size;
        };
        const QSize design = MainWindow::DesignSize();
        const Case cases[] = {
            {QRect(0, 0, 1600, 1000), design},            // room for all of it
            {QRect(0, 0, 1366, 740), QSize(1350, 692)},   // 1366 x 768 less a panel
            {QRect(0, 32, 1280, 688), QSize(1264, 640)},  // 2560 x 1440 at twice the scale
            {QRect(), design},                            // no screen known
        };
        for (const Case& c : cases) QCOMPARE(gui::FittedWindowSize(design, c.available), c.size);

        // The test screen is smaller than the design: the window opens inside it, and the
        // scroll bars are there from the start.
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        const QRect available = w.screen()->availableGeometry();
        QVERIFY(available.width() < design.width());
        QVERIFY(w.width() <= available.width() && w.height() <= available.height());
        auto* scroll = w.findChild<QScrollArea*>();
        QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
        QVERIFY(scroll->horizontalScrollBar()->isVisible());
        // A larger window gives its room to the display, and the right column keeps the edge.
        w.resize(design + QSize(240, 100));
        QApplication::processEvents();
        QCOMPARE(w.findChild<QWidget*>("Frame3")->size(), QSize(720 + 240, 600 + 100));
        QCOMPARE(w.findChild<QWidget*>("Frame2")->x(), 1112 + 240);
    }

    void picturesAreDrawnForTheScreenScale() {
        const QPixmap sharp = gui::StartPicture(QSize(480, 320), 2);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.size(), QSize(960, 640));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(480, 320));
        FixedClock clock(March7);
        MainWindow w(clock);
        QCOMPARE(Label(w, "Image1")->pixmap().devicePixelRatio(), w.devicePixelRatioF());
    }

    void enterGivesTheAdvisedAnswer_data() {
        QTest::addColumn<bool>("advised");
        QTest::addColumn<int>("answer");
        QTest::addRow("advising No") << true << int(Answer::No);
        QTest::addRow("plain question") << false << int(Answer::Yes);
    }
    void enterGivesTheAdvisedAnswer() {
        QFETCH(bool, advised);
        QFETCH(int, answer);
        FixedClock clock(March7);
        MainWindow w(clock);
        AnswerNext(w.Ui(), [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
        const Answer a =
            advised ? w.Ui().AskYesNoAdvised("Most files have none.", "Data formate", Answer::No)
                    : w.Ui().AskYesNo("Do you want to do reversed sort?", "Reversed sort");
        QCOMPARE(int(a), answer);
    }

    void threeWayQuestionClosedIsNoneOfItsAnswers_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::addRow("Esc") << int(Qt::Key_Escape) << int(Answer::Closed);
        QTest::addRow("close button") << 0 << int(Answer::Closed);
        QTest::addRow("Cancel pressed") << -1 << int(Answer::Cancel);
    }
    void threeWayQuestionClosedIsNoneOfItsAnswers() {
        QFETCH(int, key);
        QFETCH(int, answer);
        FixedClock clock(March7);
        MainWindow w(clock);
        AnswerNext(w.Ui(), [key](QDialog& d) {
            auto& box = static_cast<QMessageBox&>(d);
            if (key > 0)
                QTest::keyClick(&box, Qt::Key(key));
            else if (key == 0)
                box.close();
            else
                box.button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(int(w.Ui().AskYesNoCancel("Cancel: PBT or CPT results", "Sort and count")),
                 answer);
    }

    void inputBoxShowsItsWholeTitle() {
        FixedClock clock(March7);
        MainWindow w(clock);
        const QString title =
            "Read data file one by one for paired comparison using Cartesian Product";
        int width = 0, needed = 0;
        AnswerNext(w.Ui(), [&](QDialog& d) {
            width = d.width();
            needed = d.fontMetrics().horizontalAdvance(title);
            d.accept();
        });
        w.Ui().AskText("Enter number of treatments", title.toStdString(), "2");
        QVERIFY2(width > needed, qPrintable(QString("%1 <= %2").arg(width).arg(needed)));
    }

    void chartLabelsAreWholeAtTheDefaultSize() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.resize(MainWindow::DesignSize());
        w.show();
        w.Seam().ShowNormalityView(MakeNormalityData(SomeClasses, "Tomato", "r"));
        auto* chart = w.findChild<QWidget*>("NormalityChart");
        QTRY_VERIFY(chart->isVisible() && chart->width() > 600);
        QApplication::processEvents();
        const QStringList texts = ChartTexts(*chart);
        for (const QString& t : texts) QVERIFY2(!t.endsWith("..."), qPrintable(t));
        for (const char* whole : {"Values in each class", "Classes", "Normal line", "0.12", "0.14",
                                  "50 %", "Cumu. Freq. of Tomato in Probit"})
            QVERIFY2(texts.contains(whole), qPrintable(texts.join(" | ")));
        QVERIFY(chart->findChild<QLabel*>("NormalitySummary")
                    ->text()
                    .startsWith("92 values in 7 classes. Normal line: mean 0.149, SD "));

        // No values: the count axis reads 0 and 1, not 0, 0, 0, 1, 1, 1.
        w.Seam().ShowNormalityView(MakeNormalityData({}, "Tomato", "r"));
        QApplication::processEvents();
        auto* empty = w.findChildren<QWidget*>("NormalityChart").last();
        QTRY_VERIFY(empty->isVisible());
        const QStringList emptyTexts = ChartTexts(*empty);
        QCOMPARE(emptyTexts.count("0"), 1);
        QCOMPARE(emptyTexts.count("1"), 1);
    }

    void chartStaysBelowTheGrid() {
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        w.Seam().ShowNormalityView(MakeNormalityData(SomeClasses, "Tomato", "r"));
        auto* chart = w.findChild<QWidget*>("MSChart1");
        // A test after the chart: the grid comes, the chart makes room for it.
        w.Seam().SetGridSize(3, 3);
        w.Seam().SetGridCell(1, 1, " ----");
        w.Seam().RedrawGrid();
        w.Seam().SetVisible("MSFlexGrid1", true);
        auto* grid = w.findChild<QTableWidget*>("MSFlexGrid1");
        QVERIFY(chart->isVisible());
        QVERIFY(!chart->geometry().intersects(grid->geometry()));
        // And it takes the room back when the grid goes.
        w.Seam().SetVisible("MSFlexGrid1", false);
        QCOMPARE(chart->y(), 120);
    }

    void chartSavesAsLargerPngOrAsSvg() {
        QTemporaryDir folder;
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        w.Program().State().OutputBaseName = folder.filePath("ages").toStdString();
        w.Seam().ShowNormalityView(MakeNormalityData(SomeClasses, "Tomato", "r"));
        QStringList offered;
        QString nameToType;
        gui::SetPictureDialogueHook([&](QDialog& d) {
            QTimer::singleShot(0, &d, [&, dialog = &d] {
                if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                    offered << files->selectedFiles().value(0);
                    if (!nameToType.isEmpty()) files->selectFile(nameToType);
                    static_cast<QDialog*>(files)->accept();
                } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
                    input->setTextValue(input->comboBoxItems().value(1));  // twice the size
                    input->accept();
                }
            });
        });
        // The suggested name is accepted as it is.
        QTest::mouseClick(w.findChild<QPushButton*>("SaveChartPng"), Qt::LeftButton);
        const QString png = folder.filePath("ages-4_Frequency chart.png");
        QCOMPARE(offered, QStringList{png});
        const QSize picture = gui::NormalityPictureSize() * 2;
        QCOMPARE(QImage(png).size(), picture);
        // A name typed without its ending gets one.
        nameToType = folder.filePath("mine");
        QTest::mouseClick(w.findChild<QPushButton*>("SaveChartSvg"), Qt::LeftButton);
        QVERIFY(offered.last().endsWith("ages-4_Frequency chart.svg"));
        QFile svg(folder.filePath("mine.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
        gui::SetPictureDialogueHook({});
    }
};

VORTEL_GUI_TEST(MainWindowTest)
#include "MainWindowTest.moc"
