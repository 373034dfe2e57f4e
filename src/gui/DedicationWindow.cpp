#include "gui/DedicationWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "gui/Pictures.h"
#include "shell/mainwindow/Greetings.h"

namespace vortel::gui {

DedicationWindow::DedicationWindow(Clock& clock, Random& random, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName("Vater");
    setWindowTitle("Dedication");
    setFixedSize(760, 520);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(246, 243, 234));
    setPalette(palette);

    const QSize pictureSize(380, 285);
    m_picture = new QLabel(this);
    m_picture->setObjectName("Picture2");
    m_picture->setPixmap(DedicationPicture(pictureSize, devicePixelRatioF()));
    m_picture->resize(pictureSize);

    m_button = new QPushButton(QString::fromStdString(TeacherQuotations()[0]), this);
    m_button->setObjectName("Command1");
    QFont font = m_button->font();
    font.setPointSizeF(11);
    m_button->setFont(font);
    m_button->resize(width() - 40, 48);

    // Present in the design, with nothing to do.
    auto* timer = new QTimer(this);
    timer->setObjectName("Timer1");

    const DedicationPlaces places = PlaceDedication(width(), height(), pictureSize.width(),
                                                    pictureSize.height(), m_button->width(), 24);
    m_picture->move(places.PictureLeft, places.PictureTop);
    m_button->move(places.ButtonLeft, places.ButtonTop);
    m_button->setText(QString::fromStdString(DedicationQuotation(clock, random)));

    connect(m_button, &QPushButton::clicked, this, &DedicationWindow::endProgram);
}

void DedicationWindow::closeEvent(QCloseEvent* event) {
    emit endProgram();
    event->accept();
}

}  // namespace vortel::gui
