#include "cartesian/DetailFiles.h"

#include <charconv>

#include "shell/base/NumberText.h"
#include "shell/state/SessionFiles.h"
#include "shell/state/Treatments.h"

namespace vortel {

namespace {

constexpr std::size_t DrainAt = std::size_t{1} << 18;

struct FileKind {
    const char* Prefix;
    const char* Suffix;
};

FileKind Kind(int fileNumber) {
    switch (fileNumber) {
        case 5:
            return {"_5-", "_diff-All (for N. sort).txt"};
        case 6:
            return {"_6-", "_diff to mean diff.txt"};
        case 7:
            return {"_7-", "_diff-SigA.txt"};
        case 9:
            return {"_9-", "_diff-SigB.txt"};
        case 10:
            return {"_10-", "_diff-inSigA.txt"};
        case 11:
            return {"_11-", "_diff-inSigB.txt"};
        default:
            return {"", ""};
    }
}

// The header shared by the four class files; only the wording of their counts and columns
// differs.
void WriteClassHeader(TextWriter& w, const Treatments& s, std::int16_t i, std::int16_t j, double c,
                      bool significant, const char* serialHead) {
    const std::string s1 = significant ? " (actual number of sign. can be less)"
                                       : " (actual number of insign. diff. can be less)";
    const std::string s2 = significant ? " (actual number of sign. diff. can be less)"
                                       : " (actual number of insign. diff. can be less)";
    const double b = s.BootstrapNumber(i);
    w.Write(s.TreatmentName(i) + " vs " + s.TreatmentName(j));
    w.Write("Next line is effective bootstrap number (B)");
    w.Write(Text(s.BootstrapNumber(i)) + s1);
    w.Write(s.ParameterName(i) + " vs " + s.ParameterName(j));
    w.Write(Text(b * b) + s2);
    w.Write(c);
    w.Write("Treatment sample sizes are " + Text(s.SampleSize(i)) + " and " +
            Text(s.SampleSize(j)));
    w.Write("Original means", s.OriginalMean(i), s.OriginalMean(j));
    w.Write(serialHead, significant ? "Sig. difference" : "Insig. difference");
}

}  // namespace

std::string PairDetailFiles::FileName(const SessionFiles& files, const Treatments& treatments,
                                      int fileNumber, std::int16_t i, std::int16_t j) {
    const FileKind kind = Kind(fileNumber);
    return files.OutputBaseName + kind.Prefix + FileNamePiece(treatments.ParameterName(i)) + "-" +
           Text(i) + " to " + Text(j) + kind.Suffix;
}

PairDetailFiles::PairDetailFiles(OutputSet& set, const SessionFiles& files, const Treatments& state,
                                 const std::filesystem::path& folder, std::int16_t i,
                                 std::int16_t j, double c, double meanDifference)
    : m_meanDifference(meanDifference) {
    auto create = [&](Sink& sink, int fileNumber) -> TextWriter& {
        sink.File = &set.Create(folder / FileName(files, state, fileNumber, i, j));
        sink.Buffer.reserve(DrainAt + 128);
        return sink.File->Writer();
    };
    const std::string names = state.TreatmentName(i) + " vs " + state.TreatmentName(j);

    TextWriter& all = create(m_all, 5);
    all.Write(names);
    all.Write("Next lines are the bootstrap number B, treament code, and Cartesian C");
    all.Write(state.BootstrapNumber(i));
    all.Write(state.ParameterName(i) + " vs " + state.ParameterName(j));
    all.Write(c);
    all.Write("Original means", state.OriginalMean(i), state.OriginalMean(j));
    all.Write("Cart. number", "Cart. Difference");

    WriteClassHeader(create(m_sigA, 7), state, i, j, c, true, "Serial no. of sig. diff.");
    WriteClassHeader(create(m_sigB, 9), state, i, j, c, true, "Cart. prod. number");
    WriteClassHeader(create(m_insigA, 10), state, i, j, c, false, "Serial no. of insig. diff.");
    WriteClassHeader(create(m_insigB, 11), state, i, j, c, false, "Cart. prod. number");

    TextWriter& toMean = create(m_toMean, 6);
    const double b = state.BootstrapNumber(i);
    toMean.Write(names);
    toMean.Write("Next line is effective bootstrap number (B)");
    toMean.Write(state.BootstrapNumber(i));
    toMean.Write(state.ParameterName(i) + state.ParameterName(j));
    toMean.Write(b * b);
    toMean.Write(c);
    toMean.Write(c);
    toMean.Write("Treatment sample sizes are " + Text(state.SampleSize(i)) + " and " +
                 Text(state.SampleSize(j)));
    toMean.Write("Original means", state.OriginalMean(i), state.OriginalMean(j));
    toMean.Write("Cart. number", "Difference to original difference");
}

void PairDetailFiles::Put(Sink& sink, std::string_view first, std::string_view second) {
    std::string& b = sink.Buffer;
    b.append(first);
    b.push_back(',');
    b.append(second);
    b.append("\r\n", 2);
    if (b.size() >= DrainAt) Drain(sink);
}

void PairDetailFiles::Drain(Sink& sink) {
    if (sink.Buffer.empty()) return;
    TextWriter& w = sink.File->Writer();
    w.Text(sink.Buffer);
    w.Flush();
    sink.Buffer.clear();
}

void PairDetailFiles::Add(std::int64_t k, double d, bool significant) {
    // The digits of d go to three files and those of k to three: form each once. A serial
    // counted as a real has the digits of the whole number below 10^15.
    char kText[24];
    const std::string_view kv(
        kText, static_cast<std::size_t>(std::to_chars(kText, kText + sizeof kText, k).ptr - kText));
    m_scratch.clear();
    AppendNumberText(m_scratch, d);
    const std::size_t dLength = m_scratch.size();
    AppendNumberText(m_scratch, d - m_meanDifference);
    const std::string_view dv(m_scratch.data(), dLength);
    const std::string_view ev(m_scratch.data() + dLength, m_scratch.size() - dLength);

    Put(m_all, kv, dv);
    Put(m_toMean, kv, ev);
    char nText[24];
    if (significant) {
        const auto r = std::to_chars(nText, nText + sizeof nText, ++m_significant);
        Put(m_sigA, std::string_view(nText, static_cast<std::size_t>(r.ptr - nText)), dv);
        Put(m_sigB, kv, dv);
    } else {
        const auto r = std::to_chars(nText, nText + sizeof nText, ++m_insignificant);
        Put(m_insigA, std::string_view(nText, static_cast<std::size_t>(r.ptr - nText)), dv);
        Put(m_insigB, kv, dv);
    }
}

void PairDetailFiles::Finish() {
    for (Sink* sink : {&m_all, &m_toMean, &m_sigA, &m_sigB, &m_insigA, &m_insigB}) {
        Drain(*sink);
        std::string().swap(sink->Buffer);
    }
}

}  // namespace vortel
