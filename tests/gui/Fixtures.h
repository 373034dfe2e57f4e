// Three small treatments whose comparison grid was worked out by hand.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

// Large inputs shrink under the sanitizers, which run the program many times slower.
#if defined(__SANITIZE_ADDRESS__)
#define VORTEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORTEL_SANITIZED 1
#endif
#endif

namespace vortel::gui::test {

// The moment the window tests start their tests at.
inline constexpr std::int64_t March7 = 1709802303;  // 7 March 2024 09:05:03 UTC
// The report of a test started at March7.
inline const QString ReportName = "25A-Cartesian diff results-r_202437-953.txt";

// A file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Four values each, so every pair has 16 differences that can be listed by hand. Means 2,
// 1.9375 and 0.875 (A, B, C): the mean differences are 0.0625, 1.125 and 1.0625 and land on
// halves when rounded for the grid.
inline QString Treatment(const char* name, double shift) {
    QString text = QString("%1\nBootstrap results\n30\nLife table\n4\nr\n30\n2\n").arg(name);
    for (double v : {1.875, 2.125, 2.0, 2.0}) text += QString::number(v - shift) + "\n";
    return text;
}

// Writes A.txt, B.txt and C.txt into the folder.
inline bool WriteTreatments(const QString& folder) {
    const struct {
        const char* name;
        double shift;
    } treatments[] = {{"A", 0}, {"B", 0.0625}, {"C", 1.125}};
    for (const auto& t : treatments) {
        QFile file(QDir(folder).filePath(QString(t.name) + ".txt"));
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(Treatment(t.name, t.shift).toUtf8());
    }
    return true;
}

// A treatment of `count` values spread over half a unit above `low`, from a fixed generator:
// enough of them make a test that runs for seconds.
inline bool WriteLargeTreatment(const QString& path, const QString& name, int count, double low,
                                std::uint32_t seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray text = QString("%1\nBootstrap results\n30\nLife table\n%2\nr\n30\n2\n")
                          .arg(name)
                          .arg(count)
                          .toUtf8();
    text.reserve(count * 10);
    for (int k = 0; k < count; ++k) {
        seed = seed * 1664525u + 1013904223u;
        text += QByteArray::number(low + (seed >> 8) / double(1u << 24) * 0.5, 'f', 6) + '\n';
    }
    return file.write(text) == text.size();
}

// The grid's rows, rows 0 to 3.
inline const QStringList GridRows[] = {
    {"", "A", "B", "C"},
    {"A", " ----", " .062", " 1.12"},
    // 10 of the 16 A-B differences fall outside (0, 0.125); the t interval of both pairs with C
    // lies above zero, that of A-B does not.
    {"B", " .625", " ----", " 1.06"},
    {"C", " 0*", " 0*", " ----"},
};

}  // namespace vortel::gui::test
