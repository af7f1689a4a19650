// The wire-frame picture as a vector drawing (SVG, PDF) or a PNG of a chosen resolution.
#include "picture/vector_export.h"

#include "picture/picture_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorn::pic {

namespace {

// The centre of a picture pixel.
QPointF Centre(ScreenPoint p) {
    return {p.x + 0.5, p.y + 0.5};
}

QRectF Span(ScreenPoint a, ScreenPoint b) {
    return QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y));
}

// The picture font in pixels of the bitmap it was laid out for, so labels keep their place and
// size on devices of any resolution.
QFont PixelFont(int size, bool bold) {
    static const int dpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
    QFont font = PictureFont(size, bold);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size * dpi / 72.0))));
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace

void PaintDisplayListVector(QPainter& painter, const DisplayList& list) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const DrawOp& op : list) {
        switch (op.kind) {
        case DrawOp::Kind::Fill:
            painter.fillRect(Span(op.a(), op.b()), Rgb(op.brush));
            break;
        case DrawOp::Kind::Rect: {
            const QRectF r = Span(op.a(), op.b());
            const qreal w = std::max(op.width, 1);
            painter.fillRect(r, Rgb(op.pen));
            if (r.width() > 2 * w && r.height() > 2 * w)
                painter.fillRect(r.adjusted(w, w, -w, -w), Rgb(op.brush));
            break;
        }
        case DrawOp::Kind::Line:
        case DrawOp::Kind::Polyline: {
            const int n = std::clamp(op.kind == DrawOp::Kind::Line ? 2 : op.count, 0, 4);
            std::vector<QPointF> pts;
            for (int i = 0; i < n; ++i) {
                const QPointF p = Centre(op.pts[static_cast<std::size_t>(i)]);
                if (pts.empty() || pts.back() != p) pts.push_back(p);
            }
            // A segment of no length leaves no mark on the picture either.
            if (pts.size() < 2) break;
            QPen pen(Rgb(op.pen), std::max(op.width, 1));
            pen.setStyle(QtStyle(op.style));
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            if (pts.size() == 2)
                painter.drawLine(pts[0], pts[1]);
            else
                painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
            break;
        }
        case DrawOp::Kind::Text: {
            const QFont font = PixelFont(op.fontSize, op.bold);
            painter.setFont(font);
            const QFontMetricsF metrics(font);
            const QString text =
                QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size()));
            const QPointF top(op.a().x, op.a().y);
            if (op.opaque)
                painter.fillRect(
                    QRectF(top, QSizeF(metrics.horizontalAdvance(text), metrics.height())),
                    Rgb(op.brush));
            painter.setPen(Rgb(op.pen));
            painter.drawText(top + QPointF(0, metrics.ascent()), text);
            break;
        }
        }
    }
    painter.restore();
}

bool WriteSvg(const QString& path, const DisplayList& list, int width, int height, double widthCm) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    // The resolution that makes the picture's width come out in centimetres.
    svg.setResolution(std::max(1, static_cast<int>(std::lround(width * 2.54 / widthCm))));
    svg.setTitle(QStringLiteral("VORN-3D"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    PaintDisplayListVector(painter, list);
    return painter.end();
}

bool WritePdf(const QString& path, const DisplayList& list, int width, int height, double widthCm) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("VORN-3D"));
    pdf.setResolution(1200);
    const double heightCm = widthCm * height / std::max(width, 1);
    pdf.setPageSize(QPageSize(QSizeF(widthCm * 10, heightCm * 10), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    const qreal scale = pdf.width() / static_cast<qreal>(std::max(width, 1));
    painter.scale(scale, scale);
    PaintDisplayListVector(painter, list);
    return painter.end();
}

bool WritePng(const QString& path, const DisplayList& list, int width, int height, int dpi,
              bool transparent) {
    QImage image(width, height,
                 transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(transparent ? Qt::transparent : Qt::white);
    if (transparent) {
        DisplayList drawn;
        drawn.reserve(list.size());
        std::copy_if(list.begin(), list.end(), std::back_inserter(drawn),
                     [](const DrawOp& op) { return op.role != Role::Background; });
        PaintDisplayList(image, drawn);
    } else {
        PaintDisplayList(image, list);
    }
    // Set after painting: the labels were laid out for the screen's resolution.
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image.save(path, "PNG");
}

} // namespace vorn::pic
