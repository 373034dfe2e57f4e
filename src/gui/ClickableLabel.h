// A label or picture that answers clicks and double clicks, as the window's labels do.
#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace vortel::gui {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    // A label that takes the keyboard focus answers Space and Enter as a click, and shows
    // that it has the focus.
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (focusPolicy() != Qt::NoFocus &&
            (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit clicked();
            return;
        }
        QLabel::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus()) return;
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        // The style's dotted frame is faint on a coloured label; a plain one beside it is not.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
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
