// The persistent bitmap of the wire-frame picture and the painter that replays display lists on it.
#include "picture/picture_canvas.h"

#include "hidden/wire_frame_parts.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace vorn::pic {

QColor Rgb(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

Qt::PenStyle QtStyle(PenStyle s) {
    switch (s) {
    case PenStyle::Solid:
        return Qt::SolidLine;
    case PenStyle::Dot:
        return Qt::DotLine;
    case PenStyle::Dash:
        return Qt::DashLine;
    }
    return Qt::SolidLine;
}

namespace {

// The opaque pixel value of a colour, as a 32-bit bitmap holds it.
std::uint32_t Argb(std::uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

QPoint At(ScreenPoint p) {
    return {p.x, p.y};
}

// Wider bitmaps would overflow the 16.16 positions of the line walk.
constexpr int kMaxDirectSize = 16384;

// The bitmap's pixels when primitives may be written into them directly: 32-bit pixels, one
// pixel per picture unit. Null otherwise.
struct Pixels {
    std::uint32_t* bits = nullptr;
    qsizetype stride = 0; // pixels per row
    int width = 0, height = 0;
};

Pixels DirectPixels(QImage& image) {
    if ((image.format() != QImage::Format_RGB32 &&
         image.format() != QImage::Format_ARGB32_Premultiplied) ||
        image.devicePixelRatio() != 1 || image.width() > kMaxDirectSize ||
        image.height() > kMaxDirectSize)
        return {};
    // bits() detaches a shared image now, before the painter takes the buffer.
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.bytesPerLine() / 4, image.width(),
            image.height()};
}

// A width-1 solid line from a to b, both inside the bitmap, with the pixels Qt's raster engine
// sets for an aliased pen with square caps: the longer axis is walked pixel by pixel from its
// smaller end, the other coordinate follows in 16.16 fixed point and starts half a step in when
// it grows. Either direction gives the same pixels.
void SolidLine(const Pixels& px, QPoint a, QPoint b, std::uint32_t argb) {
    int dx = b.x() - a.x(), dy = b.y() - a.y();
    if (std::abs(dx) < std::abs(dy)) {
        if (dy < 0) {
            std::swap(a, b);
            dx = -dx;
            dy = -dy;
        }
        const int inc = static_cast<int>((std::int64_t{dx} * 65536) / dy);
        int x = a.x() * 65536 + (inc > 0 ? inc - inc / 2 : 0);
        for (int y = a.y(); y <= b.y(); ++y, x += inc)
            px.bits[y * px.stride + (x >> 16)] = argb;
    } else {
        if (dx < 0) {
            std::swap(a, b);
            dx = -dx;
            dy = -dy;
        }
        const int inc = static_cast<int>((std::int64_t{dy} * 65536) / dx);
        int y = a.y() * 65536 + (inc > 0 ? inc - inc / 2 : 0);
        for (int x = a.x(); x <= b.x(); ++x, y += inc)
            px.bits[(y >> 16) * px.stride + x] = argb;
    }
}

// The walk of an outline's segments as Qt's raster engine draws them with an aliased width-1
// pen. Each segment steps along its longer axis in 26.6 fixed point, the other coordinate in
// 16.16; where two segments meet, a pixel both would set is set once and a diagonal gap at a
// turn is filled, and a segment turning back along its axis gets half a pixel more.
class OutlineWalk {
  public:
    OutlineWalk(const Pixels& px, std::uint32_t argb) : m_px(px), m_argb(argb) {}

    enum Caps { kNoCaps = 0, kCapBegin = 1, kCapEnd = 2 };

    // Draws a to b after the segments before it.
    void segment(QPoint a, QPoint b, int caps) { walk(a, b, caps, true); }
    // Only remembers where a to b would end, as if it had been drawn without caps.
    void endOf(QPoint a, QPoint b) {
        m_last = kNoPixel;
        walk(a, b, kNoCaps, false);
    }

  private:
    // Directions; the two of one axis form its mask.
    enum Dir { kNone = 0, kDown = 1, kUp = 2, kRight = 4, kLeft = 8 };
    static constexpr QPoint kNoPixel{-1, -1};

    void plot(QPoint p) const {
        if (p.x() >= 0 && p.y() >= 0 && p.x() < m_px.width && p.y() < m_px.height)
            m_px.bits[p.y() * m_px.stride + p.x()] = m_argb;
    }

    void walk(QPoint a, QPoint b, int caps, bool draw) {
        const std::int64_t x1 = a.x() * 64, y1 = a.y() * 64, x2 = b.x() * 64, y2 = b.y() * 64;
        // Ties go to the horizontal walk.
        const bool vertical = std::llabs(x2 - x1) < std::llabs(y2 - y1);
        if (!vertical && x1 == x2) return;
        std::int64_t m1 = vertical ? y1 : x1, m2 = vertical ? y2 : x2;
        std::int64_t n1 = vertical ? x1 : y1, n2 = vertical ? x2 : y2;
        const int forward = vertical ? kDown : kRight;
        const int axis = vertical ? kDown | kUp : kRight | kLeft;
        int dir = forward;
        const bool reversed = m1 > m2;
        if (reversed) {
            std::swap(m1, m2);
            std::swap(n1, n2);
            caps = ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1);
            dir = forward * 2;
        }
        const std::int64_t inc = (n2 - n1) * 65536 / (m2 - m1);
        std::int64_t n = n1 * 1024;
        if (draw) {
            if ((m_lastDir ^ axis) == dir) caps |= reversed ? kCapEnd : kCapBegin;
            if (caps & kCapBegin) {
                m1 -= 32;
                n -= inc >> 1;
            }
            if (caps & kCapEnd) m2 += 32;
        }
        std::int64_t m = (m1 + 32) >> 6, mEnd = (m2 + 32) >> 6;
        if (m == mEnd) return;
        n += ((m * 64 + (inc > 0 ? 32 : 0) - m1) * inc) >> 6;
        const auto at = [vertical](std::int64_t minor, std::int64_t major) {
            return vertical ? QPoint(int(minor), int(major)) : QPoint(int(major), int(minor));
        };
        QPoint first = at(n >> 16, m), last = at((n + (mEnd - m - 1) * inc) >> 16, mEnd - 1);
        if (reversed) std::swap(first, last);
        const bool axisAligned = std::llabs(inc) < (1 << 14);
        if (draw && m_last.x() >= 0) {
            const bool gap = (axisAligned && m_lastAxisAligned && m_last.x() != first.x() &&
                              m_last.y() != first.y()) ||
                             std::abs(m_last.x() - first.x()) > 1 ||
                             std::abs(m_last.y() - first.y()) > 1;
            if (first == m_last) {
                if (reversed) {
                    --mEnd;
                } else {
                    ++m;
                    n += inc;
                }
            } else if (m_lastDir != dir && gap) {
                if (reversed) {
                    ++mEnd;
                } else {
                    --m;
                    n -= inc;
                }
            }
        }
        m_lastDir = dir;
        m_lastAxisAligned = axisAligned;
        m_last = last;
        if (!draw) return;
        do {
            plot(at(n >> 16, m));
            n += inc;
        } while (++m < mEnd);
    }

    const Pixels& m_px;
    std::uint32_t m_argb;
    QPoint m_last = kNoPixel;
    int m_lastDir = kNone;
    bool m_lastAxisAligned = false;
};

// A closed outline (first point = last point, no two neighbours equal) inside the bitmap, as
// the painter's polyline draws it: the first segment starts where the last one ends.
void ClosedOutline(const Pixels& px, std::span<const QPoint> pts, std::uint32_t argb) {
    OutlineWalk walk(px, argb);
    walk.endOf(pts[pts.size() - 2], pts[0]);
    for (std::size_t i = 1; i < pts.size(); ++i)
        walk.segment(pts[i - 1], pts[i], OutlineWalk::kNoCaps);
}

// The rectangle r, inside the bitmap, filled with `fill` inside a one-pixel frame of `frame`:
// what a fill of r and the outline of r less one pixel with a width-1 pen give.
void FramedSquare(const Pixels& px, const QRect& r, std::uint32_t fill, std::uint32_t frame) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        std::uint32_t* row = px.bits + y * px.stride;
        const bool edge = y == r.top() || y == r.bottom();
        row[r.left()] = frame;
        for (int x = r.left() + 1; x < r.right(); ++x)
            row[x] = edge ? frame : fill;
        row[r.right()] = frame;
    }
}

