#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/state/Window.h"

namespace vortel {

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
    void SwitchCommands(bool enabling) override;
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
