// The wire-frame picture as a vector drawing (SVG, PDF) or a PNG of a chosen resolution.
#pragma once

#include "view/display_list.h"

#include <QPainter>
#include <QString>

namespace vorn::pic {

// Replays `list` on `painter` as true lines, rectangles and text, in picture pixels: no pixel is
// written directly, so a vector device gets a drawing rather than a bitmap.
void PaintDisplayListVector(QPainter& painter, const DisplayList& list);

// `list`, drawn on a picture `width` x `height` pixels, written `widthCm` wide. False when the
// file cannot be written.
bool WriteSvg(const QString& path, const DisplayList& list, int width, int height, double widthCm);
bool WritePdf(const QString& path, const DisplayList& list, int width, int height, double widthCm);

// A PNG `width` x `height` pixels at `dpi` dots per inch; a transparent background leaves out
// the picture's background fill.
bool WritePng(const QString& path, const DisplayList& list, int width, int height, int dpi,
              bool transparent);

} // namespace vorn::pic
