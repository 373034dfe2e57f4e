// What the display shows after commands: results that stay, each command's results in place of
// the last one's, charts that read whole at the size the window opens with, and a report that
// never takes another's place.
#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogueScript.h"
#include "Fixtures.h"
#include "GuiTests.h"
#include "WindowSession.h"
#include "gui/DifferencesView.h"
#include "gui/MainWindow.h"
#include "gui/ResultLine.h"
#include "gui/SvgView.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "sortcount/SortForBootstrapResults.h"

using namespace vortel;
using vortel::gui::MainWindow;
using namespace vortel::gui::test;

namespace {

// The size the window opens with on a 1366 x 768 screen less a panel.
QSize OpeningSize() {
    return gui::FittedWindowSize(MainWindow::DesignSize(), QRect(0, 0, 1366, 740));
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A window at its opening size, the treatments A, B and C and the first example's bootstrap
// values in a folder.
struct DisplaySession : WindowSession {
    DisplaySession() {
        QFile::copy(QString(VORTEL_EXAMPLES) + "/treatment-1.txt", File("Tomato.txt"));
        w.resize(OpeningSize());
    }
    bool Shown(const char* name) {
        auto* widget = Find(name);
        return widget && widget->isVisible();
    }
    void Test() {
        script.No().No().Type("3").Type();
        script.Pick(File("A.txt")).Pick(File("B.txt")).Pick(File("C.txt")).Type();
        w.RunCommand(AskAndRunCartesianTest);
    }
    // "N. Sort, norm." of the example's bootstrap values to three decimals, with its chart.
    void Sort() {
        script
            .Press(QMessageBox::No)  // bootstrap results
            .No()                    // no serial numbers
            .Pick(File("Tomato.txt"))
            .Type("3")
            .Press(QMessageBox::Ok)
            .Press(QMessageBox::Ok)
            .Yes();  // the frequency view
        w.RunCommand(AskAndRunSortCount);
    }
    // Buttons on screen that save a picture.
    int SaveButtonsShown() {
        int n = 0;
        for (auto* b : w.findChildren<QAbstractButton*>())
            n += b->isVisible() && b->text().startsWith("Save as PNG");
        return n;
    }
};

// Every text a chart view draws that Qt Charts has cut short.
QStringList CutTexts(QWidget& area) {
    QStringList cut;
    for (const QString& text : ChartTexts(area))
        if (text.contains("...") || text.contains(QChar(0x2026))) cut << text;
    return cut;
}

// The axis titles that no text of their chart draws in full.
QStringList TitlesNotWhole(QWidget& area) {
    QStringList missing;
    const QStringList drawn = ChartTexts(area);
    for (auto* view : area.findChildren<QChartView*>())
        for (QAbstractAxis* axis : view->chart()->axes())
            if (!axis->titleText().isEmpty() && !drawn.contains(axis->titleText()))
                missing << axis->titleText();
    return missing;
}

}  // namespace

class ResultsDisplayTest : public QObject {
    Q_OBJECT

private slots:
    // A test within 15 s of start-up keeps its results when the start-up timer comes; with
    // nothing run, the overview still comes as before.
    void resultsOutlastTheStartUpTimer() {
        DisplaySession s;
        s.clock.Advance(5);
        s.w.Tick();
        s.Test();
        QVERIFY(s.script.AllUsed());
        for (int second = 6; second <= 30; ++second) {
            s.clock.Advance(1);
            s.w.Tick();
        }
        for (const char* shown : {"MSFlexGrid1", "ResultLine", "ResultsBar"})
            QVERIFY2(s.Shown(shown), shown);
        QVERIFY(!s.Shown("Label14"));
        QVERIFY(!s.Shown("Image1"));
        QCOMPARE(s.Find<QLineEdit>("ResultPath1")->text(),
                 QDir::toNativeSeparators(s.File("25A-Cartesian diff results-r_202437-958.txt")));
    }

    void eachCommandReplacesTheResultsBefore() {
        DisplaySession s;
        s.Sort();
        QVERIFY(s.script.AllUsed());
        QVERIFY(s.Shown("NormalityChart"));
        QCOMPARE(s.SaveButtonsShown(), 1);

        // A test after the chart: the chart and its buttons go; the grid, the bar and the
        // result line share the display.
        s.Test();
        QVERIFY(s.script.AllUsed());
        QTRY_VERIFY(!s.Find("NormalityChart"));
        QVERIFY(!s.Shown("MSChart1"));
        QCOMPARE(s.SaveButtonsShown(), 0);  // the figure's are in its own view
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        QVERIFY(grid->isVisible());

        // A sort after the test: the grid goes, and the chart has the display down to the
        // result line; nothing of the overview shows.
        s.Sort();
        QVERIFY(s.script.AllUsed());
        QVERIFY(!grid->isVisible());
        QVERIFY(!s.Shown("ResultsBar"));
        QVERIFY(!s.Shown("Label14"));
        auto* host = s.Find("MSChart1");
        QCOMPARE(host->y(), 120);
        QCOMPARE(host->geometry().bottom() + 7, s.w.Results().y());
        QVERIFY2(host->height() > 300, qPrintable(QString::number(host->height())));
        QCOMPARE(s.SaveButtonsShown(), 1);
        QCOMPARE(s.w.findChildren<QWidget*>("NormalityChart").size(), 1);
    }

