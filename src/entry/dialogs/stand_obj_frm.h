// TStandObjFrm: the seven school solids, each on its page with its textbook measures.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "surfaces/standard_objects.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace vorn::entry {

class TStandObjFrm : public QDialog {
    Q_OBJECT
  public:
    explicit TStandObjFrm(core::Env& env, QWidget* parent = nullptr);

    // Tag of the current page, 1..7.
    int pageTag() const;
    void setPageTag(int tag);
    QString pageCaption() const;
    // The measures of the current page; false when one is no number.
    bool measures(surf::StandardMeasures& out);
    // True when an enabled field of the current page is red.
    bool hasRedField() const;

  protected:
    void accept() override; // "Створити"

  private:
    QLineEdit* measureField(const char* name, const char* value, QWidget* parent,
                            bool checked = true);
    QComboBox* tipBox(const char* name, const QStringList& items, QWidget* parent);
    void checkField(QLineEdit* f);
    void leaveField(QLineEdit* f);
    bool value(const QLineEdit* f, double& v);
    void parallelepipedLabels();

    core::Env& m_env;
    expr::ExpressionEngine m_engine;
    QTabWidget* m_pages;

    // Pyramid.
    QSpinBox* m_cutCount;
    QCheckBox* m_isCuted;
    QLineEdit *m_r1, *m_r2, *m_h1;
    QComboBox *m_pTip1, *m_pTip2, *m_hTip1;
    // Prism.
    QSpinBox* m_cutCount2;
    QLineEdit *m_par2, *m_par1;
    QComboBox *m_par2Tip, *m_par1Tip;
    // Cone.
    QCheckBox* m_isCuted2;
    QLineEdit *m_r3, *m_r4, *m_h2;
    QComboBox *m_p2Tip1, *m_p2Tip2, *m_h2Tip;
    // Cylinder.
    QLineEdit *m_r5, *m_h3;
    QComboBox *m_p5Tip, *m_h3Tip;
    // Ball.
    QLineEdit *m_rad0, *m_kcx, *m_kcy, *m_kcz;
    QComboBox* m_cTip;
    // Parallelepiped.
    QComboBox *m_parTip2, *m_parTip1;
    QLineEdit *m_par2E1, *m_par2E2, *m_par2E3, *m_par1E;
    std::array<QLabel*, 3> m_parLabels{};
    // Cube.
    QLineEdit* m_par7E;
    QComboBox* m_par7Tip;
};

} // namespace vorn::entry
