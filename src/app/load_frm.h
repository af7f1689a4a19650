// TLoadFrm: the choice of objects, view parameters and adding in a selective load.
#pragma once

#include "core/host.h"

#include <QDialog>

class QCheckBox;
class QListWidget;

namespace vorn::app {

class TLoadFrm : public QDialog {
    Q_OBJECT
  public:
    explicit TLoadFrm(QWidget* parent = nullptr);

    // Fills the dialog from `selection`.
    void setSelection(const core::LoadSelection& selection);
    // Copies the user's marks and check boxes back.
    void takeSelection(core::LoadSelection& selection) const;

    QListWidget* list() const { return m_list; }
    QCheckBox* osiInfo() const { return m_osiInfo; }
    QCheckBox* add() const { return m_add; }

  private:
    QListWidget* m_list;
    QCheckBox* m_osiInfo;
    QCheckBox* m_add;
};

} // namespace vorn::app
