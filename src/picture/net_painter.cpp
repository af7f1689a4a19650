// The net of a solid drawn with QPainter, and put on paper (SVG, PDF, printer) at true scale.
#include "picture/net_painter.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace vorn::pic {

namespace {

const QColor kFaceFill(255, 247, 214);
const QColor kLooseFill(208, 228, 255);
const QColor kTabFill(236, 236, 236);
const QColor kInk(0, 0, 0);
const QColor kTabInk(96, 96, 96);
const QColor kHotInk(210, 0, 0);
const QColor kLabelInk(40, 40, 120);
const QColor kGlueInk(150, 60, 0);
const QColor kMarkInk(200, 0, 140);
const QColor kPageInk(120, 120, 120);

// Paper lines and labels, in millimetres.
constexpr double kPaperLineMm = 0.25, kMarkLineMm = 0.2;
constexpr double kMinLabelMm = 1.5, kMaxLabelMm = 5;
constexpr double kMarkRadiusMm = 2.5, kMarkArmMm = 4, kCornerTickMm = 5, kPageNumberMm = 3;
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
    case nets::Sheet::LineKind::Cut:
        return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    case nets::Sheet::LineKind::Fold: {
        // Dashed, as textbooks draw fold lines; the pattern is in pen widths.
        QPen pen(kInk, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
        pen.setDashPattern({6, 4});
        return pen;
    }
    case nets::Sheet::LineKind::Tab:
        // Cut like the outline, in grey so that the faces' outline stands out.
        return QPen(kTabInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
    return QPen(kInk, width);
}

QPolygonF Polygon(const QTransform& t, const std::vector<nets::Point2>& p) {
    QPolygonF polygon;
    for (const nets::Point2& q : p)
        polygon << Map(t, q);
    return polygon;
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
        const bool loose = i < look.loose.size() && look.loose[i];
        if (!look.fill && !loose) continue;
        painter.setBrush(loose ? kLooseFill : kFaceFill);
        painter.drawPolygon(Polygon(look.toDevice, sheet.faces[i]));
    }
    if (look.fill) {
        painter.setBrush(kTabFill);
        for (const nets::Sheet::Tab& tab : sheet.tabs)
            painter.drawPolygon(Polygon(look.toDevice, tab.outline));
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
    enum class Kind { Face, Vertex, Glue };
    for (const Kind kind : {Kind::Face, Kind::Vertex, Kind::Glue}) {
        QFont font = painter.font();
        const double size = kind == Kind::Face     ? look.fontSize
                            : kind == Kind::Vertex ? 0.65 * look.fontSize
                                                   : 0.55 * look.fontSize;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
        font.setBold(kind == Kind::Face);
        font.setItalic(kind == Kind::Vertex);
        painter.setFont(font);
        painter.setPen(kind == Kind::Glue ? kGlueInk : kLabelInk);
        const QFontMetricsF metrics(font, painter.device());
        for (const nets::Sheet::Label& label : sheet.labels) {
            const Kind mine = label.faceNumber ? Kind::Face
                              : label.glueMark ? Kind::Glue
                                               : Kind::Vertex;
            if (mine != kind) continue;
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

nets::Paper PaperOfDevice(const QPagedPaintDevice& device) {
    const QRectF full = device.pageLayout().fullRect(QPageLayout::Millimeter);
    nets::Paper paper;
    paper.width = full.width();
    paper.height = full.height();
    return paper;
}

void PaintPlanPage(QPainter& painter, const nets::PrintPlan& plan, std::size_t page,
                   double unitsPerMm, bool fill) {
    if (page >= plan.pages.size()) return;
    const nets::PrintPlan::Page& p = plan.pages[page];
    const double u = unitsPerMm, m = plan.paper.margin;
    const QRectF area(m * u, m * u, plan.paper.printableWidth() * u,
                      plan.paper.printableHeight() * u);
    // Net millimetres to the page: the page's origin at the printable area's corner.
    const auto toPage = [&](nets::Point2 mm) {
        return QPointF((m + mm.x - p.origin.x) * u, (m + mm.y - p.origin.y) * u);
    };
    SheetLook look;
    look.toDevice = SheetToDevice(plan.sheet, plan.mmPerUnit * u, toPage({0, 0}));
    look.lineWidth = kPaperLineMm * u;
    look.fontSize =
        std::clamp(0.25 * TypicalFaceSide(plan.sheet) * plan.mmPerUnit, kMinLabelMm, kMaxLabelMm) *
        u;
    look.fill = fill;
    painter.save();
    // A page of several shows its piece only; a net on one page may let a letter at its edge
    // reach into the margin.
    if (plan.pages.size() > 1) painter.setClipRect(area);
    PaintSheet(painter, plan.sheet, look);
    if (plan.pages.size() > 1) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(kMarkInk, kMarkLineMm * u));
        painter.setBrush(Qt::NoBrush);
        for (const nets::Point2& mark : plan.marks) {
            const QPointF c = toPage(mark);
            if (!area.adjusted(-kMarkArmMm * u, -kMarkArmMm * u, kMarkArmMm * u, kMarkArmMm * u)
                     .contains(c))
                continue;
            painter.drawEllipse(c, kMarkRadiusMm * u, kMarkRadiusMm * u);
            painter.drawLine(c - QPointF(kMarkArmMm * u, 0), c + QPointF(kMarkArmMm * u, 0));
            painter.drawLine(c - QPointF(0, kMarkArmMm * u), c + QPointF(0, kMarkArmMm * u));
        }
    }
    painter.restore();
    if (plan.pages.size() <= 1) return;
    // In the margin: where to cut the page, and which page it is (row, column).
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kPageInk, kMarkLineMm * u));
    const double t = kCornerTickMm * u, gap = 1 * u;
    for (const QPointF c :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        const double sx = c.x() < area.center().x() ? -1 : 1,
                     sy = c.y() < area.center().y() ? -1 : 1;
        painter.drawLine(c + QPointF(sx * gap, 0), c + QPointF(sx * (gap + t), 0));
        painter.drawLine(c + QPointF(0, sy * gap), c + QPointF(0, sy * (gap + t)));
    }
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(kPageNumberMm * u))));
    painter.setFont(font);
    const QString text = QStringLiteral("%1 / %2   (%3, %4)")
                             .arg(page + 1)
                             .arg(plan.pages.size())
                             .arg(p.row + 1)
                             .arg(p.column + 1);
    painter.drawText(QRectF(area.left(), area.bottom() + gap, area.width(), (m - 2) * u),
                     Qt::AlignHCenter | Qt::AlignTop, text);
    painter.restore();
}

