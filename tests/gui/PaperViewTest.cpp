// "For the paper…": the view shows the core's table and means figure of the last test, with the
// settings the user chose, and copies and saves exactly those.
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSpinBox>
#include <QTextBrowser>
#include <QXmlStreamReader>
#include <QtTest>

#include "GuiTests.h"
#include "WindowSession.h"
#include "gui/PaperView.h"
#include "report/MeansFigure.h"
#include "report/PaperTable.h"

using namespace vortel;
using namespace vortel::gui::test;

namespace {

bool WellFormed(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) reader.readNext();
    return !reader.hasError();
}

}  // namespace

class PaperViewTest : public QObject {
    Q_OBJECT

private slots:
    void showsCopiesAndSavesTheTestsTableAndFigure() {
        WindowSession s;
        s.script.No().No().Type("3").Type();
        s.script.Pick(s.File("A.txt")).Pick(s.File("B.txt")).Pick(s.File("C.txt")).Type();
        s.Press("cmdCartesianDifference");
        QVERIFY(s.script.AllUsed());
        gui::PaperView* view = s.w.Paper();
        const AnalysisState& state = s.w.Program().State();
        const CartesianResult result = CartesianResultOf(state, state, state);

        // Alt+P opens the view over the whole window, where the differences were.
        s.Find<QAbstractButton>("ShowDifferences")->click();
        s.w.activateWindow();  // shortcuts act in the active window
        QVERIFY(QTest::qWaitForWindowActive(&s.w));
        QTest::keyClick(&s.w, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(view->isVisible());
        QVERIFY(!s.w.Differences()->isVisible());
        QCOMPARE(view->geometry(), s.w.rect());

        // The table and the figure as the core writes them, at the decimals it chose.
        QCOMPARE(view->Decimals()->value(), PaperDecimals(result));
        QCOMPARE(view->Table(PaperFormat::Html), PaperTableOf(result, PaperFormat::Html));
        QVERIFY(view->TableView()->toPlainText().contains(
            QString::fromStdString(result.Treatments.front().Name)));
        QCOMPARE(view->FigureSvg(), MeansFigureSvg(result));
        // Settings change both.
        view->Decimals()->setValue(4);
        s.Find<QAbstractButton>("PaperBars")->click();
        s.Find<QAbstractButton>("PaperDouble")->click();
        const MeansFigureOptions chosen{MeansStyle::Bars, FigureColumn::Double};
        QCOMPARE(view->FigureSvg(), MeansFigureSvg(result, chosen));
        QVERIFY(WellFormed(QByteArray::fromStdString(view->FigureSvg())));
        QVERIFY(view->TableView()->toPlainText().contains(
            QString::fromStdString(FixedDecimals(PaperEstimate(result, result.Treatments[0]), 4))));

        // Copy: HTML for a word processor, Markdown for a text.
        s.Find<QAbstractButton>("CopyPaperTable")->click();
        const QMimeData* copied = QApplication::clipboard()->mimeData();  // read, not owned
        QCOMPARE(copied->html().toStdString(), PaperTableOf(result, PaperFormat::Html, 4));
        QCOMPARE(copied->text().toStdString(), PaperTableOf(result, PaperFormat::Markdown, 4));
        // The figure: its SVG, and a picture of it at 300 dpi.
        s.Find<QAbstractButton>("CopyPaperFigure")->click();
        copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->data("image/svg+xml").toStdString(), MeansFigureSvg(result, chosen));
        QCOMPARE(qvariant_cast<QImage>(copied->imageData()).width(),
                 qRound(MeansFigureSize(result, chosen).Width / 25.4 * 300));

        // Save: the ending chooses the format; a name without one is the suggested kind.
        const QString base = s.File("25A-Cartesian diff results-r_202437-953");
        s.script.Pick(base + " paper.TEX").Pick(base + " paper").Pick(base + " means.svg");
        s.script.Pick(base + " means.png");
        s.Find<QAbstractButton>("SavePaperTable")->click();
        s.Find<QAbstractButton>("SavePaperTable")->click();
        s.Find<QAbstractButton>("SavePaperFigure")->click();
        s.Find<QAbstractButton>("SavePaperFigure")->click();
        QCOMPARE(FileBytes(base + " paper.TEX").toStdString(),
                 PaperTableOf(result, PaperFormat::Latex, 4));
        QCOMPARE(FileBytes(base + " paper.html").toStdString(),
                 PaperTableOf(result, PaperFormat::Html, 4));
        QCOMPARE(FileBytes(base + " means.svg").toStdString(), MeansFigureSvg(result, chosen));
        const QImage png(base + " means.png");
        const FigureSizeMm mm = MeansFigureSize(result, chosen);
        QCOMPARE(png.width(), qRound(mm.Width / 25.4 * 600));
        QCOMPARE(png.dotsPerMeterX(), 23622);  // 600 dpi
        // Another ending is refused, and nothing is written.
        s.script.Pick(base + " paper.txt").Press(QMessageBox::Ok);
        s.Find<QAbstractButton>("SavePaperTable")->click();
        QVERIFY(!QFile::exists(base + " paper.txt"));
        QCOMPARE(s.script.Unexpected(), QStringList());
        QVERIFY(s.script.AllUsed());

        // Esc goes back; the next command withdraws the offer.
        s.w.activateWindow();  // the message box had it
        QVERIFY(QTest::qWaitForWindowActive(&s.w));
        QTest::keyClick(view->TableView(), Qt::Key_Escape);
        QTRY_VERIFY(!view->isVisible());
        s.script.Press(QMessageBox::Cancel);
        s.w.RunCommand([](AnalysisState&, Services& services) {
            services.ui.AskYesNoCancel("Which kind of file?", "Sort and count");
        });
        QVERIFY(!view->Offered());
        QVERIFY(!s.Find("ShowPaper")->isVisible());
    }

    // The docs' picture: the five examples' view as the window opens on a 1366 x 768 screen.
    void pictureOfTheFiveExamples() {
        const QByteArray pictures = qgetenv("VORTEL_SCREENSHOT_DIR");
        if (pictures.isEmpty()) QSKIP("VORTEL_SCREENSHOT_DIR names no folder");
        WindowSession s;
        s.w.resize(gui::FittedWindowSize(gui::MainWindow::DesignSize(), QRect(0, 0, 1366, 740)));
        QVERIFY(s.RunFiveExamples());
        s.Find<QAbstractButton>("ShowPaper")->click();
        QApplication::processEvents();
        QVERIFY(
            s.w.grab().save(QDir(QString::fromLocal8Bit(pictures)).filePath("window-paper.png")));
    }
};

VORTEL_GUI_TEST(PaperViewTest)
#include "PaperViewTest.moc"
