// Wire-frame redraw at 1200 x 800 and half-tone frame at 800 x 600 of 19 polyhedra of 2000 faces.
// The half-tone part needs an OpenGL display (xvfb-run); without one it is skipped.
#include "core/quiet_host.h"
#include "core/scene.h"
#include "entry/object_builder.h"
#include "entry/transform.h"
#include "picture/gl_bar.h"
#include "view/halftone_scene.h"
#include "picture/picture_canvas.h"
#include "surfaces/surface_mesh.h"
#include "torus_scene.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include <benchmark/benchmark.h>

namespace {

using namespace vorn;

using core::QuietHost;

using bench::BenchScene;
using bench::kObjects;

// For comparison: 19 default surfaces (sin(x*y) over a disc) at full quality, 1800 faces each,
// moved apart; a surface's faces are drawn as closed outlines, not as polyhedron edges.
struct SurfaceScene {
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};

    SurfaceScene() {
        scene.object(core::kAxesSlot).color = settings.colorRgb(core::kColorAxes);
        expr::ExpressionEngine engine;
        for (int k = 0; k < kObjects; ++k) {
            const int slot = core::AppendObject(scene, core::ObjectType::Surface);
            core::SceneObject& o = scene.object(slot);
            if (!surf::BuildSurface(engine, o, 1.0))
                std::fprintf(stderr, "surface %d was not built\n", slot);
            entry::TranslateObject(o, {(k % 5) * 7.0 - 14, (k / 5) * 7.0 - 10.5, 0});
            entry::RefreshFacePlanes(o);
            o.color = core::kPalette[static_cast<std::size_t>(1 + k % 14)];
        }
    }
};

BenchScene& Scene() {
    static BenchScene* scene = [] {
        const auto start = std::chrono::steady_clock::now();
        auto* s = new BenchScene;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "scene: %d objects, %d faces in all, built in %.1f s\n", kObjects,
                     s->faces, took.count());
        return s;
    }();
    return *scene;
}

// The picture field after the first fit, as the program shows a loaded scene.
struct Picture {
    pic::PictureCanvas canvas;
    explicit Picture(core::Env& env, int width = 1200, int height = 800) : canvas(env) {
        canvas.resize(width, height);
        canvas.engine().setReady(true);
        canvas.redraw();
        canvas.view().setZoom(0, 0, 0);
        canvas.view().firstFit = true;
        canvas.engine().fit();
    }
};

// With VORN_BENCH_DUMP set to a folder, the pictures are saved there for a look.
void Dump(const QImage& image, const char* name) {
    const QString folder = qEnvironmentVariable("VORN_BENCH_DUMP");
    if (!folder.isEmpty()) image.save(folder + QLatin1Char('/') + QLatin1String(name));
}

// One frame of each benchmark, kept out of line so that callgrind can count exactly the frames:
// valgrind --tool=callgrind --toggle-collect='*Timed*' bench_picture --benchmark_filter=...
[[gnu::noinline]] pic::RedrawResult TimedRedraw(pic::PictureCanvas& canvas) {
    return canvas.redraw();
}
[[gnu::noinline]] pic::RedrawResult TimedInteractivePass(pic::PictureCanvas& canvas) {
    return canvas.interactivePass({600, 400});
}
[[gnu::noinline]] pic::RedrawResult TimedDisplayList(pic::WireFrame& engine) {
    pic::DisplayList list;
    const pic::RedrawResult r = engine.redraw(list);
    benchmark::DoNotOptimize(list.data());
    return r;
}
[[gnu::noinline]] void TimedPaint(QImage& image, const pic::DisplayList& list) {
    pic::PaintDisplayList(image, list);
}
[[gnu::noinline]] void TimedHalfTone(pic::HalfToneRenderer& renderer,
                                     const pic::HalfToneRenderer::Frame& frame) {
    renderer.redraw(frame);
}

// RedrawPicture: projection, axis and drawing passes into a display list, then painting it.
void BM_WireFrameRedraw(benchmark::State& state) {
    Picture p(Scene().env);
    for (auto _ : state)
        benchmark::DoNotOptimize(TimedRedraw(p.canvas));
    state.counters["primitives"] = double(p.canvas.lastPass().size());
    Dump(p.canvas.image(), "wire_frame.png");
}
BENCHMARK(BM_WireFrameRedraw)->Unit(benchmark::kMillisecond);

