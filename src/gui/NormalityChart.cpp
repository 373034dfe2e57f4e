#include "gui/NormalityChart.h"

#include <QApplication>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPixmap>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <memory>

#include "gui/ChartExport.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel::gui {
namespace {

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

// Ticks at round values (1, 2 or 5 times a power of ten, never finer than `finest`), about
// `count` to the range whatever its own ends, each label with just the decimals its step needs:
// labels that fit beside each other, with no more digits than the eye can use.
void RoundTicks(QValueAxis* axis, Range range, double count, double finest = 0) {
    double step = NiceTickStep(range.High - range.Low, count);
    if (!(step > 0)) return;
    step = std::max(step, finest);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(std::ceil(range.Low / step) * step);
    axis->setTickInterval(step);
    axis->setLabelFormat(QString("%.%1f").arg(TickDecimals(step)));
}

QValueAxis* ValueAxis(const NormalityData& data, Range range) {
    auto* axis = new QValueAxis;
    axis->setTitleText(QString::fromStdString(data.VariableName.empty() ? std::string("Value")
                                                                        : data.VariableName));
    axis->setRange(range.Low, range.High);
    RoundTicks(axis, range, 5);
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
    QChart* chart = NewChart(data.Histogram.empty() ? "Frequency distribution (no values)"
                                                    : "Frequency distribution");
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
    const Range counts{0, highest > 0 ? highest * 1.08 : 1};
    y->setRange(counts.Low, counts.High);
    RoundTicks(y, counts, 5, 1);  // counts are whole numbers
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
    points->setName("Classes");
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
        // The legend stays short enough to show whole under a chart of half the display's
        // width; the line's mean and SD are written under the charts.
        line->setName("Normal line");
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
    // The most telling percentages first; one that would crowd a label already taken is left
    // out, so none is cut short.
    const double gap = (zHigh - zLow) / 9;
    std::vector<std::pair<double, double>> taken;  // z and its percentage
    for (double p : {50.0, 10.0, 90.0, 1.0, 99.0, 25.0, 75.0, 0.1, 99.9, 5.0, 95.0, 0.01, 99.99}) {
        const double z = quantile(standard, p / 100);
        const bool crowded = std::any_of(taken.begin(), taken.end(), [&](const auto& t) {
            return std::fabs(t.first - z) < gap;
        });
        if (z > zLow && z < zHigh && !crowded) taken.emplace_back(z, p);
    }
    std::sort(taken.begin(), taken.end());
    for (const auto& [z, p] : taken) percent->append(PercentLabel(p), z);
    percent->setRange(zLow, zHigh);
    auto* z = new QValueAxis;
    z->setTitleText("Probit z (normal quantile)");
    z->setRange(zLow, zHigh);
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
    // Small enough to fit below a grid of five treatments in a window of the design size.
    view->setMinimumSize(240, 150);
    return view;
}

QString Summary(const NormalityData& data) {
    QString text = QString("%1 values in %2 classes.")
                       .arg(QString::fromStdString(NumberText(data.Total)))
                       .arg(data.Classes.size());
    if (data.HasNormalLine) {
        text += QString(" Normal line: mean %1, SD %2.")
                    .arg(QString::number(data.Mean, 'g', 4))
                    .arg(QString::number(data.StandardDeviation, 'g', 4));
    }
    return text;
}

}  // namespace

QWidget* CreateNormalityChart(const vortel::NormalityData& data, QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* charts = new QHBoxLayout;
    const Range range = ValueRange(data);
    charts->addWidget(ViewOf(HistogramChart(data, range), box), 1);
    charts->addWidget(ViewOf(ProbitChart(data, range), box), 1);
    layout->addLayout(charts, 1);
    auto* summary = new QLabel(Summary(data), box);
    summary->setObjectName("NormalitySummary");
    summary->setTextFormat(Qt::PlainText);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary->setAlignment(Qt::AlignCenter);
    layout->addWidget(summary);
    return box;
}

QSize NormalityPictureSize() { return {1500, 640}; }

void SaveNormalityChart(const vortel::NormalityData& data, const std::string& path, double scale) {
    if (QApplication::instance() == nullptr)
        throw RunStopped("Cannot draw the chart \"" + path + "\": no Qt application is running.");
    std::unique_ptr<QWidget> box(CreateNormalityChart(data, nullptr));
    QString error;
    if (!SaveWidgetPictureAtSize(*box, NormalityPictureSize(), QString::fromStdString(path), scale,
                                 &error))
        throw RunStopped(error.toStdString());
}

}  // namespace vortel::gui
