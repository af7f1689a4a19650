// The half-tone panel on a real OpenGL context: lit, shaded objects where they project.
#include "fake_host.h"
#include "halftone_scenes.h"

#include "picture/gl_bar.h"
#include "picture/halftone_materials.h"
#include "picture/halftone_scene.h"
#include "picture/halftone_view.h"
#include "picture/view_state.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#ifdef VORN_WITH_RENDER_TOOL
#include "core/scene_file.h"
#include "v3dtool/commands.h"
#endif

namespace vorn::pic {
namespace {

using test::AddCube;
using test::AddRevolution;
using test::AddSurface;

constexpr int kSize = 400;
// Channel levels: a lit face is well above what the ambient light alone gives.
constexpr int kLitMargin = 40;

struct GLBarTest : ::testing::Test {
    void SetUp() override {
        QString why;
        if (!HalfToneOpenGLAvailable(&why))
            GTEST_SKIP() << "no OpenGL context: " << why.toStdString();
    }

    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{scene, settings, messages, host};
    expr::ExpressionEngine engine;

    QImage render(TGLBar& bar, HalfToneTransform t) {
        bar.resize(kSize, kSize);
        bar.show();
        bar.setScene(BuildHalfToneScene(env, engine));
        bar.setTransform(t);
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        QImage img = bar.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        if (!qEnvironmentVariableIsEmpty("VORN_GL_DUMP"))
            img.save(qEnvironmentVariable("VORN_GL_DUMP") + "/" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
        return img;
    }

    // Pixels inside the projection of these points' centre, a few pixels around it.
    static std::vector<QRgb> around(const QImage& img, const HalfTonePixel& c, int r) {
        std::vector<QRgb> px;
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                px.push_back(img.pixel(int(c.x) + dx, int(c.y) + dy));
        return px;
    }
};

TEST_F(GLBarTest, ObjectsAreLitAndShadedInTheirMaterialsOverTheBackground) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 8;              // grey
    const int cube = AddCube(env, -2.5, -0.5, -0.5, 1, 9);    // red: ruby-like material 21
    AddSurface(scene, "0.3*x", "x^2+y^2<1", -1, 1, -1, 1, 2); // emerald
    AddRevolution(scene, "0.6", 1.5, 2.5, 0, 12, {0, 0, 0});  // cyan-blue material 24
    ASSERT_EQ(scene.object(cube).faceCount, 12);

    core::SceneHeader header{};
    ViewState view(header);
    view.setTurn(kInitialTurnHorizontal, kInitialTurnVertical);
    view.setZoom(60, 60, 60);
    HalfToneTransform t;
    HalfToneView(view, t);

    TGLBar bar;
    const QImage img = render(bar, t);
    ASSERT_EQ(img.width(), kSize);
    const SceneBox box = bar.box();
    const QRgb background = qRgb(0x80, 0x80, 0x80);

    // Corners are far from every object.
    for (const QPoint p : {QPoint(2, 2), QPoint(kSize - 3, 2), QPoint(2, kSize - 3)})
        EXPECT_EQ(img.pixel(p) & 0xFFFFFF, background & 0xFFFFFF);

    const auto check = [&](const geo::Vec3& centre, auto dominant, const char* what) {
        const auto px = around(img, ProjectHalfTone(t, box, kSize, kSize, centre), 6);
        std::set<QRgb> shades;
        int best = 0;
        for (QRgb c : px) {
            EXPECT_NE(c & 0xFFFFFF, background & 0xFFFFFF) << what;
            EXPECT_TRUE(dominant(c)) << what << " " << std::hex << c;
            shades.insert(c);
            best = std::max({best, qRed(c), qGreen(c), qBlue(c)});
        }
        EXPECT_GT(best, kLitMargin + 40) << what << ": only ambient light";
        return shades.size();
    };
    // Red cube: red above green and blue on every face.
    check(
        {-2, 0, 0}, [](QRgb c) { return qRed(c) > qGreen(c) && qRed(c) > qBlue(c); }, "cube");
    // Emerald surface: green leads; the tilted plane is one shade per light, smooth across.
    check(
        {0, 0, 0.0}, [](QRgb c) { return qGreen(c) >= qRed(c) && qGreen(c) >= qBlue(c); },
        "surface");
    // The cylinder: no red in material 24, and its round side is shaded.
    const std::size_t shades = check(
        {2, 0, 0}, [](QRgb c) { return qRed(c) < qBlue(c) && qRed(c) < qGreen(c); }, "revolution");
    EXPECT_GT(shades, 3u);
}

TEST_F(GLBarTest, OutlinesLeaveTheFacesOpen) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 0; // black
    AddCube(env, -1, -1, -1, 2, 15);
    core::SceneHeader header{};
    ViewState view(header);
    view.setTurn(kInitialTurnHorizontal, kInitialTurnVertical);
    view.setZoom(80, 80, 80);
    HalfToneTransform t;
    HalfToneView(view, t);
    TGLBar bar;
    const QImage filled = render(bar, t);
    const QPoint centre(kSize / 2, kSize / 2);
    EXPECT_NE(filled.pixel(centre) & 0xFFFFFF, 0u);
    bar.setViewType(true);
    QApplication::processEvents();
    const QImage outlined = bar.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    int lit = 0;
    for (int x = 0; x < kSize; ++x)
        lit += (outlined.pixel(x, kSize / 2) & 0xFFFFFF) != 0 ? 1 : 0;
    EXPECT_GT(lit, 0);         // the edges are drawn
    EXPECT_LT(lit, kSize / 8); // the inside of the faces is not
}

TEST_F(GLBarTest, ShrinkingTheCountDropsTheLastLists) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 0;
    AddCube(env, -1, -1, -1, 2, 15);
    core::SceneHeader header{};
    ViewState view(header);
    view.setTurn(kInitialTurnHorizontal, kInitialTurnVertical);
    view.setZoom(80, 80, 80);
    HalfToneTransform t;
    HalfToneView(view, t);
    TGLBar bar;
    render(bar, t);
    bar.SetCountObjects(1); // the cube was list 2
    bar.update();
    QApplication::processEvents();
    const QImage img = bar.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(img.pixel(kSize / 2, kSize / 2) & 0xFFFFFF, 0u);
}

} // namespace
} // namespace vorn::pic

#ifdef VORN_WITH_RENDER_TOOL
namespace vorn::pic {
namespace {

// `v3dtool render --halftone` draws the same lit picture into a PNG.
TEST_F(GLBarTest, RenderToolWritesTheHalfTonePicture) {
    AddCube(env, -0.5, -0.5, -0.5, 1, 9);
    scene.header.zoomX = scene.header.zoomY = scene.header.zoomZ = 100;
    const std::vector<std::uint8_t> bytes = core::SerializeScene(scene);
    const std::string dir = ::testing::TempDir();
    const std::string in = dir + "/halftone_cube.v3d", out = dir + "/halftone_cube.png";
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::ostringstream o, e;
    ASSERT_EQ(tool::runRender({in, "-o", out, "--size", "300x200", "--halftone"}, o, e), 0)
        << e.str();
    const QImage img = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(300, 200));
    const QRgb centre = img.pixel(150, 100);
    EXPECT_GT(qRed(centre), qGreen(centre)); // the red cube, lit
    // The tool's own settings: background colour role 0 at its default, white.
    EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, qRgb(255, 255, 255) & 0xFFFFFF);
}

} // namespace
} // namespace vorn::pic
#endif
