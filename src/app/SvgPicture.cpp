#include "app/SvgPicture.h"

#ifdef VORTEL_WITH_GUI

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "shell/base/RunStopped.h"

namespace vortel {

std::string PngOfSvg(const std::string& svg, double widthMm, double heightMm, int dpi) {
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    if (!renderer.isValid()) throw RunStopped("The drawing could not be read as SVG.");
    const auto pixels = [&](double mm) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); };
    QImage image(pixels(widthMm), pixels(heightMm), QImage::Format_RGB32);
    if (image.isNull()) throw RunStopped("There is no memory for the picture.");
    image.fill(Qt::white);
    const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw RunStopped("The picture could not be made as PNG.");
    return bytes.toStdString();
}

}  // namespace vortel

#endif
