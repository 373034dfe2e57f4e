#include "shell/mainwindow/HeadlessWindow.h"

#include "shell/base/RunStopped.h"
#include "shell/mainwindow/Form1.h"

namespace vortel {

void HeadlessWindow::SetLook(const std::string& control, const Look& look) {
    Look& l = m_controls[control].Looks;
    if (look.Fore) l.Fore = look.Fore;
    if (look.Back) l.Back = look.Back;
    if (look.FontSize) l.FontSize = look.FontSize;
    if (look.Left) l.Left = look.Left;
    if (look.Top) l.Top = look.Top;
    if (look.Width) l.Width = look.Width;
    if (look.Height) l.Height = look.Height;
}

void HeadlessWindow::SetGridSize(int rows, int columns) {
    m_grid.assign(static_cast<std::size_t>(rows),
                  std::vector<std::string>(static_cast<std::size_t>(columns)));
    m_gridWidths.assign(static_cast<std::size_t>(columns), 0);
}

void HeadlessWindow::SetGridColumnWidth(int column, int twips) {
    if (column < 0 || static_cast<std::size_t>(column) >= m_gridWidths.size())
        throw RunStopped("Grid column " + std::to_string(column) + " does not exist.");
    m_gridWidths[static_cast<std::size_t>(column)] = twips;
}

void HeadlessWindow::SetGridCell(int row, int column, const std::string& text) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_grid.size() || column < 0 ||
        static_cast<std::size_t>(column) >= m_grid[static_cast<std::size_t>(row)].size())
        throw RunStopped("Grid cell (" + std::to_string(row) + ", " + std::to_string(column) +
                         ") does not exist.");
    m_grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

void HeadlessWindow::ShowNormalityView(const NormalityData&) { ++m_viewsShown; }

void HeadlessWindow::SwitchCommands(bool enabling) { SwitchCommandControls(*this, enabling); }

}  // namespace vortel
