// Saving a chart, or any other widget, as a picture: PNG at a chosen resolution or SVG.
#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QPainter;
class QWidget;

namespace vortel::gui {

// SVG when the name ends in ".svg" (any case), PNG otherwise.
bool IsSvgName(const QString& path);

// Draws a picture of `size` pixels with `draw` into `path`: a PNG of `scale` device pixels per
// pixel on white, or an SVG drawing titled `title`. The file is written beside its target and
// put in place when complete, so a failure leaves an earlier file of that name as it was. On
// failure returns false with the reason in `error`.
bool SavePicture(const QString& path, QSize size, double scale, const QString& title,
                 const std::function<void(QPainter&)>& draw, QString* error);

// Draws `widget` as it is laid out now: a PNG of `scale` device pixels per pixel of the widget,
// or an SVG drawing of the widget's size. The file is written beside its target and put in
// place when complete, so a failure leaves an earlier file of that name as it was. On failure
// returns false with the reason in `error`.
bool SaveWidgetPicture(QWidget& widget, const QString& path, double scale, QString* error);

// Lays out `widget`, a top-level widget that is not on screen, at `size` first; pictures made
// this way do not depend on the size of anything on screen.
bool SaveWidgetPictureAtSize(QWidget& widget, QSize size, const QString& path, double scale,
                             QString* error);

struct PictureChoice {
    QString Path;
    double Scale = 1;  // device pixels per pixel; 1 for SVG
};

// Asks where to save a picture of `size` pixels: a save dialogue offering PNG and SVG, opening
// on `suggested` in the format its ending names, and for PNG a choice of resolution. A name
// without ".png" or ".svg" gets the ending of the format chosen. Nothing when the user cancels.
std::optional<PictureChoice> AskPictureFile(QWidget* parent, const QString& title,
                                            const QString& suggested, QSize size);

// Asks with AskPictureFile and saves a fresh widget made by `make` at `size`; a failure is
// shown in a message box. Returns the path written, or nothing.
std::optional<QString> ExportPicture(QWidget* parent, const QString& title,
                                     const QString& suggested, QSize size,
                                     const std::function<QWidget*()>& make);

// For tests: called with each dialogue of AskPictureFile and ExportPicture just before it runs,
// so it can be answered through its own buttons.
void SetPictureDialogueHook(std::function<void(QDialog&)> hook);

}  // namespace vortel::gui
