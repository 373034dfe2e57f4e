// The program's other ways in: the terminal, the picture of the window and the refusal to open
// a window without a display. Each runs the built program.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "Fixtures.h"

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

    void terminalInputEndingMidTestWritesNoReport() {
        QTemporaryDir folder;
        QVERIFY(WriteTreatments(folder.path()));
        const Run r =
            Vortel({"--terminal"}, "q\nn\nn\n2\n0\nA.txt\nB.txt\n", folder.path(), Environment());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Reports(folder.path()), QStringList());
        QCOMPARE(QDir(folder.path()).entryList({"*.part"}, QDir::Files), QStringList());
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

QTEST_GUILESS_MAIN(FrontEndsTest)
#include "FrontEndsTest.moc"
