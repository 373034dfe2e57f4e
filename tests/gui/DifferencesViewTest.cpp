// The differences figure written offscreen, and the window's offer of it and of the CSV tables
// once a test has written its report.
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "DialogueScript.h"
#include "Fixtures.h"
#include "GuiTests.h"
#include "gui/DifferencesFigure.h"
#include "gui/DifferencesView.h"
#include "gui/MainWindow.h"
#include "gui/SvgView.h"
#include "report/DifferencesSvg.h"

using namespace vortel;
using vortel::gui::MainWindow;
using namespace vortel::gui::test;

namespace {

// `n` pairs of small samples 0..4 and -1..2, each pair titled by its number.
std::vector<PairDifferences> Pairs(int n) {
    const std::vector<double> larger{0, 1, 2, 3, 4}, smaller{-1, 0, 1, 2};
    std::vector<PairDifferences> pairs;
    for (int k = 1; k <= n; ++k) {
        PairDifferences p;
        p.Minuend = std::string("T").append(std::to_string(k));
        p.Subtrahend = std::string("U").append(std::to_string(k));
        p.Mean = 1.5;
        p.TLower = -0.5;
        p.TUpper = 3.5;
        p.PercentileLower = -1;
        p.PercentileUpper = 4;
        p.P = 0.25;
        p.Histogram = HistogramOfDifferences(larger, smaller, 10);
        pairs.push_back(p);
    }
    return pairs;
}

// Empty when `xml` is well-formed, else the parser's complaint.
QString XmlError(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) reader.readNext();
    return reader.hasError() ? reader.errorString() : QString();
}

}  // namespace

class DifferencesViewTest : public QObject {
    Q_OBJECT

private slots:
    // The SVG is the core's drawing byte for byte; the PNG is that drawing at twice its size.
    void figureWrittenAsPngAndSvg() {
        QTemporaryDir folder;
        const auto pairs = Pairs(10);
        const QString png = folder.filePath("figure.png"), svg = folder.filePath("figure.SVG");
        gui::SaveDifferencesFigure(pairs, png.toStdString());
        gui::SaveDifferencesFigure(pairs, svg.toStdString());
        const QByteArray text = FileBytes(svg);
        QCOMPARE(text, QByteArray::fromStdString(DifferencesFigureSvg(pairs)));
        QCOMPARE(XmlError(text), QString());
        const QImage image(png);
        QCOMPARE(image.size(), QSvgRenderer(text).defaultSize() * gui::DifferencesPngScale);
        QCOMPARE(image.dotsPerMeterX(), 7559);  // 192 dpi
        // Every panel's title, in report order.
        qsizetype at = 0;
        for (int k = 1; k <= 10; ++k) {
            at = text.indexOf(QString("T%1 \u2212 U%1  (P = 0.25)").arg(k).toUtf8(), at);
            QVERIFY2(at >= 0, qPrintable(QString("panel %1").arg(k)));
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    }

    void figureThatCannotBeWrittenNamesItsFile() {
        QTemporaryDir folder;
        const std::string into = folder.filePath("missing/figure.png").toStdString();
        try {
            gui::SaveDifferencesFigure(Pairs(1), into);
            QFAIL("no failure");
        } catch (const RunStopped& e) {
            QVERIFY(std::string(e.what()).find(into) != std::string::npos);
        }
        QVERIFY(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void windowOffersFigureAndTablesAfterATest() {
        QTemporaryDir folder;
        QVERIFY(WriteTreatments(folder.path()));
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        DialogueScript script(w.Ui());
        script.No()
            .No()
            .Type("3")
            .Type()
            .Pick(folder.filePath("C.txt"))
            .Pick(folder.filePath("A.txt"))
            .Pick(folder.filePath("B.txt"))
            .Type();
        gui::DifferencesView* view = w.Differences();
        QVERIFY(view);
        auto* bar = w.findChild<QWidget*>("ResultsBar");
        QVERIFY(!bar->isVisible());
        QTest::mouseClick(w.findChild<QPushButton*>("cmdCartesianDifference"), Qt::LeftButton);
        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY(bar->isVisible());
        QVERIFY(!view->isVisible());

        w.findChild<QAbstractButton*>("ShowDifferences")->click();
        QVERIFY(view->isVisible());
        // The whole window, and it stays so when the window grows.
        QCOMPARE(view->geometry(), w.rect());
        w.resize(gui::FittedWindowSize(MainWindow::DesignSize(), QRect(0, 0, 1366, 740)));
        QApplication::processEvents();
        QCOMPARE(view->geometry(), w.rect());
        w.findChild<QAbstractButton*>("ShowDifferences")->click();
        QVERIFY(!view->isVisible());

        // What the view showed and saved is what the page shows: the core's drawing of the
        // same pairs, byte for byte.
        const QString base = folder.filePath("25A-Cartesian diff results-r_202437-953");
        script.Pick(base + " differences.svg");
        w.findChild<QAbstractButton*>("SaveDifferencesSvg")->click();
        const QByteArray saved = FileBytes(base + " differences.svg");
        const AnalysisState& state = w.Program().State();
        QCOMPARE(saved, QByteArray::fromStdString(
                            DifferencesFigureSvg(DifferencesOfPairs(state, state, state))));
        QCOMPARE(saved, QByteArray::fromStdString(view->Svg()));
        QCOMPARE(XmlError(saved), QString());
        QCOMPARE(view->Figure()->size(), view->Figure()->Renderer().defaultSize());
        script.Pick(base + " differences");  // the ending follows the button
        w.findChild<QAbstractButton*>("SaveDifferencesPng")->click();
        QCOMPARE(QImage(base + " differences.png").size(),
                 view->Figure()->size() * gui::DifferencesPngScale);

        // Written beside the report; a second export asks before it replaces them.
        script.Press(QMessageBox::Ok);
        w.findChild<QAbstractButton*>("ExportResultsCsv")->click();
        QFile pairs(base + " pairs.csv");
        QVERIFY(pairs.open(QIODevice::ReadOnly));
        QCOMPARE(pairs.readAll().count("\r\n"), 4);  // header and three pairs
        QVERIFY(QFile::exists(base + " treatments.csv"));
        QFile::remove(base + " treatments.csv");
        // Enter keeps the tables: they may have been edited since.
        QString defaultButton;
        script.Then([&defaultButton](QDialog& d) {
            auto& box = static_cast<QMessageBox&>(d);
            defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QFile::resize(base + " pairs.csv", 7);
        w.findChild<QAbstractButton*>("ExportResultsCsv")->click();
        QCOMPARE(defaultButton, QString("&No"));
        QVERIFY(!QFile::exists(base + " treatments.csv"));
        QCOMPARE(QFileInfo(base + " pairs.csv").size(), 7);
        script.Yes().Press(QMessageBox::Ok);
        w.findChild<QAbstractButton*>("ExportResultsCsv")->click();
        QVERIFY(QFile::exists(base + " treatments.csv"));
        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY(script.AllUsed());

        // The next command takes the area back.
        w.findChild<QAbstractButton*>("ShowDifferences")->click();
        script.Press(QMessageBox::Cancel);  // the sort utility's first question
        w.RunCommand([](AnalysisState&, Services& s) {
            s.ui.AskYesNoCancel("Which kind of file?", "Sort and count");
        });
        QVERIFY(!bar->isVisible());
        QVERIFY(!view->isVisible());
    }
};

VORTEL_GUI_TEST(DifferencesViewTest)
#include "DifferencesViewTest.moc"
