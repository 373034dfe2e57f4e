// The test as one call: samples held in memory give the result, and the result is what the report
// and the CSV tables of the same samples, entered through the launch's questions, say.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "CartesianFixture.h"
#include "cartesian/CartesianTest.h"
#include "report/ResultsCsv.h"
#include "shell/base/NumberText.h"
#include "shell/mainwindow/CommandQuestions.h"

namespace vortel {
namespace {

std::string Exact(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

// A number as the report prints it: a blank for its sign when it has none, one blank after.
template <class T>
std::string Printed(T x) {
    return (x < 0 ? "" : " ") + NumberText(x) + " ";
}

// A treatment file as an earlier bootstrap analysis writes it, values to the last digit.
std::string TreatmentFile(const TreatmentSamples& t) {
    std::vector<std::string> lines = {t.Name,
                                      "x",
                                      Text(t.SampleSize),
                                      "y",
                                      Text(static_cast<std::int64_t>(t.Values.size())),
                                      t.Parameter,
                                      Text(t.SampleSize),
                                      Exact(t.Original)};
    for (double x : t.Values) lines.push_back(Exact(x));
    return test::CrLf(lines);
}

// Values around `centre`, spread by `spread`, drawn from a fixed seed and kept inside (0, 1) for
// the arcsine and logit transformations.
TreatmentSamples Drawn(const std::string& name, int b, double centre, double spread,
                       std::uint32_t seed, std::int32_t n = 20) {
    std::mt19937 engine(seed);
    std::normal_distribution<double> normal(centre, spread);
    TreatmentSamples t;
    t.Name = name;
    t.SampleSize = n;
    t.Original = centre;
    t.Parameter = "r";
    for (int k = 0; k < b; ++k) {
        double x = normal(engine);
        if (x <= 0.001) x = 0.001;
        if (x >= 0.999) x = 0.999;
        t.Values.push_back(x);
    }
    return t;
}

struct Case {
    const char* label;
    CartesianRequest request;
};

std::vector<Case> Cases() {
    std::vector<Case> cases(3);
    // Unequal B, and two treatments of the same values (equal means: the later one first in
    // each difference, and no verdict of a difference).
    cases[0].label = "four, equal means, no transformation";
    cases[0].request.Treatments = {
        Drawn("Tomato", 300, 0.23, 0.02, 1), Drawn("Pepper", 250, 0.22, 0.02, 2),
        Drawn("Eggplant", 300, 0.23, 0.02, 1), Drawn("Potato", 200, 0.18, 0.03, 3)};
    cases[1].label = "three, arcsine, reversed";
    cases[1].request.Treatments = {Drawn("Low", 120, 0.3, 0.05, 4),
                                   Drawn("High", 150, 0.6, 0.05, 5),
                                   Drawn("Mid", 130, 0.45, 0.05, 6)};
    cases[1].request.Transform = Transformation::Arcsine;
    cases[1].request.Reversed = true;
    // Six treatments take the compact letter display.
    cases[2].label = "six, logit";
    for (int t = 0; t < 6; ++t) {
        cases[2].request.Treatments.push_back(Drawn("T" + Text(t + 1), 80 + 10 * t, 0.3 + 0.04 * t,
                                                    0.05, static_cast<std::uint32_t>(10 + t)));
    }
    cases[2].request.Transform = Transformation::Logit;
    return cases;
}

// The launch's questions answered for the request's samples, as files in `folder`.
void RunThroughTheQuestions(const CartesianRequest& request, const test::TempFolder& folder) {
    const bool details = request.DetailFiles || request.FlowRecord;
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock(test::TestMoment);
    ui.SetCurrentFolder(folder.Path());
    App app(ui, window, clock);
    SetEditionValues(app.State());
    app.State().CsvResults = true;
    if (details) {
        ui.Yes();  // detailed info
        request.FlowRecord ? ui.Yes() : ui.No();
        request.DetailFiles ? ui.Yes() : ui.No();
    } else {
        ui.No();
    }
    request.Reversed ? ui.Yes() : ui.No();
    ui.Type(Text(static_cast<std::int64_t>(request.Treatments.size())))
        .Type(Text(static_cast<int>(request.Transform)));
    for (const TreatmentSamples& t : request.Treatments)
        ui.Pick(folder.Write(t.Name + ".txt", TreatmentFile(t)).string());
    ui.Type("1");
    ASSERT_TRUE(app.Run(AskAndRunCartesianTest)) << app.LastFailure();
    ASSERT_TRUE(ui.AllAnswered());
    app.CloseAllFiles();
}

std::vector<std::vector<std::string>> CsvRows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(table);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> cells;
        std::istringstream cellsIn(line);
        std::string cell;
        while (std::getline(cellsIn, cell, ',')) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

double Number(const std::string& text) {
    double x = 0;
    std::from_chars(text.data(), text.data() + text.size(), x);
    return x;
}

// Each piece is found in the report after the one before it.
void ExpectInOrder(const std::string& report, const std::vector<std::string>& pieces) {
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
        const std::size_t found = report.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "not found: \"" << piece << "\" in\n"
                                            << report.substr(at, 400);
        at = found + piece.size();
    }
}

TEST(RunCartesianTest, ResultIsWhatTheReportOfTheSameSamplesSays) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.label);
        test::TempFolder asked;
        RunThroughTheQuestions(c.request, asked);
        const std::string name = "25A-Cartesian diff results-r_202437-953";
        const std::string report = test::ReadAll(asked / (name + ".txt"));

