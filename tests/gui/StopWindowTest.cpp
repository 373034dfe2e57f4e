// A long test runs off the window's thread: the window's timers keep firing while it runs, and
// the Stop button or Esc ends it at once with nothing written.
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdint>

#include "DialogueScript.h"
#include "Fixtures.h"
#include "GuiTests.h"
#include "gui/MainWindow.h"
#include "gui/ResultLine.h"
#include "shell/base/Clock.h"

namespace vortel::gui::test {
namespace {

constexpr int TreatmentCount = 8;

QMap<QString, QByteArray> FolderContents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly)) files[name] = file.readAll();
    }
    return files;
}

}  // namespace

// How the user stops the test.
enum Way { Button, Escape, Close };

// The large test: as many treatments as a test takes, each of a million values.
constexpr int LargeTreatments = 20;
#ifdef VORTEL_SANITIZED
constexpr int LargeB =
    200000;  // every phase is still long enough to stop in, in a tenth of the time
#else
constexpr int LargeB = 1000000;
#endif

class StopWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        for (int k = 0; k < TreatmentCount; ++k) {
            const QString name = QString("T%1").arg(k + 1);
            const QString path = QDir(m_folder.path()).filePath(name + ".txt");
            QVERIFY(
                WriteLargeTreatment(path, name, 300000, 1.0 + 0.01 * k, 17u + std::uint32_t(k)));
            m_files << path;
        }
        QVERIFY(m_large.isValid());
        for (int k = 0; k < LargeTreatments; ++k) {
            const QString name = QString("L%1").arg(k + 1);
            const QString path = QDir(m_large.path()).filePath(name + ".txt");
            QVERIFY(
                WriteLargeTreatment(path, name, LargeB, 1.0 + 0.01 * k, 41u + std::uint32_t(k)));
            m_largeFiles << path;
        }
        // An earlier report of the name the test would write.
        QFile earlier(QDir(m_folder.path()).filePath(ReportName));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("An earlier report, kept as it is.\n");
    }

    void stopEndsALongTestAtOnce_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Stop button") << int(Button);
        QTest::newRow("Esc") << int(Escape);
        QTest::newRow("closing the window") << int(Close);
    }

    void stopEndsALongTestAtOnce() {
        QFETCH(int, way);
        const QMap<QString, QByteArray> before = FolderContents(m_folder.path());
        FixedClock clock(March7);
        MainWindow w(clock);
        w.show();
        DialogueScript script(w.Ui());
        script.No().No().Type(QString::number(TreatmentCount)).Type();
        for (const QString& f : m_files) script.Pick(f);
        script.Type();

        // A timer of the window's thread: it can fire only while that thread is free.
        auto* stop = w.findChild<QPushButton*>("StopCommand");
        auto* status = w.findChild<QLabel*>("Label2");
        QTimer ticker;
        ticker.setInterval(10);
        int ticks = 0, comparingTicks = 0;
        bool stopShown = false;
        QElapsedTimer comparing, sinceStop;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            ++ticks;
            if (!status->text().contains("(Comparing")) return;
            stopShown = stopShown || stop->isVisible();
            if (!comparing.isValid()) comparing.start();
            if (sinceStop.isValid()) return;
            ++comparingTicks;
            // Well into the comparisons, so the stop lands in the middle of a pair.
            if (comparing.elapsed() < 200) return;
            sinceStop.start();
            if (way == Escape)
                QTest::keyClick(&w, Qt::Key_Escape);
            else if (way == Button)
                QTest::mouseClick(stop, Qt::LeftButton);
            else
                w.close();
        });
        QSignalSpy ended(&w, &MainWindow::endProgram);
        ticker.start();
        QElapsedTimer whole;
        whole.start();
        QTest::mouseClick(w.findChild<QPushButton*>("cmdCartesianDifference"), Qt::LeftButton);
        const qint64 latency = sinceStop.isValid() ? sinceStop.elapsed() : -1;
        ticker.stop();
        qInfo("test ran %lld ms, %d timer ticks; stop took %lld ms", whole.elapsed(), ticks,
              latency);

        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY2(latency >= 0, "the test ended before it was stopped");
        QVERIFY(stopShown);
        QVERIFY(!stop->isVisible());
        // The timer went on firing through the comparisons.
        QVERIFY2(comparingTicks >= 5, qPrintable(QString::number(comparingTicks)));
#ifdef VORTEL_SANITIZED
        QVERIFY2(latency < 2000, qPrintable(QString::number(latency)));
#else
        QVERIFY2(latency < 500, qPrintable(QString::number(latency)));