QString PageFileName(const QString& path, std::size_t page, std::size_t pages) {
    if (pages <= 1) return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return stem + QStringLiteral("-%1").arg(page + 1) +
           (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix);
}

bool WriteSheetSvg(const QString& path, const nets::PrintPlan& plan, bool fill,
                   QStringList* written) {
    if (plan.pages.empty() || plan.pages.size() > kMaxPages) return false;
    const double unitsPerMm = kSvgDpi / 25.4;
    const QSize size(static_cast<int>(std::lround(plan.paper.width * unitsPerMm)),
                     static_cast<int>(std::lround(plan.paper.height * unitsPerMm)));
    for (std::size_t page = 0; page < plan.pages.size(); ++page) {
        const QString name = PageFileName(path, page, plan.pages.size());
        QSvgGenerator svg;
        svg.setFileName(name);
        // With this resolution the size comes out in millimetres: width="Nmm", N = size / 100.
        svg.setResolution(kSvgDpi);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("VORN-3D"));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        PaintPlanPage(painter, plan, page, unitsPerMm, fill);
        if (!painter.end()) return false;
        if (written) *written << name;
    }
    return true;
}

bool WriteSheetPdf(const QString& path, const nets::PrintPlan& plan, bool fill) {
    if (plan.pages.empty() || plan.pages.size() > kMaxPages) return false;
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("VORN-3D"));
    pdf.setResolution(kPdfDpi);
    const bool landscape = plan.paper.width > plan.paper.height;
    const QSizeF portrait(std::min(plan.paper.width, plan.paper.height),
                          std::max(plan.paper.width, plan.paper.height));
    pdf.setPageLayout(QPageLayout(
        QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return PaintSheetPages(pdf, plan, fill);
}

bool PaintSheetPages(QPagedPaintDevice& device, const nets::PrintPlan& plan, bool fill) {
    if (plan.pages.empty() || plan.pages.size() > kMaxPages) return false;
    // Paper coordinates: without margins when the device takes that, else shifted by them.
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const int dpi = device.logicalDpiX();
    const QPointF offset = device.pageLayout().paintRectPixels(dpi).topLeft();
    for (std::size_t page = 0; page < plan.pages.size(); ++page) {
        if (page > 0 && !device.newPage()) return false;
        painter.save();
        painter.translate(-offset);
        PaintPlanPage(painter, plan, page, dpi / 25.4, fill);
        painter.restore();
    }
    return painter.end();
}

} // namespace vorn::pic
