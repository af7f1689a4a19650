// TPirEnter: the object entry dialog, one page per kind, checked live through the entry buffer.
#pragma once

#include "core/scene.h"
#include "entry/object_builder.h"
#include "expr/expression_engine.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace vorn::entry {

class ColorGrid;
class EntryCombo;
class EntryGrid;
class Keypad;
class RevolutionPreview;
class TQPolyFrm;

// Codes of the message line: message 45 + code.
namespace entry_error {
inline constexpr int None = 0, BadSymbol = 1, BadNumber = 2, BadExpression = 3, BadData = 4,
                     BadFaces = 5, NotClosed = 6, BadRegion = 7, Missing = 8, NotConvex = 9,
                     FewVertices = 10;
}

class TPirEnter : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxParts = 20;
    static constexpr int kKeypadLimit = 20;
    // A polygon region holds what its record stores; the grid and the drawing window both take
    // that many vertices.
    static constexpr int kMaxRegionPoints = core::kMaxPartPoints;

    // A record just set up for its kind takes the values this dialog offers a new object: the
    // plane's three points, the range and functions of a surface of revolution.
    static void SetNewObjectDefaults(core::SceneObject& o);

    explicit TPirEnter(core::Env& env, QWidget* parent = nullptr);
    ~TPirEnter() override;
    void setPolyFrm(TQPolyFrm* frm) { m_polyFrm = frm; }

    // Opens the dialog on `slot` (2 and up); true when it was confirmed and the object built.
    // Silent: the object is rebuilt from its stored definition without showing anything.
    bool EditObject(int slot, bool silent);

    // Fills the dialog for `slot` as EditObject does before showing it.
    void load(int slot);
    // The whole-dialog check: reads the shown page into the entry buffer.
    void CheckEntry();
    int entryError() const { return m_entryError; }
    QString message() const;
    // The values the builder takes from the controls.
    EntryValues values() const;
    core::ObjectType type() const { return m_type; }
    int partCount() const { return m_partCount; }

  protected:
    void accept() override; // "Виконати"

  private:
    void buildCommon();
    QWidget* buildPointPage();
    QWidget* buildPolylinePage();
    QWidget* buildPlanePage();
    QWidget* buildPolyhedronPage();
    QWidget* buildSurfacePage();
    QWidget* buildRevolutionPage();
    EntryCombo* numberField(const char* name, int tag, QWidget* parent);
    // Points of a polyline generatrix: the curve point limit, within what the record stores.
    int curveCapacity() const;
    void wireField(EntryCombo* f);

    // Filling from the entry buffer.
    void fillPage();
    void fillPolylineGrid();
    void fillPolyhedron();
    void fillFaceList(int keep);
    void showPart(int k);
    // A polygon of a part, as its record keeps it.
    void fillPartGrid(EntryGrid* grid, const core::ObjectPart& part);
    void refreshPartList();
    QString partCaption(int k) const;

    // Live checks.
    void fieldEdited(EntryCombo* f);
    void fieldLeft(EntryCombo* f);
    void changed(); // any edit other than a field: the code starts again at 0
    int checkFieldText(const EntryCombo* f);
    bool readField(const EntryCombo* f, double& v) const;
    void readPoint();
    void readPolyline();
    void readPlane();
    void readPolyhedron();
    void readSurface();
    void readRevolution();
    void previewStep();

    // Page commands.
    void polylineModeChanged();
    void planeModeChanged();
    void rotTypeChanged(bool rename);
    void axesCountChanged(int n);
    void ploskCountChanged(int n);
    void faceChosen();
    void topChanged();
    void formConvexFaces();
    void addPart();
    void deletePart();
    void regionKindChanged(int page);
    void drawRegion();
    void drawCurve();
    void gridChanged(EntryGrid* grid);
    void keypadPressed(const QString& key);

    core::SceneObject& entry();
    const core::SceneObject& entry() const;
    std::string msg(int index) const { return m_env.msg(index); }

    core::Env& m_env;
    expr::ExpressionEngine m_engine;
    TQPolyFrm* m_polyFrm = nullptr;
    int m_slot = 0;
    core::ObjectType m_type = core::ObjectType::Point;
    int m_entryError = 0;
    bool m_filling = false;
    EntryCombo* m_lastField = nullptr;
    int m_part = 1, m_partCount = 1;

    // Common controls.
    QTabWidget* m_pages = nullptr;
    std::array<int, core::kObjectTypeCount> m_pageIndex{};
    QLineEdit* m_name = nullptr;
    ColorGrid* m_color = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_errorMsg = nullptr;
    Keypad* m_keypad = nullptr;

    // Point.
    EntryCombo *m_psX = nullptr, *m_psY = nullptr, *m_psZ = nullptr;
    // Polyline.
    QComboBox* m_lineCheck = nullptr;
    QCheckBox* m_locked = nullptr;
    QLabel* m_lineTitle = nullptr;
    EntryGrid* m_lineGrid = nullptr;
    // Plane.
    QComboBox* m_ploskCheck = nullptr;
    std::array<EntryCombo*, 9> m_pl{};
    std::array<QLabel*, 9> m_plLabel{};
    EntryCombo* m_plD = nullptr;
    QLabel* m_plDLabel = nullptr;
    // Polyhedron.
    EntryGrid* m_objectGrid = nullptr;
    QSpinBox *m_axesCount = nullptr, *m_ploskCount = nullptr;
    QListWidget* m_ploskList = nullptr;
    std::array<QComboBox*, 3> m_top{};
    QPushButton* m_toMakeObj = nullptr;
    // Surface.
    EntryCombo* m_textFunc = nullptr;
    EntryCombo *m_funcX1 = nullptr, *m_funcX2 = nullptr, *m_funcY1 = nullptr, *m_funcY2 = nullptr;
    QListWidget* m_qList = nullptr;
    QTabWidget* m_qType = nullptr;
    EntryCombo* m_qFunc = nullptr;
    EntryGrid* m_qGrid = nullptr;
    // Surface of revolution.
    QComboBox *m_rotType = nullptr, *m_oRot = nullptr;
    EntryCombo *m_func1 = nullptr, *m_func2 = nullptr;
    QLabel *m_func1Label = nullptr, *m_func2Label = nullptr;
    EntryCombo *m_leftA = nullptr, *m_rightA = nullptr;
    QLabel *m_leftLabel = nullptr, *m_rightLabel = nullptr;
    QWidget *m_funcBox = nullptr, *m_curveBox = nullptr;
    EntryGrid* m_curveGrid = nullptr;
    EntryCombo *m_nX = nullptr, *m_nY = nullptr, *m_nZ = nullptr;
    RevolutionPreview* m_preview = nullptr;
};

} // namespace vorn::entry
