// The program's other ways in: the terminal, the picture of the window and the refusal to open
// a window without a display. Each runs the built program.
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

#include "Fixtures.h"
#include "GuiTests.h"

using namespace vortel::gui::test;

namespace {

struct Run {
    int exitCode;
    QString out, err;
};

Run Vortel(const QStringList& args, const QString& input, const QString& folder,
           const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(VORTEL_BINARY, args);
    p.write(input.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QProcessEnvironment Environment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SOURCE_DATE_EPOCH", "1709802303");  // 7 March 2024 09:05:03 UTC
    return env;
}

QStringList Reports(const QString& folder) {
    return QDir(folder).entryList({"*results-*"}, QDir::Files);
}

}  // namespace

class FrontEndsTest : public QObject {
    Q_OBJECT

private slots:
    void terminalRunsAWholeTest() {
        QTemporaryDir folder, elsewhere;
        QVERIFY(WriteTreatments(folder.path()));
        // No, No, three treatments, no transformation, the files, no code; then the clock label
        // and Quit. Started in another folder: after the first file, bare names are looked for
        // beside it, as the open-file dialogue opens where the last choice was made.
        const QString answers =
            "q\nn\nn\n3\n\n" + folder.filePath("C.txt") + "\nA.txt\nB.txt\n\nL6\nQuit\n";
        const Run r = Vortel({"--terminal"}, answers, elsewhere.path(), Environment());
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("      B   .625   ----   1.06\n"), qPrintable(r.out));
        QVERIFY(r.out.contains("      C     0*     0*   ----\n"));
        QVERIFY(r.out.contains("(Comparing 2 with 3)\n"));
        QVERIFY(r.out.contains("== Dedication ==\n"));
        QCOMPARE(Reports(folder.path()),
                 QStringList{"25A-Cartesian diff results-r_202437-953.txt"});

