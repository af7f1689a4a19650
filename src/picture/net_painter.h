// The net of a solid drawn with QPainter, and put on paper (SVG, PDF, printer) at true scale.
#pragma once

#include "nets/net.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <vector>

namespace vorn::pic {

// Paper scale of the net window and of v3dtool net: a unit edge is 10 mm long.
inline constexpr double kDefaultMmPerUnit = 10;
inline constexpr double kMinMmPerUnit = 1, kMaxMmPerUnit = 500;
// A printer with a small page and a large net would otherwise be handed hundreds of pages.
inline constexpr std::size_t kMaxPages = 100;

struct SheetLook {
    QTransform toDevice;     // scene units (y up) to device units
    double lineWidth = 1;    // device units
    double fontSize = 12;    // face-number height in device units
    std::vector<bool> loose; // per face of the sheet: the piece cut loose, tinted apart
    int hotEdge = -1;        // the solid's edge under the pointer, drawn stronger
    bool fill = true;        // faces and tabs filled; without, the paper stays white
};

// Scene units to device units at `scale` device units per unit, the sheet's top left corner
// (its low x, high y) going to `topLeft`.
QTransform SheetToDevice(const nets::Sheet& sheet, double scale, QPointF topLeft);

// Faces filled, cut lines solid, fold lines dashed, tabs' outlines solid and grey, then the
// labels: face numbers, vertex letters and glue marks.
void PaintSheet(QPainter& painter, const nets::Sheet& sheet, const SheetLook& look);

// The page of a printer or PDF writer in millimetres as it lies, with the nets' margins.
nets::Paper PaperOfDevice(const QPagedPaintDevice& device);

// Page `page` of the plan on a device with `unitsPerMm` device units a millimetre and its
// origin at the paper's top left corner: the piece of the net in the printable area at true
// scale, and on a net of several pages the alignment crosses, the page's number and ticks at
// the corners of the printable area.
void PaintPlanPage(QPainter& painter, const nets::PrintPlan& plan, std::size_t page,
                   double unitsPerMm, bool fill);

// The file a page of an SVG goes to: the name itself for a one-page plan, else NAME-1.svg,
// NAME-2.svg, ... (an SVG holds one page).
QString PageFileName(const QString& path, std::size_t page, std::size_t pages);
// The plan on its paper; false when a file cannot be written or the plan has more than
// kMaxPages pages. `written` gets the names of the SVG files.
bool WriteSheetSvg(const QString& path, const nets::PrintPlan& plan, bool fill,
                   QStringList* written = nullptr);
bool WriteSheetPdf(const QString& path, const nets::PrintPlan& plan, bool fill);
// The plan's pages on a printer or PDF writer, each at the paper's top left corner whatever
// the device's margins; false when the device cannot be painted on or the pages are too many.
bool PaintSheetPages(QPagedPaintDevice& device, const nets::PrintPlan& plan, bool fill);

} // namespace vorn::pic
