#include "bindings/ScriptedTest.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <future>
#include <memory>
#include <thread>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"

namespace vortel::scripted {

Transformation TransformationNamed(const std::string& name) {
    if (name == "none") return Transformation::None;
    if (name == "arcsine") return Transformation::Arcsine;
    if (name == "logit") return Transformation::Logit;
    throw RunStopped("The transformation \"" + name +
                     "\" is not one of \"none\", \"arcsine\" and \"logit\".");
}

CartesianRequest RequestOf(std::vector<GivenTreatment> treatments, const std::string& parameter,
                           const std::string& transformation, bool reversed) {
    CartesianRequest request;
    request.Transform = TransformationNamed(transformation);
    request.Reversed = reversed;
    for (GivenTreatment& t : treatments) {
        const std::string named = "Treatment \"" + t.Name + "\"";
        if (std::isnan(t.SampleSize)) {
            throw RunStopped(named +
                             " has no n: give the sample size of the original data (the "
                             "F test needs it).");
        }
        // Below 2^31, so that the test's whole n takes it.
        if (!(t.SampleSize >= 1) || t.SampleSize != std::floor(t.SampleSize) ||
            t.SampleSize > 2147483647.0) {
            throw RunStopped(named + ": n is " + NumberText(t.SampleSize) +
                             "; it must be a whole number above 0: the sample size of the "
                             "original data (the F test needs it).");
        }
        if (!std::isfinite(t.Original)) {
            throw RunStopped(named + " has no original estimate (it is " + NumberText(t.Original) +
                             "): give the estimate from the original data (the report shows it).");
        }
        request.Treatments.push_back({std::move(t.Name), static_cast<std::int32_t>(t.SampleSize),
                                      t.Original, std::move(t.Values), parameter});
    }
    return request;
}

namespace {

// What the test's thread works on, owned with it: a test without files that is interrupted is
// left to end on its own, and nothing it reads may go before it does.
struct Run {
    CartesianRequest Request;
    StopToken Stop;
    std::promise<CartesianResult> Result;
};

// How long an interrupted test without files is waited for before it is left to end alone.
constexpr auto StopWait = std::chrono::milliseconds(300);

}  // namespace

CartesianResult RunInterruptible(const CartesianRequest& request, CartesianOutput* output,
                                 const std::function<bool()>& interrupted) {
    auto run = std::make_shared<Run>();
    run->Request = request;
    std::future<CartesianResult> result = run->Result.get_future();
    std::thread([run, output] {
        RunControl control;
        control.Stop = &run->Stop;
        control.Output = output;
        try {
            run->Result.set_value(RunCartesianTest(run->Request, control));
        } catch (...) {
            run->Result.set_exception(std::current_exception());
        }
    }).detach();
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (!interrupted()) continue;
        run->Stop.Request();
        // Files must stand or be put back before the caller goes on: a test writing them is
        // waited for.
        if (output)
            result.wait();
        else
            result.wait_for(StopWait);
        throw CommandStopped();
    }
    return result.get();
}

namespace {

Column Texts(const char* name, std::vector<std::string> texts) {
    Column c{name, Column::Kind::Text};
    c.Texts = std::move(texts);
    return c;
}

Column Numbers(const char* name, Column::Kind kind, std::vector<double> numbers) {
    Column c{name, kind};
    c.Numbers = std::move(numbers);
    return c;
}

Column Flags(const char* name, std::vector<bool> flags) {
    Column c{name, Column::Kind::Logical};
    c.Flags = std::move(flags);
    return c;
}

// One column, each row's value taken by `of`.
template <class Row, class Of>
auto Each(const std::vector<Row>& rows, Of of) {
    std::vector<decltype(of(rows.front()))> out;
    out.reserve(rows.size());
    for (const Row& r : rows) out.push_back(of(r));
    return out;
}

}  // namespace

std::vector<Column> TreatmentColumns(const CartesianResult& r) {
    using T = TreatmentResult;
    const auto& ts = r.Treatments;
    using K = Column::Kind;
    return {
        Texts("treatment", Each(ts, [](const T& t) { return t.Name; })),
        Numbers("original", K::Real, Each(ts, [](const T& t) { return t.Original; })),
        Numbers("bootstrap_mean", K::Real, Each(ts, [](const T& t) { return t.BootstrapMean; })),
        Numbers("variance", K::Real, Each(ts, [](const T& t) { return t.Variance; })),
        Numbers("SE", K::Real, Each(ts, [](const T& t) { return t.SE; })),
        Numbers("n", K::Whole, Each(ts, [](const T& t) { return double(t.SampleSize); })),
        Numbers("B", K::Whole, Each(ts, [](const T& t) { return double(t.BootstrapNumber); })),
        Texts("letters", Each(ts, [](const T& t) { return t.Letters; })),
    };
}

std::vector<Column> PairColumns(const CartesianResult& r) {
    using P = PairResult;
    const auto& ps = r.Pairs;
    using K = Column::Kind;
    const auto a = [&](const P& p) -> const TreatmentResult& { return r.Treatment(p.Minuend); };
    const auto b = [&](const P& p) -> const TreatmentResult& { return r.Treatment(p.Subtrahend); };
    return {
        Texts("parameter", Each(ps, [&](const P&) { return r.Parameter; })),
        Texts("treatment_a", Each(ps, [&](const P& p) { return a(p).Name; })),
        Texts("treatment_b", Each(ps, [&](const P& p) { return b(p).Name; })),
        Numbers("B_a", K::Whole,
                Each(ps, [&](const P& p) { return double(a(p).BootstrapNumber); })),
        Numbers("B_b", K::Whole,
                Each(ps, [&](const P& p) { return double(b(p).BootstrapNumber); })),
        // Up to 4 x 10^12: whole, but past what a 32-bit integer holds.
        Numbers("C", K::Real, Each(ps, [](const P& p) { return p.C; })),
        Numbers("mean_difference", K::Real, Each(ps, [](const P& p) { return p.Mean; })),
        Numbers("variance", K::Real, Each(ps, [](const P& p) { return p.Variance; })),
        Numbers("SE", K::Real, Each(ps, [](const P& p) { return p.SE; })),
        Numbers("t_lower", K::Real, Each(ps, [](const P& p) { return p.TLower; })),
        Numbers("t_upper", K::Real, Each(ps, [](const P& p) { return p.TUpper; })),
        Numbers("percentile_lower", K::Real,
                Each(ps, [](const P& p) { return p.PercentileLower; })),
        Numbers("percentile_upper", K::Real,
                Each(ps, [](const P& p) { return p.PercentileUpper; })),
        Numbers("insignificant", K::Real,
                Each(ps, [](const P& p) { return double(p.Insignificant); })),
        Numbers("significant", K::Real, Each(ps, [](const P& p) { return double(p.Significant); })),
        Numbers("P", K::Real, Each(ps, [](const P& p) { return p.P; })),
        Flags("t_significant", Each(ps, [](const P& p) { return p.TSignificant; })),
        Flags("percentile_significant",
              Each(ps, [](const P& p) { return p.PercentileSignificant; })),
        Flags("P_at_most_0.05", Each(ps, [](const P& p) { return p.AtFivePercent; })),
        Flags("P_below_sidak", Each(ps, [](const P& p) { return p.BelowSidak; })),
        Numbers("sidak_alpha", K::Real, Each(ps, [&](const P&) { return r.SidakAlpha; })),
    };
}

}  // namespace vortel::scripted
