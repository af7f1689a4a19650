// v3dtool render, run in-process on scene files written from the file layout.
#include "picture_fixture.h"
#include "v3dtool/commands.h"

#include "core/scene_file.h"
#include "view/view_state.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace vorn::tool {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("v3d_render_" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

void WriteScene(const core::Scene& scene, const std::string& name) {
    const std::vector<std::uint8_t> bytes = core::SerializeScene(scene);
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

int Render(const Args& args, std::string* out = nullptr) {
    std::ostringstream o, e;
    const int rc = runRender(args, o, e);
    if (out) *out = o.str() + e.str();
    return rc;
}

TEST(RenderTool, DrawsTheSceneWithTheViewItWasSavedWith) {
    TempDir dir;
    test::PictureScene s;
    s.addCube(-1, 2, 0);
    s.scene.header.zoomX = s.scene.header.zoomY = s.scene.header.zoomZ = 50;
    s.scene.header.turnHorizontal = 0;
    s.scene.header.turnVertical = 36; // looking down Oz: the cube is a square
    WriteScene(s.scene, dir.file("cube.v3d"));

    std::string text;
    ASSERT_EQ(
        Render({dir.file("cube.v3d"), "-o", dir.file("cube.png"), "--size", "301x201"}, &text), 0)
        << text;
    const QImage img(QString::fromStdString(dir.file("cube.png")));
    ASSERT_EQ(img.size(), QSize(301, 201));
    // Centre (150, 100); the square's sides lie 50 pixels out: x = 100 and x = 200.
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(img.pixel(100, 80) | 0xFF000000u, black);
    EXPECT_EQ(img.pixel(200, 120) | 0xFF000000u, black);
    EXPECT_EQ(img.pixel(130, 70) | 0xFF000000u, white); // no diagonal across the top
    EXPECT_EQ(img.pixel(3, 3) | 0xFF000000u, white);

    // --turn overrides the file's angles; --labels adds the nodes.
    ASSERT_EQ(Render({dir.file("cube.v3d"), "-o", dir.file("iso.png"), "--size", "200x200",
                      "--turn", "27,49", "--labels"}),
              0);
    const QImage iso(QString::fromStdString(dir.file("iso.png")));
    int outline = 0;
    for (int y = 0; y < iso.height(); ++y)
        for (int x = 0; x < iso.width(); ++x)
            outline += (iso.pixel(x, y) | 0xFF000000u) == qRgb(0, 0, 255);
    EXPECT_GT(outline, 8 * 10); // blue outlines of the eight node squares
}

// The picture options: a line width widens the square's sides; a value out of range is refused.
struct LineOptionCase {
    const char* option;
    const char* value;
    int rc;
    int sideWidth; // black pixels across the left side
};

class RenderLineOptions : public ::testing::TestWithParam<LineOptionCase> {};

TEST_P(RenderLineOptions, WidenTheLinesOrAreRefused) {
    const LineOptionCase& c = GetParam();
    TempDir dir;
    test::PictureScene s;
    s.addCube(-1, 2, 0);
    s.scene.header.zoomX = s.scene.header.zoomY = s.scene.header.zoomZ = 50;
    s.scene.header.turnHorizontal = 0;
    s.scene.header.turnVertical = 36;
    WriteScene(s.scene, dir.file("cube.v3d"));
    std::string text;
    ASSERT_EQ(Render({dir.file("cube.v3d"), "-o", dir.file("cube.png"), "--size", "301x201",
                      c.option, c.value},
                     &text),
              c.rc)
        << text;
    if (c.rc != 0) return;
    const QImage img(QString::fromStdString(dir.file("cube.png")));
    int black = 0;
    for (int x = 90; x < 110; ++x)
        black += (img.pixel(x, 80) | 0xFF000000u) == qRgb(0, 0, 0);
    EXPECT_EQ(black, c.sideWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RenderLineOptions,
    ::testing::Values(
        LineOptionCase{"--line-width", "1", 0, 1}, LineOptionCase{"--line-width", "3", 0, 3},
        LineOptionCase{"--label-size", "20", 0, 1}, LineOptionCase{"--line-width", "5", 2, 0},
        LineOptionCase{"--line-width", "0", 2, 0}, LineOptionCase{"--line-width", "2px", 2, 0},
        LineOptionCase{"--label-size", "25", 2, 0}, LineOptionCase{"--label-size", "5", 2, 0},
        LineOptionCase{"--hidden", "solid", 0, 1}, LineOptionCase{"--hidden", "dashed", 0, 1},
        LineOptionCase{"--hidden", "removed", 0, 1}, LineOptionCase{"--hidden", "hatched", 2, 0},
        LineOptionCase{"--dpi", "300", 0, 1}, LineOptionCase{"--dpi", "10", 2, 0},
        LineOptionCase{"--width-cm", "0", 2, 0}));

TEST(RenderTool, FitsAFileWithoutScales) {
    TempDir dir;
    test::PictureScene s;
    s.addCube(10, 4, 0);                      // far from the origin: [10, 14]^3
    WriteScene(s.scene, dir.file("far.v3d")); // zoom 0 in the header
    ASSERT_EQ(Render({dir.file("far.v3d"), "-o", dir.file("far.png"), "--size", "280x280"}), 0);
    const QImage img(QString::fromStdString(dir.file("far.png")));
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += qGray(img.pixel(x, y)) < 64;
    EXPECT_GT(dark, 100); // the cube's twelve edges, some 20 pixels each, are on the picture
}

} // namespace
} // namespace vorn::tool
