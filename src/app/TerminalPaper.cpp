#include "app/TerminalPaper.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>

#include "report/MeansFigure.h"
#include "report/PaperTable.h"
#include "shell/base/OutputFile.h"

#ifdef VORTEL_WITH_GUI
#include "app/BatchSupport.h"
#include "gui/SvgPicture.h"
#endif

namespace vortel {
namespace {

namespace fs = std::filesystem;

constexpr const char* Title = "For the paper";
// Resolution of a PNG figure: what journals ask of line art with text.
constexpr int FigureDpi = 600;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Asks until `accept` takes the answer (it says why not otherwise); nothing when cancelled.
template <typename Accept>
std::optional<std::string> AskUntil(Dialogues& ui, std::ostream& out, const std::string& prompt,
                                    const std::string& defaultText, Accept accept) {
    for (;;) {
        const std::string answer = Trimmed(ui.AskText(prompt, Title, defaultText));
        if (answer.empty()) return std::nullopt;  // cancelled
        if (const std::string problem = accept(answer); problem.empty())
            return answer;
        else
            out << problem << "\n";
    }
}

bool CanDrawPng() {
#ifdef VORTEL_WITH_GUI
    return true;
#else
    return false;
#endif
}

}  // namespace

void AskAndWritePaperFiles(Dialogues& ui, std::ostream& out, const PaperSource& source) {
    fs::path base = source.Report;
    base.replace_extension();
    // A bare name goes beside the report, where Enter's names go.
    const auto beside = [&source](const std::string& name) {
        const fs::path path = name;
        return (path.is_relative() ? fs::path(source.Report).parent_path() / path : path).string();
    };
    const auto table = AskUntil(
        ui, out,
        "The treatments' table: its name's ending chooses the format (.md, .csv, .html or .tex).",
        base.string() + " paper.md", [](const std::string& name) {
            return PaperFormatOf(name)
                       ? std::string()
                       : "The name must end in " + std::string(PaperFormatEndings) + ".";
        });
    if (!table) return;
    const std::string pngNote = CanDrawPng() ? ", or .png at 600 dpi" : "";
    const auto figure =
        AskUntil(ui, out, "The means figure: .svg" + pngNote + ".", base.string() + " means.svg",
                 [](const std::string& name) {
                     const std::string ending = Lower(fs::path(name).extension().string());
                     if (ending == ".svg" || (ending == ".png" && CanDrawPng()))
                         return std::string();
                     return std::string(CanDrawPng() ? "The name must end in .svg or .png."
                                                     : "The name must end in .svg.");
                 });
    if (!figure) return;
    const int chosen = PaperDecimals(source.Result);
    int decimals = chosen;
    const auto decimalsText = AskUntil(
        ui, out,
        "Decimals of the estimates (0 to " + std::to_string(MostPaperDecimals) + "; " +
            std::to_string(chosen) + " shows the smallest difference the letters call real).",
        std::to_string(chosen), [&decimals](const std::string& text) {
            if (text.size() <= 2 && text.find_first_not_of("0123456789") == std::string::npos &&
                std::stoi(text) <= MostPaperDecimals) {
                decimals = std::stoi(text);
                return std::string();
            }
            return "Give a whole number from 0 to " + std::to_string(MostPaperDecimals) + ".";
        });
    if (!decimalsText) return;
    MeansFigureOptions options;
    const auto kind = AskUntil(
        ui, out,
        "The figure: points or bars (P or B), and one column of 85 mm or two of 175 mm (85 or "
        "175).",
        "P 85", [&options](const std::string& text) {
            const std::string t = Lower(text);
            const bool bars = t.find('b') != std::string::npos;
            const bool points = t.find('p') != std::string::npos;
            const bool wide = t.find("175") != std::string::npos;
            const bool narrow = t.find("85") != std::string::npos && !wide;
            if (bars == points || wide == narrow)
                return std::string("Answer as \"P 85\", \"B 175\" and so on.");
            options.Style = bars ? MeansStyle::Bars : MeansStyle::Points;
            options.Column = wide ? FigureColumn::Double : FigureColumn::Single;
            return std::string();
        });
    if (!kind) return;

    const std::string tablePath = beside(*table), figurePath = beside(*figure);
    try {
        const std::string svg = MeansFigureSvg(source.Result, options);
        std::string picture = svg;
#ifdef VORTEL_WITH_GUI
        if (Lower(fs::path(figurePath).extension().string()) == ".png") {
            const FigureSizeMm mm = MeansFigureSize(source.Result, options);
            DrawWithoutDisplay("--terminal",
                               [&] { picture = PngOfSvg(svg, mm.Width, mm.Height, FigureDpi); });
        }
#endif
        OutputSet files;
        files.Create(tablePath).Writer().Text(
            PaperTableOf(source.Result, *PaperFormatOf(tablePath), decimals));
        files.Create(figurePath).Writer().Text(picture);
        files.CommitAll();
    } catch (const std::exception& e) {
        ui.Notify(std::string("Nothing is written: ") + e.what(), Title);
        return;
    }
    out << "Written:\n" << tablePath << "\n" << figurePath << "\n";
}

}  // namespace vortel
