#include "gui/QtWindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gui/ChartExport.h"
#include "gui/GuiThread.h"
#include "gui/NormalityChart.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/Controls.h"
#include "shell/mainwindow/Form1.h"

namespace vortel::gui {
namespace {

int ToPixels(int twips) { return twips / TwipsPerPixel; }
int ToTwips(int pixels) { return pixels * TwipsPerPixel; }

QColor ToColor(const Rgb& c) { return QColor(c.Red, c.Green, c.Blue); }
Rgb ToRgb(const QColor& c) { return Rgb{c.red(), c.green(), c.blue()}; }

QTableWidget* GridOf(QWidget* root) {
    return root ? root->findChild<QTableWidget*>("MSFlexGrid1") : nullptr;
}

}  // namespace

QWidget* QtWindow::Find(const std::string& control) const {
    if (!m_root) return nullptr;
    if (control == "Form1") return m_root;
    return m_root->findChild<QWidget*>(QString::fromStdString(control));
}

void QtWindow::SetCaption(const std::string& control, const std::string& text) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetCaption(control, text); });
    const QString t = QString::fromStdString(text);
    QWidget* w = Find(control);
    if (!w) return;
    if (w == m_root)
        w->setWindowTitle(t);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(t);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(t);
    else if (auto* box = qobject_cast<QGroupBox*>(w))
        box->setTitle(t);
    else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(t);
        edit->setToolTip(t);  // a long path does not fit the box
    }
}

std::string QtWindow::Caption(const std::string& control) const {
    if (OffGuiThread()) return OnGuiThread([&] { return Caption(control); });
    QWidget* w = Find(control);
    QString t;
    if (!w) return {};
    if (w == m_root)
        t = w->windowTitle();
    else if (auto* label = qobject_cast<QLabel*>(w))
        t = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        t = button->text();
    else if (auto* box = qobject_cast<QGroupBox*>(w))
        t = box->title();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        t = edit->text();
    return t.toStdString();
}

void QtWindow::SetVisible(const std::string& control, bool visible) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetVisible(control, visible); });
    if (QWidget* w = Find(control)) {
        w->setVisible(visible);
        if (visible && w != m_root) w->raise();  // shown controls come to the front
        if (visible && m_afterShow) m_afterShow();
    }
}

void QtWindow::SetEnabled(const std::string& control, bool enabled) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetEnabled(control, enabled); });
    if (QWidget* w = Find(control)) w->setEnabled(enabled);
}

void QtWindow::SetLook(const std::string& control, const Look& look) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetLook(control, look); });
    QWidget* w = Find(control);
    if (!w) return;
    QPalette palette = w->palette();
    if (look.Fore) {
        palette.setColor(QPalette::WindowText, ToColor(*look.Fore));
        palette.setColor(QPalette::ButtonText, ToColor(*look.Fore));
    }
    if (look.Back) {
        palette.setColor(QPalette::Window, ToColor(*look.Back));
        w->setAutoFillBackground(true);
    }
    w->setPalette(palette);
    if (look.FontSize) {
        QFont font = w->font();
        font.setPointSizeF(*look.FontSize);
        w->setFont(font);
    }
    QRect g = w->geometry();
    if (look.Left) g.moveLeft(ToPixels(*look.Left));
    if (look.Top) g.moveTop(ToPixels(*look.Top));
    if (look.Width) g.setWidth(ToPixels(*look.Width));
    if (look.Height) g.setHeight(ToPixels(*look.Height));
    w->setGeometry(g);
}

Look QtWindow::CurrentLook(const std::string& control) const {
    if (OffGuiThread()) return OnGuiThread([&] { return CurrentLook(control); });
    Look look;
    QWidget* w = Find(control);
    if (!w) return look;
    look.Fore = ToRgb(w->palette().color(QPalette::WindowText));
    // A control that paints no background of its own has no colour to report.
    if (w->autoFillBackground()) look.Back = ToRgb(w->palette().color(QPalette::Window));
    look.FontSize = w->font().pointSizeF();
    const QRect g = w->geometry();
    look.Left = ToTwips(g.left());
    look.Top = ToTwips(g.top());
    look.Width = ToTwips(g.width());
    look.Height = ToTwips(g.height());
    return look;
}

// repaint(), not processEvents(): a click must not start a second test while this one runs.
void QtWindow::Redraw(const std::string& control) {
    if (OffGuiThread()) return OnGuiThread([&] { return Redraw(control); });
    if (QWidget* w = Find(control)) w->repaint();
}

void QtWindow::SetGridSize(int rows, int columns) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetGridSize(rows, columns); });
    QTableWidget* grid = GridOf(m_root);
    if (!grid) return;
    grid->clearContents();
    grid->setRowCount(rows);
    grid->setColumnCount(columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            // Row 0 and column 0 are the grid's own headings.
            if (r == 0 || c == 0) {
                item->setBackground(QColor(226, 230, 236));
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            grid->setItem(r, c, item);
        }
}

void QtWindow::SetGridColumnWidth(int column, int twips) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetGridColumnWidth(column, twips); });
    QTableWidget* grid = GridOf(m_root);
    if (!grid) return;
    if (column < 0 || column >= grid->columnCount())
        throw RunStopped("Grid column " + std::to_string(column) + " does not exist.");
    grid->setColumnWidth(column, ToPixels(twips));
}

