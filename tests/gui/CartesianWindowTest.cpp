#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogueScript.h"
#include "gui/MainWindow.h"

using namespace vortel;
using vortel::gui::MainWindow;
using vortel::gui::test::DialogueScript;

namespace {

constexpr std::int64_t March7 = 1709802303;  // 7 March 2024 09:05:03 UTC

// Four values each, so every pair has 16 differences that can be listed by hand. Means 2,
// 1.9375 and 0.875: the mean differences are 0.0625, 1.125 and 1.0625 and land on halves
// when rounded for the grid.
QString Treatment(const char* name, double shift) {
    QString text = QString("%1\nBootstrap results\n30\nLife table\n4\nr\n30\n2\n").arg(name);
    for (double v : {1.875, 2.125, 2.0, 2.0}) text += QString::number(v - shift) + "\n";
    return text;
}

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

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
        const QString a = folder.filePath("A.txt"), b = folder.filePath("B.txt"),
                      c = folder.filePath("C.txt");
        WriteFile(c, Treatment("C", 1.125));
        WriteFile(a, Treatment("A", 0));
        WriteFile(b, Treatment("B", 0.0625));

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
        QCOMPARE(Row(*grid, 0), (QStringList{"", "A", "B", "C"}));
        QCOMPARE(Row(*grid, 1), (QStringList{"A", " ----", " .062", " 1.12"}));
        // 10 of the 16 A-B differences fall outside (0, 0.125); the t interval of both pairs
        // with C lies above zero, that of A-B does not.
        QCOMPARE(Row(*grid, 2), (QStringList{"B", " .625", " ----", " 1.06"}));
        QCOMPARE(Row(*grid, 3), (QStringList{"C", " 0*", " 0*", " ----"}));
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
};

QTEST_MAIN(CartesianWindowTest)
#include "CartesianWindowTest.moc"
