#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
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
#include "gui/SvgView.h"
#include "shell/mainwindow/Controls.h"

using namespace vortel;
using vortel::gui::MainWindow;
using namespace vortel::gui::test;

namespace {

QStringList Row(const QTableWidget& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells << (grid.item(row, c) ? grid.item(row, c)->text() : QString());
    return cells;
}

using Session = WindowSession;

}  // namespace

class CartesianWindowTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTestEndsWithTheComparisonGrid() {
        Session s;
        QList<QUrl> opened;
        s.w.Results().SetOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        s.script
            .No()       // detailed info
            .No()       // reversed sort
            .Type("3")  // number of treatments
            .Type()     // no transformation
            .Pick(s.File("C.txt"))
            .Pick(s.File("A.txt"))
            .Pick(s.File("B.txt"))
            .Type();  // no code for the file name
        s.Press("cmdCartesianDifference");

        QCOMPARE(s.script.Unexpected(), QStringList());
        QVERIFY(s.script.AllUsed());
        QCOMPARE(s.script.Titles().first(), QString("Do you need detailed info?"));
        QCOMPARE(s.script.Titles().last(), QString("Add a code to the output filename?"));
        QCOMPARE(s.script.Defaults(), (QStringList{"2", "0", "1"}));

        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        QVERIFY(grid->isVisible());
        QVERIFY(grid->isEnabled());
        QCOMPARE(grid->rowCount(), 4);
        for (int r = 0; r < 4; ++r) QCOMPARE(Row(*grid, r), GridRows[r]);
        QCOMPARE(grid->item(2, 1)->textAlignment(), int(Qt::AlignCenter));

        QVERIFY(!s.Find<QLabel>("Label2")->isVisible());
        QVERIFY(s.Find<QLabel>("lblBootEnd")->isVisible());
        QVERIFY(s.Find<QLabel>("lblBootEnd")->text().startsWith("Cartesian paired test ended at:"));
        QVERIFY(
            s.Find<QLabel>("lblBootBegin")->text().startsWith("Cartesian paired test began at:"));
        // The report lands in the folder of the files chosen.
        const QString report = QDir(s.folder.path()).filePath(ReportName);
        QCOMPARE(QString::fromStdString(s.w.Program().State().ResultFileName), report);
        QVERIFY(QFile::exists(report));
        // The launch leaves the commands disabled; Quit waits for the clock label.
        QVERIFY(!s.Find<QPushButton>("Command1")->isEnabled());

        // The result line gives the report's whole path, selectable, and opens it or its folder.
        QVERIFY(s.w.Results().isVisible());
        auto* path = s.Find<QLineEdit>("ResultPath1");
        QCOMPARE(path->text(), QDir::toNativeSeparators(report));
        QVERIFY(path->isReadOnly());
        path->selectAll();
        QCOMPARE(path->selectedText(), QDir::toNativeSeparators(report));
        path->deselect();
        QCOMPARE(s.Find<QPushButton>("ResultOpen1")->text(), QString("Open report"));
        s.Press("ResultOpen1");
        s.Press("ResultOpenFolder");
        QCOMPARE(opened,
                 (QList<QUrl>{QUrl::fromLocalFile(report), QUrl::fromLocalFile(s.folder.path())}));
        // Nothing covers the result line or the grid.
        const QRect line = s.w.Results().geometry();
        QVERIFY(!line.intersects(grid->geometry()));
        QVERIFY(s.w.Results().parentWidget()->rect().contains(line));