// A mouse move over the picture: nodes of every vertex drawn over the existing bitmap.
void BM_WireFrameInteractivePass(benchmark::State& state) {
    Picture p(Scene().env);
    p.canvas.redraw();
    for (auto _ : state)
        benchmark::DoNotOptimize(TimedInteractivePass(p.canvas));
    state.counters["primitives"] = double(p.canvas.lastPass().size());
}
BENCHMARK(BM_WireFrameInteractivePass)->Unit(benchmark::kMillisecond);

void BM_WireFrameRedrawSurfaces(benchmark::State& state) {
    static SurfaceScene* scene = new SurfaceScene;
    Picture p(scene->env);
    for (auto _ : state)
        benchmark::DoNotOptimize(TimedRedraw(p.canvas));
    state.counters["primitives"] = double(p.canvas.lastPass().size());
    Dump(p.canvas.image(), "wire_frame_surfaces.png");
}
BENCHMARK(BM_WireFrameRedrawSurfaces)->Unit(benchmark::kMillisecond);

// The engine's half: the display list alone.
void BM_WireFrameDisplayList(benchmark::State& state) {
    Picture p(Scene().env);
    for (auto _ : state)
        benchmark::DoNotOptimize(TimedDisplayList(p.canvas.engine()));
}
BENCHMARK(BM_WireFrameDisplayList)->Unit(benchmark::kMillisecond);

// The painter's half: replaying one display list into the bitmap.
void BM_WireFramePaint(benchmark::State& state) {
    Picture p(Scene().env);
    pic::DisplayList list;
    p.canvas.engine().redraw(list);
    QImage image = p.canvas.image();
    for (auto _ : state)
        TimedPaint(image, list);
    state.counters["primitives"] = double(list.size());
}
BENCHMARK(BM_WireFramePaint)->Unit(benchmark::kMillisecond);

// An OpenGL context on an offscreen surface drawing into an 800 x 600 framebuffer.
struct GLTarget {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
    QString why;

    GLTarget() {
        if (!pic::HalfToneOpenGLAvailable(&why)) return;
        surface.setFormat(pic::HalfToneFormat());
        surface.create();
        context.setFormat(pic::HalfToneFormat());
        if (!context.create() || !context.makeCurrent(&surface)) {
            why = QStringLiteral("no context");
            return;
        }
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::Depth);
        fbo = std::make_unique<QOpenGLFramebufferObject>(800, 600, format);
        if (!fbo->bind()) {
            fbo.reset();
            why = QStringLiteral("no framebuffer");
        }
    }
    ~GLTarget() {
        if (fbo) {
            fbo->release();
            fbo.reset();
        }
        context.doneCurrent();
    }
    bool ok() const { return fbo != nullptr; }
    std::string renderer() const {
        const auto* s = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return s ? s : "?";
    }
};

// One half-tone frame (draw and glFinish) after the lists were compiled once.
void BM_HalfToneFrame(benchmark::State& state) {
    BenchScene& s = Scene();
    GLTarget gl;
    if (!gl.ok()) {
        state.SkipWithError(("no OpenGL: " + gl.why.toStdString()).c_str());
        return;
    }
    expr::ExpressionEngine engine;
    pic::HalfToneScene ht = pic::BuildHalfToneScene(s.env, engine);
    pic::HalfToneRenderer renderer;
    renderer.initialize(ht.background);
    renderer.setCountObjects(ht.count);
    for (const pic::HalfToneList& list : ht.lists)
        renderer.compile(list);
    pic::TLight light0, light1;
    light0.setPosition(10, 10, -10);
    light1.setPosition(-10, -10, 10);
    Picture p(s.env, 800, 600);
    pic::HalfToneRenderer::Frame frame;
    frame.light0 = &light0;
    frame.light1 = &light1;
    pic::HalfToneView(p.canvas.view(), frame.transform);
    frame.box = ht.box;
    frame.width = 800;
    frame.height = 600;
    for (auto _ : state)
        TimedHalfTone(renderer, frame);
    state.SetLabel(gl.renderer());
    Dump(gl.fbo->toImage(), "half_tone.png");
}
// Real time, and the processor time of every thread: llvmpipe rasterises on its own threads.
BENCHMARK(BM_HalfToneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv) {
    // Bitmaps need no screen; OpenGL needs the display's driver (xvfb-run gives Mesa's llvmpipe).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Scene();
    // The font database is read at the first text drawn; no frame should pay for that.
    Picture(Scene().env).canvas.redraw();
    {
        GLTarget gl;
        std::fprintf(stderr, "GL_RENDERER: %s\n",
                     gl.ok() ? gl.renderer().c_str() : gl.why.toUtf8().constData());
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
