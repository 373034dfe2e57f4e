#include "gui/SvgPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "shell/base/RunStopped.h"

namespace vortel {
namespace {

constexpr double MmPerInch = 25.4;
constexpr int CssPixelsPerInch = 96;

// Parsed once; a drawing Qt cannot read stops the command.
struct Drawing {
    explicit Drawing(const std::string& svg) : Renderer(QByteArray::fromStdString(svg)) {
        if (!Renderer.isValid()) throw RunStopped("The drawing could not be read as SVG.");
    }
    QSvgRenderer Renderer;
};

std::string Png(QSvgRenderer& renderer, double widthMm, double heightMm, int dpi) {
    const auto pixels = [&](double mm) {
        return static_cast<int>(std::lround(mm / MmPerInch * dpi));
    };
    QImage image(pixels(widthMm), pixels(heightMm), QImage::Format_RGB32);
    if (image.isNull()) throw RunStopped("There is no memory for the picture.");
    image.fill(Qt::white);
    const int perMetre = static_cast<int>(std::lround(dpi / (MmPerInch / 1000)));
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

}  // namespace

std::string PngOfSvg(const std::string& svg, double widthMm, double heightMm, int dpi) {
    Drawing drawing(svg);
    return Png(drawing.Renderer, widthMm, heightMm, dpi);
}

std::string PngOfPixelSvg(const std::string& svg, int scale) {
    Drawing drawing(svg);
    const QSize size = drawing.Renderer.defaultSize();
    const auto mm = [](int px) { return px * MmPerInch / CssPixelsPerInch; };
    return Png(drawing.Renderer, mm(size.width()), mm(size.height()), CssPixelsPerInch * scale);
}

}  // namespace vortel
