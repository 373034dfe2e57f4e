#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "gui/MainWindow.h"
#include "shell/mainwindow/Greetings.h"
#include "shell/base/NumberText.h"
#include "sortcount/NormalityView.h"

using namespace vortel;
using vortel::gui::MainWindow;

namespace {

constexpr std::int64_t March7 = 1709802303;  // 7 March 2024 09:05:03 UTC

QStringList EnabledButtons(const QWidget& window) {
    QStringList names;
    for (auto* b : window.findChildren<QPushButton*>())
        if (b->isEnabled()) names << b->objectName();
    names.sort();
    return names;
}

// Saves a picture for the README when VORTEL_SCREENSHOT_DIR names a folder.
void Picture(QWidget& w, const char* name) {
    const QByteArray folder = qgetenv("VORTEL_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(w.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name)));
}

QString Quotation(int k) { return QString::fromStdString(Quotations()[static_cast<size_t>(k)]); }

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
        // Every button but the one that is never switched.
        QCOMPARE(enabled.size(), w.findChildren<QPushButton*>().size() - 1);
        QVERIFY(!enabled.contains("Command2"));
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
        Picture(w, "main-window-chart.png");
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
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
