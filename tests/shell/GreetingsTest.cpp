#include <gtest/gtest.h>

#include "shell/base/NumberText.h"
#include "shell/mainwindow/Form1.h"
#include "shell/mainwindow/Greetings.h"
#include "shell/mainwindow/HeadlessWindow.h"

namespace vortel {
namespace {

constexpr std::int64_t Start = 1709802303;  // 7 March 2024 09:05:03 UTC

struct Ticking {
    AnalysisState state;
    HeadlessWindow window;
    FixedClock clock{Start};

    Ticking() {
        state.StartMoment = clock.Now();
        state.IntroPending = true;
    }
    // Half a second per tick: the clock moves one second every second tick.
    void Tick(int n = 1) {
        for (int k = 0; k < n; ++k) {
            TickClock(state, window, clock);
            if (++m_ticks % 2 == 0) clock.Advance(1);
        }
    }

private:
    int m_ticks = 0;
};

TEST(Greetings, CycleThroughFiveLanguages) {
    Ticking t;
    // Tick number (from 1) and the greeting it leaves on show.
    const struct {
        int tick;
        const char* greeting;
    } cases[] = {
        {1, "How do you do?"},      {8, "How do you do?"},      {9, "Wie geht es Ihnen?"},
        {15, "Wie geht es Ihnen?"}, {16, "Como estas?"},        {23, "Comment faites-vous?"},
        {30, "Nin hao ma?"},        {44, "Nin hao ma?"},        {45, "How do you do?"},
        {51, "How do you do?"},     {52, "Wie geht es Ihnen?"}, {87, "Nin hao ma?"},
        {88, "How do you do?"},
    };
    int done = 0;
    for (const auto& c : cases) {
        t.Tick(c.tick - done);
        done = c.tick;
        EXPECT_EQ(t.window.Caption("Label13"), c.greeting) << "tick " << c.tick;
    }
}

TEST(Greetings, ClockLabelShowsTheTime) {
    Ticking t;
    t.Tick();
    EXPECT_EQ(t.window.Caption("Label6"), "3/7/2024 9:05:03 AM");
}

TEST(Greetings, StartPictureEndsAtFirstTickPast15Seconds) {
    Ticking t;
    t.window.SetVisible("Label4", false);
    t.window.SetVisible("Label14", false);
    t.Tick(31);  // the 31st tick comes at 15 seconds
    EXPECT_EQ(t.state.SecondsSinceStart, 15.0);
    EXPECT_TRUE(t.state.IntroPending);
    EXPECT_TRUE(t.window.State("Image1").Visible);
    t.Tick();
    EXPECT_EQ(t.state.SecondsSinceStart, 15.0);
    t.Tick();  // at 16 seconds
    EXPECT_FALSE(t.state.IntroPending);
    EXPECT_FALSE(t.window.State("Image1").Visible);
    EXPECT_TRUE(t.window.State("Label4").Visible);
    EXPECT_TRUE(t.window.State("Label14").Visible);

    // Once done, a later tick leaves the labels to whoever set them.
    t.window.SetVisible("Label14", false);
    t.Tick(4);
    EXPECT_FALSE(t.window.State("Label14").Visible);
}

TEST(Greetings, PictureClickedEarlyStillEndsTheIntroAfter15Seconds) {
    Ticking t;
    t.Tick(2);
    ShowQuotationAndOverview(t.window);
    t.window.SetVisible("Label14", false);
    t.Tick(31);
    EXPECT_FALSE(t.state.IntroPending);
    EXPECT_TRUE(t.window.State("Label14").Visible);
}

TEST(Greetings, DedicationChoiceByDraw) {
    const struct {
        float r;
        int choice;
    } cases[] = {{0.0f, 0}, {0.1499f, 0}, {0.15f, 1}, {0.2999f, 1},
                 {0.3f, 2}, {0.7999f, 2}, {0.8f, 3},  {0.99999f, 3}};
    for (const auto& c : cases) EXPECT_EQ(DedicationChoice(c.r), c.choice) << c.r;

    int proverbs = 0;
    for (const auto& q : TeacherQuotations()) proverbs += q.ends_with("(Proverb)");
    EXPECT_EQ(proverbs, 1);
}

TEST(Greetings, DedicationLayout) {
    const DedicationPlaces p = PlaceDedication(6000, 4500, 3000, 2000, 4000, 240);
    EXPECT_EQ(p.PictureLeft, 1500);
    EXPECT_EQ(p.PictureTop, 625);
    EXPECT_EQ(p.ButtonLeft, 1000);
    EXPECT_EQ(p.ButtonTop, 2865);
}

}  // namespace
}  // namespace vortel