        const CartesianResult result = RunCartesianTest(c.request, {});
        const int n = result.TreatmentCount();
        ASSERT_EQ(n, static_cast<int>(c.request.Treatments.size()));
        ASSERT_EQ(result.Pairs.size(), static_cast<std::size_t>(n * (n - 1) / 2));

        // The report's own numbers, in its order: F, the Sidak level, then per pair its names,
        // C, the treatments' means, the mean difference and P.
        std::vector<std::string> pieces = {"Parameter: " + result.Parameter,
                                           "F value =" + Printed(result.F),
                                           "(dfN: numerator) =" + Printed(result.DfBetween),
                                           "(dfD: denominator) =" + Printed(result.DfWithin)};
        if (n != 2) pieces.push_back("Alpha(Sidak) =" + Printed(result.SidakAlpha));
        for (const PairResult& p : result.Pairs) {
            const TreatmentResult& a = result.Treatment(p.I);
            const TreatmentResult& b = result.Treatment(p.J);
            pieces.push_back("Comparison between " + a.Name + " vs " + b.Name);
            pieces.push_back("Number of Cartesian products (C)=" + Printed(p.C));
            pieces.push_back(NumberText(a.BootstrapMean));
            pieces.push_back(NumberText(b.BootstrapMean));
            pieces.push_back("Mean (Cart. diff.) =" + Printed(p.Mean));
            pieces.push_back(Printed(p.Variance));
            pieces.push_back(Printed(p.SE));
            // A pair of equal means is reported without its counts.
            if (a.BootstrapMean == b.BootstrapMean) continue;
            pieces.push_back("Number of insignif. diff. = " + Printed(p.Insignificant));
            pieces.push_back("Number of signif. diff. = " + Printed(p.Significant));
            pieces.push_back(" Cartesian differences) = " + Printed(p.P));
        }
        ExpectInOrder(report, pieces);

        // The CSV tables carry every number to its last bit.
        const auto pairs = CsvRows(test::ReadAll(asked / (name + " pairs.csv")));
        ASSERT_EQ(pairs.size(), result.Pairs.size() + 1);
        for (std::size_t k = 0; k < result.Pairs.size(); ++k) {
            const PairResult& p = result.Pairs[k];
            const auto& row = pairs[k + 1];
            SCOPED_TRACE(row[1] + " - " + row[2]);
            EXPECT_EQ(row[1], result.Treatment(p.Minuend).Name);
            EXPECT_EQ(row[2], result.Treatment(p.Subtrahend).Name);
            EXPECT_EQ(Number(row[5]), p.C);
            EXPECT_EQ(Number(row[6]), p.Mean);
            EXPECT_EQ(Number(row[7]), p.Variance);
            EXPECT_EQ(Number(row[8]), p.SE);
            EXPECT_EQ(Number(row[9]), p.TLower);
            EXPECT_EQ(Number(row[10]), p.TUpper);
            EXPECT_EQ(Number(row[11]), p.PercentileLower);
            EXPECT_EQ(Number(row[12]), p.PercentileUpper);
            EXPECT_EQ(Number(row[13]), static_cast<double>(p.Insignificant));
            EXPECT_EQ(Number(row[14]), static_cast<double>(p.Significant));
            EXPECT_EQ(Number(row[15]), p.P);
            EXPECT_EQ(row[18], p.AtFivePercent ? "TRUE" : "FALSE");
            EXPECT_EQ(row[19], p.BelowSidak ? "TRUE" : "FALSE");
        }
        const auto treatments = CsvRows(test::ReadAll(asked / (name + " treatments.csv")));
        ASSERT_EQ(treatments.size(), result.Treatments.size() + 1);
        for (std::size_t k = 0; k < result.Treatments.size(); ++k) {
            const TreatmentResult& t = result.Treatments[k];
            const auto& row = treatments[k + 1];
            EXPECT_EQ(row[0], t.Name);
            EXPECT_EQ(Number(row[2]), t.BootstrapMean);
            EXPECT_EQ(Number(row[3]), t.Variance);
            EXPECT_EQ(Number(row[4]), t.SE);
            EXPECT_EQ(row[7], t.Letters);
        }
        // Every pair is taken as the larger bootstrap mean minus the other.
        for (const PairResult& p : result.Pairs)
            EXPECT_GE(result.Treatment(p.Minuend).BootstrapMean,
                      result.Treatment(p.Subtrahend).BootstrapMean);
    }
}

