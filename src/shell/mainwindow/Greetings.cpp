#include "shell/mainwindow/Greetings.h"

#include "shell/base/NumberText.h"
#include "shell/state/AnalysisState.h"

namespace vortel {

const std::array<std::string, QuotationCount>& Quotations() {
    static const std::array<std::string, QuotationCount> list = {
        "The only true wisdom is in knowing you know nothing. (Socrates)",
        "Knowledge is power. (Francis Bacon)",
        "I think, therefore I am. (Rene Descartes)",
        "Genius is one percent inspiration and ninety-nine percent perspiration. "
        "(Thomas A. Edison)",
        "If I have seen further it is by standing on the shoulders of giants. (Isaac Newton)",
        "Nature does nothing in vain. (Aristotle)",
        "The journey of a thousand miles begins with one step. (Lao Tzu)",
        "Learning without thought is labour lost; thought without learning is perilous. "
        "(Confucius)",
        "Chance favours only the prepared mind. (Louis Pasteur)",
        "Nature does not make leaps. (Carl Linnaeus)",
        "A man who dares to waste one hour of time has not discovered the value of life. "
        "(Charles Darwin)",
        "Well begun is half done. (Aristotle)",
        "Nothing in life is to be feared, it is only to be understood. (Marie Curie)",
        "Science is organized knowledge. (Herbert Spencer)",
        "The art of being wise is the art of knowing what to overlook. (William James)",
        "Facts are stubborn things. (John Adams)",
        "Patience is bitter, but its fruit is sweet. (Jean-Jacques Rousseau)",
        "An investment in knowledge pays the best interest. (Benjamin Franklin)",
        "The mind is not a vessel to be filled, but a fire to be kindled. (Plutarch)",
        "The true logic of this world is the calculus of probabilities. (James Clerk Maxwell)",
        "In all things of nature there is something of the marvellous. (Aristotle)",
        "Study the past if you would define the future. (Confucius)",
        "Where the spirit does not work with the hand, there is no art. (Leonardo da Vinci)",
        "A little learning is a dangerous thing. (Alexander Pope)",
        "Time is money. (Benjamin Franklin)",
        "Slow and steady wins the race. (Aesop)",
        "Science is built up of facts, as a house is built of stones. (Henri Poincare)",
        "Where there is a will, there is a way.",
    };
    return list;
}

const std::string& CommandOverview() {
    static const std::string text = [] {
        const char* lines[] = {
            " A. Life table analysis (individual-reared data): A1, A2, A3.",
            "  A4: Sort bootstrap life tables and multinomial theorem.",
            "  B: Life table analysis (group-reared data).",
            "  C: PT (1 by 1): Paired bootstrap test (Selecting data file 1 by 1.).",
            "  D: Match preadult and adult life table data.",
            "  E: Life table with offspring sex ratio dependent on female age.",
            "  F: Group a few consecutive stages to a single stage.",
            "  G: General bootstrap: Estimate SE of any data using bootstrap technique.",
            "  H: Calculate harvest rate and construct mass-rearing system.",
            "  I: Calculate contribution of different reproductive types.",
            "  J: Calculate ratio of two bootstrap results (e.g., hatch rate).",
            "  K: Change the time unit of life table data to x time units.",
            "  L: Read, sort and count bootstrap results.",
            "  M: Count bootstrap life tables (It takes extreme long time).",
            "  N: Sort bootstrap results and normality test.",
            "  O: Add overwinter time to adults of matched life table.",
            "  P: Write specific bootstrap life table.",
            "  Q: Cartesian paired test.",
        };
        std::string joined;
        for (const char* line : lines) joined += std::string(line) + "\n";
        return joined;
    }();
    return text;
}

std::optional<std::string> GreetingFor(std::int32_t counter) {
    if (counter < 0) return std::nullopt;
    if (counter <= 7) return "How do you do?";
    if (counter <= 14) return "Wie geht es Ihnen?";
    if (counter <= 21) return "Como estas?";
    if (counter <= 28) return "Comment faites-vous?";
    if (counter <= 35) return "Nin hao ma?";
    return std::nullopt;
}

void TickClock(AnalysisState& state, Window& window, Clock& clock) {
    const DateTime now = clock.Now();
    if (state.IntroPending) {
        state.SecondsSinceStart = static_cast<double>(WholeSecondsBetween(now, state.StartMoment));
        if (state.SecondsSinceStart > 15) {
            window.SetVisible("Image1", false);
            window.SetVisible("Label4", true);
            window.SetVisible("Label14", true);
            state.IntroPending = false;
        }
    }
    window.SetCaption("Label6", DateText(now));
    if (auto greeting = GreetingFor(state.GreetingCounter)) window.SetCaption("Label13", *greeting);
    if (state.GreetingCounter > 42) state.GreetingCounter = 0;
    ++state.GreetingCounter;
}

const std::array<std::string, 4>& TeacherQuotations() {
    static const std::array<std::string, 4> list = {
        "A teacher affects eternity; he can never tell where his influence stops. (Henry Adams)",
        "Teaching is the highest form of understanding. (Aristotle)",
        "To teach is to learn twice. (Joseph Joubert)",
        "When the student is ready, the teacher will appear. (Proverb)",
    };
    return list;
}

int DedicationChoice(float r) {
    if (r < 0.15f) return 0;
    if (r < 0.3f) return 1;
    if (r < 0.8f) return 2;
    return 3;
}

std::string DedicationQuotation(Clock& clock, Random& random) {
    random.Seed(static_cast<std::uint32_t>(clock.Now().Second));
    const auto r = static_cast<float>(random.Next());
    return TeacherQuotations()[static_cast<std::size_t>(DedicationChoice(r))];
}

DedicationPlaces PlaceDedication(int windowWidth, int windowHeight, int pictureWidth,
                                 int pictureHeight, int buttonWidth, int gap) {
    DedicationPlaces p{};
    p.PictureLeft = (windowWidth - pictureWidth) / 2;
    p.PictureTop = (windowHeight - pictureHeight) / 4;
    p.ButtonLeft = (windowWidth - buttonWidth) / 2;
    p.ButtonTop = p.PictureTop + pictureHeight + gap;
    return p;
}

}  // namespace vortel
