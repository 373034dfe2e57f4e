// How the main window shows the sort-and-count utility: which of its two chart frames stands
// ready once the counts fit a chart.
#pragma once

#include "shell/state/Window.h"

namespace vortel {

class SortCountScreen {
public:
    explicit SortCountScreen(Window& window) : m_window(window) {}

    // The counts fit the frequency chart: its frame shows, the probit chart's gives way.
    void FrequencyChartReady() {
        m_window.SetVisible("MSChart1", true);
        m_window.SetVisible("MSChart2", false);
    }

private:
    Window& m_window;
};

}  // namespace vortel
