#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogueScript.h"
#include "Fixtures.h"
#include "gui/MainWindow.h"
#include "shell/mainwindow/Controls.h"

using namespace vortel;
using vortel::gui::MainWindow;
using namespace vortel::gui::test;

namespace {

constexpr std::int64_t March7 = 1709802303;  // 7 March 2024 09:05:03 UTC

QStringList Row(const QTableWidget& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells << (grid.item(row, c) ? grid.item(row, c)->text() : QString());
    return cells;
}

}  // namespace

class CartesianWindowTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTestEndsWithTheComparisonGrid() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(WriteTreatments(folder.path()));
        const QString a = folder.filePath("A.txt"), b = folder.filePath("B.txt"),
                      c = folder.filePath("C.txt");

        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        DialogueScript script(w.Ui());
        script
            .No()       // detailed info
            .No()       // reversed sort
            .Type("3")  // number of treatments
            .Type()     // no transformation
            .Pick(c)
            .Pick(a)
            .Pick(b)
            .Type();  // no code for the file name
        QTest::mouseClick(w.findChild<QPushButton*>("cmdCartesianDifference"), Qt::LeftButton);

        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY(script.AllUsed());
        QCOMPARE(script.Titles().first(), QString("Do you need detailed info?"));
        QCOMPARE(script.Titles().last(), QString("Add a code to the output filename?"));
        QCOMPARE(script.Defaults(), (QStringList{"2", "0", "1"}));

        auto* grid = w.findChild<QTableWidget*>("MSFlexGrid1");
        QVERIFY(grid->isVisible());
        QVERIFY(grid->isEnabled());
        QCOMPARE(grid->rowCount(), 4);
        for (int r = 0; r < 4; ++r) QCOMPARE(Row(*grid, r), GridRows[r]);
        QCOMPARE(grid->item(2, 1)->textAlignment(), int(Qt::AlignCenter));

        auto label = [&w](const char* name) { return w.findChild<QLabel*>(name); };
        QVERIFY(!label("Label2")->isVisible());
        QVERIFY(label("lblBootEnd")->isVisible());
        QVERIFY(label("lblBootEnd")->text().startsWith("Cartesian paired test ended at:"));
        QVERIFY(label("lblBootBegin")->text().startsWith("Cartesian paired test began at:"));
        // The report lands in the folder of the files chosen.
        const QFileInfo report(QString::fromStdString(w.Program().State().ResultFileName));
        QCOMPARE(report.fileName(), QString("25A-Cartesian diff results-r_202437-953.txt"));
        QVERIFY(QFile::exists(QDir(folder.path()).filePath(report.fileName())));
        // The launch leaves the commands disabled; Quit waits for the clock label.
        QVERIFY(!w.findChild<QPushButton*>("Command1")->isEnabled());

        // The README's picture of a finished test.
        const QByteArray pictures = qgetenv("VORTEL_SCREENSHOT_DIR");
        if (!pictures.isEmpty())
            QVERIFY(w.grab().save(
                QDir(QString::fromLocal8Bit(pictures)).filePath("main-window-after-test.png")));
    }

    // Twenty treatments: a grid of 21 rows and columns that keeps its design size and scrolls.
    void twentyTreatmentsScrollTheGrid() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        FixedClock clock(March7);
        MainWindow w(clock);
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
        const Control* design = FindControl("MSFlexGrid1");
        QVERIFY(design);
        QVERIFY(grid->width() <= design->Width / TwipsPerPixel);
        QVERIFY(grid->height() <= design->Height / TwipsPerPixel);
        QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
        QVERIFY(grid->verticalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(CartesianWindowTest)
#include "CartesianWindowTest.moc"
