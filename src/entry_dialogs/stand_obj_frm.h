// TStandObjFrm: the seven school solids, each on its page with its textbook measures.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "surfaces/standard_objects.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
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
    // The page widget named `name`; the pages are built from tables, so widgets are found by
    // the names language files know them by.
    template <class W> W* child(const char* name) const;
    void watchField(QLineEdit* f);
    // The check box `name` enables the widgets named in `enables` ("R2|PTip2").
    void followSwitch(const char* name, const char* enables);
    void checkField(QLineEdit* f);
    void leaveField(QLineEdit* f);
    bool value(const QLineEdit* f, double& v);
    void parallelepipedLabels();

    core::Env& m_env;
    expr::ExpressionEngine m_engine;
    QTabWidget* m_pages;
    std::array<QLabel*, 3> m_parLabels{};
};

} // namespace vorn::entry
