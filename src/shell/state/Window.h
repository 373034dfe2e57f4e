// What the core may do to the main window: captions, visibility, enabled state, colours, sizes,
// an immediate redraw, the comparison grid and the frequency view. Controls are named as the
// window names them (`Label2`, `lblBootBegin`, `MSFlexGrid1`).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vortel {

struct Rgb {
    int Red = 0, Green = 0, Blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};

// Each field that is set is applied; the rest stay as they are. Positions and sizes in twips.
struct Look {
    std::optional<Rgb> Fore, Back;
    std::optional<double> FontSize;
    std::optional<int> Left, Top, Width, Height;
};

struct NormalityData;  // sortcount/NormalityView.h

// A file a command has put in place, with what it holds ("Report", "Class counts").
struct WrittenFile {
    std::string Role;
    std::string Path;
    friend bool operator==(const WrittenFile&, const WrittenFile&) = default;
};

class Window {
public:
    virtual ~Window() = default;

    virtual void SetCaption(const std::string& control, const std::string& text) = 0;
    virtual std::string Caption(const std::string& control) const = 0;
    virtual void SetVisible(const std::string& control, bool visible) = 0;
    virtual void SetEnabled(const std::string& control, bool enabled) = 0;
    virtual void SetLook(const std::string& control, const Look& look) = 0;
    // The control's current colours, font size, position and size.
    virtual Look CurrentLook(const std::string& control) const = 0;
    // Shows the control's current state at once, even while a long computation goes on.
    virtual void Redraw(const std::string& control) = 0;

    // The comparison grid: cells addressed from row 0 and column 0.
    virtual void SetGridSize(int rows, int columns) = 0;
    virtual void SetGridColumnWidth(int column, int twips) = 0;
    virtual void SetGridCell(int row, int column, const std::string& text) = 0;
    virtual void CentreGridCell(int row, int column) = 0;
    virtual void RedrawGrid() = 0;

    // The frequency view of the sort-and-count utility.
    virtual void ShowNormalityView(const NormalityData& data) = 0;

    // The command buttons: a launch of a test leaves only "Q. CartesianPT" on, the clock label's
    // click turns every command on. Which controls those are is the window model's business,
    // so the core asks for the switch and the window applies it.
    virtual void SwitchCommands(bool enabling) = 0;

    // Names the files a command has just completed, so the user can be pointed to them.
    virtual void FilesWritten(const std::vector<WrittenFile>& files) { (void)files; }
};

// Start-up and every launch of a test: only "Q. CartesianPT" stays enabled.
inline void DisableAllButtonsForCartesian(Window& window) { window.SwitchCommands(false); }
// A click on the clock label: every command enabled, "N. Sort, norm." and Quit included.
inline void EnableAllButtonsForImage(Window& window) { window.SwitchCommands(true); }

}  // namespace vortel
