// The face list window: entries from the engine's face list, marks and their area sum.
#include "app/check_frm.h"

#include "entry_dialogs/entry_widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vorn::app {

namespace {
constexpr int kListExtent = 550;
}

TCheckFrm::TCheckFrm(core::Env& env, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_env(env) {
    setObjectName("CheckFrm");
    setWindowTitle(QStringLiteral("Перелік граней об'єкта"));
    m_list = new QListWidget(this);
    m_list->setObjectName("CGr");
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setMinimumWidth(300);

    auto* status = new QWidget(this);
    status->setObjectName("StatusPanel");
    auto* caption = new QLabel(QStringLiteral(" Площа відмічених:"), status);
    caption->setObjectName("TotalCaption");
    m_total = new QLabel(QStringLiteral("0"), status);
    m_total->setObjectName("TotalPl");
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(caption);
    statusLayout->addWidget(m_total, 1);

    auto* buttons = new QHBoxLayout;
    const char* captions[] = {"&Відмітити всі", "&Зняти відмітки", "&Інвертувати відмітки"};
    for (int t = 1; t <= 3; ++t) {
        auto* b = new QPushButton(QString::fromUtf8(captions[t - 1]), this);
        b->setObjectName(QStringLiteral("Button%1").arg(t));
        b->setProperty("Tag", t);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, t] { markCommand(t); });
        buttons->addWidget(b);
    }
    m_onTop = new QCheckBox(QStringLiteral("Завжди зверху"), this);
    m_onTop->setObjectName("AlwaysOnTop");
    m_onTop->setChecked(true);
    connect(m_onTop, &QCheckBox::toggled, this, &TCheckFrm::setAlwaysOnTop);
    buttons->addWidget(m_onTop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(status);
    layout->addLayout(buttons);
    resize(560, 300);
    entry::FocusFirstFieldOnShow(this);

    connect(m_list, &QListWidget::itemChanged, this, [this] {
        if (!m_filling) marksChanged();
    });
}

void TCheckFrm::open() {
    show();
    raise();
    refresh();
}

void TCheckFrm::refresh() {
    const core::Scene& scene = m_env.scene;
    const int slot = scene.currentObject;
    const bool polyhedron =
        scene.isUserSlot(slot) && scene.object(slot).type == core::ObjectType::Polyhedron;
    if (isVisible() && !polyhedron) {
        hide();
        return;
    }
    // A hidden window is filled when it is opened again.
    if (!isVisible() || !polyhedron) return;
    m_slot = slot;
    setWindowTitle(QString::fromStdString(poly::FaceListCaption(m_env, slot)));
    m_filling = true;
    m_list->clear();
    m_faces = poly::BuildFaceList(m_env, slot);
    int widest = 0;
    for (std::size_t k = 0; k < m_faces.size(); ++k) {
        const QString text = QString::fromStdString(
            poly::FaceListItemText(m_env, slot, m_faces[k], static_cast<int>(k) + 1));
        auto* item = new QListWidgetItem(text, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_faces[k].marked ? Qt::Checked : Qt::Unchecked);
        widest = std::max(widest, m_list->fontMetrics().horizontalAdvance(text));
    }
    m_list->setMinimumWidth(std::min(kListExtent, widest + 40));
    m_filling = false;
    m_total->setText(QString::fromStdString(poly::MarkedAreaText(m_env, m_faces)));
}

QString TCheckFrm::total() const {
    return m_total->text();
}

void TCheckFrm::markCommand(int tag) {
    m_filling = true;
    for (int k = 0; k < m_list->count(); ++k) {
        QListWidgetItem* item = m_list->item(k);
        const bool on = tag == 1 ? true : (tag == 2 ? false : item->checkState() != Qt::Checked);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
    marksChanged();
}

void TCheckFrm::marksChanged() {
    for (int k = 0; k < m_list->count() && k < static_cast<int>(m_faces.size()); ++k)
        m_faces[static_cast<std::size_t>(k)].marked = m_list->item(k)->checkState() == Qt::Checked;
    m_total->setText(QString::fromStdString(poly::MarkedAreaText(m_env, m_faces)));
    if (m_redraw) m_redraw();
}

void TCheckFrm::setAlwaysOnTop(bool on) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) show(); // changing the flags hides a window
}

bool TCheckFrm::event(QEvent* event) {
    // The main window's Esc command also fires in its tool windows; here Esc closes this one.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TCheckFrm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vorn::app
