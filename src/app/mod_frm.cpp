// The numeric transformation window: three pages of fields checked while they are typed.
#include "app/mod_frm.h"

#include "app/scene_steps.h"
#include "core/format.h"
#include "entry_dialogs/entry_widgets.h"
#include "lang/message_ids.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vorn::app {

namespace {

void SetFieldColor(QComboBox* field, bool valid) {
    QPalette p = field->palette();
    p.setColor(QPalette::Text, valid ? Qt::black : Qt::red);
    field->setPalette(p);
    if (field->lineEdit()) field->lineEdit()->setPalette(p);
}

// Upper case of the letters a..z only, as typed expressions use them.
QString UpperLatin(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = c.toUpper();
    return out;
}

} // namespace

TModFrm::TModFrm(core::Env& env, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_env(env) {
    setObjectName("ModFrm");
    setWindowTitle(QStringLiteral("Операції над об'єктом"));
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControl1");

    auto* move = new QWidget;
    move->setObjectName("TabSheet1");
    move->setProperty("Tag", 1);
    auto* moveLayout = new QFormLayout(move);
    auto* moveTitle = new QLabel(QStringLiteral("Вектор перенесення:"), move);
    moveTitle->setObjectName("Label1");
    moveLayout->addRow(moveTitle);
    addField(move, "PsX", QStringLiteral("a="), "0");
    addField(move, "PsY", QStringLiteral("b="), "0");
    addField(move, "PsZ", QStringLiteral("c="), "0");
    m_pages->addTab(move, QStringLiteral("Паралельне перенесення"));

    auto* turn = new QWidget;
    turn->setObjectName("TabSheet2");
    turn->setProperty("Tag", 2);
    auto* turnLayout = new QFormLayout(turn);
    m_rotOsi = new QComboBox(turn);
    m_rotOsi->setObjectName("RotOsi");
    m_rotOsi->addItems({QStringLiteral("Ox"), QStringLiteral("Oy"), QStringLiteral("Oz")});
    m_rotOsi->setCurrentIndex(0);
    auto* axisLabel = new QLabel(QStringLiteral("Навколо осі: "), turn);
    axisLabel->setObjectName("Label5");
    turnLayout->addRow(axisLabel, m_rotOsi);
    addField(turn, "RotCut", QStringLiteral("Кут повороту (у градусах):"), "1");
    m_pages->addTab(turn, QStringLiteral("Поворот"));

    auto* deform = new QWidget;
    deform->setObjectName("TabSheet3");
    deform->setProperty("Tag", 3);
    auto* deformLayout = new QFormLayout(deform);
    auto* deformTitle = new QLabel(QStringLiteral("Коефіцієнти деформації вздовж осей:"), deform);
    deformTitle->setObjectName("Label7");
    deformLayout->addRow(deformTitle);
    addField(deform, "ZoomTx", QStringLiteral("Ox:"), "1");
    addField(deform, "ZoomTy", QStringLiteral("Oy:"), "1");
    addField(deform, "ZoomTz", QStringLiteral("Oz:"), "1");
    m_pages->addTab(deform, QStringLiteral("Деформація"));

    m_ok = new QPushButton(QStringLiteral("Виконати"), this);
    m_ok->setObjectName("OkButton");
    connect(m_ok, &QPushButton::clicked, this, [this] { execute(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_ok);
    setMinimumWidth(420);
    entry::FocusFirstFieldOnShow(this);
}

QComboBox* TModFrm::addField(QWidget* page, const char* name, const QString& label,
                             const char* text) {
    auto* field = new QComboBox(page);
    field->setObjectName(name);
    field->setEditable(true);
    field->setInsertPolicy(QComboBox::NoInsert);
    field->setEditText(QString::fromLatin1(text));
    auto* caption = new QLabel(label, page);
    caption->setObjectName(QStringLiteral("L_") + QString::fromLatin1(name));
    static_cast<QFormLayout*>(page->layout())->addRow(caption, field);
    connect(field, &QComboBox::editTextChanged, this, [this, field] { fieldChanged(field); });
    connect(field->lineEdit(), &QLineEdit::editingFinished, this,
            [this, field] { fieldLeft(field); });
    return field;
}

QComboBox* TModFrm::field(const char* name) const {
    return findChild<QComboBox*>(QString::fromLatin1(name));
}

bool TModFrm::valueOf(const QComboBox* field, double& value) {
    const std::string text = field->currentText().toStdString();
    if (field->currentText().trimmed().isEmpty()) return false;
    const expr::Evaluation e = m_engine.Evaluate(text);
    if (!e.ok()) return false;
    value = static_cast<double>(e.value);
    return true;
}

void TModFrm::fieldChanged(QComboBox* field) {
    // Only malformed texts count as invalid while typing; a value fault waits for the exit.
    bool valid = !field->currentText().trimmed().isEmpty();
    if (valid) valid = m_engine.Evaluate(field->currentText().toStdString()).code <= 0;
    SetFieldColor(field, valid);
    m_ok->setEnabled(valid);
}

void TModFrm::fieldLeft(QComboBox* field) {
    double value = 0;
    if (!valueOf(field, value)) return;
    const QString upper = UpperLatin(field->currentText());
    if (field->findText(upper) < 0) field->insertItem(0, upper);
    const QSignalBlocker block(field);
    field->setEditText(QString::fromStdString(core::FormatNumber(true, value)));
}

void TModFrm::open() {
    refresh();
    show();
    raise();
}

void TModFrm::refresh() {
    m_target = m_env.scene.currentObject;
    if (isVisible() && m_env.scene.objectCount() <= 1) hide();
}

bool TModFrm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) m_target = m_env.scene.currentObject;
    return QWidget::event(event);
}

void TModFrm::setPage(int page) {
    m_pages->setCurrentIndex(page - 1);
}

int TModFrm::page() const {
    return m_pages->currentIndex() + 1;
}

bool TModFrm::execute() {
    entry::OperationValues values;
    const auto page = static_cast<entry::ObjectOperation>(this->page());
    const auto read = [this](const char* name, double& v) {
        QComboBox* f = field(name);
        fieldLeft(f);
        if (valueOf(f, v)) return true;
        m_env.host.showMessage(core::BoxKind::Error, m_env.msg(lang::msg::kBadNumberOrExpression));
        return false;
    };
    bool ok = true;
    switch (page) {
    case entry::ObjectOperation::Translate:
        ok = read("PsX", values.shift[0]) && read("PsY", values.shift[1]) &&
             read("PsZ", values.shift[2]);
        break;
    case entry::ObjectOperation::Rotate:
        values.axis = m_rotOsi->currentIndex() + 1;
        ok = read("RotCut", values.degrees);
        break;
    case entry::ObjectOperation::Deform:
        ok = read("ZoomTx", values.factors[0]) && read("ZoomTy", values.factors[1]) &&
             read("ZoomTz", values.factors[2]);
        break;
    }
    if (!ok) return false;
    if (!m_env.scene.isUserSlot(m_target)) {
        m_env.host.showMessage(core::BoxKind::Error, m_env.msg(lang::msg::kSelectObjectFirst));
        return false;
    }
    const SceneSteps::Step step(m_steps, history::StepKind::Transform, m_target);
    if (!entry::ApplyObjectOperation(m_env, m_target, page, values)) return false;
    if (m_afterApply) m_afterApply();
    return true;
}

} // namespace vorn::app
