// The half-tone panel on a real OpenGL context: lit, shaded objects where they project.
#include "env_fixture.h"
#include "fake_host.h"
#include "halftone_scenes.h"

#include "picture/gl_bar.h"
#include "view/halftone_materials.h"
#include "view/halftone_scene.h"
#include "view/halftone_view.h"
#include "view/view_state.h"

#include <QApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

struct GLBarTest : ::testing::Test, vorn::test::EnvFixture {
    void SetUp() override {
        QString why;
        if (!HalfToneOpenGLAvailable(&why))
            GTEST_SKIP() << "no OpenGL context: " << why.toStdString();
    }

    expr::ExpressionEngine engine;

    // The half-tone transform of the first view at a scale.
    static HalfToneTransform InitialView(float zoom) {
        core::SceneHeader header{};
        ViewState view(header);
        view.setTurn(kInitialTurnHorizontal, kInitialTurnVertical);
        view.setZoom(zoom, zoom, zoom);
        HalfToneTransform t;
        HalfToneView(view, t);
        return t;
    }

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
    AddRevolution(scene, "0.6", 1.5, 2.5, 0, 12, {0, 0, 0});  // blue
    ASSERT_EQ(scene.object(cube).faceCount, 12);

    const HalfToneTransform t = InitialView(60);

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
    // The blue cylinder: blue leads, and its round side is shaded.
    const std::size_t shades = check(
        {2, 0, 0}, [](QRgb c) { return qBlue(c) > qRed(c) && qBlue(c) > qGreen(c); }, "revolution");
    EXPECT_GT(shades, 3u);
}

// What the panel's lights give a face of this material: the global ambient of 0.2 and, from
// each white light, its ambient, the diffuse share of the angle and, when the face is lit, the
// highlight of the half-way vector towards the viewer.
QRgb LitColour(const Material& m, const geo::Vec3& outward, const geo::Vec3& toViewer,
               std::initializer_list<geo::Vec3> lights) {
    const auto unit = [](const geo::Vec3& v) { return v * (1 / std::sqrt(geo::dot(v, v))); };
    const geo::Vec3 n = unit(outward);
    double c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = m.ambient[k] * (0.2 + 2.0);
    for (const geo::Vec3& towardLight : lights) {
        const geo::Vec3 l = unit(towardLight);
        const double diffuse = geo::dot(n, l);
        if (diffuse <= 0) continue;
        const double highlight =
            std::pow(std::max(0.0, geo::dot(n, unit(l + unit(toViewer)))), m.shininess);
        for (int k = 0; k < 3; ++k)
            c[k] += m.diffuse[k] * diffuse + m.specular[k] * highlight;
    }
    const auto level = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return qRgb(level(c[0]), level(c[1]), level(c[2]));
}

geo::Vec3 Towards(const TLight& l) {
    const auto p = l.glPosition();
    return {p[0], p[1], p[2]};
}

class RegularSolidShades : public GLBarTest,
                           public ::testing::WithParamInterface<test::RegularSolid> {};

// Seen from outside, every face shows the light of its angle to the two lights, whichever way
// the corners of its record run.
TEST_P(RegularSolidShades, EveryFaceFacingTheViewerShowsTheLightOfItsAngle) {
    constexpr int kShadeTol = 3; // channel levels of the rasteriser's rounding
    settings.IsOsi = false;
    const int slot = test::AddSolid(env, GetParam().vertices, 7);
    const HalfToneTransform t = InitialView(90);
    TGLBar bar;
    const QImage img = render(bar, t);
    const SceneBox box = bar.box();
    // Towards the viewer: where the depth falls fastest.
    const auto depth = [&](geo::Vec3 p) { return ProjectHalfTone(t, box, kSize, kSize, p).depth; };
    const geo::Vec3 toViewer{depth({0, 0, 0}) - depth({1, 0, 0}),
                             depth({0, 0, 0}) - depth({0, 1, 0}),
                             depth({0, 0, 0}) - depth({0, 0, 1})};
    const Material material = MaterialForColor(core::kPalette[7]);
    const core::SceneObject& o = scene.object(slot);
    int seen = 0;
    for (int f = 1; f <= o.faceCount; ++f) {
        const core::Vec3f &a = o.vertex(o.face(f).vertex1), &b = o.vertex(o.face(f).vertex2),
                          &c = o.vertex(o.face(f).vertex3);
        const geo::Vec3 p(a.x, a.y, a.z), q(b.x, b.y, b.z), r(c.x, c.y, c.z);
        geo::Vec3 outward = geo::cross(q - p, r - p);
        if (geo::dot(outward, p + q + r) < 0) outward = outward * -1;
        // Faces seen at a slant only: an edge-on sliver has no pixel of its own.
        if (geo::dot(outward, toViewer) <
            0.3 * std::sqrt(geo::dot(outward, outward) * geo::dot(toViewer, toViewer)))
            continue;
        ++seen;
        const HalfTonePixel at = ProjectHalfTone(t, box, kSize, kSize, (p + q + r) * (1.0 / 3));
        const QRgb got = img.pixel(int(at.x), int(at.y));
        const QRgb want = LitColour(material, outward, toViewer,
                                    {Towards(bar.Lighting1()), Towards(bar.Lighting2())});
        for (int shift : {16, 8, 0}) // red, green, blue
            EXPECT_NEAR(int(got >> shift) & 0xFF, int(want >> shift) & 0xFF, kShadeTol)
                << GetParam().name << " face " << f << std::hex << " got " << got << " want "
                << want;
    }
    EXPECT_GT(seen, 0);
}

