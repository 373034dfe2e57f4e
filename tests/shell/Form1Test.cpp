#include <gtest/gtest.h>

#include <set>

#include "shell/mainwindow/Controls.h"
#include "shell/mainwindow/Form1.h"
#include "shell/mainwindow/Greetings.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/FlowRecord.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

// 7 March 2024 09:05:03 UTC.
constexpr std::int64_t March7 = 1709802303;

struct Started {
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock;
    App app{ui, window, clock};

    explicit Started(std::int64_t epoch = March7) : clock(epoch) {
        ApplyDesign(window);
        StartUpWindow(app.State(), app.Seams());
    }
};

std::vector<std::string> EnabledButtons(HeadlessWindow& window) {
    std::vector<std::string> names;
    for (const Control& c : Form1Controls())
        if (c.Kind == ControlKind::Button && window.State(c.Name).Enabled) names.push_back(c.Name);
    return names;
}

TEST(Form1, HoldsEachOfIts132ControlsOnce) {
    std::set<std::string> names;
    for (const Control& c : Form1Controls()) EXPECT_TRUE(names.insert(c.Name).second) << c.Name;
    EXPECT_EQ(names.size(), 132u);
}

TEST(Form1, StartUpLeavesOnlyTheCartesianTestEnabled) {
    Started s;
    EXPECT_EQ(EnabledButtons(s.window), std::vector<std::string>{"cmdCartesianDifference"});
    EXPECT_TRUE(s.window.State("Frame1").Enabled);  // enabled again after the switching
    EXPECT_FALSE(s.window.State("Frame5").Enabled);
    EXPECT_TRUE(s.window.State("Frame4").Enabled);
    EXPECT_TRUE(s.window.State("Frame6").Enabled);
    for (const char* shown :
         {"cmdAddDurationToStage", "Command2", "cmdBasicRunA2", "Command6", "Label13", "Image1"})
        EXPECT_TRUE(s.window.State(shown).Visible) << shown;
    for (const char* hidden : {"Label2", "Label4", "Label14", "MSChart1", "picFGobed"})
        EXPECT_FALSE(s.window.State(hidden).Visible) << hidden;
}

TEST(Form1, StartUpSetsEditionValuesAndTitle) {
    Started s;
    const AnalysisState& st = s.app.State();
    EXPECT_EQ(st.EditionTitle, "VORTEL-CartesianPT only");
    EXPECT_EQ(st.VersionText, "Ver. 04/01/2023");
    EXPECT_EQ(st.NominalCartesianNumber, 4000000.0);
    EXPECT_EQ(st.EditionLine, "(B =2000, CPT =4000000, 4 treatments)");
    EXPECT_EQ(s.window.Caption("Label12"),
              "VORTEL\nCartesian Paired Test Only\n(B =2000, CPT =4000000, 4 treatments)");
    const Look title = s.window.CurrentLook("Label12");
    EXPECT_EQ(title.Back, (Rgb{128, 64, 0}));
    EXPECT_EQ(title.Fore, Yellow);
    EXPECT_EQ(title.FontSize, 18.0);
    EXPECT_TRUE(st.IntroPending);
    EXPECT_EQ(st.StartMoment.Epoch, March7);

    const std::string overview = s.window.Caption("Label14");
    EXPECT_EQ(overview.rfind(" A. Life table analysis", 0), 0u);
    EXPECT_TRUE(overview.ends_with("\n  Q: Cartesian paired test.\n"));
    EXPECT_EQ(s.window.CurrentLook("Label14").FontSize, 14.0);
}

TEST(Form1, StartUpCentresThePictures) {
    Started s;
    // Frame3 10800 x 9000 and Image1 7200 x 4800 twips; Frame2 3600 x 3000, VeyPhoto 1440 x 1800.
    const Look image = s.window.CurrentLook("Image1");
    EXPECT_EQ(image.Left, 1800);
    EXPECT_EQ(image.Top, 2700);
    const Look photo = s.window.CurrentLook("VeyPhoto");
    EXPECT_EQ(photo.Left, 2060);
    EXPECT_EQ(photo.Top, 600);
}

