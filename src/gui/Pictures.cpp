#include "gui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vortel::gui {
namespace {

// Drawn at `dpr` device pixels per pixel, so the picture stays sharp on a scaled screen; every
// drawing below works in pixels of `size`.
QPixmap Blank(QSize size, QColor fill, qreal dpr) {
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(fill);
    return pixmap;
}

}  // namespace

QPixmap StartPicture(QSize size, qreal dpr) {
    QPixmap pixmap = Blank(size, Qt::white, dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = size.width(), h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(232, 242, 250));
    sky.setColorAt(1, QColor(255, 255, 255));
    p.fillRect(QRect(QPoint(0, 0), size), sky);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));

    // Axes of a life-table chart.
    const QRectF plot(54, 70, w - 90, h - 120);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    QFont small = p.font();
    small.setPointSizeF(8);
    p.setFont(small);
    p.drawText(QRectF(plot.left(), plot.bottom() + 4, plot.width(), 16), Qt::AlignCenter,
               "Age (days)");
    p.save();
    p.translate(plot.left() - 30, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-60, 0, 120, 16), Qt::AlignCenter, "l(x), m(x)");
    p.restore();

    // Fecundity as bars, survival as a falling curve.
    const int bars = 24;
    for (int k = 0; k < bars; ++k) {
        const double x = static_cast<double>(k) / bars;
        const double m = x < 0.35 ? 0 : std::exp(-std::pow((x - 0.55) / 0.16, 2));
        const QRectF bar(plot.left() + x * plot.width() + 1,
                         plot.bottom() - m * plot.height() * 0.7, plot.width() / bars - 2,
                         m * plot.height() * 0.7);
        p.fillRect(bar, QColor(214, 150, 60, 190));
    }
    QPainterPath survival;
    for (int k = 0; k <= 100; ++k) {
        const double x = k / 100.0;
        const double l = 1.0 / (1.0 + std::exp((x - 0.62) * 11));
        const QPointF point(plot.left() + x * plot.width(), plot.bottom() - l * plot.height());
        k == 0 ? survival.moveTo(point) : survival.lineTo(point);
    }
    p.setPen(QPen(QColor(30, 90, 160), 3));
    p.drawPath(survival);

    QFont title = p.font();
    title.setPointSizeF(22);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(128, 64, 0));
    p.drawText(QRectF(0, 10, w, 36), Qt::AlignCenter, "VORTEL");
    QFont line = p.font();
    line.setPointSizeF(10);
    line.setBold(false);
    p.setFont(line);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(0, 44, w, 20), Qt::AlignCenter, "Cartesian paired test of bootstrap results");
    return pixmap;
}

QPixmap PortraitPicture(QSize size, qreal dpr) {
    QPixmap pixmap = Blank(size, QColor(236, 236, 236), dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(176, 184, 192));
    p.drawEllipse(QRectF(w * 0.3, h * 0.16, w * 0.4, w * 0.4));
    p.drawChord(QRectF(w * 0.12, h * 0.62, w * 0.76, h * 0.7), 0, 180 * 16);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pixmap;
}

QPixmap GreetingPicture(int index, QSize size, qreal dpr) {
    const int timeOfDay = index % 4;
    const QColor skies[] = {QColor(255, 226, 160), QColor(150, 200, 240), QColor(230, 130, 90),
                            QColor(30, 40, 80)};
    QPixmap pixmap = Blank(size, skies[timeOfDay], dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    if (timeOfDay == 3) {
        p.setBrush(QColor(240, 240, 210));
        p.drawEllipse(QRectF(w * 0.55, h * 0.15, w * 0.3, w * 0.3));
        p.setBrush(skies[3]);
        p.drawEllipse(QRectF(w * 0.62, h * 0.1, w * 0.3, w * 0.3));
    } else {
        const double heights[] = {0.55, 0.2, 0.6};
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(QRectF(w * 0.35, h * heights[timeOfDay], w * 0.3, w * 0.3));
    }
    p.setBrush(QColor(70, 120, 60));
    p.drawRect(QRectF(0, h * 0.8, w, h * 0.2));
    return pixmap;
}

QPixmap DedicationPicture(QSize size, qreal dpr) {
    QPixmap pixmap = Blank(size, QColor(246, 243, 234), dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 150, 80));
    p.drawRect(QRectF(0, h * 0.82, w, h * 0.18));
    // The old stump.
    p.setBrush(QColor(120, 84, 52));
    p.drawRect(QRectF(w * 0.3, h * 0.62, w * 0.16, h * 0.22));
    p.setBrush(QColor(170, 130, 90));
    p.drawEllipse(QRectF(w * 0.3, h * 0.59, w * 0.16, h * 0.07));
    // The young tree beside it.
    p.setBrush(QColor(120, 84, 52));
    p.drawRect(QRectF(w * 0.6, h * 0.5, w * 0.03, h * 0.33));
    p.setBrush(QColor(70, 140, 70));
    p.drawEllipse(QRectF(w * 0.5, h * 0.18, w * 0.23, h * 0.38));
    p.setBrush(QColor(100, 170, 90));
    p.drawEllipse(QRectF(w * 0.55, h * 0.24, w * 0.12, h * 0.2));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pixmap;
}

}  // namespace vortel::gui
