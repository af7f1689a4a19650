// A display list as a TikZ picture for LaTeX: lines as \draw, labels as nodes, in centimetres.
#pragma once

#include "view/display_list.h"

#include <string>

namespace vorn::pic {

// `list`, drawn on a picture `width` x `height` pixels, as a tikzpicture `widthCm` wide: y runs
// upwards from the bottom-left corner, colours become \definecolor, dashed and dotted pens keep
// their style and text is UTF-8 with TeX's special characters escaped.
std::string TikzPicture(const DisplayList& list, int width, int height, double widthCm);

// A length with no more digits than a drawing needs: thousandths, trailing zeros dropped.
std::string TrimmedNumber(double v);

// `text` safe inside a TeX group.
std::string TexEscape(const std::string& text);

} // namespace vorn::pic