// Replays primitives with as few painter changes as the picture allows: the pen and the
// background are set only when they change, and fonts are made once per size and weight. Solid
// lines, closed solid outlines and framed squares inside the bitmap are written straight into its
// pixels; solid lines reaching outside go to the painter as one array per run of one colour.
// Primitives of the classic width on a bitmap of one pixel per picture unit are drawn as the old
// canvas drew them; wider ones, and all on a bitmap of finer pixels, are drawn to the device's
// pixels: lines centred on their picture pixels, frames inside their squares.
class Replay {
  public:
    Replay(QPainter& painter, const Pixels& pixels, qreal ratio)
        : m_painter(painter), m_pixels(pixels), m_ratio(ratio) {
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setBackgroundMode(Qt::TransparentMode);
    }

    // Draws what is still held back.
    void finish() { flushLines(); }

    void paint(const DrawOp& op) {
        if (op.kind == DrawOp::Kind::Line && op.style == PenStyle::Solid) {
            addSolidLine(op);
            return;
        }
        flushLines();
        switch (op.kind) {
        case DrawOp::Kind::Fill:
            m_painter.fillRect(QRect(At(op.a()), At(op.b()) - QPoint(1, 1)), Rgb(op.brush));
            break;
        case DrawOp::Kind::Rect: {
            const QRect r(At(op.a()), At(op.b()) - QPoint(1, 1));
            if (!classic(op.width)) {
                const int w = std::max(op.width, 1);
                m_painter.fillRect(r, Rgb(op.pen));
                if (r.width() > 2 * w && r.height() > 2 * w)
                    m_painter.fillRect(r.adjusted(w, w, -w, -w), Rgb(op.brush));
                break;
            }
            if (m_pixels.bits && r.width() >= 3 && r.height() >= 3 && inside(r.topLeft()) &&
                inside(r.bottomRight())) {
                FramedSquare(m_pixels, r, Argb(op.brush), Argb(op.pen));
                break;
            }
            m_painter.fillRect(r, Rgb(op.brush));
            setPen(op.pen, PenStyle::Solid, 1);
            m_painter.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        }
        case DrawOp::Kind::Line:
        case DrawOp::Kind::Polyline: {
            // Zero-length segments leave no mark, as on the old canvas: a point object's face
            // is only its node.
            std::array<QPoint, 4> poly;
            int n = 0;
            for (int i = 0; i < std::min(op.count, 4); ++i) {
                const QPoint p = At(op.pts[static_cast<std::size_t>(i)]);
                if (n == 0 || poly[static_cast<std::size_t>(n - 1)] != p)
                    poly[static_cast<std::size_t>(n++)] = p;
            }
            if (n < 2) break;
            setPen(op.pen, op.style, op.width);
            if (!classic(op.width)) {
                std::array<QPointF, 4> centred;
                for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
                    centred[i] = QPointF(poly[i]) + QPointF(0.5, 0.5);
                m_painter.drawPolyline(centred.data(), n);
                break;
            }
            if (op.style == PenStyle::Solid && m_pixels.bits && n >= 3 && poly[0] == poly[n - 1] &&
                std::all_of(poly.begin(), poly.begin() + n, [&](QPoint p) { return inside(p); })) {
                ClosedOutline(m_pixels, {poly.data(), static_cast<std::size_t>(n)}, Argb(op.pen));
                break;
            }
            m_painter.drawPolyline(poly.data(), n);
            break;
        }
        case DrawOp::Kind::Text: {
            const Font& font = fontFor(op.fontSize, op.bold);
            if (m_font != &font) {
                m_painter.setFont(font.font);
                m_font = &font;
            }
            const QString text =
                QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size()));
            const QPoint top = At(op.a());
            if (op.opaque)
                m_painter.fillRect(
                    QRect(top, QSize(font.metrics.horizontalAdvance(text), font.metrics.height())),
                    Rgb(op.brush));
            setPen(op.pen, PenStyle::Solid, 1);
            m_painter.drawText(top + QPoint(0, font.metrics.ascent()), text);
            break;
        }
        }
    }

  private:
    struct Font {
        int size;
        bool bold;
        QFont font;
        QFontMetrics metrics;
    };

    // Whether a primitive of this width is drawn as on the old canvas.
    bool classic(int width) const { return width == 1 && m_ratio == 1; }

    // Lines `width` picture pixels wide. Dotted and dashed pens draw only their dashes: painted
    // gaps would cut the lines under a plane's outline into dashes.
    void setPen(std::uint32_t colour, PenStyle style, int width) {
        if (!m_hasPen || colour != m_penColour || style != m_penStyle || width != m_penWidth) {
            QPen pen(Rgb(colour));
            pen.setWidth(width);
            pen.setStyle(QtStyle(style));
            // Wide lines meet without notches and their dots stay round.
            if (width > 1) {
                pen.setCapStyle(Qt::RoundCap);
                pen.setJoinStyle(Qt::RoundJoin);
            }
            m_painter.setPen(pen);
            m_hasPen = true;
            m_penColour = colour;
            m_penStyle = style;
            m_penWidth = width;
        }
    }

    bool inside(QPoint p) const {
        return p.x() >= 0 && p.y() >= 0 && p.x() < m_pixels.width && p.y() < m_pixels.height;
    }

    void addSolidLine(const DrawOp& op) {
        if (!m_lines.empty() && (op.pen != m_linesColour || op.width != m_linesWidth)) flushLines();
        m_linesColour = op.pen;
        m_linesWidth = op.width;
        const QPoint a = At(op.a()), b = At(op.b());
        if (a == b) return;
        if (m_pixels.bits && op.width == 1 && inside(a) && inside(b))
            SolidLine(m_pixels, a, b, Argb(op.pen));
        else
            m_lines.emplace_back(a, b);
    }

    // All lines of a run have one opaque colour, so their order within the run changes no pixel.
    void flushLines() {
        if (m_lines.empty()) return;
        setPen(m_linesColour, PenStyle::Solid, m_linesWidth);
        if (classic(m_linesWidth)) {
            m_painter.drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
        } else {
            m_centred.clear();
            for (const QLine& l : m_lines)
                m_centred.emplace_back(QLineF(l).translated(0.5, 0.5));
            m_painter.drawLines(m_centred.data(), static_cast<int>(m_centred.size()));
        }
        m_lines.clear();
    }

    const Font& fontFor(int size, bool bold) {
        for (const auto& f : m_fonts)
            if (f->size == size && f->bold == bold) return *f;
        QFont font = PictureFont(size, bold);
        QFontMetrics metrics(font, m_painter.device());
        m_fonts.push_back(std::make_unique<Font>(Font{size, bold, font, metrics}));
        return *m_fonts.back();
    }

    QPainter& m_painter;
    Pixels m_pixels;
    qreal m_ratio;
    bool m_hasPen = false;
    std::uint32_t m_penColour = 0;
    PenStyle m_penStyle = PenStyle::Solid;
    int m_penWidth = 1;
    std::vector<QLine> m_lines;
    std::vector<QLineF> m_centred;
    std::uint32_t m_linesColour = 0;
    int m_linesWidth = 1;
    std::vector<std::unique_ptr<Font>> m_fonts;
    const Font* m_font = nullptr;
};

} // namespace