void QtWindow::SetGridCell(int row, int column, const std::string& text) {
    if (OffGuiThread()) return OnGuiThread([&] { return SetGridCell(row, column, text); });
    QTableWidget* grid = GridOf(m_root);
    if (!grid) return;
    if (row < 0 || row >= grid->rowCount() || column < 0 || column >= grid->columnCount())
        throw RunStopped("Grid cell (" + std::to_string(row) + ", " + std::to_string(column) +
                         ") does not exist.");
    const QString whole = QString::fromStdString(text);
    QTableWidgetItem* item = grid->item(row, column);
    item->setText(whole);
    // A long treatment name is cut short in its narrow column; the tooltip shows all of it.
    item->setToolTip(whole.trimmed().size() > 12 ? whole : QString());
}

void QtWindow::CentreGridCell(int row, int column) {
    if (OffGuiThread()) return OnGuiThread([&] { return CentreGridCell(row, column); });
    QTableWidget* grid = GridOf(m_root);
    if (!grid) return;
    if (QTableWidgetItem* item = grid->item(row, column)) item->setTextAlignment(Qt::AlignCenter);
}

void QtWindow::RedrawGrid() {
    if (OffGuiThread()) return OnGuiThread([&] { return RedrawGrid(); });
    QTableWidget* grid = GridOf(m_root);
    if (!grid) return;
    // A column keeps the width it was given, and widens for its text up to a limit: past it a
    // long treatment name is cut short ("...", the whole name in its tooltip), so one name
    // cannot push every value out of view.
    constexpr int Widest = 180;
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideRight);
    for (int c = 0; c < grid->columnCount(); ++c) {
        const int given = grid->columnWidth(c);
        grid->resizeColumnToContents(c);
        grid->setColumnWidth(c, std::max(given, std::min(grid->columnWidth(c) + 12, Widest)));
    }
    // The grid takes the room its cells need, so no empty area remains beside a small table;
    // the main window gives it that much as far as its display has room, and until it has laid
    // the grid out, the design size bounds it.
    int width = 2 * grid->frameWidth(), height = 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c) width += grid->columnWidth(c);
    for (int r = 0; r < grid->rowCount(); ++r) height += grid->rowHeight(r);
    grid->setProperty(GridNeededSize, QSize(width, height));
    QSize size(width, height);
    if (const Control* design = FindControl("MSFlexGrid1"))
        size = size.boundedTo(QSize(ToPixels(design->Width), ToPixels(design->Height)));
    grid->resize(size);
    grid->repaint();
}

void QtWindow::ClearNormalityView() {
    if (OffGuiThread()) return OnGuiThread([&] { return ClearNormalityView(); });
    QWidget* host = Find("MSChart1");
    if (!host) return;
    for (QWidget* old : host->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        old->hide();  // gone from the screen now, deleted once the event loop has it
        old->deleteLater();
    }
    delete host->layout();
    host->hide();
}

void QtWindow::ShowNormalityView(const NormalityData& data) {
    if (OffGuiThread()) return OnGuiThread([&] { return ShowNormalityView(data); });
    QWidget* host = Find("MSChart1");
    if (!host) return;
    // A second view replaces the first.
    ClearNormalityView();
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(4, 4, 4, 4);
    QWidget* chart = CreateNormalityChart(data, host);
    chart->setObjectName("NormalityChart");
    // The buttons come first: where the display is short, the foot of the charts gives way.
    auto* row = new QHBoxLayout;
    row->addStretch();
    // The picture is named after the sorted file, beside it, unless nothing was read.
    const std::string base = m_pictureBase ? m_pictureBase() : std::string();
    const QString suggested =
        QString::fromStdString(base.empty() ? std::string("Frequency chart") : base) +
        "-4_Frequency chart";
    const struct {
        const char* name;
        const char* caption;
        const char* ending;
    } formats[] = {{"SaveChartPng", "Save as PNG…", ".png"},
                   {"SaveChartSvg", "Save as SVG…", ".svg"}};
    for (const auto& f : formats) {
        auto* save = new QPushButton(f.caption, host);
        save->setObjectName(f.name);
        row->addWidget(save);
        const QString name = suggested + f.ending;
        QObject::connect(save, &QPushButton::clicked, host, [host, data, name] {
            ExportPicture(host, "Save chart", name, NormalityPictureSize(),
                          [&data] { return CreateNormalityChart(data, nullptr); });
        });
    }
    layout->addLayout(row);
    layout->addWidget(chart, 1);
    host->setVisible(true);
    host->raise();
}

void QtWindow::FilesWritten(const std::vector<WrittenFile>& files) {
    if (OffGuiThread()) return OnGuiThread([&] { return FilesWritten(files); });
    m_written.insert(m_written.end(), files.begin(), files.end());
}

std::vector<WrittenFile> QtWindow::TakeWrittenFiles() {
    if (OffGuiThread()) return OnGuiThread([&] { return TakeWrittenFiles(); });
    return std::exchange(m_written, {});
}

void QtWindow::SwitchCommands(bool enabling) {
    if (OffGuiThread()) return OnGuiThread([&] { return SwitchCommands(enabling); });
    SwitchCommandControls(*this, enabling);
}

}  // namespace vortel::gui
