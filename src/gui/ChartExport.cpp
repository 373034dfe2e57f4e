#include "gui/ChartExport.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>
#include <memory>

namespace vortel::gui {
namespace {

const QString PngFilter = "PNG picture (*.png)";
const QString SvgFilter = "SVG drawing (*.svg)";
constexpr double Scales[] = {1, 2, 3, 4};

std::function<void(QDialog&)>& Hook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

int Run(QDialog& dialog) {
    if (Hook()) Hook()(dialog);
    return dialog.exec();
}

bool Fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return false;
}

QString ResolutionText(QSize size, double scale) {
    return QString("%1 x %2 pixels")
        .arg(qRound(size.width() * scale))
        .arg(qRound(size.height() * scale));
}

}  // namespace

bool IsSvgName(const QString& path) { return path.endsWith(".svg", Qt::CaseInsensitive); }

bool SavePicture(const QString& path, QSize size, double scale, const QString& title,
                 const std::function<void(QPainter&)>& draw, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, "Cannot create \"" + path + "\": " + file.errorString() + ".");
    if (IsSvgName(path)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        svg.setDescription("Drawn by VORTEL");
        QPainter painter;
        if (!painter.begin(&svg)) return Fail(error, "Cannot draw into \"" + path + "\".");
        draw(painter);
        painter.end();
    } else {
        if (!(scale >= 1 && scale <= 8)) scale = 1;
        QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return Fail(error, "Not enough memory for a picture of that size.");
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            draw(painter);
        }
        if (!image.save(&file, "PNG")) return Fail(error, "Cannot write \"" + path + "\".");
    }
    if (!file.commit())
        return Fail(error, "Cannot save \"" + path + "\": " + file.errorString() + ".");
    return true;
}

bool SaveWidgetPicture(QWidget& widget, const QString& path, double scale, QString* error) {
    const QString title =
        widget.windowTitle().isEmpty() ? QString("VORTEL chart") : widget.windowTitle();
    return SavePicture(
        path, widget.size(), scale, title, [&](QPainter& painter) { widget.render(&painter); },
        error);
}

bool SaveWidgetPictureAtSize(QWidget& widget, QSize size, const QString& path, double scale,
                             QString* error) {
    widget.setAttribute(Qt::WA_DontShowOnScreen);
    widget.resize(size);
    widget.show();
    // Lets the layouts and the charts settle at that size before drawing.
    QApplication::processEvents();
    QApplication::processEvents();
    const bool saved = SaveWidgetPicture(widget, path, scale, error);
    widget.hide();
    return saved;
}

std::optional<PictureChoice> AskPictureFile(QWidget* parent, const QString& title,
                                            const QString& suggested, QSize size) {
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({PngFilter, SvgFilter});
    const bool svg = IsSvgName(suggested);
    dialog.selectNameFilter(svg ? SvgFilter : PngFilter);
    dialog.setDefaultSuffix(svg ? "svg" : "png");
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == SvgFilter ? "svg" : "png");
    });
    const QFileInfo info(suggested);
    if (!info.path().isEmpty()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    if (Run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

    PictureChoice choice;
    choice.Path = dialog.selectedFiles().first();
    // A name with some other ending still gets the picture's own, so the file opens as one.
    if (!choice.Path.endsWith(".png", Qt::CaseInsensitive) && !IsSvgName(choice.Path)) {
        choice.Path += dialog.selectedNameFilter() == SvgFilter ? ".svg" : ".png";
        if (QFileInfo::exists(choice.Path)) {
            QMessageBox ask(QMessageBox::Question, title,
                            QFileInfo(choice.Path).fileName() + " already exists. Replace it?",
                            QMessageBox::Yes | QMessageBox::No, parent);
            ask.setTextFormat(Qt::PlainText);
            ask.setDefaultButton(QMessageBox::No);
            if (Run(ask) != QMessageBox::Yes) return std::nullopt;
        }
    }
    if (IsSvgName(choice.Path)) return choice;

    QInputDialog resolution(parent);
    resolution.setWindowTitle("PNG resolution");
    resolution.setLabelText("Size of the picture:");
    QStringList items;
    for (double s : Scales) items << ResolutionText(size, s);
    resolution.setComboBoxItems(items);
    resolution.setComboBoxEditable(false);
    resolution.setTextValue(items[1]);  // sharp enough for print, still a small file
    if (Run(resolution) != QDialog::Accepted) return std::nullopt;
    const qsizetype picked = items.indexOf(resolution.textValue());
    choice.Scale = Scales[picked < 0 ? 0 : static_cast<std::size_t>(picked)];
    return choice;
}

std::optional<QString> ExportPicture(QWidget* parent, const QString& title,
                                     const QString& suggested, QSize size,
                                     const std::function<QWidget*()>& make) {
    const auto choice = AskPictureFile(parent, title, suggested, size);
    if (!choice) return std::nullopt;
    std::unique_ptr<QWidget> widget(make());
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = SaveWidgetPictureAtSize(*widget, size, choice->Path, choice->Scale, &error);
    QApplication::restoreOverrideCursor();
    if (saved) return choice->Path;
    QMessageBox box(QMessageBox::Warning, title, error, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    Run(box);
    return std::nullopt;
}

void SetPictureDialogueHook(std::function<void(QDialog&)> hook) { Hook() = std::move(hook); }

}  // namespace vortel::gui
