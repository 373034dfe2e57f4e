// The package's one native entry: R's values in, the test run where R can still take an
// interrupt, and the result back as columns for R to make data frames of.
#include <R_ext/Rdynload.h>
#include <Rcpp.h>

#include <string>
#include <vector>

#include "bindings/ScriptedTest.h"
#include "report/ResultsCsv.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"

namespace {

using vortel::scripted::Column;

void CheckInterrupt(void*) { R_CheckUserInterrupt(); }

// R_CheckUserInterrupt jumps out of C++ when there is an interrupt; run at R's top level, it
// returns here instead, and the interrupt is raised once the test has stopped.
bool Interrupted() { return R_ToplevelExec(CheckInterrupt, nullptr) == FALSE; }

Rcpp::List ColumnsOf(const std::vector<Column>& columns) {
    Rcpp::List list(columns.size());
    Rcpp::CharacterVector names(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const Column& col = columns[c];
        names[c] = col.Name;
        switch (col.Type) {
            case Column::Kind::Text:
                list[c] = Rcpp::CharacterVector(col.Texts.begin(), col.Texts.end());
                break;
            case Column::Kind::Whole:
                list[c] = Rcpp::IntegerVector(col.Numbers.begin(), col.Numbers.end());
                break;
            case Column::Kind::Real:
                list[c] = Rcpp::NumericVector(col.Numbers.begin(), col.Numbers.end());
                break;
            case Column::Kind::Logical:
                list[c] = Rcpp::LogicalVector(col.Flags.begin(), col.Flags.end());
                break;
        }
    }
    list.names() = names;
    return list;
}

SEXP Failure(const std::string& message) {
    return Rcpp::List::create(Rcpp::Named("error") = message);
}

}  // namespace

// Named vectors from R's side; folder NULL for no files. Returns the result's columns, or a list
// holding only `error`, the core's message, for R to raise as its own error.
extern "C" SEXP vortel_run(SEXP namesS, SEXP valuesS, SEXP nS, SEXP originalS, SEXP parameterS,
                           SEXP transformS, SEXP reversedS, SEXP folderS, SEXP codeS, SEXP csvS) {
    BEGIN_RCPP
    const Rcpp::CharacterVector names(namesS);
    const Rcpp::List values(valuesS);
    const Rcpp::NumericVector n(nS), original(originalS);
    std::vector<vortel::scripted::GivenTreatment> given(static_cast<std::size_t>(names.size()));
    for (R_xlen_t t = 0; t < names.size(); ++t) {
        auto& g = given[static_cast<std::size_t>(t)];
        g.Name = Rcpp::as<std::string>(names[t]);
        g.SampleSize = n[t];
        g.Original = original[t];
        const Rcpp::NumericVector v(values[t]);
        g.Values.assign(v.begin(), v.end());
    }
    const bool withFiles = !Rf_isNull(folderS);
    vortel::CartesianResult result;
    vortel::CartesianOutput output;
    try {
        vortel::CartesianRequest request = vortel::scripted::RequestOf(
            std::move(given), Rcpp::as<std::string>(parameterS), Rcpp::as<std::string>(transformS),
            Rcpp::as<bool>(reversedS));
        if (withFiles) {
            output.Folder = Rcpp::as<std::string>(folderS);
            if (!Rf_isNull(codeS)) request.Code = Rcpp::as<std::string>(codeS);
            request.CsvTables = Rcpp::as<bool>(csvS);
        }
        result =
            vortel::scripted::RunInterruptible(request, withFiles ? &output : nullptr, Interrupted);
    } catch (const vortel::CommandStopped&) {
        throw Rcpp::internal::InterruptedException();
    } catch (const vortel::RunStopped& e) {
        return Failure(e.what());
    }
    Rcpp::List out = Rcpp::List::create(
        Rcpp::Named("parameter") = result.Parameter,
        Rcpp::Named("treatments") = ColumnsOf(vortel::scripted::TreatmentColumns(result)),
        Rcpp::Named("pairs") = ColumnsOf(vortel::scripted::PairColumns(result)),
        Rcpp::Named("F") = result.F,
        Rcpp::Named("df") = Rcpp::NumericVector::create(Rcpp::Named("between") = result.DfBetween,
                                                        Rcpp::Named("within") = result.DfWithin),
        Rcpp::Named("sidak") = result.SidakAlpha);
    if (withFiles) {
        Rcpp::CharacterVector files = {output.Report.string()};
        if (Rcpp::as<bool>(csvS)) {
            const vortel::ResultsCsvPaths csv = vortel::ResultsCsvPathsFor(output.Report);
            files.push_back(csv.Pairs.string());
            files.push_back(csv.Treatments.string());
        }
        out["files"] = files;
    }
    return out;
    END_RCPP
}

// The core's shortest text of each number, as the CSV tables write it.
extern "C" SEXP vortel_csv_number(SEXP xS) {
    BEGIN_RCPP
    const Rcpp::NumericVector x(xS);
    Rcpp::CharacterVector out(x.size());
    for (R_xlen_t k = 0; k < x.size(); ++k) out[k] = vortel::CsvNumber(x[k]);
    return out;
    END_RCPP
}

extern "C" void R_init_vortel(DllInfo* dll) {
    static const R_CallMethodDef calls[] = {
        {"vortel_run", reinterpret_cast<DL_FUNC>(&vortel_run), 10},
        {"vortel_csv_number", reinterpret_cast<DL_FUNC>(&vortel_csv_number), 1},
        {nullptr, nullptr, 0}};
    R_registerRoutines(dll, nullptr, calls, nullptr, nullptr);
    R_useDynamicSymbols(dll, FALSE);
}
