// What the core may do to the main window: captions, visibility, enabled state, colours, sizes,
// an immediate redraw, the comparison grid and the frequency view. Controls are named as the
// window names them (`Label2`, `lblBootBegin`, `MSFlexGrid1`).
#pragma once

#include <map>
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

    // Names the files a command has just completed, so the user can be pointed to them.
    virtual void FilesWritten(const std::vector<WrittenFile>& files) { (void)files; }
};

// The window as plain data, for tests and the batch commands: every call is remembered and can
// be read back.
class HeadlessWindow : public Window {
public:
    struct ControlState {
        std::string Caption;
        bool Visible = true;
        bool Enabled = true;
        Look Looks;
        int Redraws = 0;
    };

    void SetCaption(const std::string& control, const std::string& text) override {
        m_controls[control].Caption = text;
    }
    std::string Caption(const std::string& control) const override {
        auto it = m_controls.find(control);
        return it == m_controls.end() ? std::string() : it->second.Caption;
    }
    void SetVisible(const std::string& control, bool visible) override {
        m_controls[control].Visible = visible;
    }
    void SetEnabled(const std::string& control, bool enabled) override {
        m_controls[control].Enabled = enabled;
    }
    void SetLook(const std::string& control, const Look& look) override;
    Look CurrentLook(const std::string& control) const override {
        auto it = m_controls.find(control);
        return it == m_controls.end() ? Look{} : it->second.Looks;
    }
    void Redraw(const std::string& control) override { ++m_controls[control].Redraws; }

    void SetGridSize(int rows, int columns) override;
    void SetGridColumnWidth(int column, int twips) override;
    void SetGridCell(int row, int column, const std::string& text) override;
    void CentreGridCell(int, int) override {}
    void RedrawGrid() override { ++m_gridRedraws; }

    void ShowNormalityView(const NormalityData& data) override;
    void FilesWritten(const std::vector<WrittenFile>& files) override {
        m_written.insert(m_written.end(), files.begin(), files.end());
    }

    const ControlState& State(const std::string& control) { return m_controls[control]; }
    const std::vector<std::vector<std::string>>& Grid() const { return m_grid; }
    const std::vector<int>& GridColumnWidths() const { return m_gridWidths; }
    int NormalityViewsShown() const { return m_viewsShown; }
    const std::vector<WrittenFile>& Written() const { return m_written; }

private:
    std::map<std::string, ControlState> m_controls;
    std::vector<std::vector<std::string>> m_grid;
    std::vector<int> m_gridWidths;
    int m_gridRedraws = 0;
    int m_viewsShown = 0;
    std::vector<WrittenFile> m_written;
};

}  // namespace vortel
