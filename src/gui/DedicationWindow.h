// `Vater`, the dedication window that Quit leads to: a picture and a saying about teachers.
// Its button and its closing end the program.
#pragma once

#include <QWidget>

#include "shell/base/Clock.h"

class QLabel;
class QPushButton;

namespace vortel::gui {

class DedicationWindow : public QWidget {
    Q_OBJECT
public:
    DedicationWindow(Clock& clock, Random& random, QWidget* parent = nullptr);

signals:
    void endProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_picture;
    QPushButton* m_button;
};

}  // namespace vortel::gui