        // The README's picture of a finished test.
        const QByteArray pictures = qgetenv("VORTEL_SCREENSHOT_DIR");
        if (!pictures.isEmpty()) {
            s.w.resize(MainWindow::DesignSize());
            QApplication::processEvents();
            QVERIFY(s.w.grab().save(
                QDir(QString::fromLocal8Bit(pictures)).filePath("main-window-after-test.png")));
        }
    }

    void enterFollowsTheAdviceAndAnAbandonedTestSaysWhy() {
        Session s;
        QString defaultButton;
        s.script
            .Then([&defaultButton](QDialog& d) {
                // The message advises No: Enter answers it so.
                auto& box = static_cast<QMessageBox&>(d);
                defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
                QTest::keyClick(&box, Qt::Key_Return);
            })
            .No()        // reversed sort
            .Type("1");  // too few treatments for a test
        s.script.Then([](QDialog& d) { static_cast<QMessageBox&>(d).accept(); });  // the refusal
        s.Press("cmdCartesianDifference");
        QCOMPARE(s.script.Unexpected(), QStringList());
        QVERIFY(s.script.AllUsed());
        QCOMPARE(defaultButton, QString("&No"));
        QVERIFY(!s.w.Program().State().FlowRecord);
        // The status label no longer claims a run, and the result line says what stopped it.
        QVERIFY(!s.Find<QLabel>("Label2")->isVisible());
        auto* message = s.Find<QLabel>("ResultMessage");
        QVERIFY(message && message->isVisible());
        QVERIFY2(message->text().startsWith("Abandoned: The number of treatments must be 2 to "),
                 qPrintable(message->text()));
    }

    void statusLabelWaitsWithTheQuestionAfterTheSort() {
        Session s;
        QString statusAtPrompt;
        s.script.No().No().Type("2").Type().Pick(s.File("A.txt")).Pick(s.File("B.txt"));
        s.script.Then([&](QDialog& d) {
            statusAtPrompt = s.Find<QLabel>("Label2")->text();
            static_cast<QInputDialog&>(d).accept();
        });
        s.Press("cmdCartesianDifference");
        QVERIFY(s.script.AllUsed());
        QCOMPARE(statusAtPrompt, QString("Waiting for your answer..."));
    }

    void gridCopiesAsTabSeparatedText() {
        Session s;
        s.script.No().No().Type("3").Type();
        s.script.Pick(s.File("A.txt")).Pick(s.File("B.txt")).Pick(s.File("C.txt")).Type();
        s.Press("cmdCartesianDifference");
        QVERIFY(s.script.AllUsed());
        const QString expected =
            "\tA\tB\tC\n"
            "A\t----\t.062\t1.12\n"
            "B\t.625\t----\t1.06\n"
            "C\t0*\t0*\t----\n";
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        QApplication::clipboard()->clear();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        // The same from the grid's menu.
        QApplication::clipboard()->clear();
        auto* copy = grid->findChild<QAction*>("CopyGrid");
        QVERIFY(grid->actions().contains(copy));
        QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
        copy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }

    void droppedFilesStartATestInTheirOrder() {
        Session s;
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(s.File("C.txt")), QUrl::fromLocalFile(s.File("A.txt")),
                       QUrl::fromLocalFile(s.File("B.txt"))});
        const QPoint at = s.w.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&s.w, &enter);
        QVERIFY(enter.isAccepted());
        // The questions still come; the files need no dialogue.
        s.script.No().No().Type().Type().Type();
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        drop.setAccepted(false);
        QApplication::sendEvent(&s.w, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY(s.script.AllUsed());
        QTRY_VERIFY(s.w.Results().isVisible());
        QCOMPARE(s.script.Unexpected(), QStringList());
        QCOMPARE(s.script.Defaults(), (QStringList{"3", "0", "1"}));
        const AnalysisState& state = s.w.Program().State();
        QCOMPARE(QString::fromStdString(state.EnteredFile(1)), s.File("C.txt"));
        QCOMPARE(QString::fromStdString(state.EnteredFile(2)), s.File("A.txt"));
        QCOMPARE(QString::fromStdString(state.EnteredFile(3)), s.File("B.txt"));
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        for (int r = 0; r < 4; ++r) QCOMPARE(Row(*grid, r), GridRows[r]);
        delete data;

        // A folder is no treatment file: the window takes no such drop.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(s.folder.path())});
        QDragEnterEvent refused(at, Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&s.w, &refused);
        QVERIFY(!refused.isAccepted());
    }

    // A table chosen in the file dialogue (which offers tables by their own filter) counts for
    // the treatments it holds; dropped, it suggests their number.
    void tablesInTheFileDialogueAndDropped() {
        Session s;
        QString table = "treatment,value,n,original,parameter\r\n";
        for (const auto& [name, shift] : {std::pair{"B", 0.0625}, std::pair{"C", 1.125}})
            for (double v : {1.875, 2.125, 2.0, 2.0})
                table += QString("%1,%2,30,2,r\r\n").arg(name).arg(v - shift);
        QFile file(s.File("BC.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(table.toUtf8());
        file.close();

        QStringList filters;
        s.script.No().No().Type("3").Type();
        s.script.Then([&](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            QVERIFY(files);
            filters = files->nameFilters();
            files->selectFile(s.File("A.txt"));
            d.accept();
        });
        s.script.Pick(s.File("BC.csv")).Type();
        s.Press("cmdCartesianDifference");
        QTRY_VERIFY(s.script.AllUsed());
        QCOMPARE(s.script.Unexpected(), QStringList());
        QVERIFY(filters.contains("Tables (*.csv)"));
        QCOMPARE(s.script.Titles()[5], QString("Input treatment 2"));
        QCOMPARE(s.script.Titles().size(), 7);  // no dialogue for treatment 3
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        for (int r = 0; r < 4; ++r) QCOMPARE(Row(*grid, r), GridRows[r]);

        Session dropped;
        QVERIFY(QFile::copy(s.File("BC.csv"), dropped.File("BC.csv")));
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(dropped.File("BC.csv")),
                       QUrl::fromLocalFile(dropped.File("A.txt"))});
        dropped.script.No().No().Type().Type().Type();
        const QPoint at = dropped.w.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&dropped.w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        drop.setAccepted(false);
        QApplication::sendEvent(&dropped.w, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY(dropped.script.AllUsed());
        QTRY_VERIFY(dropped.w.Results().isVisible());
        QCOMPARE(dropped.script.Unexpected(), QStringList());
        QCOMPARE(dropped.script.Defaults(), (QStringList{"3", "0", "1"}));
        auto* droppedGrid = dropped.Find<QTableWidget>("MSFlexGrid1");
        for (int r = 0; r < 4; ++r) QCOMPARE(Row(*droppedGrid, r), GridRows[r]);
        delete data;
    }

    void severalTreatmentsInOneFileDialogue() {
        Session s;
        s.script.No().No().Type("3").Type();
        s.script.PickSeveral({s.File("B.txt"), s.File("C.txt")}).Pick(s.File("A.txt")).Type();
        s.Press("cmdCartesianDifference");
        QCOMPARE(s.script.Unexpected(), QStringList());
        QVERIFY(s.script.AllUsed());
        // One dialogue for the first two, the third asked on its own.
        QVERIFY(s.script.Titles()[4].startsWith("Input treatment 1 (up to 3 files"));
        QCOMPARE(s.script.Titles()[5], QString("Input treatment 3"));
        const AnalysisState& state = s.w.Program().State();
        QCOMPARE(QString::fromStdString(state.EnteredFile(1)), s.File("B.txt"));
        QCOMPARE(QString::fromStdString(state.EnteredFile(2)), s.File("C.txt"));
        QCOMPARE(QString::fromStdString(state.EnteredFile(3)), s.File("A.txt"));
        QVERIFY(QFile::exists(QDir(s.folder.path()).filePath(ReportName)));
    }

    // Twenty treatments: a grid of 21 rows and columns that takes the height the display has
    // and scrolls; the figure's 190 panels in a view of their own, each at a size that reads.
    void twentyTreatmentsFillTheDisplayAndTheirOwnView() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        FixedClock clock(March7);
        MainWindow w(clock);
        w.resize(gui::FittedWindowSize(MainWindow::DesignSize(), QRect(0, 0, 1366, 740)));
        w.show();
        DialogueScript script(w.Ui());
        script.No().No().Type("20").Type();
        for (int k = 1; k <= 20; ++k) {
            const QString name = QString("T%1").arg(k);
            QFile file(QDir(folder.path()).filePath(name + ".txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Treatment(name.toUtf8().constData(), 0.25 * k).toUtf8());
            file.close();
            script.Pick(file.fileName());
        }
        script.Type();
        QTest::mouseClick(w.findChild<QPushButton*>("cmdCartesianDifference"), Qt::LeftButton);
        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY(script.AllUsed());

        auto* grid = w.findChild<QTableWidget*>("MSFlexGrid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->rowCount(), 21);
        QCOMPARE(grid->columnCount(), 21);
        QCOMPARE(grid->item(0, 20)->text(), QString("T20"));
        QCOMPARE(grid->item(20, 0)->text(), QString("T20"));
        QCOMPARE(grid->item(20, 20)->text(), QString(" ----"));
        // Down to the bar above the result line, no further: no empty band below it.
        auto* bar = w.findChild<QWidget*>("ResultsBar");
        QVERIFY(bar->isVisible());
        const int gap = bar->y() - grid->geometry().bottom();
        QVERIFY2(gap > 0 && gap <= 12, qPrintable(QString::number(gap)));
        QVERIFY(grid->rowAt(grid->viewport()->height() - 1) >= 10);
        QVERIFY(grid->geometry().right() < grid->parentWidget()->width());
        QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
        QVERIFY(grid->verticalScrollBar()->maximum() > 0);

        w.findChild<QAbstractButton*>("ShowDifferences")->click();
        auto* view = w.Differences();
        QVERIFY(view->isVisible());
        QCOMPARE(view->geometry(), w.rect());
        // The core's drawing at its own size: every panel with its title, axis and the four
        // marked values the key names.
        gui::SvgView* figure = view->Figure();
        QCOMPARE(figure->size(), figure->Renderer().defaultSize());
        QVERIFY(view->Scroller()->verticalScrollBar()->maximum() > 0);
        const QByteArray svg = QByteArray::fromStdString(view->Svg());
        QCOMPARE(svg.count(QString::fromUtf8(" \u2212 ").toUtf8()), 190);
        QCOMPARE(svg.count(">Cartesian difference</text>"), 190);
        for (const char* mark : {">0<", ">Mean<", ">t 95% interval<", ">Percentile 95% interval<"})
            QVERIFY2(svg.contains(mark), mark);
        // The first row's panels are in sight from the start, side by side.
        QVERIFY(figure->width() <= view->Scroller()->viewport()->width());
        w.findChild<QAbstractButton*>("HideDifferences")->click();
        QVERIFY(!view->isVisible());
        QVERIFY(grid->isVisible());
    }

    // After a test the keyboard reaches every control of the results: Tab leaves the grid for
    // the results' buttons, the report's path, Open report and Open folder, and Alt+D shows the
    // differences.
    void tabReachesTheResultsAfterATest() {
        Session s;
        s.w.Results().SetOpener([](const QUrl&) { return true; });
        s.script.No().No().Type("3").Type();
        s.script.Pick(s.File("A.txt")).Pick(s.File("B.txt")).Pick(s.File("C.txt")).Type();
        s.Press("cmdCartesianDifference");
        QCOMPARE(s.script.Unexpected(), QStringList());
        QApplication::setActiveWindow(&s.w);
        QVERIFY(QTest::qWaitForWindowActive(&s.w));
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        grid->setFocus();
        QVERIFY(grid->hasFocus());
        QStringList visited;
        for (int k = 0; k < 8 && !visited.contains("ResultOpenFolder"); ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{"ShowDifferences", "ShowPaper", "ExportResultsCsv",
                                       "ResultPath1", "ResultOpen1", "ResultOpenFolder"}));
        QTest::keyClick(&s.w, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(s.w.Differences()->isVisible());  // a shortcut clicks its button shortly
    }

    // A long treatment name is cut short in the grid and the figure's titles, whole in their
    // tooltips (the panel's SVG title), so the values and the P-values stay in sight.
    void longNamesAreCutShortWithTheWholeNameInATooltip() {
        Session s;
        const QString longName = QString("Treatment ") + QString(185, QChar('x'));
        QFile file(s.File("Long.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Treatment(longName.toUtf8().constData(), 0.0625).toUtf8());
        file.close();
        s.script.No().No().Type("3").Type();
        s.script.Pick(s.File("A.txt")).Pick(file.fileName()).Pick(s.File("C.txt")).Type();
        s.Press("cmdCartesianDifference");
        QCOMPARE(s.script.Unexpected(), QStringList());
        auto* grid = s.Find<QTableWidget>("MSFlexGrid1");
        QCOMPARE(grid->rowCount(), 4);
        QTableWidgetItem* heading = grid->item(0, 2);
        QCOMPARE(heading->text(), longName);
        QCOMPARE(heading->toolTip(), longName);
        // Every column fits the display, so every value is in view.
        QVERIFY2(grid->columnWidth(2) <= 200, qPrintable(QString::number(grid->columnWidth(2))));
        QVERIFY(grid->rowAt(grid->viewport()->height() - 1) == -1 ||
                grid->rowAt(grid->viewport()->height() - 1) >= 3);
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        s.w.findChild<QAbstractButton*>("ShowDifferences")->click();
        // Each panel's title is one <text> of 12.5 px after the panel's frame.
        const QString svg = QString::fromStdString(s.w.Differences()->Svg());
        QCOMPARE(svg.count("<title>"), 1 + 2);  // the drawing's, and the two panels' cut short
        QCOMPARE(svg.count(longName), 2);       // whole in those two only
        static const QRegularExpression title("font-size=\"12.5\">([^<]*)</text>");
        int cut = 0;
        for (const QRegularExpressionMatch& m : title.globalMatch(svg)) {
            const QString shown = m.captured(1);
            if (!shown.contains(QString::fromUtf8("\u2026"))) continue;
            ++cut;
            QVERIFY2(shown.size() < 70 && shown.contains("(P = "), qPrintable(shown));
        }
        QCOMPARE(cut, 2);
    }
};

VORTEL_GUI_TEST(CartesianWindowTest)
#include "CartesianWindowTest.moc"
