// TNetFrm: the net of the current solid: cutting and joining edges, glue tabs, folding back,
// export and printing at true scale.
#pragma once

#include "app/language_walk.h"
#include "core/scene.h"
#include "nets/net.h"
#include "picture/net_painter.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;

namespace vorn::app {

class FileDialogText;
class UserDialogs;

// The net drawn to fit; a click near an edge of the solid reports that edge.
class NetView : public QWidget {
  public:
    explicit NetView(QWidget* parent = nullptr);
    // `loose`: per face of the sheet, the piece cut loose. Without `clickable` no edge is picked.
    void setSheet(const nets::Sheet* sheet, std::vector<bool> loose, bool clickable);
    // The edge of the solid drawn nearest to `p` within a few pixels, or -1.
    int edgeAt(QPointF p) const;
    // A point of the widget on a line of `edge` (its first line's middle), for a click on it.
    std::optional<QPointF> edgePoint(int edge) const;
    std::function<void(int edge)> edgeClicked;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    pic::SheetLook look() const;
    const nets::Sheet* m_sheet = nullptr;
    std::vector<bool> m_loose;
    bool m_clickable = false;
    int m_hot = -1;
};

// The net folded part of the way, as a wire frame turned by dragging the mouse.
class FoldView : public QWidget {
  public:
    explicit FoldView(QWidget* parent = nullptr);
    // The faces' corners in space; the view is fitted to a ball of `radius` about `centre`.
    void setFaces(std::vector<std::vector<geo::Vec3>> faces, geo::Vec3 centre, double radius);
    const std::vector<std::vector<geo::Vec3>>& faces() const { return m_faces; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::vector<std::vector<geo::Vec3>> m_faces;
    geo::Vec3 m_centre;
    double m_radius = 1;
    double m_yaw = 0.7, m_pitch = 0.45; // radians
    QPoint m_last;
};

class TNetFrm : public QDialog, public LanguageCaption {
    Q_OBJECT
  public:
    // `dialogs` gives the window's file dialogs and printer dialog at the time of asking.
    TNetFrm(core::Env& env, std::function<UserDialogs&()> dialogs, QWidget* parent = nullptr);

    // A convex polyhedron or a straight round solid: something with a net.
    static bool CanUnfold(const core::SceneObject& o);
    // Shows the net of the object in `slot` and reports its area; false (nothing shown) when the
    // object has none.
    bool open(int slot);

    // A click on `edge`: cut or joined, or refused with the reason in the state line.
    nets::EdgeToggle toggleEdge(int edge);
    // The export buttons and the print button; false when cancelled or not written.
    bool exportNet(bool pdf);
    bool printNet();

    bool round() const { return m_development.has_value(); }
    const nets::Solid& solid() const { return m_solid; }
    const nets::Net& net() const { return m_net; }
    const nets::Sheet& sheet() const { return m_sheet; }
    QString stateText() const;
    NetView* netView() const { return m_netView; }
    FoldView* foldView() const { return m_foldView; }
    QSlider* foldSlider() const { return m_fold; }
    QCheckBox* tabs() const { return m_tabs; }
    QDoubleSpinBox* mmPerUnit() const { return m_mmPerUnit; }

    // LanguageCaption: the title without the object's name.
    QString languageCaption() const override { return m_baseCaption; }
    void setLanguageCaption(const QString& caption) override;

  private:
    void rebuildSheet();
    void showState();
    void refold();
    // The net folded, or the development rolled up, by t (0 flat, 1 closed).
    std::vector<std::vector<geo::Vec3>> folded(double t) const;
    std::string overlapText() const;
    nets::SheetOptions sheetOptions() const;

    core::Env& m_env;
    std::function<UserDialogs&()> m_dialogs;
    QString m_baseCaption;
    QString m_objectName;
    int m_slot = -1;
    std::vector<std::string> m_vertexNames;
    nets::Solid m_solid;
    nets::Net m_net;
    std::optional<nets::Development> m_development;
    nets::Sheet m_sheet;
    geo::Vec3 m_foldCentre;
    double m_foldRadius = 1;

    NetView* m_netView;
    FoldView* m_foldView;
    QLabel* m_hint;
    QLabel* m_state;
    QLabel* m_foldValue;
    QCheckBox* m_tabs;
    QDoubleSpinBox* m_mmPerUnit;
    QSlider* m_fold;
    QPushButton* m_svg;
    QPushButton* m_pdf;
    QPushButton* m_print;
    FileDialogText* m_svgDialog;
    FileDialogText* m_pdfDialog;
};

} // namespace vorn::app