// With an output, the call writes the files the questions write, byte for byte (detail files and
// the flow record too), and returns the same result as without one.
TEST(RunCartesianTest, OutputWritesTheFilesOfTheQuestions) {
    std::vector<Case> cases = Cases();
    cases.push_back(cases[1]);
    cases.back().label = "three, with detail files and the flow record";
    cases.back().request.DetailFiles = true;
    cases.back().request.FlowRecord = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::TempFolder asked, called;
        RunThroughTheQuestions(c.request, asked);

        CartesianRequest request = c.request;
        request.CsvTables = true;
        FixedClock clock(test::TestMoment);
        CartesianOutput output{called.Path()};
        const CartesianResult result =
            RunCartesianTest(request, {nullptr, nullptr, &clock, &output});
        EXPECT_EQ(output.Report, called / "25A-Cartesian diff results-r_202437-953.txt");
        // Every file the questions wrote beside the treatment files they read.
        std::vector<std::string> written = asked.Files();
        for (const TreatmentSamples& t : c.request.Treatments) std::erase(written, t.Name + ".txt");
        EXPECT_EQ(called.Files(), written);
        for (const std::string& file : written)
            EXPECT_EQ(test::ReadAll(called / file), test::ReadAll(asked / file)) << file;
        // The report, two tables, and the flow record and six files a pair when asked for.
        EXPECT_EQ(written.size(), request.DetailFiles ? 3u + 1 + 6 * 3 : 3u);

        // The same treatments named as files: read as the chosen files were, the report naming
        // them, so every file is the questions' own.
        test::TempFolder named;
        CartesianRequest byFile = request;
        byFile.Treatments.clear();
        for (const TreatmentSamples& t : c.request.Treatments)
            byFile.Files.push_back((asked / (t.Name + ".txt")).string());
        CartesianOutput fileOutput{named.Path()};
        RunCartesianTest(byFile, {nullptr, nullptr, &clock, &fileOutput});
        EXPECT_EQ(named.Files(), written);
        for (const std::string& file : written)
            EXPECT_EQ(test::ReadAll(named / file), test::ReadAll(asked / file)) << file;
        CartesianRequest plain = c.request;
        plain.DetailFiles = plain.FlowRecord = false;
        const ResultsCsv alone = ResultsCsvOf(RunCartesianTest(plain, {}));
        EXPECT_EQ(ResultsCsvOf(result).Pairs, alone.Pairs);
        EXPECT_EQ(ResultsCsvOf(result).Treatments, alone.Treatments);
    }
}

