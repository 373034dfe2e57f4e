// A main window with the three small treatments in a folder of its own, its dialogues answered
// by a script; and what its charts draw.
#pragma once

#include <QChartView>
#include <QGraphicsTextItem>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogueScript.h"
#include "Fixtures.h"
#include "gui/MainWindow.h"
#include "shell/mainwindow/CommandQuestions.h"

namespace vortel::gui::test {

struct WindowSession {
    QTemporaryDir folder;
    FixedClock clock{March7};
    MainWindow w{clock};
    DialogueScript script{w.Ui()};

    WindowSession() {
        WriteTreatments(folder.path());
        w.show();
    }
    QString File(const char* name) const { return folder.filePath(name); }
    template <typename T = QWidget>
    T* Find(const char* name) {
        return w.findChild<T*>(name);
    }
    void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    // A test of the five example treatments, copied into the folder and chosen in order; false
    // when a copy failed or the questions went otherwise than scripted.
    bool RunFiveExamples() {
        script.No().No().Type("5").Type();
        for (int k = 1; k <= 5; ++k) {
            const QString name = QString("treatment-%1.txt").arg(k);
            if (!QFile::copy(QString(VORTEL_EXAMPLES) + "/" + name, folder.filePath(name)))
                return false;
            script.Pick(folder.filePath(name));
        }
        script.Type();
        w.RunCommand(AskAndRunCartesianTest);
        return script.AllUsed();
    }
};

// Every text the chart views inside `area` draw: titles, tick labels and legend entries.
inline QStringList ChartTexts(QWidget& area) {
    QStringList texts;
    for (auto* view : area.findChildren<QChartView*>())
        for (QGraphicsItem* item : view->scene()->items())
            if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
                text && text->isVisible())
                texts << text->toPlainText();
    return texts;
}

}  // namespace vortel::gui::test