QFont PictureFont(int size, bool bold) {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(size);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void PaintDisplayList(QImage& image, const DisplayList& list) {
    if (image.isNull()) return;
    const Pixels pixels = DirectPixels(image);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    Replay replay(painter, pixels, image.devicePixelRatio());
    for (const DrawOp& op : list)
        replay.paint(op);
    replay.finish();
}

PictureCanvas::PictureCanvas(core::Env& env) : m_engine(env) {
    m_engine.setHiddenPartsSource([this](const ViewState& view) {
        return hidden::WireFrameHiddenParts(m_engine.env(), view,
                                            m_engine.hiddenMode() == core::kHiddenSolid);
    });
    m_engine.setTextMeasure([this](std::string_view text, int size, bool bold) {
        const QFontMetrics metrics(PictureFont(size, bold), m_image.isNull() ? nullptr : &m_image);
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    });
}

qreal BitmapPixelRatio(qreal screenRatio) {
    return std::isfinite(screenRatio) ? std::clamp<qreal>(screenRatio, 1, 8) : 1;
}

void PictureCanvas::resize(int width, int height, qreal ratio) {
    m_engine.resize(width, height);
    // One bitmap pixel per device pixel: a screen of finer pixels shows the picture unscaled.
    ratio = BitmapPixelRatio(ratio);
    m_image =
        QImage(static_cast<int>(std::ceil(std::max(width, 1) * ratio)),
               static_cast<int>(std::ceil(std::max(height, 1) * ratio)), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Rgb(m_engine.env().settings.colorRgb(core::kColorBackground)));
}

// Each pass fills the list of the pass before the last one, so its room is reused.
RedrawResult PictureCanvas::redraw(bool interactive, ScreenPoint mouse) {
    m_next.clear();
    const RedrawResult r = m_engine.redraw(m_next, interactive, mouse);
    if (r == RedrawResult::Drawn) {
        PaintDisplayList(m_image, m_next);
        std::swap(m_last, m_next);
        m_lastInteractive = interactive;
        m_lastMouse = mouse;
    }
    return r;
}

RedrawResult PictureCanvas::interactivePass(ScreenPoint mouse) {
    m_next.clear();
    const RedrawResult r = m_engine.drawPass(m_next, mouse);
    if (r == RedrawResult::Drawn) {
        PaintDisplayList(m_image, m_next);
        std::swap(m_last, m_next);
        m_lastInteractive = true;
        m_lastMouse = mouse;
    }
    return r;
}

RedrawResult PictureCanvas::pickPass(const PickTarget& target) {
    m_next.clear();
    const RedrawResult r = m_engine.pickPass(m_next, target);
    if (r == RedrawResult::Drawn) {
        PaintDisplayList(m_image, m_next);
        std::swap(m_last, m_next);
        m_lastInteractive = true;
        m_lastMouse = {RoundPixel(target.x), RoundPixel(target.y)};
    }
    return r;
}

DisplayList PictureCanvas::blackAndWhitePass() {
    const int mode = m_engine.hiddenMode();
    DisplayList list;
    if (BlackAndWhiteHiddenMode(mode) == mode) {
        list = m_last;
    } else {
        m_engine.setHiddenModeOverride(BlackAndWhiteHiddenMode(mode));
        m_engine.redraw(list, m_lastInteractive, m_lastMouse);
        m_engine.setHiddenModeOverride(std::nullopt);
        // The engine keeps the hidden parts of its last redraw for the passes that follow:
        // one more redraw in the picture's own mode puts them back.
        m_next.clear();
        m_engine.redraw(m_next, m_lastInteractive, m_lastMouse);
    }
    MakeBlackAndWhite(list);
    return list;
}

} // namespace vorn::pic
