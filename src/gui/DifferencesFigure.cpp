#include "gui/DifferencesFigure.h"

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "gui/ChartExport.h"
#include "shell/base/RunStopped.h"

namespace vortel::gui {
namespace {

struct Mark {
    const char* Name;
    QColor Colour;
    Qt::PenStyle Style;
};

const Mark Zero{"0", QColor(0, 0, 0), Qt::SolidLine};
const Mark Mean{"mean", QColor(200, 30, 30), Qt::SolidLine};
const Mark TInterval{"t interval", QColor(30, 70, 200), Qt::DashLine};
const Mark Percentiles{"percentile interval", QColor(20, 140, 60), Qt::DotLine};

QPen PenOf(const Mark& mark) {
    QPen pen(mark.Colour);
    pen.setWidthF(&mark == &Zero ? 1.2 : 2.0);
    pen.setStyle(mark.Style);
    return pen;
}

// The x range: every difference, 0 and both intervals, so each line is on the panel and the
// distance of the differences from 0 shows at a glance.
std::pair<double, double> XRange(const PairDifferences& p) {
    double low = std::min({p.Histogram.Edges.front(), 0.0, p.TLower, p.PercentileLower});
    double high = std::max({p.Histogram.Edges.back(), 0.0, p.TUpper, p.PercentileUpper});
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = std::min(p.Histogram.Edges.front(), 0.0);
        high = std::max(p.Histogram.Edges.back(), 0.0);
    }
    const double span = high - low;
    const double pad = span > 0 ? span * 0.04 : std::max(1.0, std::fabs(low)) * 0.5;
    return {low - pad, high + pad};
}

void AddLine(QChart* chart, const Mark& mark, double x, double top, QValueAxis* ax,
             QValueAxis* ay) {
    if (!std::isfinite(x)) return;
    auto* line = new QLineSeries;
    line->setName(mark.Name);
    line->setPen(PenOf(mark));
    line->append(x, 0);
    line->append(x, top);
    chart->addSeries(line);
    line->attachAxis(ax);
    line->attachAxis(ay);
}

// A treatment's name as a panel's title shows it: a long one is cut short, so the P-value
// after it stays in sight (the panel's tooltip has the whole title).
QString ShortName(const std::string& name) {
    constexpr qsizetype Longest = 24;
    const QString whole = QString::fromStdString(name);
    if (whole.size() <= Longest) return whole;
    return whole.left(Longest - 1) + QString::fromUtf8("\u2026");
}

QString Title(const PairDifferences& p, bool whole = false) {
    const auto name = [whole](const std::string& n) {
        return whole ? QString::fromStdString(n) : ShortName(n);
    };
    return name(p.Minuend) + QString::fromUtf8(" \u2212 ") + name(p.Subtrahend) +
           ", P = " + QString::number(p.P, 'g', 4);
}

QChart* PanelOf(const PairDifferences& p) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setTitle(Title(p));
    chart->setToolTip(Title(p, true));
    QFont font = chart->titleFont();
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(4, 2, 8, 2));

    const DifferenceHistogram& h = p.Histogram;
    // One outline that drops to zero between bars, filled down to the axis.
    auto* outline = new QLineSeries(chart);
    double highest = 0;
    for (std::size_t k = 0; k < h.Counts.size(); ++k) {
        const auto count = static_cast<double>(h.Counts[k]);
        outline->append(h.Edges[k], 0);
        outline->append(h.Edges[k], count);
        outline->append(h.Edges[k + 1], count);
        outline->append(h.Edges[k + 1], 0);
        highest = std::max(highest, count);
    }
    auto* bars = new QAreaSeries(outline);
    bars->setName("differences");
    bars->setColor(QColor(150, 180, 220));
    bars->setBorderColor(QColor(60, 90, 140));
    chart->addSeries(bars);

    const auto [low, high] = XRange(p);
    auto* x = new QValueAxis;
    x->setRange(low, high);
    x->setTickCount(5);
    x->applyNiceNumbers();  // ticks at round values; the range grows to the next of them
    x->setLabelFormat("%.3g");
    x->setTitleText("Cartesian difference");
    auto* y = new QValueAxis;
    y->setRange(0, highest > 0 ? highest * 1.05 : 1);
    y->setTickCount(5);
    y->applyNiceNumbers();
    y->setLabelFormat("%.0f");
    y->setTitleText("Count");
    const double top = y->max();
    QFont small = x->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    x->setLabelsFont(small);
    y->setLabelsFont(small);
    x->setTitleFont(small);
    y->setTitleFont(small);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(x);
    bars->attachAxis(y);

    AddLine(chart, Zero, 0, top, x, y);
    AddLine(chart, TInterval, p.TLower, top, x, y);
    AddLine(chart, TInterval, p.TUpper, top, x, y);
    AddLine(chart, Percentiles, p.PercentileLower, top, x, y);
    AddLine(chart, Percentiles, p.PercentileUpper, top, x, y);
    AddLine(chart, Mean, p.Mean, top, x, y);
    return chart;
}

