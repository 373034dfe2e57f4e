// A label or picture that answers clicks and double clicks, as the window's labels do.
#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace vortel::gui {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        // The release that ends a double click is no second click: a double click on the
        // quotation must leave quotation 26 on show, not a random one.
        const bool endsDoubleClick = m_inDoubleClick;
        m_inDoubleClick = false;
        if (event->button() == Qt::LeftButton && !endsDoubleClick &&
            rect().contains(event->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            m_inDoubleClick = true;
            emit doubleClicked();
        }
        QLabel::mouseDoubleClickEvent(event);
    }

private:
    bool m_inDoubleClick = false;
};

}  // namespace vortel::gui
