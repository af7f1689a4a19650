// The persistent bitmap of the wire-frame picture and the painter that replays display lists on it.
#include "picture/picture_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace vorn::pic {

namespace {

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

QPoint At(ScreenPoint p) {
    return {p.x, p.y};
}

// Width-1 lines; the gaps of dotted and dashed pens show the brush colour, as on the old canvas.
void SetLinePen(QPainter& painter, const DrawOp& op) {
    QPen pen(Rgb(op.pen));
    pen.setWidth(1);
    pen.setStyle(QtStyle(op.style));
    painter.setPen(pen);
    painter.setBackgroundMode(op.style == PenStyle::Solid ? Qt::TransparentMode : Qt::OpaqueMode);
    painter.setBackground(Rgb(op.brush));
}

void PaintOp(QPainter& painter, const DrawOp& op) {
    switch (op.kind) {
    case DrawOp::Kind::Fill:
        painter.fillRect(QRect(At(op.a()), At(op.b()) - QPoint(1, 1)), Rgb(op.brush));
        break;
    case DrawOp::Kind::Rect: {
        const QRect r(At(op.a()), At(op.b()) - QPoint(1, 1));
        painter.fillRect(r, Rgb(op.brush));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(QPen(Rgb(op.pen), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        break;
    }
    case DrawOp::Kind::Line:
    case DrawOp::Kind::Polyline: {
        SetLinePen(painter, op);
        // Zero-length segments leave no mark, as on the old canvas: a point object's face is
        // only its node.
        QPolygon poly;
        for (int i = 0; i < op.count; ++i) {
            const QPoint p = At(op.pts[static_cast<std::size_t>(i)]);
            if (poly.isEmpty() || poly.last() != p) poly << p;
        }
        if (poly.size() >= 2) painter.drawPolyline(poly);
        break;
    }
    case DrawOp::Kind::Text: {
        const QFont font = PictureFont(op.fontSize, op.bold);
        painter.setFont(font);
        const QFontMetrics metrics(font, painter.device());
        const QString text =
            QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size()));
        const QPoint top = At(op.a());
        if (op.opaque)
            painter.fillRect(QRect(top, QSize(metrics.horizontalAdvance(text), metrics.height())),
                             Rgb(op.brush));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(Rgb(op.pen));
        painter.drawText(top + QPoint(0, metrics.ascent()), text);
        break;
    }
    }
}

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
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (const DrawOp& op : list)
        PaintOp(painter, op);
}

PictureCanvas::PictureCanvas(core::Env& env) : m_engine(env) {
    m_engine.setTextMeasure([this](std::string_view text, int size, bool bold) {
        const QFontMetrics metrics(PictureFont(size, bold), m_image.isNull() ? nullptr : &m_image);
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    });
}

void PictureCanvas::resize(int width, int height) {
    m_engine.resize(width, height);
    m_image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_image.fill(Rgb(m_engine.env().settings.colorRgb(core::kColorBackground)));
}

RedrawResult PictureCanvas::redraw(bool interactive, ScreenPoint mouse) {
    DisplayList list;
    const RedrawResult r = m_engine.redraw(list, interactive, mouse);
    if (r == RedrawResult::Drawn) {
        PaintDisplayList(m_image, list);
        m_last = std::move(list);
    }
    return r;
}

RedrawResult PictureCanvas::interactivePass(ScreenPoint mouse) {
    DisplayList list;
    const RedrawResult r = m_engine.drawPass(list, mouse);
    if (r == RedrawResult::Drawn) {
        PaintDisplayList(m_image, list);
        m_last = std::move(list);
    }
    return r;
}

} // namespace vorn::pic
