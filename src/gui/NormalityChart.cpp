#include "gui/NormalityChart.h"

#include <QApplication>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPixmap>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <filesystem>
#include <memory>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel::gui {
namespace {

// Size of the saved picture, in pixels.
constexpr int PictureWidth = 1500;
constexpr int PictureHeight = 640;

struct Range {
    double Low = 0, High = 1;
};

// One value range for both charts, so a class sits at the same place in each.
Range ValueRange(const NormalityData& data) {
    if (data.Histogram.empty()) return {};
    Range r{data.Histogram.front().Lower, data.Histogram.back().Upper};
    const double pad = std::max((r.High - r.Low) * 0.03, 1e-9 * std::max(1.0, std::fabs(r.Low)));
    return {r.Low - pad, r.High + pad};
}

// Ticks at round values (1, 2 or 5 times a power of ten) about `count` to the range, whatever
// the range's own ends are.
void RoundTicks(QValueAxis* axis, Range range, double count) {
    const double raw = (range.High - range.Low) / count;
    if (!(raw > 0) || !std::isfinite(raw)) return;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double step = raw / power < 1.5 ? power : raw / power < 3.5 ? 2 * power : 5 * power;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
}

QValueAxis* ValueAxis(const NormalityData& data, Range range) {
    auto* axis = new QValueAxis;
    axis->setTitleText(QString::fromStdString(data.VariableName.empty() ? std::string("Value")
                                                                        : data.VariableName));
    axis->setRange(range.Low, range.High);
    axis->setLabelFormat("%.6g");
    RoundTicks(axis, range, 6);
    return axis;
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChart* HistogramChart(const NormalityData& data, Range range) {
    QChart* chart = NewChart("Frequency distribution");
    // One outline that drops to zero between bars, filled down to the axis.
    auto* outline = new QLineSeries;
    double highest = 0;
    for (const auto& bar : data.Histogram) {
        outline->append(bar.Lower, 0);
        outline->append(bar.Lower, bar.Count);
        outline->append(bar.Upper, bar.Count);
        outline->append(bar.Upper, 0);
        highest = std::max(highest, bar.Count);
    }
    auto* area = new QAreaSeries(outline);
    // The area series does not own its outline; the chart does, so it goes with the chart.
    outline->setParent(chart);
    const bool perClass = data.Classes.size() <= BarPerClassLimit;
    area->setName(perClass ? "Values in each class"
                           : QString("Values in %1 equal bins").arg(data.Histogram.size()));
    area->setColor(QColor(90, 140, 200));
    area->setBorderColor(QColor(30, 60, 110));
    chart->addSeries(area);

    QValueAxis* x = ValueAxis(data, range);
    auto* y = new QValueAxis;
    y->setTitleText("Number of values");
    y->setRange(0, highest > 0 ? highest * 1.08 : 1);
    y->setLabelFormat("%.0f");
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    area->attachAxis(x);
    area->attachAxis(y);
    return chart;
}

QString PercentLabel(double percent) { return QString::fromStdString(NumberText(percent)) + " %"; }

QChart* ProbitChart(const NormalityData& data, Range range) {
    QChart* chart = NewChart(QString::fromStdString(data.Title));

    auto* points = new QScatterSeries;
    points->setName("Classes (cumulative frequency)");
    points->setMarkerSize(data.Points.size() > 300 ? 4 : 8);
    points->setColor(QColor(30, 60, 110));
    points->setBorderColor(QColor(30, 60, 110));
    double zLow = -1, zHigh = 1;
    for (const auto& p : data.Points) {
        points->append(p.Value, p.Probit);
        zLow = std::min(zLow, p.Probit);
        zHigh = std::max(zHigh, p.Probit);
    }
    chart->addSeries(points);

    QLineSeries* line = nullptr;
    if (data.HasNormalLine) {
        line = new QLineSeries;
        line->setName(QString("Normal distribution (mean %1, SD %2)")
                          .arg(QString::number(data.Mean, 'g', 5))
                          .arg(QString::number(data.StandardDeviation, 'g', 5)));
        QPen pen(QColor(200, 40, 40));
        pen.setWidthF(2.5);
        line->setPen(pen);
        line->append(data.LineStart.Value, data.LineStart.Probit);
        line->append(data.LineEnd.Value, data.LineEnd.Probit);
        zLow = std::min({zLow, data.LineStart.Probit, data.LineEnd.Probit});
        zHigh = std::max({zHigh, data.LineStart.Probit, data.LineEnd.Probit});
        chart->addSeries(line);
    }
    zLow -= 0.25;
    zHigh += 0.25;

    // The probit axis is read as cumulative percentages on the left and as z on the right.
    const boost::math::normal standard;
    auto* percent = new QCategoryAxis;
    percent->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    percent->setTitleText(QString::fromStdString(data.Caption));
    for (double p : {0.01, 0.1, 1.0, 5.0, 10.0, 25.0, 50.0, 75.0, 90.0, 95.0, 99.0, 99.9, 99.99}) {
        const double z = quantile(standard, p / 100);
        if (z > zLow && z < zHigh) percent->append(PercentLabel(p), z);
    }
    percent->setRange(zLow, zHigh);
    auto* z = new QValueAxis;
    z->setTitleText("Probit z (normal quantile)");
    z->setRange(zLow, zHigh);
    z->setLabelFormat("%.3g");
    RoundTicks(z, {zLow, zHigh}, 6);
    z->setGridLineVisible(false);

    QValueAxis* x = ValueAxis(data, range);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    chart->addAxis(z, Qt::AlignRight);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(percent);
    }
    return chart;
}

QChartView* ViewOf(QChart* chart, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 240);
    return view;
}

}  // namespace

QWidget* CreateNormalityChart(const vortel::NormalityData& data, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const Range range = ValueRange(data);
    layout->addWidget(ViewOf(HistogramChart(data, range), box), 1);
    layout->addWidget(ViewOf(ProbitChart(data, range), box), 1);
    return box;
}

void SaveNormalityChartPng(const vortel::NormalityData& data, const std::string& path) {
    if (QApplication::instance() == nullptr)
        throw RunStopped("Cannot draw the chart \"" + path + "\": no Qt application is running.");
    std::unique_ptr<QWidget> box(CreateNormalityChart(data, nullptr));
    box->setAttribute(Qt::WA_DontShowOnScreen);
    box->resize(PictureWidth, PictureHeight);
    box->show();
    QApplication::processEvents();
    const QPixmap picture = box->grab();

    const std::filesystem::path target(path);
    std::filesystem::path part = target;
    part += ".part";
    if (picture.isNull() || !picture.save(QString::fromStdString(part.string()), "PNG")) {
        std::error_code ec;
        std::filesystem::remove(part, ec);
        throw RunStopped("Cannot write the chart picture \"" + path + "\".");
    }
    std::error_code ec;
    std::filesystem::rename(part, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        std::filesystem::remove(part, ec);
        throw RunStopped("Cannot save the chart picture \"" + path + "\": " + reason + ".");
    }
}

}  // namespace vortel::gui