#endif
        QVERIFY(w.Program().LastStopped());
        auto* message = w.Results().findChild<QLabel*>("ResultMessage");
        QVERIFY(message && (way == Close || message->isVisible()));
        QVERIFY2(message->text().contains("no file was written"), qPrintable(message->text()));
        // Nothing new in the folder, and the earlier report untouched.
        QCOMPARE(FolderContents(m_folder.path()), before);
        QVERIFY(!w.Busy());
        // Closed during the test, the window goes once the test has stopped.
        QCOMPARE(ended.count(), way == Close ? 1 : 0);
        if (way == Close) return;
        // The window is usable again.
        QVERIFY(w.findChild<QPushButton*>("cmdCartesianDifference")->isEnabled());
    }

    // Each phase of a test of 20 treatments of a million values: the window's thread stays free
    // throughout (its timer keeps firing), and Stop ends the test within half a second with
    // nothing written, however far it has gone.
    void stopEndsEachPhaseAtOnce_data() {
        QTest::addColumn<QString>("caption");  // what the status shows in the phase
        QTest::addColumn<int>("after");        // ms into the phase when Stop is pressed
        QTest::newRow("reading files") << "(treatment 2 of" << 0;  // a file is read in tens of ms
        // The first pair sorts both of its samples before its first count.
        QTest::newRow("sorting the samples") << "(Comparing 1 with 2)" << 20;
        // By the second row of pairs every sample is sorted.
        QTest::newRow("computing pairs") << "(Comparing 2 with" << 50;
        QTest::newRow("preparing the figure") << "Preparing the differences figure" << 100;
    }

    void stopEndsEachPhaseAtOnce() {
        QFETCH(QString, caption);
        QFETCH(int, after);
        const QMap<QString, QByteArray> before = FolderContents(m_large.path());
        FixedClock clock(March7);
        MainWindow w(clock);
        // On a screen of the design size, so the Stop button is in view without scrolling.
        w.resize(MainWindow::DesignSize());
        w.show();
        DialogueScript script(w.Ui());
        // Detail info, reversed sort, the number the files suggest, no transformation, no code.
        script.No().No().Type().Type().Type();
        auto* stop = w.findChild<QPushButton*>("StopCommand");
        auto* status = w.findChild<QLabel*>("Label2");
        QTimer ticker;
        ticker.setInterval(10);
        QElapsedTimer sinceTick, inPhase, sinceStop;
        qint64 longestGap = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (sinceTick.isValid()) longestGap = std::max(longestGap, sinceTick.elapsed());
            sinceTick.start();
            if (sinceStop.isValid() || !status->isVisible() || !status->text().contains(caption))
                return;
            if (!inPhase.isValid()) inPhase.start();
            if (inPhase.elapsed() < after) return;
            sinceStop.start();
            // Clicked where it stands on the screen, so a label in front of it would take the
            // click as it would the user's.
            const QPoint place = stop->mapTo(&w, stop->rect().center());
            QWidget* under = w.childAt(place);
            QVERIFY(under);
            QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(&w, place));
        });
        ticker.start();
        w.StartTestWith(m_largeFiles);
        const qint64 latency = sinceStop.isValid() ? sinceStop.elapsed() : -1;
        ticker.stop();
        qInfo("stop took %lld ms; longest wait between ticks %lld ms", latency, longestGap);

        QCOMPARE(script.Unexpected(), QStringList());
        QVERIFY2(latency >= 0, "the test ended before it was stopped");
#ifdef VORTEL_SANITIZED
        const qint64 bound = 2000;
#else
        const qint64 bound = 500;
#endif
        QVERIFY2(latency < bound, qPrintable(QString::number(latency)));
        QVERIFY2(longestGap < bound, qPrintable(QString::number(longestGap)));
        QVERIFY(w.Program().LastStopped());
        QCOMPARE(FolderContents(m_large.path()), before);
        // Stopped, the window shows nothing of the test but the message, and its commands are
        // as a finished test leaves them.
        for (const char* stale : {"lblBootBegin", "lblBootEnd", "Label2", "MSFlexGrid1"})
            QVERIFY2(!w.findChild<QWidget*>(stale)->isVisible(), stale);
        QVERIFY(w.findChild<QPushButton*>("cmdCartesianDifference")->isEnabled());
        QVERIFY(!w.findChild<QPushButton*>("cmdGeneralNormalTest")->isEnabled());
        QVERIFY(!w.Differences()->Offered());
    }

private:
    QTemporaryDir m_folder, m_large;
    QStringList m_files, m_largeFiles;
};

}  // namespace vortel::gui::test

VORTEL_GUI_TEST(vortel::gui::test::StopWindowTest)
#include "StopWindowTest.moc"
