// TCalcFrm: the calculator window — value of an expression, contour integral, double integral.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "geometry/vec3.h"
#include "surfaces/integrals.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace vorn::entry {
class Keypad;
}

namespace vorn::app {

// What the calculator asks of the polygon-drawing window: the caller's points in, the drawn
// points out. The range is set only when the points span a rectangle.
struct PolyDrawRequest {
    QString title;
    int capacity = 0;
    bool closed = false;
    QString axisLetters; // horizontal, vertical
    std::vector<QPointF> points;
    std::optional<double> xFrom, xTo, yFrom, yTo;
};
// Shows the drawing window; true when the user confirmed.
using PolyDrawer = std::function<bool(PolyDrawRequest&)>;

class TCalcFrm : public QWidget {
    Q_OBJECT
  public:
    enum Page { ExpressionPage = 0, ContourPage = 1, DoubleIntegralPage = 2 };
    enum Contour { GraphContour = 0, ParametricContour = 1, PolylineContour = 2 };
    static constexpr int kMaxRegionVertices = surf::kMaxRegionVertices;
    static constexpr int kMaxContourPoints = 1000;

    explicit TCalcFrm(core::Env& env, QWidget* parent = nullptr);
    ~TCalcFrm() override;

    // Commands 31..33: shows the window on page Tag - 31.
    void showPage(int page);
    // The drawing window of the two "Графічно >>>" buttons; without one they stay disabled.
    void setPolyDrawer(PolyDrawer drawer);

    // "Обчислити" on the current page.
    void calculate();
    // Refills the object lists from the scene (polylines, surfaces).
    void refillLists();

    QTabWidget* pages() const { return m_pages; }
    QLineEdit* resultBox() const { return m_result; }
    // The keypad button with this caption.
    QAbstractButton* key(const QString& caption) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildExpressionPage();
    QWidget* buildContourPage();
    QWidget* buildDoubleIntegralPage();
    QComboBox* expressionBox(const char* name, const char* text, int tag);
    void pageShown(int page);
    void checkField(QComboBox* box);
    void keypadPressed(const QString& caption);
    void addHistory(QComboBox* box);
    void error(int message);
    // The result box stands only beside the input that produced it.
    void clearResult();

    void calcExpression();
    void calcContour();
    void calcDoubleIntegral();
    // Value of a field with `letter` replaced by `value` (letter 0: none); none on an error.
    std::optional<long double> fieldValue(const QComboBox* box, char letter = 0,
                                          long double value = 0);
    bool contourPoints(std::vector<geo::Vec3>& points);
    void drawContour();
    void drawRegion();
    void surfaceChosen();
    void addRegionRow();

    core::Env& m_env;
    expr::ExpressionEngine m_engine;
    PolyDrawer m_drawer;

    QTabWidget* m_pages = nullptr;
    QComboBox* m_calcStr = nullptr;
    QRadioButton* m_typeZ = nullptr;
    QRadioButton* m_typeT = nullptr;
    QComboBox* m_calcIntCurve = nullptr;
    QTabWidget* m_conturType = nullptr;
    QComboBox *m_left1 = nullptr, *m_right1 = nullptr, *m_conturF1 = nullptr;
    QComboBox *m_left2 = nullptr, *m_right2 = nullptr, *m_conturF21 = nullptr,
              *m_conturF22 = nullptr;
    QListWidget* m_lineList = nullptr;
    QPushButton* m_curveByHand = nullptr;
    QListWidget* m_funcList = nullptr;
    QComboBox *m_funcX1 = nullptr, *m_funcX2 = nullptr, *m_funcY1 = nullptr, *m_funcY2 = nullptr;
    QTabWidget* m_qType = nullptr;
    QComboBox* m_qFunc = nullptr;
    QTableWidget* m_qGrid = nullptr;
    QPushButton *m_qBtn1 = nullptr, *m_qBtn2 = nullptr, *m_qBtn3 = nullptr, *m_bitBtn2 = nullptr;
    QPushButton* m_toCalc = nullptr;
    QLineEdit* m_result = nullptr;
    QComboBox* m_focused = nullptr; // the box the keypad edits
    entry::Keypad* m_keypad = nullptr;
    std::vector<QComboBox*> m_boxes;
    std::vector<QPointF> m_handPoints;
};

} // namespace vorn::app