// Events come in the order of the pairs, a stop ends the call with nothing written, and requests
// the test cannot take are refused with what is wrong.
TEST(RunCartesianTest, EventsStopAndRefusals) {
    struct Recorder final : TestEvents {
        std::vector<std::string> seen;
        StopToken* stopAfterFirst = nullptr;
        void Began(const std::string&, int pairs) override {
            seen.push_back("began " + Text(pairs));
        }
        void PairDone(int i, int j, const DateTime&) override {
            seen.push_back(Text(i) + "-" + Text(j));
            if (stopAfterFirst) stopAfterFirst->Request();
        }
    };
    const CartesianRequest three = Cases()[1].request;
    Recorder events;
    RunCartesianTest(three, {&events});
    EXPECT_EQ(events.seen, (std::vector<std::string>{"began 3", "1-2", "1-3", "2-3"}));

    test::TempFolder folder;
    StopToken token;
    Recorder stopping;
    stopping.stopAfterFirst = &token;
    CartesianOutput output{folder.Path()};
    EXPECT_THROW(RunCartesianTest(three, {&stopping, &token, nullptr, &output}), CommandStopped);
    EXPECT_EQ(stopping.seen.size(), 2u);
    EXPECT_TRUE(folder.Files().empty());

    struct Refusal {
        const char* label;
        CartesianRequest request;
        const char* says;
    };
    CartesianRequest one = three;
    one.Treatments.resize(1);
    CartesianRequest files = three;
    files.DetailFiles = true;
    CartesianRequest outside = three;
    outside.Treatments[1].Values[7] = 1.5;
    CartesianRequest single = three;
    single.Treatments[2].Values.resize(1);
    CartesianRequest both = three;
    both.Files = {"a.txt", "b.txt"};
    CartesianRequest notANumber = three;
    notANumber.Treatments[0].Values[4] = std::nan("");
    CartesianRequest sameName = three;
    sameName.Treatments[2].Name = sameName.Treatments[0].Name;
    CartesianRequest noN = three;
    noN.Treatments[1].SampleSize = 0;
    CartesianRequest missing;
    missing.Files = {(folder / "no such.txt").string(), (folder / "nor this.txt").string()};
    const Refusal refusals[] = {
        {"one treatment", one, "the request has 1"},
        {"files without a folder", files, "without a folder"},
        {"outside the arcsine's domain", outside, "Treatment \"High\": the value 1.5"},
        {"one value", single, "(\"Mid\") is 1"},
        {"values and files", both, "both as values and as files"},
        {"a file that is not there", missing, "no such.txt"},
        {"a value that is not a number", notANumber, "\"Low\": bootstrap value 5 is not a number"},
        {"two treatments of one name", sameName, "Treatments 1 and 3 are both named \"Low\""},
        {"n of 0", noN, "Treatment \"High\": n is 0"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.label);
        try {
            RunCartesianTest(r.request, {});
            ADD_FAILURE() << "not refused";
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(r.says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace vortel

namespace vortel {
namespace {

// Each treatment's percentile interval: the values at ranks round(B x 0.025 + 0.5) and
// round(B x 0.975 + 0.5) of its sorted values, halves to even, as the test compared them, for
// pairs within the lists and past them (whose samples the exact path sorts); and the
// transformation the result carries.
TEST(CartesianTestEntry, TreatmentsCarryTheirPercentileInterval) {
    const std::pair<Transformation, double (*)(double)> transforms[] = {
        {Transformation::None, [](double x) { return x; }},
        {Transformation::Logit, [](double x) { return std::log(x / (1 - x)); }},
    };
    // B, and the ranks of its limits: 40 x 0.025 + 0.5 = 1.5 goes to 2, 2001 x 0.025 + 0.5 =
    // 50.525 to 51, 2002 x 0.975 + 0.5 = 1952.45 to 1952.
    struct Case {
        int b, lower, upper;
    };
    const std::vector<std::vector<Case>> tests = {{{40, 2, 40}, {41, 2, 40}},
                                                  {{2001, 51, 1951}, {2002, 51, 1952}}};
    for (const auto& [transform, compared] : transforms) {
        for (const auto& cases : tests) {
            CartesianRequest request;
            request.Transform = transform;
            for (const Case& c : cases) {
                TreatmentSamples t{"B" + std::to_string(c.b), 20, 0.5, {}, "r"};
                // k / 10000 for k = 1..B, in an order that is not sorted.
                for (int k = 0; k < c.b; ++k) t.Values.push_back(((k * 17) % c.b + 1) / 10000.0);
                request.Treatments.push_back(t);
            }
            const CartesianResult r = RunCartesianTest(request, {});
            EXPECT_EQ(r.Transform, transform);
            for (const Case& c : cases) {
                const TreatmentResult& t =
                    r.Treatments[r.Treatments[0].BootstrapNumber == c.b ? 0 : 1];
                EXPECT_DOUBLE_EQ(t.PercentileLower, compared(c.lower / 10000.0)) << c.b;
                EXPECT_DOUBLE_EQ(t.PercentileUpper, compared(c.upper / 10000.0)) << c.b;
            }
        }
    }
}

}  // namespace
}  // namespace vortel
