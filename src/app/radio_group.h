// RadioGroup: a titled box of mutually exclusive choices, addressed by item index.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace vorn::app {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    // Item `defaultIndex` is chosen at first.
    RadioGroup(const QString& title, const QStringList& items, int defaultIndex,
               QWidget* parent = nullptr);

    int count() const;
    int defaultIndex() const { return m_defaultIndex; }
    QString itemText(int i) const;
    void setItemText(int i, const QString& text);
    // -1 when nothing is chosen.
    int itemIndex() const;
    void setItemIndex(int i);

  private:
    QButtonGroup* m_group;
    QList<QRadioButton*> m_buttons;
    int m_defaultIndex;
};

} // namespace vorn::app
