// TModFrm: "Операції над об'єктом", moving, turning and deforming the target object by numbers.
#pragma once

#include "core/scene.h"
#include "entry/transform.h"
#include "expr/expression_engine.h"

#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QPushButton;
class QTabWidget;

namespace vorn::app {

class SceneSteps;

class TModFrm : public QWidget {
    Q_OBJECT
  public:
    TModFrm(core::Env& env, QWidget* parent);

    // Runs after "Виконати" changed the target: characteristics, half-tone and picture.
    void setAfterApply(std::function<void()> after) { m_afterApply = std::move(after); }
    // Each "Виконати" that changes the target is one undo step.
    void setSteps(SceneSteps* steps) { m_steps = steps; }

    // Command "Перетворення об'єктів": shows the window on the current object.
    void open();
    // The selection of the object list changed: the target follows; with no user object left
    // the window hides.
    void refresh();
    int target() const { return m_target; }

    // Page 1..3 shown.
    void setPage(int page);
    int page() const;
    // "Виконати" on the shown page; false when nothing changed.
    bool execute();

    QComboBox* field(const char* name) const;
    QComboBox* axisBox() const { return m_rotOsi; }
    QPushButton* okButton() const { return m_ok; }
    // Field exit: the evaluated value replaces a valid text, which joins the field's history.
    void fieldLeft(QComboBox* field);

  protected:
    bool event(QEvent* event) override;

  private:
    QComboBox* addField(QWidget* page, const char* name, const QString& label, const char* text);
    void fieldChanged(QComboBox* field);
    bool valueOf(const QComboBox* field, double& value);

    core::Env& m_env;
    expr::ExpressionEngine m_engine;
    int m_target = -1;
    QTabWidget* m_pages;
    QComboBox* m_rotOsi = nullptr;
    QPushButton* m_ok;
    std::function<void()> m_afterApply;
    SceneSteps* m_steps = nullptr;
};

} // namespace vorn::app
