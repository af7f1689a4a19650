// TGLBar: the half-tone panel — OpenGL display lists of the scene, lit by two lights.
#pragma once

#include "view/halftone_scene.h"
#include "view/halftone_view.h"

#include <QOpenGLWidget>
#include <QString>
#include <QSurfaceFormat>

#include <map>
#include <vector>

namespace vorn::pic {

// The OpenGL calls of the panel on whatever context is current: the widget's own, or an
// offscreen one for `v3dtool render --halftone`. Needs a compatibility-profile context.
class HalfToneRenderer {
  public:
    // What one redraw uses besides the display lists.
    struct Frame {
        const TLight* light0 = nullptr;
        const TLight* light1 = nullptr;
        HalfToneTransform transform;
        SceneBox box;
        bool outlines = false;     // ViewType: polygons as outlines
        int width = 0, height = 0; // picture pixels, as the view's scales count them
        double pixelRatio = 1;     // device pixels per picture pixel
    };

    // Context set-up of the first redraw: depth test, two lights, smooth shading.
    void initialize(std::uint32_t background);
    bool initialized() const { return m_initialized; }
    void setClearColor(std::uint32_t background);
    // Deletes the lists count + 1 .. old count.
    void setCountObjects(int count);
    // Material of list i; lists never built keep material 0.
    Material material(int list) const;

    void beginList(int list, HtPrimitive primitive, const Material& material);
    void addNormal(const geo::Vec3& normal);
    void addVertex(const geo::Vec3& v);
    // Ends the open primitive and opens the next one of the same kind within the list.
    void restartPrimitive();
    void endList();
    // A whole list as the engine built it.
    void compile(const HalfToneList& list);

    void redraw(const Frame& frame);

  private:
    bool m_initialized = false;
    int m_count = 0;
    std::map<int, Material> m_materials;
    unsigned m_primitive = 0;
};

// The surface format the half-tone picture asks for: double-buffered RGBA with depth, in the
// compatibility profile that keeps display lists and fixed-function lighting.
QSurfaceFormat HalfToneFormat();

// Whether this process can get such a context; `why` says what failed. Never touches a widget:
// platforms without OpenGL crash when an OpenGL widget is created.
bool HalfToneOpenGLAvailable(QString* why = nullptr);

class TGLBar : public QOpenGLWidget {
    Q_OBJECT
  public:
    explicit TGLBar(QWidget* parent = nullptr);
    ~TGLBar() override;

    int CountObjects() const { return m_countObjects; }
    void SetCountObjects(int count);
    float SizeX() const { return m_transform.SizeX; }
    float SizeY() const { return m_transform.SizeY; }
    float SizeZ() const { return m_transform.SizeZ; }
    float RotateAlfa() const { return m_transform.RotateAlfa; }
    float RotateBeta() const { return m_transform.RotateBeta; }
    float RotateGama() const { return m_transform.RotateGama; }
    float MoveX() const { return m_transform.MoveX; }
    float MoveY() const { return m_transform.MoveY; }
    float MoveZ() const { return m_transform.MoveZ; }
    std::uint32_t Color() const { return m_color; }
    TLight& Lighting1() { return m_light1; }
    TLight& Lighting2() { return m_light2; }
    const HalfToneTransform& transform() const { return m_transform; }
    const SceneBox& box() const { return m_box; }

    // Scales, angles, translation and sequence at once, then a redraw.
    void setTransform(const HalfToneTransform& t);
    void setViewType(bool outlines);
    // Background colour (0x00BBGGRR); redraws.
    void SetColor(std::uint32_t color);
    void SetBox(const SceneBox& box);
    // Replaces every display list with those of `scene` (count, box, background, lists).
    void setScene(HalfToneScene scene);
    // The list data the panel holds, for readers that need no OpenGL.
    const std::vector<HalfToneList>& lists() const { return m_lists; }

    // Redraws now; ignored while a redraw runs.
    void Redraw();

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    void compilePending();

    HalfToneRenderer m_renderer;
    HalfToneTransform m_transform;
    SceneBox m_box;
    TLight m_light1, m_light2;
    std::uint32_t m_color = 0x808080;
    bool m_viewType = false;
    int m_countObjects = 0;
    std::vector<HalfToneList> m_lists;
    bool m_listsPending = false;
    bool m_painting = false;
};

} // namespace vorn::pic
