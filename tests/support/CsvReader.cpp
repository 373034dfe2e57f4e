#include "support/CsvReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vortel::test {

std::vector<Record> ReadCsv(const std::string& text) {
    std::vector<Record> records;
    Record record;
    std::string field;
    std::size_t k = 0;
    while (k < text.size()) {
        const bool quoted = text[k] == '"';
        if (quoted) {
            for (++k; k < text.size(); ++k) {
                if (text[k] != '"') {
                    field += text[k];
                } else if (k + 1 < text.size() && text[k + 1] == '"') {
                    field += '"';
                    ++k;
                } else {
                    break;
                }
            }
            ++k;  // the closing quote
        }
        while (k < text.size() && text[k] != ',' && text[k] != '\r') {
            EXPECT_FALSE(quoted) << "stray character after a quoted field: " << text.substr(k, 20);
            EXPECT_NE(text[k], '"') << "quote inside an unquoted field";
            field += text[k++];
        }
        record.push_back(field);
        field.clear();
        if (k < text.size() && text[k] == ',') {
            ++k;
            continue;
        }
        EXPECT_EQ(text.compare(k, 2, "\r\n"), 0) << "record not ended by CR LF";
        k += 2;
        records.push_back(record);
        record.clear();
    }
    return records;
}

void ExpectSameDouble(const std::string& field, double expected, const std::string& what) {
    char* end = nullptr;
    const double read = std::strtod(field.c_str(), &end);
    EXPECT_EQ(*end, '\0') << what << ": " << field;
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(read)) << what;
        return;
    }
    EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0)
        << what << ": " << field << " reads as " << read << ", not " << expected;
}

void ExpectPairResults(const Record& r, const AnalysisState& s, int i, int j,
                       const std::string& what) {
    ASSERT_GE(r.size(), 16u) << what;
    const double numbers[] = {
        s.CartesianMean(i, j), s.CartesianVariance(i, j), s.CartesianSD(i, j),    s.TLower(i, j),
        s.TUpper(i, j),        s.PercentileLower(i, j),   s.PercentileUpper(i, j)};
    for (std::size_t f = 0; f < std::size(numbers); ++f)
        ExpectSameDouble(r[6 + f], numbers[f], what + " field " + std::to_string(6 + f));
    EXPECT_EQ(r[13], std::to_string(s.InsignificantCount(i, j))) << what;
    EXPECT_EQ(r[14], std::to_string(s.SignificantCount(i, j))) << what;
    ExpectSameDouble(r[15], s.PValue(i, j), what);
}

}  // namespace vortel::test
