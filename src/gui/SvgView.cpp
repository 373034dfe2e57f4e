#include "gui/SvgView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace vortel::gui {
namespace {

// Room around a fitted drawing, so it does not touch the frame.
constexpr int Margin = 8;

}  // namespace

SvgView::SvgView(Size size, QWidget* parent)
    : QWidget(parent), m_size(size), m_renderer(new QSvgRenderer(this)) {
    if (size == Size::Fitted) {
        setMinimumSize(200, 150);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
}

bool SvgView::Load(const std::string& svg) {
    const bool read = m_renderer->load(QByteArray::fromStdString(svg));
    if (m_size == Size::Own) setFixedSize(read ? m_renderer->defaultSize() : QSize(0, 0));
    update();
    return read;
}

QSize SvgView::sizeHint() const {
    return m_renderer->isValid() ? m_renderer->defaultSize() : QWidget::sizeHint();
}

void SvgView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (!m_renderer->isValid()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_size == Size::Own) {
        painter.setClipRect(event->rect());
        m_renderer->render(&painter, QRectF(QPointF(0, 0), m_renderer->defaultSize()));
        return;
    }
    const QSizeF room = size().shrunkBy(QMargins(Margin, Margin, Margin, Margin));
    const QSizeF fitted = QSizeF(m_renderer->defaultSize()).scaled(room, Qt::KeepAspectRatio);
    m_renderer->render(&painter, QRectF(QPointF((width() - fitted.width()) / 2, Margin), fitted));
}

}  // namespace vortel::gui
