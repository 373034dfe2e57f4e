// The controls of the main window as one table: name, kind, design caption, parent frame and
// place. The Qt window is built from it and the button switching walks it, so the two cannot
// disagree about which controls exist.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/state/Window.h"

namespace vortel {

enum class ControlKind { Label, Button, Picture, Frame, TextBox, Grid, Chart, Timer, FileDialog };

struct Control {
    std::string Name;
    ControlKind Kind;
    std::string Caption;
    std::string Parent;  // a frame's name, or empty for the window itself
    // Twips, relative to the parent; a timer or the file dialogue has no place.
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;  // at design time, before start-up runs
    bool Enabled = true;
};

// 15 twips make one pixel on a 96 dpi screen.
inline constexpr int TwipsPerPixel = 15;
inline constexpr int Form1Width = 1360 * TwipsPerPixel;
inline constexpr int Form1Height = 900 * TwipsPerPixel;

inline constexpr std::string_view Form1Caption =
    "Life table is the key to population ecology, pest management, and biological control";

// Every control of the main window, parents before their children.
const std::vector<Control>& Form1Controls();
// The control of that name, or nullptr.
const Control* FindControl(std::string_view name);

// Gives every control its design caption, visibility and enabled state, as a window has them
// before start-up runs.
void ApplyDesign(Window& window);

// The greeting pictures: hidden at start and never shown.
const std::vector<std::string>& GreetingPictureNames();

}  // namespace vortel
