// The picture on screens of finer pixels and with wider lines and larger labels: measured sizes.
#include "picture_fixture.h"
#include "qt_app.h"

#include "picture/picture_canvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace vorn::pic {
namespace {

using test::PictureScene;

QRgb ToQRgb(std::uint32_t bgr) {
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// A navy segment along the x axis from -2 to 2.
int AddNavySegment(PictureScene& s) {
    const int slot = s.add(core::ObjectType::Polyline);
    core::SceneObject& l = s.scene.object(slot);
    l.vertexCount = 2;
    l.faceCount = 1;
    l.vertex(1) = {-2, 0, 0};
    l.vertex(2) = {2, 0, 0};
    l.color = 0x800000;
    PictureScene::setFace(l, 1, 1, 2, 2);
    return slot;
}

// What a picture shows, in device pixels.
struct Sizes {
    int imageWidth = 0, imageHeight = 0;
    int lineTop = -1, lineRows = 0; // the band of the segment in one column
    int nodeOuter = 0, nodeInner = 0, labelHeight = 0;
};

// A horizontal segment and, above it, a labelled point object, drawn at `ratio` device pixels
// per picture pixel.
Sizes Draw(qreal ratio, int lineWidth, int fontSize, int* segmentRow = nullptr) {
    test::EnsureQtApp();
    PictureScene s;
    s.settings.IsOsi = false;
    s.settings.colors[core::kColorBackground] = 8; // grey: the nodes are white inside
    s.settings.PutVerNum = true;
    s.settings.PutNumObj = false;
    s.settings.lineWidth = lineWidth;
    s.settings.labelFontSize = fontSize;
    const int line = AddNavySegment(s);
    const int point = s.add(core::ObjectType::Point);
    s.scene.object(point).vertexCount = 1;
    s.scene.object(point).vertex(1) = {-1, 1.5f, 0};
    s.scene.object(point).faceCount = 1;
    PictureScene::setFace(s.scene.object(point), 1, 1, 1, 1);

    PictureCanvas canvas(s.env);
    canvas.resize(200, 160, ratio);
    canvas.engine().setReady(true);
    canvas.view().setTurn(0, 36);
    canvas.view().setZoom(40, 40, 40);
    EXPECT_EQ(canvas.redraw(true, {-100, -100}), RedrawResult::Drawn);
    const QImage& img = canvas.image();
    EXPECT_EQ(img.devicePixelRatio(), ratio);
    const auto at = [&](int x, int y) { return img.pixel(x, y) | 0xFF000000u; };
    const int r = static_cast<int>(ratio);
    Sizes out{img.width(), img.height()};

    const ScreenPoint a = canvas.engine().screen(line, 1), b = canvas.engine().screen(line, 2);
    EXPECT_EQ(a.y, b.y);
    if (segmentRow) *segmentRow = a.y;
    const int column = ((a.x + b.x) / 2 + 20) * r;
    for (int y = 0; y < img.height(); ++y)
        if (at(column, y) == ToQRgb(s.scene.object(line).color)) {
            if (out.lineTop < 0) out.lineTop = y;
            ++out.lineRows;
        }

    // The node (frame and white inside) along the row through its centre, which no label
    // reaches; the label's rows.
    const ScreenPoint p = canvas.engine().screen(point, 1);
    const QRgb node = ToQRgb(s.settings.colorRgb(core::kColorNodes));
    const QRgb label = ToQRgb(s.settings.colorRgb(core::kColorLabels));
    const QRgb white = qRgb(255, 255, 255);
    for (int x = (p.x - 20) * r; x < (p.x + 20) * r; ++x) {
        out.nodeOuter += at(x, p.y * r) == node || at(x, p.y * r) == white;
        out.nodeInner += at(x, p.y * r) == white;
    }
    int first = -1, last = -1;
    for (int y = p.y * r; y < std::min(img.height(), (p.y + 60) * r); ++y)
        for (int x = (p.x + 1) * r; x < (p.x + 40) * r; ++x)
            if (at(x, y) == label) {
                if (first < 0) first = y;
                last = y;
            }
    out.labelHeight = first < 0 ? 0 : last - first + 1;
    return out;
}

struct SharpCase {
    qreal ratio;
    int lineWidth;
    int fontSize;
};

class SharpPicture : public ::testing::TestWithParam<SharpCase> {};

// Everything grows by the ratio times the settings: the bitmap by the ratio, the segment's band
// and the node by the ratio and the line width (a frame as wide as a line), labels by the ratio
// and the font size.
TEST_P(SharpPicture, GrowsWithTheScreenAndTheSettings) {
    const SharpCase c = GetParam();
    const int r = static_cast<int>(c.ratio), w = c.lineWidth;
    int row = 0;
    const Sizes classic = Draw(1, 1, 10);
    const Sizes got = Draw(c.ratio, c.lineWidth, c.fontSize, &row);
    EXPECT_EQ(got.imageWidth, 200 * r);
    EXPECT_EQ(got.imageHeight, 160 * r);
    // The band is centred on the segment's picture row.
    EXPECT_EQ(got.lineRows, w * r);
    EXPECT_EQ(got.lineTop, (row - (w - 1) / 2) * r);
    EXPECT_EQ(classic.nodeOuter, 5);
    EXPECT_EQ(got.nodeOuter, 5 * w * r);
    EXPECT_EQ(got.nodeInner, 3 * w * r);
    const double grow = c.ratio * c.fontSize / 10.0;
    ASSERT_GT(classic.labelHeight, 4);
    EXPECT_NEAR(got.labelHeight, classic.labelHeight * grow, 0.2 * classic.labelHeight * grow);
}

INSTANTIATE_TEST_SUITE_P(RatiosAndSettings, SharpPicture,
                         ::testing::Values(SharpCase{1, 1, 10}, SharpCase{2, 1, 10},
                                           SharpCase{1, 3, 10}, SharpCase{2, 3, 10},
                                           SharpCase{1, 1, 20}, SharpCase{2, 1, 16}));

// The pointer and the picture share logical pixels, so the pick radius covers its pixels times
// the ratio on the bitmap: 3 logical pixels off the drawn band picks the segment at every ratio,
// 5 does not.
TEST(SharpPicture, PickRadiusGrowsWithTheRatio) {
    struct Radius : PassHooks {
        double pickRadius() const override { return 4; }
    } hooks;
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        test::EnsureQtApp();
        PictureScene s;
        s.settings.IsOsi = false;
        const int line = AddNavySegment(s);
        PictureCanvas canvas(s.env);
        canvas.resize(200, 160, ratio);
        canvas.engine().setReady(true);
        canvas.engine().setHooks(&hooks);
        canvas.view().setTurn(0, 36);
        canvas.view().setZoom(40, 40, 40);
        ASSERT_EQ(canvas.redraw(), RedrawResult::Drawn);
        const int r = static_cast<int>(ratio), x = 100;
        int band = -1;
        for (int y = 0; y < canvas.image().height() && band < 0; ++y)
            if ((canvas.image().pixel(x * r, y) | 0xFF000000u) == ToQRgb(s.scene.object(line).color)) band = y;
        ASSERT_GE(band, 0);
        ASSERT_EQ(band % r, 0);
        for (const auto& [off, picked] :
             {std::pair{3, true}, std::pair{-3, true}, std::pair{5, false}, std::pair{-5, false}}) {
            ASSERT_EQ(canvas.interactivePass({x, band / r + off}), RedrawResult::Drawn);
            EXPECT_EQ(canvas.engine().pick().object == line, picked)
                << "ratio " << ratio << ", " << off * r << " device pixels off";
        }
    }
}

} // namespace
} // namespace vorn::pic
