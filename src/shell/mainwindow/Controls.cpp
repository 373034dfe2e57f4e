#include "shell/mainwindow/Controls.h"

#include <algorithm>

namespace vortel {
namespace {

constexpr int Px(int pixels) { return pixels * TwipsPerPixel; }

struct Named {
    const char* Name;
    const char* Caption;
};

// The lettered command column, in two columns of ten; trailing blanks belong to the captions.
constexpr Named LetteredCommands[] = {
    {"cmdReadDataA1", "A1. Read data "},          {"cmdBasicRunA2", "A2. Basic Run "},
    {"cmdBootstrap", "A3. Bootstrap  "},          {"cmdSortAndCountLT", "A4. Sort LT      "},
    {"cmdReadNandF", "B. Read N, F   "},          {"cmdPairedBootTest", "C. Paired BT     "},
    {"cmdMatchedLifeTable", "D. Boot. match "},   {"FMNmatrices", "E. 3D life table  "},
    {"Command28", "F. Grouping       "},          {"cmdGeneralBootstrap", "G. Gen. boot      "},
    {"cmdHarvest", "H. Harvest      "},           {"ContributionPartition", "I. Contribution"},
    {"cmdCalculateRatio", "J. Cal. ratio     "},  {"Command44", "K. 1t to xt        "},
    {"cmdSortandCount", "L. Sort+count  "},       {"cmdCountBootLifeTable", "M. Count LT    "},
    {"cmdGeneralNormalTest", "N. Sort, norm.  "}, {"cmdAddDuration", "O. + overwinter"},
    {"cmdWriteSpeLifeTable", "P. Spec. boot   "}, {"cmdCartesianDifference", "Q. CartesianPT"},
};

// The small buttons without action: the first 48 fill "Main figures", the rest two small frames.
constexpr Named SmallButtons[] = {
    {"Command21", "J"},
    {"cmdReduceReprodPeriod", "-R"},
    {"cmdSplitStage", "S"},
    {"cmdMultiCompCI", "P"},
    {"cmdCountBootIndNr", "R"},
    {"cmdCreateLectureFile", "CF"},
    {"cmdSplit", "S"},
    {"Command16", "s(x,j)"},
    {"Command13", "g(x,j)"},
    {"Command14", "d(x,j)"},
    {"Command15", "f(x,j)"},
    {"Command12", "c(x,j)"},
    {"Command20", "v(x,j)"},
    {"cmdCxj", "c(x,j)"},
    {"cmdFr", ""},
    {"Command29", ""},
    {"Command22", "q(x,j)"},
    {"Command5", "m(x)"},
    {"Command3", "l(x)"},
    {"Command7", "l(x)m(x)"},
    {"Command17", "p(x,j)"},
    {"Command6", "v(x)"},
    {"cmdCurtailedR", ""},
    {"cmdCumuR0", "Cumu. Ro(x)"},
    {"Command32", "Stage mort."},
    {"Command10", "e(x)"},
    {"cmdmxlxmx", "m(x), l(x)m(x)"},
    {"Command31", "F(x,j)*y"},
    {"cmdShowFRegressOnLong", "Fecund vs L  "},
    {"Command34", "Survive stage x"},
    {"Command33", "Surv. to stage x"},
    {"Command35", "Stage s(x)"},
    {"cmdShowFvsAdultLong", "Fecund vs AL"},
    {"cmdShowTailedR", "Tail. r"},
    {"cmdShowTailedRo", "Tail. Ro"},
    {"Command9", "Curtailed LT"},
    {"cmdLewontin", "Lewontin"},
    {"cmdFvsConsume", "Fecund vs. C "},
    {"Command18", "SASD"},
    {"Command19", "SAD"},
    {"Command37", "SSD"},
    {"cmdShowFemaleFecundExpectancy", "Exp. fecundity"},
    {"Command42", "Quiz"},
    {"cmdFecundityVsOvidays", "Fecund vs Od"},
    {"cmdBootLx", "Boot. lx range"},
    {"cmdBootMx", "Boot. mx  range"},
    {"cmdAddDurationToStage", "Add time to imma."},
    {"cmdAddStage", "Add stage+dura."},
    {"Command36", "Adult age m(x)"},
    {"Command38", "Adult age l(x)"},
    {"Command39", "PreA+adult m(x)"},
    {"Command40", "PreA+adult l(x)"},
    {"showBootandJackResult", "Boot result"},
    {"Command26", "Quiz"},
    {"cmdShowCumuFreqinProbit", "Normality test"},
    {"cmdCalMNCforSpecR0", "A5"},
    {"Command25", "Main Ref"},
    {"Command11", "P"},
    {"Command4", "L"},
    {"Command27", "Results"},
    {"Command2", "Command2"},
};

constexpr const char* GreetingPictures[] = {
    "picChineseGoodMorning", "picGoodAfternoon",  "picGoodevening",  "picGobed",
    "picJapanGoodmorning",   "picJGoodafternoon", "picJGoodevening", "picJGobed",
    "picFGoodmorning",       "picFGoodafternoon", "picFGoodNight",   "picFGobed",
    "picTGoodmorning",       "picTGoodafternoon", "picTGoodevening", "picTGobed",
};

// Shown by start-up, so hidden until then.
bool HiddenAtDesign(std::string_view name) {
    return name == "cmdBasicRunA2" || name == "Command6" || name == "cmdAddDurationToStage" ||
           name == "Command2";
}

std::vector<Control> BuildTable() {
    using K = ControlKind;
    std::vector<Control> t;
    auto add = [&t](std::string name, K kind, std::string caption, std::string parent, int x, int y,
                    int w, int h, bool visible = true) {
        t.push_back({std::move(name), kind, std::move(caption), std::move(parent), Px(x), Px(y),
                     Px(w), Px(h), visible});
    };

    // Frames first, so that every child finds its parent already built.
    add("Frame3", K::Frame, "", "", 380, 8, 720, 600);
    add("Frame1", K::Frame, "Main figures", "", 380, 616, 720, 240);
    add("Frame2", K::Frame, "", "", 1112, 8, 240, 200);
    add("Frame5", K::Frame, "Population parameters", "", 1112, 262, 240, 250);
    add("Frame4", K::Frame, "", "", 1112, 520, 240, 136);
    add("Frame6", K::Frame, "", "", 1112, 664, 240, 108);

    // Left column: title, commands, greeting, clock, status lines.
    add("Label12", K::Label, "", "", 8, 8, 360, 130);
    for (int k = 0; k < 20; ++k) {
        const Named& c = LetteredCommands[k];
        add(c.Name, K::Button, c.Caption, "", 8 + (k / 10) * 184, 146 + (k % 10) * 34, 176, 30,
            !HiddenAtDesign(c.Name));
    }
    add("Label13", K::Label, "How do you do?", "", 8, 490, 360, 30, false);
    add("Label6", K::Label, "Label6", "", 8, 526, 360, 31);
    add("lblBootBegin", K::Label, "Bootbegin", "", 8, 574, 360, 40, false);
    add("lblBootEnd", K::Label, "Bootend", "", 8, 618, 360, 40, false);
    add("Label1", K::Label, "", "", 8, 700, 360, 100);
    add("Command1", K::Button, "Quit", "", 8, 846, 360, 40);

    // The display frame: start picture, quotation, overview, status, grid and charts.
    add("Image1", K::Picture, "", "Frame3", 0, 0, 480, 320);
    add("Label4", K::Label, "Label4", "Frame3", 16, 24, 688, 90);
    add("Label14", K::Label, "label14", "Frame3", 16, 120, 688, 470);
    add("Label2", K::Label, "Bootstrap is running. Please wait!", "Frame3", 16, 120, 688, 470);
    add("MSFlexGrid1", K::Grid, "", "Frame3", 16, 124, 688, 190, false);
    add("MSChart1", K::Chart, "Click here to change graph", "Frame3", 16, 120, 688, 470);
    add("MSChart2", K::Chart,
        "This is grouped data. The SE might be imprecise. For precise results, see bootstrap "
        "output file.",
        "Frame3", 16, 120, 688, 470, false);

    // Right column.
    add("Label10", K::Label, "", "Frame2", 8, 20, 128, 172);
    add("VeyPhoto", K::Picture, "", "Frame2", 0, 0, 96, 120);
    add("Label15", K::Label, "Problems with female age-specific life tables", "", 1112, 216, 240,
        40);
    add("Label7", K::Label, "Life table", "Frame5", 8, 20, 224, 20);
    const char* boxes[] = {"txtDatafile",          "txtCohortsize",    "txtMeanfecundity",
                           "txtFiniteRate",        "txtIntrinsicrate", "txtNetreproductiverate",
                           "txtMeangenerationtime"};
    for (int k = 0; k < 7; ++k) add(boxes[k], K::TextBox, "", "Frame5", 8, 42 + k * 29, 224, 24);
    add("Picture3", K::Picture, "", "", 1112, 780, 240, 76);

    // The small buttons.
    constexpr int count = static_cast<int>(std::size(SmallButtons));
    for (int k = 0; k < count; ++k) {
        const Named& c = SmallButtons[k];
        if (k < 48) {
            add(c.Name, K::Button, c.Caption, "Frame1", 8 + (k % 6) * 118, 22 + (k / 6) * 26, 114,
                24, !HiddenAtDesign(c.Name));
        } else {
            const bool inFour = k < 55;
            const int n = inFour ? k - 48 : k - 55;
            add(c.Name, K::Button, c.Caption, inFour ? "Frame4" : "Frame6", 8 + (n % 2) * 114,
                22 + (n / 2) * 28, 110, 24, !HiddenAtDesign(c.Name));
        }
    }

    for (const char* name : GreetingPictures)
        add(name, K::Picture, "", "Frame2", 160, 20, 64, 64, false);

    add("Timer1", K::Timer, "", "", 0, 0, 0, 0, false);
    add("Timer2", K::Timer, "", "", 0, 0, 0, 0, false);
    add("CommonDialog1", K::FileDialog, "", "", 0, 0, 0, 0, false);
    // Shown by start-up yet never switched on: with it disabled from the start, "Q. CartesianPT"
    // really is the only command that answers until the clock label is clicked.
    for (Control& c : t)
        if (c.Name == "Command2") c.Enabled = false;
    return t;
}

}  // namespace

const std::vector<Control>& Form1Controls() {
    static const std::vector<Control> table = BuildTable();
    return table;
}

const Control* FindControl(std::string_view name) {
    const auto& table = Form1Controls();
    auto it = std::find_if(table.begin(), table.end(),
                           [name](const Control& c) { return c.Name == name; });
    return it == table.end() ? nullptr : &*it;
}

void ApplyDesign(Window& window) {
    for (const Control& c : Form1Controls()) {
        window.SetCaption(c.Name, c.Caption);
        window.SetVisible(c.Name, c.Visible);
        window.SetEnabled(c.Name, c.Enabled);
    }
}

const std::vector<std::string>& GreetingPictureNames() {
    static const std::vector<std::string> names(std::begin(GreetingPictures),
                                                std::end(GreetingPictures));
    return names;
}

}  // namespace vortel