    // Every tick label and axis title reads whole in the window as it opens on a 1366 x 768
    // screen, after a test and a sort (three result files), and in a larger window.
    void chartReadsWholeAtTheOpeningSize() {
        DisplaySession s;
        s.Test();
        s.Sort();
        QVERIFY(s.script.AllUsed());
        QCOMPARE(s.w.size(), OpeningSize());
        for (const QSize size : {OpeningSize(), QSize(1900, 1150)}) {
            s.w.resize(size);
            QApplication::processEvents();
            auto* chart = s.Find("NormalityChart");
            QVERIFY(chart && chart->isVisible());
            if (size == OpeningSize()) {
                // The README's picture of the chart as the window opens.
                const QByteArray pictures = qgetenv("VORTEL_SCREENSHOT_DIR");
                if (!pictures.isEmpty())
                    QVERIFY(s.w.grab().save(
                        QDir(QString::fromLocal8Bit(pictures)).filePath("main-window-chart.png")));
            }
            QCOMPARE(CutTexts(*chart).join(" | "), QString());
            QCOMPARE(TitlesNotWhole(*chart), QStringList());
        }
    }

    // The five examples' ten pairs in the view of their own, as the window opens on a 1366 x 768
    // screen: the whole window, panels at full size side by side, the rest a scroll away.
    void differencesOfTheFiveExamplesFillTheWindow() {
        DisplaySession s;
        QVERIFY(s.RunFiveExamples());
        s.Find<QAbstractButton>("ShowDifferences")->click();
        gui::DifferencesView* view = s.w.Differences();
        QCOMPARE(view->geometry(), s.w.rect());
        gui::SvgView* figure = view->Figure();
        QCOMPARE(figure->size(), figure->Renderer().defaultSize());
        QVERIFY(figure->width() <= view->Scroller()->viewport()->width());
        QVERIFY(view->Scroller()->verticalScrollBar()->maximum() > 0);
        QCOMPARE(view->Scroller()->verticalScrollBar()->value(), 0);
        const QByteArray pictures = qgetenv("VORTEL_SCREENSHOT_DIR");
        if (!pictures.isEmpty())
            QVERIFY(s.w.grab().save(
                QDir(QString::fromLocal8Bit(pictures)).filePath("main-window-differences.png")));
    }

    // Where the desktop opens nothing (no file manager, no program for the file), the window
    // says so and gives the path to copy: whether the opener refuses at once or its xdg-open
    // fails after it has started. Where it opens the file, nothing is said.
    void openingThatFailsGivesThePath() {
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        const auto desktop = [&](int status) {
            QFile script(bin.filePath("xdg-open"));
            QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
            script.write(QString("#!/bin/sh\nexit %1\n").arg(status).toUtf8());
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
        const QString report = bin.filePath("report.txt");
        const auto message = [](gui::ResultLine& line) {
            return line.findChild<QMessageBox*>("CannotOpen");
        };
        for (int refused = 0; refused < 3; ++refused) {
            gui::ResultLine line;
            if (refused == 0) line.SetOpener([](const QUrl&) { return false; });
            desktop(refused == 1 ? 3 : 0);  // 3: xdg-open found no program for it
            line.ShowFiles({{"Report", report.toStdString()}});
            QTest::mouseClick(line.findChild<QPushButton*>("ResultOpenFolder"), Qt::LeftButton);
            if (refused == 2) {
                QTest::qWait(300);
                QVERIFY(!message(line));
                continue;
            }
            QTRY_VERIFY(message(line) && message(line)->isVisible());
            QVERIFY(message(line)->text().contains(bin.path()));
            QVERIFY(message(line)->textInteractionFlags() & Qt::TextSelectableByMouse);
        }
        qputenv("PATH", path);
    }

    // Two tests in the same second would take one report name: the second report goes to
    // "(2)", the result line and the data-file box name it, and the first stays as it was.
    void aSecondReportOfTheSameNameKeepsTheFirst() {
        DisplaySession s;
        s.Test();
        const QString first = s.File(ReportName.toUtf8().constData());
        const QByteArray firstBytes = Bytes(first);
        QVERIFY(!firstBytes.isEmpty());
        s.Test();
        QVERIFY(s.script.AllUsed());
        const QString second = s.File("25A-Cartesian diff results-r_202437-953 (2).txt");
        QCOMPARE(Bytes(first), firstBytes);
        QVERIFY(Bytes(second).contains("Comparison between A vs B"));
        QCOMPARE(QString::fromStdString(s.w.Program().State().ResultFileName), second);
        QCOMPARE(s.Find<QLineEdit>("ResultPath1")->text(), QDir::toNativeSeparators(second));
        QCOMPARE(s.Find<QLineEdit>("txtDatafile")->text(), "Output file is: " + second);

        // The tables and the figure offered follow the report's new name.
        const QString stem = second.chopped(4);
        QString offered;
        s.script
            .Then([&offered](QDialog& d) {
                auto& files = static_cast<QFileDialog&>(d);
                offered = files.selectedFiles().value(0);
                files.reject();
            })
            .Press(QMessageBox::Ok);
        s.Find<QAbstractButton>("SaveDifferencesPng")->click();
        QCOMPARE(offered, stem + " differences.png");
        s.Find<QAbstractButton>("ExportResultsCsv")->click();
        QVERIFY(s.script.AllUsed());
        QVERIFY(QFile::exists(stem + " pairs.csv"));
        QVERIFY(QFile::exists(stem + " treatments.csv"));
        QCOMPARE(Bytes(first), firstBytes);
    }
};

VORTEL_GUI_TEST(ResultsDisplayTest)
#include "ResultsDisplayTest.moc"
