// A core drawing on screen through Qt SVG, on white like the page it is made for: at its own
// size (inside a view that scrolls), or fitted to the room it has with its proportions kept.
#pragma once

#include <QWidget>
#include <string>

class QSvgRenderer;

namespace vortel::gui {

class SvgView : public QWidget {
public:
    enum class Size { Own, Fitted };
    explicit SvgView(Size size, QWidget* parent = nullptr);

    // Shows `svg`; at its own size the widget takes the drawing's size. False when Qt cannot
    // read it (nothing is drawn then).
    bool Load(const std::string& svg);
    QSvgRenderer& Renderer() const { return *m_renderer; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Size m_size;
    QSvgRenderer* m_renderer;
};

}  // namespace vortel::gui