INSTANTIATE_TEST_SUITE_P(Solids, RegularSolidShades, ::testing::ValuesIn(test::RegularSolids()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GLBarTest, OutlinesLeaveTheFacesOpen) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 0; // black
    AddCube(env, -1, -1, -1, 2, 15);
    const HalfToneTransform t = InitialView(80);
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

// The half-tone picture laid out on kSize x kSize picture pixels and drawn into a surface of
// `ratio` device pixels per picture pixel; null without a context.
QImage RenderAt(core::Env& env, expr::ExpressionEngine& engine, const HalfToneTransform& t,
                int ratio) {
    QOffscreenSurface surface;
    surface.setFormat(HalfToneFormat());
    surface.create();
    QOpenGLContext context;
    context.setFormat(HalfToneFormat());
    if (!context.create() || !context.makeCurrent(&surface)) return {};
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    QOpenGLFramebufferObject fbo(kSize * ratio, kSize * ratio, format);
    if (!fbo.bind()) return {};
    const HalfToneScene scene = BuildHalfToneScene(env, engine);
    HalfToneRenderer renderer;
    renderer.initialize(scene.background);
    renderer.setCountObjects(scene.count);
    for (const HalfToneList& list : scene.lists)
        renderer.compile(list);
    TLight light;
    HalfToneRenderer::Frame frame;
    frame.light0 = &light;
    frame.transform = t;
    frame.box = scene.box;
    frame.width = frame.height = kSize;
    frame.pixelRatio = ratio;
    renderer.redraw(frame);
    const QImage img = fbo.toImage().convertToFormat(QImage::Format_RGB32);
    context.doneCurrent();
    return img;
}

// Pixels other than black of the cube's half-tone picture at `ratio`.
int CoveredPixels(core::Env& env, expr::ExpressionEngine& engine, const HalfToneTransform& t,
                  int ratio) {
    const QImage img = RenderAt(env, engine, t, ratio);
    if (img.isNull()) return -1;
    int covered = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            covered += (img.pixel(x, y) & 0xFFFFFF) != 0;
    return covered;
}

// A screen of finer pixels shows the same picture, not a smaller one: twice the pixels across
// give the cube four times the pixels.
TEST_F(GLBarTest, FinerPixelsShowTheSamePicture) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 0; // black
    AddCube(env, -1, -1, -1, 2, 15);
    const HalfToneTransform t = InitialView(60);
    const int one = CoveredPixels(env, engine, t, 1), two = CoveredPixels(env, engine, t, 2);
    ASSERT_GT(one, 1000);
    EXPECT_NEAR(two, 4.0 * one, 0.03 * 4 * one);
}

// A section's contour lies on the solid's faces. It is as wide as every line, one picture pixel
// on any screen, and the face it lies on does not cover the half beside the face's nearer side.
TEST_F(GLBarTest, ALineOnAFaceKeepsItsWidth) {
    settings.IsOsi = false;
    AddCube(env, -1, -1, -1, 2, 15); // white
    const HalfToneTransform t = InitialView(60);
    const SceneBox box = HalfToneSceneBox(scene);
    // The middle of the face turned most toward the viewer, and a black line across it.
    geo::Vec3 middle, along;
    double nearest = 2;
    for (int k = 0; k < 3; ++k)
        for (const double side : {-1.0, 1.0}) {
            double c[3] = {0, 0, 0}, u[3] = {0, 0, 0};
            c[k] = side;
            u[(k + 1) % 3] = 0.8;
            const geo::Vec3 centre(c[0], c[1], c[2]);
            const double depth = ProjectHalfTone(t, box, kSize, kSize, centre).depth;
            if (depth >= nearest) continue;
            nearest = depth;
            middle = centre;
            along = {u[0], u[1], u[2]};
        }
    const int line = core::AppendObject(scene, core::ObjectType::Polyline);
    core::SceneObject& o = scene.object(line);
    o.vertexCount = 2;
    const geo::Vec3 ends[2] = {middle - along, middle + along};
    for (int i = 0; i < 2; ++i)
        o.vertex(i + 1) = {float(ends[i].x), float(ends[i].y), float(ends[i].z)};
    o.faceCount = 1;
    o.face(1).vertex1 = 1;
    o.face(1).vertex2 = o.face(1).vertex3 = 2;
    o.colorIndex = 0;
    o.color = core::kPalette[0];
    const HalfTonePixel a = ProjectHalfTone(t, box, kSize, kSize, ends[0]),
                        b = ProjectHalfTone(t, box, kSize, kSize, ends[1]);
    // Runs across the line along its minor axis, where an aliased line of width w has w pixels.
    const bool flat = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    for (const int ratio : {1, 2}) {
        SCOPED_TRACE(ratio);
        const QImage img = RenderAt(env, engine, t, ratio);
        ASSERT_FALSE(img.isNull());
        int pixels = 0, runs = 0;
        for (double s = 0.3; s <= 0.7; s += 0.05, ++runs) {
            const double x = (a.x + s * (b.x - a.x)) * ratio, y = (a.y + s * (b.y - a.y)) * ratio;
            for (int d = -6 * ratio; d <= 6 * ratio; ++d) {
                const QRgb p = flat ? img.pixel(int(x), int(y) + d) : img.pixel(int(x) + d, int(y));
                pixels += qGray(p) < 40;
            }
        }
        EXPECT_NEAR(double(pixels) / runs, ratio, 0.25);
    }
}

TEST_F(GLBarTest, ShrinkingTheCountDropsTheLastLists) {
    settings.IsOsi = false;
    settings.colors[core::kColorBackground] = 0;
    AddCube(env, -1, -1, -1, 2, 15);
    const HalfToneTransform t = InitialView(80);
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
