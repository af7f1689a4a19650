// Figures drawn with QPainter at true size: the export preview, PDF and PNG files, printed pages.
#pragma once

#include "figure/figure.h"

#include <QPainter>
#include <QPointF>
#include <QString>

namespace vorn::pic {

// `figure` with its top left corner at `topLeft`, `unitsPerMm` device units to a millimetre, so
// that lines and labels keep their sizes in points on any device.
void PaintFigure(QPainter& painter, const fig::Figure& figure, QPointF topLeft, double unitsPerMm);

// One page the figure's size; false when the file cannot be written.
bool WriteFigurePdf(const QString& path, const fig::Figure& figure);
// A PNG at `dpi` dots per inch (its pixel size follows the figure's size in millimetres); a
// transparent background leaves out the paper.
bool WriteFigurePng(const QString& path, const fig::Figure& figure, int dpi, bool transparent);

} // namespace vorn::pic
