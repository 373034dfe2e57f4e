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
#include <cmath>
#include <memory>

#include "gui/ChartExport.h"
#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "sortcount/StandardNormal.h"

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

// Ticks at round values (1, 2 or 5 times a power of ten, never finer than `finest`), each label
// with just the decimals its step needs, and as many as the labels have room for along the
// axis: about five where they fit, fewer where the plot is small. Laid out again whenever the
// plot area changes size, so the labels read whole at any size of the window.
void RoundTicks(QChart* chart, QValueAxis* axis, Range range, double finest = 0) {
    const Qt::Orientation orientation = axis->orientation();
    auto fit = [axis, range, finest, orientation](const QRectF& plot) {
        const double span = range.High - range.Low;
        const QFontMetricsF metrics(axis->labelsFont());
        const double length = orientation == Qt::Horizontal ? plot.width() : plot.height();
        double step = 0;
        for (double count = 5; count >= 1; count -= 1) {
            step = std::max(NiceTickStep(span, count), finest);
            if (!(step > 0)) return;
            const int decimals = TickDecimals(step);
            const auto label = [decimals](double v) { return QString::number(v, 'f', decimals); };
            const double room = orientation == Qt::Horizontal
                                    ? std::max(metrics.horizontalAdvance(label(range.Low)),
                                               metrics.horizontalAdvance(label(range.High))) +
                                          14
                                    : metrics.height() * 1.6;
            if (length <= 0 || length * step / span >= room) break;
        }
        if (axis->tickType() == QValueAxis::TicksDynamic && axis->tickInterval() == step) return;
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(std::ceil(range.Low / step) * step);
        axis->setTickInterval(step);
        axis->setLabelFormat(QString("%.%1f").arg(TickDecimals(step)));
    };
    fit(QRectF());
    QObject::connect(chart, &QChart::plotAreaChanged, axis, fit);
}

QValueAxis* ValueAxis(QChart* chart, const NormalityData& data, Range range) {
    auto* axis = new QValueAxis;
    axis->setTitleText(QString::fromStdString(data.VariableName.empty() ? std::string("Value")
                                                                        : data.VariableName));
    axis->setRange(range.Low, range.High);
    chart->addAxis(axis, Qt::AlignBottom);
    RoundTicks(chart, axis, range);
    return axis;
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setPointSizeF(font.pointSizeF() * 1.1);
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

    QValueAxis* x = ValueAxis(chart, data, range);
    auto* y = new QValueAxis;
    y->setTitleText("Number of values");
    const Range counts{0, highest > 0 ? highest * 1.08 : 1};
    y->setRange(counts.Low, counts.High);
    chart->addAxis(y, Qt::AlignLeft);
    RoundTicks(chart, y, counts, 1);  // counts are whole numbers
    area->attachAxis(x);
    area->attachAxis(y);
    return chart;
}

QString PercentLabel(double percent) { return QString::fromStdString(NumberText(percent)) + " %"; }

// The most telling percentages first, as many as the axis has room for; one that would crowd a
// label already taken (closer than a label and a half's height on the plot) or is wider than the
// axis allows is left out, so none is cut short. Chosen again when the plot area changes size.
void PercentLabels(QChart* chart, QCategoryAxis* percent, Range z) {
    auto fit = [chart, percent, z](const QRectF& plot) {
        const QFontMetricsF metrics(percent->labelsFont());
        const double lineHeight = metrics.height();
        // The chart gives its vertical axes together two fifths of its width, a fifth each
        // here, and cuts a label wider than what its axis's title leaves of that.
        const double width =
            plot.height() > 0
                ? 0.2 * chart->size().width() - QFontMetricsF(percent->titleFont()).height() - 14
                : 1e9;
        // Before the first layout every label is there, so the axis takes the width of the
        // widest.
        const double gap =
            plot.height() > 0 ? (z.High - z.Low) * lineHeight * 1.5 / plot.height() : 0;
        // The axis gives each label an equal share of its height, counting its start as one,
        // and cuts a label taller than its share (less a padding above and below).
        const auto most = plot.height() > 0
                              ? static_cast<std::size_t>(
                                    std::max(1.0, std::floor(plot.height() / (lineHeight + 6)) - 1))
                              : std::size_t{99};
        std::vector<std::pair<double, double>> taken;  // z and its percentage
        for (double p :
             {50.0, 10.0, 90.0, 1.0, 99.0, 25.0, 75.0, 0.1, 99.9, 5.0, 95.0, 0.01, 99.99}) {
            const double at = NormalQuantile(p / 100);
            const bool crowded = std::any_of(taken.begin(), taken.end(), [&](const auto& t) {
                return std::fabs(t.first - at) < gap;
            });
            const bool fits = metrics.horizontalAdvance(PercentLabel(p)) <= width;
            if (at > z.Low && at < z.High && !crowded && fits && taken.size() < most)
                taken.emplace_back(at, p);
        }
        std::sort(taken.begin(), taken.end());
        QStringList labels;
        for (const auto& [at, p] : taken) labels << PercentLabel(p);
        if (labels == percent->categoriesLabels()) return;
        for (const QString& old : percent->categoriesLabels()) percent->remove(old);
        for (const auto& [at, p] : taken) percent->append(PercentLabel(p), at);
        percent->setRange(z.Low, z.High);
    };
    fit(QRectF());
    QObject::connect(chart, &QChart::plotAreaChanged, percent, fit);
}

QChart* ProbitChart(const NormalityData& data, Range range) {
    // The caption names the treatment; the axes keep short titles, so that each reads whole
    // along a small plot.
    QChart* chart = NewChart(QString::fromStdString(data.Caption));

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
    auto* percent = new QCategoryAxis;
    percent->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    percent->setTitleText("Cumulative %");
    percent->setRange(zLow, zHigh);
    auto* z = new QValueAxis;
    z->setTitleText("Probit z");
    z->setRange(zLow, zHigh);
    z->setGridLineVisible(false);

    QValueAxis* x = ValueAxis(chart, data, range);
    chart->addAxis(percent, Qt::AlignLeft);
    chart->addAxis(z, Qt::AlignRight);
    RoundTicks(chart, z, {zLow, zHigh});
    PercentLabels(chart, percent, {zLow, zHigh});
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
