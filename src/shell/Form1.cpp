#include "shell/Form1.h"

namespace vortel {

void DisableAllButtonsForCartesian(Window& window) {
    window.SetEnabled("cmdGeneralNormalTest", false);  // replaced by the full switching table
}

void EnableAllButtonsForImage(Window& window) {
    window.SetEnabled("cmdGeneralNormalTest", true);
}

}  // namespace vortel
