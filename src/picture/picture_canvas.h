// The persistent bitmap of the wire-frame picture and the painter that replays display lists on it.
#pragma once

#include "view/display_list.h"
#include "view/wire_frame.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace vorn::pic {

// Device pixels per picture pixel of the bitmap for a screen of `screenRatio`: at least one
// (coarser screens scale the picture down), at most 8 (finer ones scale it up).
qreal BitmapPixelRatio(qreal screenRatio);

// A display-list colour (0x00BBGGRR) and pen style as Qt's painters take them.
QColor Rgb(std::uint32_t bgr);
Qt::PenStyle QtStyle(PenStyle style);

// The picture font: "Courier" at `size` points, bold or not, drawn without smoothing.
QFont PictureFont(int size, bool bold);

// Replays `list` on `image` in order.
void PaintDisplayList(QImage& image, const DisplayList& list);

// The wire-frame engine drawing into a bitmap: what the picture field shows and what
// `v3dtool render` writes.
class PictureCanvas {
  public:
    explicit PictureCanvas(core::Env& env);

    WireFrame& engine() { return m_engine; }
    const WireFrame& engine() const { return m_engine; }
    ViewState& view() { return m_engine.view(); }
    const QImage& image() const { return m_image; }

    // New bitmap of this size in picture pixels, each `ratio` device pixels wide (contents
    // cleared to the background); fitBase follows.
    void resize(int width, int height, qreal ratio = 1);
    qreal pixelRatio() const { return m_image.devicePixelRatio(); }
    // RedrawPicture: the plain pass, or an interactive pass at `mouse`.
    RedrawResult redraw(bool interactive = false, ScreenPoint mouse = {});
    // An interactive pass over the existing bitmap.
    RedrawResult interactivePass(ScreenPoint mouse);
    // An interactive pass over the existing bitmap showing `target` picked.
    RedrawResult pickPass(const PickTarget& target);
    // The primitives of the last pass, in drawing order.
    const DisplayList& lastPass() const { return m_last; }
    // The last pass made black and white; when the hidden lines are solid it is drawn anew with
    // them dashed. The bitmap and lastPass stay as they are.
    DisplayList blackAndWhitePass();

  private:
    WireFrame m_engine;
    bool m_lastInteractive = false; // how the last pass was drawn, to draw it again
    ScreenPoint m_lastMouse;
    QImage m_image;
    DisplayList m_last;
    DisplayList m_next;
};

} // namespace vorn::pic
