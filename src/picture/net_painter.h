// The net of a solid drawn with QPainter, and written as SVG or PDF at true scale.
#pragma once

#include "nets/net.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <vector>

namespace vorn::pic {

// Paper scale of the net window and of v3dtool net: a unit edge is 10 mm long.
inline constexpr double kDefaultMmPerUnit = 10;
inline constexpr double kMinMmPerUnit = 1, kMaxMmPerUnit = 500;
// White paper around the net in the files and on each printed page's piece.
inline constexpr double kSheetMarginMm = 5;

struct SheetLook {
    QTransform toDevice;     // scene units (y up) to device units
    double lineWidth = 1;    // device units
    double fontSize = 12;    // face-number height in device units
    std::vector<bool> loose; // per face of the sheet: the piece cut loose, filled apart
    int hotEdge = -1;        // the solid's edge under the pointer, drawn stronger
};

// Scene units to device units at `scale` device units per unit, the sheet's top left corner
// (its low x, high y) going to `topLeft`.
QTransform SheetToDevice(const nets::Sheet& sheet, double scale, QPointF topLeft);

// Faces filled, cut lines solid, fold lines dashed, tab lines thin, then the labels as text.
void PaintSheet(QPainter& painter, const nets::Sheet& sheet, const SheetLook& look);

// The paper a sheet takes at `mmPerUnit`, margins included, in millimetres.
QSizeF SheetPaperSize(const nets::Sheet& sheet, double mmPerUnit);

// One page the size of the sheet's paper, drawn at `mmPerUnit`; false when the file cannot be
// written.
bool WriteSheetSvg(const QString& path, const nets::Sheet& sheet, double mmPerUnit);
bool WriteSheetPdf(const QString& path, const nets::Sheet& sheet, double mmPerUnit);

// The sheet at `mmPerUnit` on the pages of `device` (a printer or a PDF writer), spread over as
// many pages as its size needs, each page's paint area taking the next piece; false when the
// device cannot be painted on.
bool PaintSheetPages(QPagedPaintDevice& device, const nets::Sheet& sheet, double mmPerUnit);

} // namespace vorn::pic
