// Figures drawn with QPainter at true size: the export preview, PDF and PNG files, printed pages.
#include "picture/figure_painter.h"

#include <QImage>
#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace vorn::pic {

namespace {

QColor Colour(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

double MarkRadiusPt(const fig::Mark& m) {
    return m.tick ? 0.9 : 1.6;
}

} // namespace

void PaintFigure(QPainter& painter, const fig::Figure& figure, QPointF topLeft, double unitsPerMm) {
    painter.save();
    painter.translate(topLeft);
    painter.scale(unitsPerMm, unitsPerMm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const fig::Stroke& s : figure.strokes) {
        if (s.points.size() < 2) continue;
        const double w = fig::WidthOf(figure, s);
        QPen pen(Colour(s.rgb), w);
        pen.setJoinStyle(Qt::RoundJoin);
        if (s.dash == fig::Dash::Solid) {
            pen.setCapStyle(Qt::RoundCap);
        } else {
            // Qt counts dash lengths in pen widths.
            const fig::DashPattern p = fig::DashFor(figure, s);
            pen.setCapStyle(s.dash == fig::Dash::Dotted ? Qt::RoundCap : Qt::FlatCap);
            pen.setDashPattern({std::max(p.on / w, 1e-3), p.off / w});
        }
        painter.setPen(pen);
        QPainterPath path(QPointF(s.points[0].x, s.points[0].y));
        for (std::size_t i = 1; i < s.points.size(); ++i)
            path.lineTo(s.points[i].x, s.points[i].y);
        painter.drawPath(path);
    }
    for (const fig::Mark& m : figure.marks) {
        const double r = MarkRadiusPt(m) * fig::kMmPerPt;
        painter.setPen(QPen(Colour(m.rgb), figure.pens.hidden * fig::kMmPerPt));
        painter.setBrush(m.hollow ? Colour(figure.background) : Colour(m.rgb));
        painter.drawEllipse(QPointF(m.at.x, m.at.y), r, r);
    }
    painter.setBrush(Qt::NoBrush);
    // Text at a large pixel size scaled down, so that its size in millimetres is exact.
    constexpr int kTextPixels = 100;
    for (const fig::Label& l : figure.labels) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(kTextPixels);
        font.setBold(l.bold);
        painter.save();
        painter.translate(l.at.x, l.at.y);
        const double k = l.size * fig::kMmPerPt / kTextPixels;
        painter.scale(k, k);
        painter.setFont(font);
        painter.setPen(Colour(l.rgb));
        painter.drawText(QPointF(0, 0),
                         QString::fromUtf8(l.text.data(), static_cast<qsizetype>(l.text.size())));
        painter.restore();
    }
    painter.restore();
}

bool WriteFigurePdf(const QString& path, const fig::Figure& figure) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("VORN-3D"));
    pdf.setTitle(QStringLiteral("VORN-3D"));
    pdf.setResolution(1200);
    pdf.setPageSize(QPageSize(QSizeF(figure.width, figure.height), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    PaintFigure(painter, figure, {0, 0}, pdf.resolution() / 25.4);
    return painter.end();
}

bool WriteFigurePng(const QString& path, const fig::Figure& figure, int dpi, bool transparent) {
    const double unitsPerMm = dpi / 25.4;
    const int w = std::max(1, static_cast<int>(std::lround(figure.width * unitsPerMm)));
    const int h = std::max(1, static_cast<int>(std::lround(figure.height * unitsPerMm)));
    QImage image(w, h, transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(transparent ? QColor(Qt::transparent) : Colour(figure.background));
    {
        QPainter painter(&image);
        PaintFigure(painter, figure, {0, 0}, unitsPerMm);
    }
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image.save(path, "PNG");
}

} // namespace vorn::pic
