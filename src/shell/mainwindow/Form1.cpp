#include "shell/mainwindow/Form1.h"

#include <exception>
#include <functional>

#include "shell/base/NumberText.h"
#include "shell/mainwindow/Controls.h"
#include "shell/mainwindow/Greetings.h"

namespace vortel {

void SwitchCommandControls(Window& window, bool enabling) {
    enum class Switch { Off, On, Keep };
    for (const Control& c : Form1Controls()) {
        Switch s = Switch::Keep;
        if (c.Kind == ControlKind::Frame) {
            if (c.Name == "Frame1" || c.Name == "Frame5") s = enabling ? Switch::On : Switch::Off;
            if (c.Name == "Frame4") s = Switch::On;
            if (c.Name == "Frame6") s = enabling ? Switch::Keep : Switch::On;
        } else if (c.Kind == ControlKind::Button) {
            if (c.Name == "cmdCartesianDifference")
                s = Switch::On;
            else if (c.Name == "cmdGeneralNormalTest")
                s = enabling ? Switch::On : Switch::Keep;
            else if (c.Name != "Command2")
                s = enabling ? Switch::On : Switch::Off;
        }
        if (s != Switch::Keep) window.SetEnabled(c.Name, s == Switch::On);
    }
}

namespace {

// The window's size as it stands, or its design size when the window does not know it.
int WidthOf(const Window& window, const std::string& name) {
    if (auto w = window.CurrentLook(name).Width) return *w;
    const Control* c = FindControl(name);
    return c ? c->Width : 0;
}
int HeightOf(const Window& window, const std::string& name) {
    if (auto h = window.CurrentLook(name).Height) return *h;
    const Control* c = FindControl(name);
    return c ? c->Height : 0;
}

Look Place(int left, int top) {
    Look look;
    look.Left = left;
    look.Top = top;
    return look;
}

// Start-up goes on past a failing step; the step is simply not done.
void Step(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

void StartUpWindow(AnalysisState& state, Services& services) {
    Window& w = services.window;
    Step([&] {
        SetEditionValues(state);
        DisableAllButtonsForCartesian(w);
    });
    Step([&] {
        w.SetCaption("Label12", "VORTEL\nCartesian Paired Test Only\n");
        Look look;
        look.Fore = Yellow;
        look.Back = Rgb{128, 64, 0};
        look.FontSize = 22;
        w.SetLook("Label12", look);
    });
    Step([&] { w.SetEnabled("cmdGeneralNormalTest", false); });
    Step([&] {
        state.EditionLine = "(B =" + Text(state.NominalBootstrapNumber) +
                            ", CPT =" + Text(state.NominalCartesianNumber) + ", " + Text(4) +
                            " treatments)";
        Look look;
        look.FontSize = 18;
        w.SetLook("Label12", look);
        w.SetCaption("Label12", w.Caption("Label12") + state.EditionLine);
    });
    Step([&] {
        w.SetCaption("Label1",
                     "Cartesian paired test of two to 20 treatments on their bootstrap "
                     "results; sort and count of result files.");
        state.StartMoment = services.clock.Now();
        state.IntroPending = true;
    });
    Step([&] {
        w.SetEnabled("Frame1", true);
        w.SetVisible("cmdAddDurationToStage", true);
        w.SetVisible("Command2", true);
    });
    Step([&] {
        w.SetVisible("Label2", false);
        w.SetVisible("Label4", false);
        w.SetVisible("Label14", false);
        w.SetVisible("Image1", true);
        const int left = (WidthOf(w, "Frame3") - WidthOf(w, "Image1")) / 2;
        const int top = (HeightOf(w, "Frame3") - HeightOf(w, "Image1")) / 2 + 600;
        w.SetLook("Image1", Place(left, top));
    });
    Step([&] {
        for (const std::string& name : GreetingPictureNames()) w.SetVisible(name, false);
    });
    Step([&] { w.Redraw("Form1"); });
    Step([&] {
        const int left = WidthOf(w, "Frame2") - WidthOf(w, "VeyPhoto") - 100;
        const int top = (HeightOf(w, "Frame2") - HeightOf(w, "VeyPhoto")) / 2;
        w.SetLook("VeyPhoto", Place(left, top));
        w.SetCaption("Label10",
                     "Questions and reports:\nthe VORTEL developers\n\nPlease cite the program "
                     "and its version in publications.");
    });
    Step([&] { w.SetVisible("MSChart1", false); });
    Step([&] {
        w.SetVisible("cmdBasicRunA2", true);
        w.SetVisible("Command6", true);
        w.SetEnabled("Command4", false);
        w.SetEnabled("Command21", false);
        w.SetVisible("Label13", true);
    });
    Step([&] {
        w.SetVisible("Label14", true);
        const auto& quotations = Quotations();
        for (int k = 0; k < QuotationCount; ++k)
            state.QuotationList(k) = quotations[static_cast<std::size_t>(k)];
        state.QuotationList(OverviewPosition) = CommandOverview();
    });
    Step([&] { services.random.Seed(static_cast<std::uint32_t>(services.clock.Now().Second)); });
    Step([&] {
        Look look;
        look.Back = Yellow;
        look.FontSize = 14;
        w.SetLook("Label14", look);
        w.SetCaption("Label14", state.QuotationList(OverviewPosition));
    });
    Step([&] { w.SetCaption("Label4", state.QuotationList(services.clock.Now().Day)); });
    Step([&] { w.SetVisible("Label14", false); });
}

void ShowQuotationAndOverview(Window& window) {
    window.SetVisible("Image1", false);
    window.SetVisible("Label4", true);
    window.SetVisible("Label14", true);
}

int QuotationPosition(double r) { return static_cast<int>(RoundHalfEven(r * 27)); }

void ShowRandomQuotation(AnalysisState& state, Services& services) {
    services.random.Seed(static_cast<std::uint32_t>(services.clock.Now().Second));
    services.window.SetCaption("Label4",
                               state.QuotationList(QuotationPosition(services.random.Next())));
}

void ShowFixedQuotation(AnalysisState& state, Window& window) {
    window.SetCaption("Label4", state.QuotationList(26));
}

void EnableEveryCommand(Window& window) { EnableAllButtonsForImage(window); }

void QuitMainWindow(App& app) {
    app.CloseAllFiles();
    app.Seams().window.SetVisible("Form1", false);
}

}  // namespace vortel
