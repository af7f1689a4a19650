// The selective-load dialog: a check list of the file's objects and two options.
#include "app/load_frm.h"

#include "app/language_walk.h"
#include "entry_dialogs/entry_widgets.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn::app {

TLoadFrm::TLoadFrm(QWidget* parent) : QDialog(parent) {
    setObjectName("LoadFrm");
    auto* label = new QLabel(QStringLiteral("Завантаження об'єктів:"), this);
    label->setObjectName("Label1");
    m_list = new QListWidget(this);
    m_list->setObjectName("ObjList");
    ExcludeFromLanguage(m_list); // the objects of the file being read
    m_osiInfo = new QCheckBox(QStringLiteral("параметри з файлу"), this);
    m_osiInfo->setObjectName("IsOsiInfo");
    m_osiInfo->setChecked(true);
    m_add = new QCheckBox(QStringLiteral("додати до вже створених"), this);
    m_add->setObjectName("IsAdd");

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(QStringLiteral("Завантажити"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkBtn");
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Скасувати"), QDialogButtonBox::RejectRole);
    cancel->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_osiInfo);
    layout->addWidget(m_add);
    layout->addWidget(buttons);
    resize(360, 400);
    entry::FocusFirstFieldOnShow(this);
}

void TLoadFrm::setSelection(const core::LoadSelection& selection) {
    setWindowTitle(QString::fromStdString(selection.caption));
    m_list->clear();
    for (std::size_t i = 0; i < selection.items.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(selection.items[i]), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = i < selection.checked.size() ? selection.checked[i] : true;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    m_osiInfo->setChecked(selection.osiInfo);
    m_add->setChecked(selection.add);
}

void TLoadFrm::takeSelection(core::LoadSelection& selection) const {
    selection.checked.assign(static_cast<std::size_t>(m_list->count()), false);
    for (int i = 0; i < m_list->count(); ++i)
        selection.checked[static_cast<std::size_t>(i)] =
            m_list->item(i)->checkState() == Qt::Checked;
    selection.osiInfo = m_osiInfo->isChecked();
    selection.add = m_add->isChecked();
}

} // namespace vorn::app