TEST(Form1, QuotationOfTheDayIsEmptyFromThe28th) {
    const struct {
        std::int64_t epoch;
        std::string expected;
    } cases[] = {
        {March7, Quotations()[7]},
        {March7 - 6 * 86400, Quotations()[1]},    // 1 March
        {March7 + 20 * 86400, Quotations()[27]},  // 27 March
        {March7 + 21 * 86400, ""},                // 28 March
        {March7 + 24 * 86400, ""},                // 31 March
    };
    for (const auto& c : cases) {
        Started s(c.epoch);
        EXPECT_EQ(s.window.Caption("Label4"), c.expected) << c.epoch;
    }
}

TEST(Form1, SwitchingTableKeepsWhatItDoesNotOwn) {
    HeadlessWindow w;
    ApplyDesign(w);
    w.SetEnabled("Frame6", false);
    w.SetEnabled("cmdGeneralNormalTest", true);
    DisableAllButtonsForCartesian(w);
    EXPECT_TRUE(w.State("Frame6").Enabled);
    EXPECT_TRUE(w.State("cmdGeneralNormalTest").Enabled);  // left as it was
    EXPECT_FALSE(w.State("Command1").Enabled);
    EXPECT_FALSE(w.State("Command2").Enabled);

    w.SetEnabled("Frame6", false);
    EnableEveryCommand(w);
    EXPECT_FALSE(w.State("Frame6").Enabled);
    EXPECT_FALSE(w.State("Command2").Enabled);
    EXPECT_TRUE(w.State("Frame1").Enabled);
    EXPECT_TRUE(w.State("Frame5").Enabled);
    std::vector<std::string> all;
    for (const Control& c : Form1Controls())
        if (c.Kind == ControlKind::Button && c.Name != "Command2") all.push_back(c.Name);
    EXPECT_EQ(EnabledButtons(w), all);
}

TEST(Form1, ClicksOnPictureAndQuotation) {
    Started s;
    ShowQuotationAndOverview(s.window);
    EXPECT_FALSE(s.window.State("Image1").Visible);
    EXPECT_TRUE(s.window.State("Label4").Visible);
    EXPECT_TRUE(s.window.State("Label14").Visible);
    EXPECT_TRUE(s.app.State().IntroPending);

    ShowFixedQuotation(s.app.State(), s.window);
    EXPECT_EQ(s.window.Caption("Label4"), Quotations()[26]);
    ShowRandomQuotation(s.app.State(), s.app.Seams());
    EXPECT_FALSE(s.window.Caption("Label4").empty());
}

TEST(Form1, RandomQuotationRoundsHalvesToEven) {
    const struct {
        double r;
        int k;
    } cases[] = {{0.0, 0}, {0.5 / 27, 0}, {2.5 / 27, 2}, {3.5 / 27, 4}, {0.25, 7}, {0.99, 27}};
    for (const auto& c : cases) EXPECT_EQ(QuotationPosition(c.r), c.k) << c.r;
}

TEST(Form1, QuitClosesTheFlowRecordAndHidesTheWindow) {
    test::TempFolder folder;
    Started s;
    s.app.State().FlowFile = std::make_unique<FlowRecordFile>(folder / "_0_Flow.txt");
    s.app.State().FlowFile->Line("Sub CartesianDifference");
    QuitMainWindow(s.app);
    EXPECT_EQ(s.app.State().FlowFile, nullptr);
    EXPECT_FALSE(s.window.State("Form1").Visible);
    EXPECT_EQ(test::ReadAll(folder / "_0_Flow.txt"), "Sub CartesianDifference\r\n");
}

}  // namespace
}  // namespace vortel
