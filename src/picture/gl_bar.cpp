// TGLBar: the half-tone panel — OpenGL display lists of the scene, lit by two lights.
#include "picture/gl_bar.h"

#include "view/halftone_materials.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <cmath>
#include <cstring>

namespace vorn::pic {

namespace {

GLenum GlPrimitive(HtPrimitive p) {
    switch (p) {
    case HtPrimitive::Points:
        return GL_POINTS;
    case HtPrimitive::Lines:
        return GL_LINES;
    case HtPrimitive::LineStrip:
        return GL_LINE_STRIP;
    case HtPrimitive::Triangles:
        return GL_TRIANGLES;
    case HtPrimitive::QuadStrip:
        return GL_QUAD_STRIP;
    }
    return GL_TRIANGLES;
}

void SendLight(GLenum light, const TLight& l) {
    const auto ambient = l.AmbientColor().rgba();
    const auto diffuse = l.DiffuseColor().rgba();
    const auto specular = l.SpecularColor().rgba();
    const auto position = l.glPosition();
    glLightfv(light, GL_AMBIENT, ambient.data());
    glLightfv(light, GL_DIFFUSE, diffuse.data());
    glLightfv(light, GL_SPECULAR, specular.data());
    glLightfv(light, GL_POSITION, position.data());
}

void Rotate(const HalfToneTransform& t) {
    for (char letter : RotationSequenceName(t.sequence)) {
        if (letter == 'R')
            glRotatef(t.RotateAlfa, 1, 0, 0);
        else if (letter == 'P')
            glRotatef(t.RotateBeta, 0, 1, 0);
        else
            glRotatef(t.RotateGama, 0, 0, 1);
    }
}

} // namespace

// ---- renderer -------------------------------------------------------------------------------

void HalfToneRenderer::initialize(std::uint32_t background) {
    setClearColor(background);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    // The model view scales by the zoom (about 100 pixels per unit), which shrinks every normal
    // by as much; without renormalising the lights would hardly reach the faces.
    glEnable(GL_NORMALIZE);
    m_initialized = true;
    setCountObjects(0);
}

void HalfToneRenderer::setClearColor(std::uint32_t c) {
    glClearColor(float(c & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f,
                 float((c >> 16) & 0xFF) / 255.0f, 1.0f);
}

void HalfToneRenderer::setCountObjects(int count) {
    if (count < m_count) glDeleteLists(GLuint(count + 1), GLsizei(m_count - count));
    m_count = count;
}

Material HalfToneRenderer::material(int list) const {
    const auto it = m_materials.find(list);
    return it == m_materials.end() ? Materials()[0] : it->second;
}

void HalfToneRenderer::beginList(int list, HtPrimitive primitive, const Material& material) {
    m_materials[list] = material;
    glDeleteLists(GLuint(list), 1);
    glNewList(GLuint(list), GL_COMPILE);
    m_primitive = GlPrimitive(primitive);
    glBegin(m_primitive);
}

void HalfToneRenderer::addNormal(const geo::Vec3& n) {
    glNormal3d(n.x, n.y, n.z);
}

void HalfToneRenderer::addVertex(const geo::Vec3& v) {
    glVertex3d(v.x, v.y, v.z);
}

void HalfToneRenderer::restartPrimitive() {
    glEnd();
    glBegin(m_primitive);
}

void HalfToneRenderer::endList() {
    glEnd();
    glEndList();
}

void HalfToneRenderer::compile(const HalfToneList& list) {
    if (list.blocks.empty()) return;
    beginList(list.number, list.blocks.front().primitive, list.material);
    for (std::size_t b = 0; b < list.blocks.size(); ++b) {
        const HtBlock& block = list.blocks[b];
        if (b > 0) restartPrimitive();
        const std::size_t per = static_cast<std::size_t>(std::max(block.verticesPerNormal, 1));
        for (std::size_t v = 0; v < block.vertices.size(); ++v) {
            if (v % per == 0 && v / per < block.normals.size()) addNormal(block.normals[v / per]);
            addVertex(block.vertices[v]);
        }
    }
    endList();
}

void HalfToneRenderer::redraw(const Frame& f) {
    // The model view first, so that the lights are placed in the scene's frame; sending them
    // before it would light each new view with the previous view's rotation.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The picture's box (left width/2, right -width/2, near d, far -d) is a half turn about the
    // vertical that leaves the viewer looking from -z, but lighting takes the viewer to look from
    // +z and put highlights on the faces turned away. The half turn is made here instead, where
    // normals and lights take it too, with the plain box below: the same pixels and depths.
    glScalef(-f.transform.SizeX, f.transform.SizeY, -f.transform.SizeZ);
    Rotate(f.transform);
    glTranslatef(f.transform.MoveX, f.transform.MoveY, f.transform.MoveZ);
    if (f.light0) SendLight(GL_LIGHT0, *f.light0);
    if (f.light1) SendLight(GL_LIGHT1, *f.light1);

    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The materials' alpha is 0; kept out of the picture, the cleared alpha of 1 stays, or the
    // composed window would show the objects as holes.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    // The whole device surface, with the scene laid out in picture pixels: a screen of finer
    // pixels shows the same picture, drawn finer.
    const double ratio = f.pixelRatio > 0 ? f.pixelRatio : 1;
    glViewport(0, 0, static_cast<GLsizei>(std::lround(f.width * ratio)),
               static_cast<GLsizei>(std::lround(f.height * ratio)));
    const HalfToneLines lines = HalfToneLinesFor(ratio);
    glLineWidth(lines.width);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(lines.offsetFactor, lines.offsetUnits);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double d = DepthRange(f.box, f.transform);
    glOrtho(-f.width / 2.0, f.width / 2.0, -f.height / 2.0, f.height / 2.0, -d, d);

    glPolygonMode(GL_FRONT_AND_BACK, f.outlines ? GL_LINE : GL_FILL);

    glMatrixMode(GL_MODELVIEW);
    for (int i = 1; i <= m_count; ++i) {
        const Material m = material(i);
        const float ambient[4] = {m.ambient[0], m.ambient[1], m.ambient[2], 0};
        const float diffuse[4] = {m.diffuse[0], m.diffuse[1], m.diffuse[2], 0};
        const float specular[4] = {m.specular[0], m.specular[1], m.specular[2], 0};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
        glCallList(GLuint(i));
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFinish();
}

// ---- availability ---------------------------------------------------------------------------

QSurfaceFormat HalfToneFormat() {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    f.setAlphaBufferSize(8);
    f.setDepthBufferSize(24);
    return f;
}

bool HalfToneOpenGLAvailable(QString* why) {
    const auto fail = [why](const char* text) {
        if (why) *why = QString::fromUtf8(text);
        return false;
    };
    if (!QGuiApplication::instance()) return fail("no application");
    const QString platform = QGuiApplication::platformName();
    // These platforms have no OpenGL; an OpenGL widget there brings the program down.
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return fail("the window system has no OpenGL");
    QOffscreenSurface surface;
    surface.setFormat(HalfToneFormat());
    surface.create();
    if (!surface.isValid()) return fail("no OpenGL surface");
    QOpenGLContext context;
    context.setFormat(HalfToneFormat());
    if (!context.create()) return fail("no OpenGL context");
    if (!context.makeCurrent(&surface)) return fail("the OpenGL context cannot be made current");
    const bool core = context.format().profile() == QSurfaceFormat::CoreProfile;
    const bool gles = context.isOpenGLES();
    context.doneCurrent();
    if (core || gles) return fail("no compatibility-profile OpenGL");
    return true;
}

// ---- panel ----------------------------------------------------------------------------------

TGLBar::TGLBar(QWidget* parent) : QOpenGLWidget(parent) {
    setObjectName(QStringLiteral("GLBar1"));
    setFormat(HalfToneFormat());
    m_light1.setPosition(10, 10, -10);
    m_light2.setPosition(-10, -10, 10);
    for (TLight* l : {&m_light1, &m_light2})
        l->setOnChange([this] { update(); });
}

TGLBar::~TGLBar() {
    for (TLight* l : {&m_light1, &m_light2})
        l->setOnChange({});
}

void TGLBar::SetCountObjects(int count) {
    m_countObjects = std::max(count, 0);
    if (context()) {
        makeCurrent();
        if (m_renderer.initialized()) m_renderer.setCountObjects(m_countObjects);
        doneCurrent();
    }
}

void TGLBar::setTransform(const HalfToneTransform& t) {
    m_transform = t;
    Redraw();
}

void TGLBar::setViewType(bool outlines) {
    m_viewType = outlines;
    Redraw();
}

void TGLBar::SetColor(std::uint32_t color) {
    m_color = color & 0xFFFFFF;
    if (context() && m_renderer.initialized()) {
        makeCurrent();
        m_renderer.setClearColor(m_color);
        doneCurrent();
    }
    Redraw();
}

void TGLBar::SetBox(const SceneBox& box) {
    m_box = box;
}

void TGLBar::setScene(HalfToneScene scene) {
    SetBox(scene.box);
    SetColor(scene.background);
    SetCountObjects(0);
    SetCountObjects(scene.count);
    m_lists = std::move(scene.lists);
    m_listsPending = true;
    Redraw();
}

void TGLBar::Redraw() {
    if (m_painting) return;
    update();
}

void TGLBar::initializeGL() {
    m_renderer.initialize(m_color);
    m_listsPending = true;
}

void TGLBar::compilePending() {
    if (!m_listsPending) return;
    m_listsPending = false;
    m_renderer.setCountObjects(0);
    m_renderer.setCountObjects(m_countObjects);
    for (const HalfToneList& list : m_lists)
        m_renderer.compile(list);
}

void TGLBar::paintGL() {
    if (m_painting) return;
    m_painting = true;
    compilePending();
    HalfToneRenderer::Frame frame;
    frame.light0 = &m_light1;
    frame.light1 = &m_light2;
    frame.transform = m_transform;
    frame.box = m_box;
    frame.outlines = m_viewType;
    frame.width = width();
    frame.height = height();
    frame.pixelRatio = devicePixelRatioF();
    m_renderer.redraw(frame);
    m_painting = false;
}

} // namespace vorn::pic