// The key: what each line stands for and what the bars count, in one row.
void AddKey(QGraphicsScene& scene, int bins) {
    double at = 12;
    const double middle = KeyHeight / 2.0;
    auto* bars = scene.addRect(at, middle - 6, 22, 12, QPen(QColor(60, 90, 140)),
                               QBrush(QColor(150, 180, 220)));
    (void)bars;
    at += 28;
    auto* barText =
        scene.addSimpleText(QString("differences per bin (%1 equal bins, exact counts)").arg(bins));
    barText->setPos(at, middle - barText->boundingRect().height() / 2);
    at += barText->boundingRect().width() + 24;
    for (const Mark* mark : {&Zero, &Mean, &TInterval, &Percentiles}) {
        scene.addLine(at, middle, at + 30, middle, PenOf(*mark));
        at += 36;
        auto* text = scene.addSimpleText(mark->Name);
        text->setPos(at, middle - text->boundingRect().height() / 2);
        at += text->boundingRect().width() + 24;
    }
}

void Render(QGraphicsScene& scene, QPainter& painter, const QRectF& target) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(target, Qt::white);
    scene.render(&painter, target, scene.sceneRect());
}

}  // namespace

int FigureColumns(int panels) {
    if (panels <= 3) return std::max(panels, 1);
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(panels)) * 1.15));
}

std::unique_ptr<QGraphicsScene> CreateDifferencesKey(int bins) {
    auto scene = std::make_unique<QGraphicsScene>();
    AddKey(*scene, bins);
    scene->setSceneRect(0, 0, scene->itemsBoundingRect().right() + 12, KeyHeight);
    return scene;
}

std::unique_ptr<QGraphicsScene> CreateDifferencesScene(const std::vector<PairDifferences>& pairs,
                                                       int columns, bool withKey) {
    auto scene = std::make_unique<QGraphicsScene>();
    const int panels = static_cast<int>(pairs.size());
    if (columns <= 0) columns = FigureColumns(panels);
    const int rows = (panels + columns - 1) / columns;
    const int top = withKey ? KeyHeight : 0;
    if (withKey)
        AddKey(*scene, pairs.empty() ? DifferenceBins
                                     : static_cast<int>(pairs.front().Histogram.Counts.size()));
    for (int k = 0; k < panels; ++k) {
        QChart* chart = PanelOf(pairs[static_cast<std::size_t>(k)]);
        scene->addItem(chart);
        chart->setGeometry(QRectF((k % columns) * PanelWidth, top + (k / columns) * PanelHeight,
                                  PanelWidth, PanelHeight));
    }
    scene->setSceneRect(0, 0, std::max(columns * PanelWidth, withKey ? 800 : 0),
                        top + std::max(rows, 1) * PanelHeight);
    return scene;
}

void SaveDifferencesFigure(const std::vector<PairDifferences>& pairs, const std::string& path) {
    if (QApplication::instance() == nullptr)
        throw RunStopped("Cannot draw the figure \"" + path + "\": no Qt application is running.");
    const std::unique_ptr<QGraphicsScene> scene = CreateDifferencesScene(pairs);
    // Charts lay themselves out on a posted request; run those before drawing.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QSize size = scene->sceneRect().size().toSize();
    const QString name = QString::fromStdString(path);

    QString error;
    const bool saved = SavePicture(
        name, size, 1, "Cartesian differences of each pair",
        [&](QPainter& painter) { Render(*scene, painter, QRectF(QPointF(0, 0), size)); }, &error);
    if (!saved)
        throw RunStopped("Cannot write the figure \"" + path + "\": " + error.toStdString());
}

}  // namespace vortel::gui
