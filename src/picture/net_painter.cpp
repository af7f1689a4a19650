// The net of a solid drawn with QPainter, and written as SVG or PDF at true scale.
#include "picture/net_painter.h"

#include <QFontMetricsF>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace vorn::pic {

namespace {

const QColor kFaceFill(255, 247, 214);
const QColor kLooseFill(208, 228, 255);
const QColor kInk(0, 0, 0);
const QColor kTabInk(96, 96, 96);
const QColor kHotInk(210, 0, 0);
const QColor kLabelInk(40, 40, 120);

// Paper lines and labels, in millimetres.
constexpr double kPaperLineMm = 0.25;
constexpr double kMinLabelMm = 1.5, kMaxLabelMm = 5;
// A printer with a small page and a large net would otherwise be handed hundreds of pages.
constexpr int kMaxPages = 100;
// SVG user units of 0.01 mm: fine enough for true scale, whole numbers for the page size.
constexpr int kSvgDpi = 2540;
constexpr int kPdfDpi = 1200;

QPointF Map(const QTransform& t, nets::Point2 p) {
    return t.map(QPointF(p.x, p.y));
}

double PolygonArea(const std::vector<nets::Point2>& p) {
    double twice = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const nets::Point2 &a = p[i], &b = p[(i + 1) % n];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

// The side of a typical face (square root of the median face area), in scene units: labels
// are sized by it so that they fit the faces at any scale.
double TypicalFaceSide(const nets::Sheet& sheet) {
    std::vector<double> areas;
    for (const auto& face : sheet.faces)
        areas.push_back(PolygonArea(face));
    if (areas.empty()) return 1;
    std::nth_element(areas.begin(), areas.begin() + areas.size() / 2, areas.end());
    return std::sqrt(areas[areas.size() / 2]);
}

QPen LinePen(nets::Sheet::LineKind kind, double width) {
    switch (kind) {
    case nets::Sheet::LineKind::Cut: {
        QPen pen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        return pen;
    }
    case nets::Sheet::LineKind::Fold: {
        // Dashed, as textbooks draw fold lines; the pattern is in pen widths.
        QPen pen(kInk, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
        pen.setDashPattern({6, 4});
        return pen;
    }
    case nets::Sheet::LineKind::Tab:
        return QPen(kTabInk, width / 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    return QPen(kInk, width);
}

// The look of a sheet on paper: `unitsPerMm` device units per millimetre, the margin left free.
SheetLook PaperLook(const nets::Sheet& sheet, double mmPerUnit, double unitsPerMm) {
    SheetLook look;
    const double margin = kSheetMarginMm * unitsPerMm;
    look.toDevice = SheetToDevice(sheet, mmPerUnit * unitsPerMm, QPointF(margin, margin));
    look.lineWidth = kPaperLineMm * unitsPerMm;
    look.fontSize =
        std::clamp(0.25 * TypicalFaceSide(sheet) * mmPerUnit, kMinLabelMm, kMaxLabelMm) *
        unitsPerMm;
    return look;
}

} // namespace

QTransform SheetToDevice(const nets::Sheet& sheet, double scale, QPointF topLeft) {
    return QTransform(scale, 0, 0, -scale, topLeft.x() - scale * sheet.low.x,
                      topLeft.y() + scale * sheet.high.y);
}

void PaintSheet(QPainter& painter, const nets::Sheet& sheet, const SheetLook& look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < sheet.faces.size(); ++i) {
        QPolygonF polygon;
        for (const nets::Point2& p : sheet.faces[i])
            polygon << Map(look.toDevice, p);
        const bool loose = i < look.loose.size() && look.loose[i];
        painter.setBrush(loose ? kLooseFill : kFaceFill);
        painter.drawPolygon(polygon);
    }
    painter.setBrush(Qt::NoBrush);
    // Tabs under folds under cuts, so that a cut edge shows solid where lines meet.
    for (const auto kind :
         {nets::Sheet::LineKind::Tab, nets::Sheet::LineKind::Fold, nets::Sheet::LineKind::Cut}) {
        painter.setPen(LinePen(kind, look.lineWidth));
        for (const nets::Sheet::Line& line : sheet.lines)
            if (line.kind == kind)
                painter.drawLine(Map(look.toDevice, line.a), Map(look.toDevice, line.b));
    }
    if (look.hotEdge >= 0) {
        painter.setPen(QPen(kHotInk, 2.5 * look.lineWidth, Qt::SolidLine, Qt::RoundCap));
        for (const nets::Sheet::Line& line : sheet.lines)
            if (line.edge == look.hotEdge)
                painter.drawLine(Map(look.toDevice, line.a), Map(look.toDevice, line.b));
    }
    painter.setPen(kLabelInk);
    for (const bool faceNumbers : {true, false}) {
        QFont font = painter.font();
        const double size = faceNumbers ? look.fontSize : 0.65 * look.fontSize;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
        font.setBold(faceNumbers);
        font.setItalic(!faceNumbers);
        painter.setFont(font);
        const QFontMetricsF metrics(font, painter.device());
        for (const nets::Sheet::Label& label : sheet.labels) {
            if (label.faceNumber != faceNumbers) continue;
            const QString text = QString::fromStdString(label.text);
            const QPointF at = Map(look.toDevice, label.at);
            // Centred on its point: half the advance left, half the cap height down.
            painter.drawText(at + QPointF(-metrics.horizontalAdvance(text) / 2,
                                          (metrics.ascent() - metrics.descent()) / 2),
                             text);
        }
    }
    painter.restore();
}

QSizeF SheetPaperSize(const nets::Sheet& sheet, double mmPerUnit) {
    return {(sheet.high.x - sheet.low.x) * mmPerUnit + 2 * kSheetMarginMm,
            (sheet.high.y - sheet.low.y) * mmPerUnit + 2 * kSheetMarginMm};
}

bool WriteSheetSvg(const QString& path, const nets::Sheet& sheet, double mmPerUnit) {
    const double unitsPerMm = kSvgDpi / 25.4;
    const QSizeF paper = SheetPaperSize(sheet, mmPerUnit) * unitsPerMm;
    const QSize size(static_cast<int>(std::ceil(paper.width())),
                     static_cast<int>(std::ceil(paper.height())));
    QSvgGenerator svg;
    svg.setFileName(path);
    // With this resolution the size comes out in millimetres: width="Nmm", N = size / 100.
    svg.setResolution(kSvgDpi);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("VORN-3D"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    PaintSheet(painter, sheet, PaperLook(sheet, mmPerUnit, unitsPerMm));
    return painter.end();
}

bool WriteSheetPdf(const QString& path, const nets::Sheet& sheet, double mmPerUnit) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("VORN-3D"));
    pdf.setResolution(kPdfDpi);
    pdf.setPageSize(QPageSize(SheetPaperSize(sheet, mmPerUnit), QPageSize::Millimeter, QString(),
                              QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    PaintSheet(painter, sheet, PaperLook(sheet, mmPerUnit, kPdfDpi / 25.4));
    return painter.end();
}

bool PaintSheetPages(QPagedPaintDevice& device, const nets::Sheet& sheet, double mmPerUnit) {
    const int dpi = device.logicalDpiX();
    const double unitsPerMm = dpi / 25.4;
    const QSizeF page = device.pageLayout().paintRectPixels(dpi).size();
    const QSizeF paper = SheetPaperSize(sheet, mmPerUnit) * unitsPerMm;
    if (page.isEmpty() || !paper.isValid()) return false;
    // A sliver of a millimetre past the page does not need a page of its own.
    const auto count = [unitsPerMm](double length, double pageLength) {
        return std::max(1, static_cast<int>(std::ceil((length - 0.5 * unitsPerMm) / pageLength)));
    };
    const int columns = count(paper.width(), page.width());
    const int rows = count(paper.height(), page.height());
    if (static_cast<long long>(columns) * rows > kMaxPages) return false;
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const SheetLook look = PaperLook(sheet, mmPerUnit, unitsPerMm);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            if ((row > 0 || column > 0) && !device.newPage()) return false;
            painter.save();
            painter.setClipRect(QRectF(QPointF(0, 0), page));
            painter.translate(-column * page.width(), -row * page.height());
            PaintSheet(painter, sheet, look);
            painter.restore();
        }
    return painter.end();
}

} // namespace vorn::pic