        // The same test at the same moment: its report goes beside the first, and the terminal
        // says where.
        const QString first = folder.filePath("25A-Cartesian diff results-r_202437-953.txt");
        QFile earlier(first);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        const QByteArray firstBytes = earlier.readAll();
        earlier.close();
        const Run again = Vortel({"--terminal"}, answers, elsewhere.path(), Environment());
        QCOMPARE(again.exitCode, 0);
        const QString second = folder.filePath("25A-Cartesian diff results-r_202437-953 (2).txt");
        QVERIFY2(again.out.contains("Output file is: " + second + "\n"), qPrintable(again.out));
        QVERIFY(QFile::exists(second));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), firstBytes);
    }

    // After a test, P writes its table and means figure beside the report: the same bytes as
    // vortel cartesian's --paper-table and --means-figure for the same treatments and choices.
    // Before a test there is nothing to write; a wrong ending is asked again.
    void terminalWritesThePaperFiles() {
        QTemporaryDir folder;
        QVERIFY(WriteTreatments(folder.path()));
        const QString answers = "p\nhelp\nq\nn\nn\n3\n\nA.txt\nB.txt\nC.txt\n\n" +
                                QString("p\nt.txt\nt.TEX\nm.png\n4\nb 175\nclose\n");
        const Run r = Vortel({"--terminal"}, answers, folder.path(), Environment());
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("No test has written its report yet; Q runs one.\n"));
        QVERIFY(r.out.contains("          P  after a test: its treatments' table"));
        QVERIFY(r.out.contains("The name must end in .csv, .md, .html or .tex.\n"));
        QVERIFY2(r.out.contains("Written:\n" + folder.filePath("t.TEX") + "\n" +
                                folder.filePath("m.png") + "\n"),
                 qPrintable(r.out));
        const Run batch = Vortel({"cartesian", "--paper-table", "b.tex", "--paper-decimals", "4",
                                  "--means-figure", "b.png", "--means-style", "bars",
                                  "--means-width", "double", "A.txt", "B.txt", "C.txt"},
                                 "", folder.path(), Environment());
        QCOMPARE(batch.exitCode, 0);
        const auto contents = [&folder](const char* name) {
            QFile file(folder.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QVERIFY(contents("t.TEX").contains("\\toprule"));
        QCOMPARE(contents("t.TEX"), contents("b.tex"));
        QVERIFY(!contents("m.png").isEmpty());
        QCOMPARE(contents("m.png"), contents("b.png"));
    }

    void terminalInputEndingMidTestWritesNoReport() {
        QTemporaryDir folder;
        QVERIFY(WriteTreatments(folder.path()));
        const Run r =
            Vortel({"--terminal"}, "q\nn\nn\n2\n0\nA.txt\nB.txt\n", folder.path(), Environment());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Reports(folder.path()), QStringList());
        QCOMPARE(QDir(folder.path()).entryList({"*.part"}, QDir::Files), QStringList());
    }

    void terminalCtrlCStopsATestAndComesBackToTheMenu() {
#ifndef Q_OS_UNIX
        QSKIP("Ctrl+C is sent as a POSIX signal");
#else
        QTemporaryDir folder;
        QString answers = "q\nn\nn\n8\n\n", last;
#ifdef VORTEL_SANITIZED
        const int values = 100000;
#else
        const int values = 400000;
#endif
        for (int k = 1; k <= 8; ++k) {
            const QString path = folder.filePath(QString("T%1.txt").arg(k));
            QVERIFY(WriteLargeTreatment(path, QString("T%1").arg(k), values, 1.0 + 0.01 * k,
                                        std::uint32_t(k)));
            (k < 8 ? answers : last) += path + "\n";
        }
        const QString reportPath = folder.filePath("25A-Cartesian diff results-r_202437-953.txt");
        QFile earlier(reportPath);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("An earlier report, kept as it is.\n");
        earlier.close();
        const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);

        QProcess p;
        p.setProcessEnvironment(Environment());
        p.setWorkingDirectory(folder.path());
        p.start(VORTEL_BINARY, {"--terminal"});
        QVERIFY(p.waitForStarted());
        p.write(answers.toUtf8());
        QByteArray out;
        // The terminal's output is flushed as it reads an answer: the last file's question shows
        // that the test starts with that answer.
        auto readUntil = [&](const QByteArray& text, int ms) {
            QElapsedTimer waited;
            waited.start();
            while (!out.contains(text) && waited.elapsed() < ms) {
                p.waitForReadyRead(50);
                out += p.readAllStandardOutput();
            }
            return out.contains(text);
        };
        QVERIFY(readUntil("== Input treatment 8 ==", 60000));
        p.write(last.toUtf8());
        QTest::qWait(300);  // well into the comparisons
        QElapsedTimer sinceStop;
        sinceStop.start();
        QCOMPARE(::kill(static_cast<pid_t>(p.processId()), SIGINT), 0);
        // Printed, and flushed as the menu asks for the next command.
        const QByteArray stopped = "The test was stopped; no file was written.";
        QVERIFY(readUntil(stopped, 30000));
        const qint64 latency = sinceStop.elapsed();
        qInfo("the terminal's test stopped %lld ms after Ctrl+C", latency);
        QVERIFY2(latency < 2000, qPrintable(QString::number(latency)));
        QVERIFY(!out.contains("ended at"));
        QVERIFY(!out.contains("Add a code to the output filename?"));
        p.write("close\n");
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("An earlier report, kept as it is.\n"));
#endif
    }

    void terminalKeepsQuitForTheClockLabel() {
        QTemporaryDir folder;
        const Run r = Vortel({"--terminal"}, "quit\nn\nclose\n", folder.path(), Environment());
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Quit is disabled"));
        QVERIFY(r.out.contains("\"N. Sort, norm.\" is disabled"));
        QVERIFY(!r.out.contains("== Dedication =="));
    }

    void screenshotNeedsNoDisplay() {
        QTemporaryDir folder;
        QProcessEnvironment env = Environment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        const Run r = Vortel({"--screenshot", "window.png"}, "", folder.path(), env);
        QCOMPARE(r.exitCode, 0);
        QImage picture(folder.filePath("window.png"));
        QCOMPARE(picture.size(), QSize(1360, 900));
    }

    void windowWithoutDisplayPointsElsewhere() {
        QTemporaryDir folder;
        QProcessEnvironment env = Environment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        const Run r = Vortel({}, "", folder.path(), env);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("vortel --terminal"));
        QVERIFY(r.err.contains("vortel cartesian"));
    }
};

VORTEL_GUI_TEST(FrontEndsTest)
#include "FrontEndsTest.moc"
