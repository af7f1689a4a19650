// TNetFrm: the net of the current solid: cutting and joining edges, glue tabs and marks,
// folding back, export and printing on paper at true scale.
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
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;

namespace vorn::app {

class FileDialogText;
class UserDialogs;

// The net drawn to fit; a click near an edge of the solid reports that edge. Once fitted the
// net keeps its place and size on the screen while it changes, as long as it stays in view.
class NetView : public QWidget {
  public:
    explicit NetView(QWidget* parent = nullptr);
    // `loose`: per face of the sheet, the piece cut loose. Without `clickable` no edge is picked.
    // `keepPlace`: the same scale and position as before, unless the sheet no longer fits.
    void setSheet(const nets::Sheet* sheet, std::vector<bool> loose, bool clickable,
                  bool keepPlace = false);
    void setFill(bool fill);
    // Scene units of the sheet to the widget's pixels.
    QTransform transform() const;
    // The edge of the solid drawn nearest to `p` within a few pixels, or -1.
    int edgeAt(QPointF p) const;
    // A point of the widget on a line of `edge` (its first line's middle), for a click on it.
    std::optional<QPointF> edgePoint(int edge) const;
    std::function<void(int edge)> edgeClicked;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void fit();
    bool fitsInView() const;
    pic::SheetLook look() const;
    const nets::Sheet* m_sheet = nullptr;
    std::vector<bool> m_loose;
    bool m_clickable = false;
    bool m_fill = true;
    int m_hot = -1;
    double m_scale = 1; // pixels per scene unit
    QPointF m_origin;   // where the scene's origin is drawn
};

// The net folded part of the way, as a wire frame with the vertices' letters, turned by
// dragging the mouse. Flat, it is seen square to its plane as in the net view; folding tips it
// a little so that the solid shows.
class FoldView : public QWidget {
  public:
    explicit FoldView(QWidget* parent = nullptr);
    // The faces' corners in space and their names (per face and corner, empty for none); the
    // view is fitted to a ball of `radius` about `centre`.
    void setFaces(std::vector<std::vector<geo::Vec3>> faces,
                  std::vector<std::vector<std::string>> names, geo::Vec3 centre, double radius);
    const std::vector<std::vector<geo::Vec3>>& faces() const { return m_faces; }
    // The plane the net lies flat in: `right` and `up` its directions on the screen, `toward`
    // the viewer (right, up, toward a right-handed frame).
    void setFrame(geo::Vec3 right, geo::Vec3 up, geo::Vec3 toward);
    // The tip of the view for a fold of `t` (0 flat .. 1 closed), on top of the user's turn.
    void setFold(double t);
    // A point in view coordinates: right, up and toward the viewer from the centre.
    geo::Vec3 toView(const geo::Vec3& v) const;
    // The letters drawn and where: one per point of space where corners of that name meet.
    std::vector<std::pair<QPointF, QString>> letters() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QPointF project(const geo::Vec3& v) const;
    std::vector<std::vector<geo::Vec3>> m_faces;
    std::vector<std::vector<std::string>> m_names;
    geo::Vec3 m_centre;
    double m_radius = 1;
    geo::Vec3 m_right{1, 0, 0}, m_up{0, 1, 0}, m_toward{0, 0, 1};
    double m_fold = 0;
    double m_yaw = 0, m_pitch = 0; // the user's turn, radians
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

    // A click on `edge`: cut or joined, or refused with the reason in the state line; an edge
    // number the solid does not have changes nothing.
    nets::EdgeToggle toggleEdge(int edge);
    // The export buttons and the print button; false when cancelled or not written.
    bool exportNet(bool pdf);
    bool printNet();

    bool round() const { return m_development.has_value(); }
    const nets::Solid& solid() const { return m_solid; }
    const nets::Net& net() const { return m_net; }
    const nets::Sheet& sheet() const { return m_sheet; }
    // How the net goes onto the chosen paper, as "Зберегти" writes it.
    const nets::PrintPlan& plan() const { return m_plan; }
    QString stateText() const;
    NetView* netView() const { return m_netView; }
    FoldView* foldView() const { return m_foldView; }
    QSlider* foldSlider() const { return m_fold; }
    QCheckBox* tabs() const { return m_tabs; }
    QCheckBox* glueMarks() const { return m_marks; }
    QCheckBox* unfilled() const { return m_unfilled; }
    QCheckBox* fitToPaper() const { return m_fit; }
    QComboBox* paperBox() const { return m_paper; }
    QComboBox* orientationBox() const { return m_orientation; }
    QDoubleSpinBox* mmPerUnit() const { return m_mmPerUnit; }

    // LanguageCaption: the title without the object's name.
    QString languageCaption() const override { return m_baseCaption; }
    void setLanguageCaption(const QString& caption) override;

  private:
    // `keepPlace`: the net stays where it is on the screen (a click, a change of the options).
    void rebuildSheet(bool keepPlace);
    void showState();
    void refold();
    // The preview's frame and fit for the net as it is now.
    void placeFold();
    // The net folded, or the development rolled up, by t (0 flat, 1 closed).
    std::vector<std::vector<geo::Vec3>> folded(double t) const;
    std::string overlapText() const;
    nets::Sheet sheetAt(double mmPerUnit) const;
    nets::Paper chosenPaper() const;
    // The plan for `paper`: fitted to it when "Вмістити на аркуш" is on, else at the scale.
    nets::PrintPlan planFor(const nets::Paper& paper) const;

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
    nets::PrintPlan m_plan;
    geo::Vec3 m_foldCentre;
    double m_foldRadius = 1;

    NetView* m_netView;
    FoldView* m_foldView;
    QLabel* m_hint;
    QLabel* m_state;
    QLabel* m_foldValue;
    QLabel* m_paperSize;
    QLabel* m_pageCount;
    QCheckBox* m_tabs;
    QCheckBox* m_marks;
    QCheckBox* m_unfilled;
    QCheckBox* m_fit;
    QComboBox* m_paper;
    QComboBox* m_orientation;
    QDoubleSpinBox* m_mmPerUnit;
    QSlider* m_fold;
    QPushButton* m_svg;
    QPushButton* m_pdf;
    QPushButton* m_print;
    FileDialogText* m_svgDialog;
    FileDialogText* m_pdfDialog;
};

} // namespace vorn::app
