#include "gui/DifferencesFigure.h"

#include <QCoreApplication>
#include <QString>

#include "gui/SvgPicture.h"
#include "report/DifferencesSvg.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"

namespace vortel::gui {

std::string DifferencesFigurePng(const std::string& svg) {
    return PngOfPixelSvg(svg, DifferencesPngScale);
}

void SaveDifferencesFigure(const std::string& svg, const std::string& path) {
    const bool asSvg = QString::fromStdString(path).endsWith(".svg", Qt::CaseInsensitive);
    try {
        if (!asSvg && QCoreApplication::instance() == nullptr)
            throw RunStopped("no Qt application is running.");
        OutputSet files;
        files.Create(path).Writer().Text(asSvg ? svg : DifferencesFigurePng(svg));
        files.CommitAll();
    } catch (const std::exception& e) {
        throw RunStopped("Cannot write the figure \"" + path + "\": " + e.what());
    }
}

void SaveDifferencesFigure(const std::vector<PairDifferences>& pairs, const std::string& path) {
    SaveDifferencesFigure(DifferencesFigureSvg(pairs), path);
}

}  // namespace vortel::gui
