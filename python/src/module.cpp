// The package's native module: Python's values in, the test run with the GIL released and
// Python's signals looked at while it runs, the result back as columns.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "bindings/ScriptedTest.h"
#include "report/ResultsCsv.h"
#include "shell/base/RunStopped.h"
#include "shell/base/StopToken.h"
#include "sortcount/SortCount.h"

namespace py = pybind11;

namespace {

using vortel::scripted::Column;

py::dict ColumnsOf(const std::vector<Column>& columns) {
    py::dict out;
    for (const Column& c : columns) {
        switch (c.Type) {
            case Column::Kind::Text:
                out[py::str(c.Name)] = py::cast(c.Texts);
                break;
            case Column::Kind::Whole: {
                py::list whole;
                for (double x : c.Numbers) whole.append(py::int_(static_cast<long long>(x)));
                out[py::str(c.Name)] = whole;
                break;
            }
            case Column::Kind::Real:
                out[py::str(c.Name)] = py::cast(c.Numbers);
                break;
            case Column::Kind::Logical:
                out[py::str(c.Name)] = py::cast(c.Flags);
                break;
        }
    }
    return out;
}

using Values = py::array_t<double, py::array::c_style | py::array::forcecast>;

py::dict Run(const std::vector<std::string>& names, const std::vector<Values>& values,
             const std::vector<double>& n, const std::vector<double>& original,
             const std::string& parameter, const std::string& transform, bool reversed,
             const std::optional<std::string>& folder, const std::optional<std::string>& code,
             bool csv) {
    std::vector<vortel::scripted::GivenTreatment> given(names.size());
    for (std::size_t t = 0; t < names.size(); ++t) {
        given[t].Name = names[t];
        given[t].SampleSize = n.at(t);
        given[t].Original = original.at(t);
        const Values& v = values.at(t);
        given[t].Values.assign(v.data(), v.data() + v.size());
    }
    vortel::CartesianResult result;
    vortel::CartesianOutput output;
    std::string failure;
    bool stopped = false;
    {
        py::gil_scoped_release free;
        try {
            vortel::CartesianRequest request =
                vortel::scripted::RequestOf(std::move(given), parameter, transform, reversed);
            if (folder) {
                output.Folder = *folder;
                if (code) request.Code = *code;
                request.CsvTables = csv;
            }
            // Python runs its signal handlers only on the main thread, and only with the GIL.
            result = vortel::scripted::RunInterruptible(request, folder ? &output : nullptr, [] {
                py::gil_scoped_acquire held;
                return PyErr_CheckSignals() != 0;
            });
        } catch (const vortel::CommandStopped&) {
            stopped = true;
        } catch (const vortel::RunStopped& e) {
            failure = e.what();
        }
    }
    // The handler's exception (KeyboardInterrupt) is already set.
    if (stopped) throw py::error_already_set();
    if (!failure.empty()) throw py::value_error(failure);

    py::dict out;
    out["parameter"] = result.Parameter;
    out["treatments"] = ColumnsOf(vortel::scripted::TreatmentColumns(result));
    out["pairs"] = ColumnsOf(vortel::scripted::PairColumns(result));
    out["F"] = result.F;
    out["df"] = py::make_tuple(result.DfBetween, result.DfWithin);
    out["sidak"] = result.SidakAlpha;
    if (folder) {
        std::vector<std::string> files{output.Report.string()};
        if (csv) {
            const vortel::ResultsCsvPaths paths = vortel::ResultsCsvPathsFor(output.Report);
            files.push_back(paths.Pairs.string());
            files.push_back(paths.Treatments.string());
        }
        out["files"] = files;
    }
    return out;
}

// The sort-and-count utility on values in memory: what its three files hold, as columns.
py::dict SortCount(const Values& values, int decimals) {
    if (values.ndim() != 1) throw py::value_error("the values must be 1-D");
    vortel::SortCountRequest request;
    request.Values.assign(values.data(), values.data() + values.size());
    request.Decimals = decimals;
    request.DataKind = vortel::SortCountRequest::Kind::General;
    vortel::SortCountResult r;
    std::string failure;
    {
        py::gil_scoped_release free;
        try {
            r = vortel::SortAndCount(request);
        } catch (const vortel::RunStopped& e) {
            failure = e.what();
        }
    }
    if (!failure.empty()) throw py::value_error(failure);
    std::vector<double> sorted, classValues, classCounts;
    std::vector<long long> serials;
    sorted.reserve(r.Sorted.size());
    serials.reserve(r.Sorted.size());
    for (const vortel::SortedValue& v : r.Sorted) {
        sorted.push_back(v.Value);
        serials.push_back(v.Serial);
    }
    for (const vortel::FrequencyClass& c : r.Classes) {
        classValues.push_back(c.Value);
        classCounts.push_back(c.Count);
    }
    py::dict out;
    out["sorted"] = sorted;
    out["serials"] = serials;
    out["mean"] = r.Mean;
    out["percentiles"] = py::make_tuple(r.Percentile025, r.Percentile50, r.Percentile975);
    out["class_values"] = classValues;
    out["class_counts"] = classCounts;
    return out;
}

}  // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The compiled core of the vortel package; use vortel.cartesian_test and vortel.sort_count.";
    m.def("run", &Run, py::arg("names"), py::arg("values"), py::arg("n"), py::arg("original"),
          py::arg("parameter"), py::arg("transform"), py::arg("reversed"), py::arg("folder"),
          py::arg("code"), py::arg("csv"));
    m.def("sort_count", &SortCount, py::arg("values"), py::arg("decimals"));
}
