// The window seam on the real widgets of the main window, found by their control names.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "shell/state/Window.h"

namespace vortel::gui {

// The grid's property holding the size its cells need; the window gives it as much of that as
// the display has room for.
inline constexpr const char* GridNeededSize = "neededSize";

class QtWindow : public Window {
public:
    // `root` is the main window; "Form1" names it, every other name one of its children.
    explicit QtWindow(QWidget* root) : m_root(root) {}

    void SetCaption(const std::string& control, const std::string& text) override;
    std::string Caption(const std::string& control) const override;
    void SetVisible(const std::string& control, bool visible) override;
    void SetEnabled(const std::string& control, bool enabled) override;
    void SetLook(const std::string& control, const Look& look) override;
    Look CurrentLook(const std::string& control) const override;
    void Redraw(const std::string& control) override;

    void SetGridSize(int rows, int columns) override;
    void SetGridColumnWidth(int column, int twips) override;
    void SetGridCell(int row, int column, const std::string& text) override;
    void CentreGridCell(int row, int column) override;
    void RedrawGrid() override;

    void ShowNormalityView(const NormalityData& data) override;
    void SwitchCommands(bool enabling) override;
    void FilesWritten(const std::vector<WrittenFile>& files) override;

    // Takes the frequency view and its save buttons away, and hides its place.
    void ClearNormalityView();
    // The files named since the last call.
    std::vector<WrittenFile> TakeWrittenFiles();
    // The path a saved chart is named after, without its ending (the sorted file's base).
    void SetPictureBase(std::function<std::string()> base) { m_pictureBase = std::move(base); }
    // Called after a control is shown and raised, so the window can keep its own controls (the
    // Stop button) in front of it.
    void SetAfterShow(std::function<void()> hook) { m_afterShow = std::move(hook); }

private:
    QWidget* Find(const std::string& control) const;

    QPointer<QWidget> m_root;
    std::vector<WrittenFile> m_written;
    std::function<std::string()> m_pictureBase;
    std::function<void()> m_afterShow;
};

}  // namespace vortel::gui
