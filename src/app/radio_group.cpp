// The radio group's buttons and its chosen index.
#include "app/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vorn::app {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int defaultIndex,
                       QWidget* parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)), m_defaultIndex(defaultIndex) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        // Unnamed: the group's items are translated under the group's own keys.
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        m_buttons << button;
        layout->addWidget(button);
    }
    setItemIndex(defaultIndex);
}

int RadioGroup::count() const {
    return static_cast<int>(m_buttons.size());
}

QString RadioGroup::itemText(int i) const {
    return m_buttons.value(i) ? m_buttons[i]->text() : QString();
}

void RadioGroup::setItemText(int i, const QString& text) {
    if (QRadioButton* b = m_buttons.value(i)) b->setText(text);
}

int RadioGroup::itemIndex() const {
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int i) {
    if (QRadioButton* b = m_buttons.value(i)) {
        b->setChecked(true);
    } else if (QAbstractButton* current = m_group->checkedButton()) {
        m_group->setExclusive(false);
        current->setChecked(false);
        m_group->setExclusive(true);
    }
}

} // namespace vorn::app
