// The standard-objects dialog: pages, live red/black checking and reading the measures.
#include "entry/dialogs/stand_obj_frm.h"

#include "core/format.h"
#include "entry/dialogs/entry_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace vorn::entry {

namespace {

constexpr int kMsgBadParameter = 15;
constexpr int kParallelepipedLabels = 33; // three labels per base choice

// Leaving a field is seen through its focus.
class LeaveWatcher : public QObject {
  public:
    LeaveWatcher(QLineEdit* edit, std::function<void()> onLeave)
        : QObject(edit), m_onLeave(std::move(onLeave)) {
        edit->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusOut) m_onLeave();
        return false;
    }

  private:
    std::function<void()> m_onLeave;
};

const QStringList kPolygonTips = {QStringLiteral("Радіус опис. кола"),
                                  QStringLiteral("Радіус впис. кола"), QStringLiteral("Сторона"),
                                  QStringLiteral("Площа")};
const QStringList kCircleTips = {QStringLiteral("Радіус"), QStringLiteral("Довжина"),
                                 QStringLiteral("Площа")};

QWidget* newPage(const char* name, int tag) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    page->setProperty("Tag", tag);
    return page;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

QSpinBox* spin(const char* name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(3, 100);
    s->setValue(3);
    return s;
}

} // namespace

QLineEdit* TStandObjFrm::measureField(const char* name, const char* text, QWidget* parent,
                                      bool checked) {
    auto* f = new QLineEdit(QString::fromLatin1(text), parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setProperty("red", false);
    if (checked) {
        connect(f, &QLineEdit::textChanged, this, [this, f] { checkField(f); });
        new LeaveWatcher(f, [this, f] { leaveField(f); });
    }
    return f;
}

QComboBox* TStandObjFrm::tipBox(const char* name, const QStringList& items, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    return c;
}

TStandObjFrm::TStandObjFrm(core::Env& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("StandObjFrm"));
    setWindowTitle(QStringLiteral("Задання базових просторових об'єктів"));
    setModal(true);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));

    // 1: regular pyramid.
    QWidget* p = newPage("TabSheet1", 1);
    auto* g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Вершин в основі:"), p), 0, 0);
    m_cutCount = spin("CutCount", p);
    g->addWidget(m_cutCount, 0, 1);
    m_isCuted = new QCheckBox(QStringLiteral("Зрізана"), p);
    m_isCuted->setObjectName(QStringLiteral("IsCuted"));
    g->addWidget(m_isCuted, 0, 2);
    g->addWidget(label(QStringLiteral("Нижня основа:"), p), 1, 0);
    m_pTip1 = tipBox("PTip1", kPolygonTips, p);
    g->addWidget(m_pTip1, 1, 1);
    m_r1 = measureField("R1", "3", p);
    g->addWidget(m_r1, 1, 2);
    g->addWidget(label(QStringLiteral("Верхня основа:"), p), 2, 0);
    m_pTip2 = tipBox("PTip2", kPolygonTips, p);
    g->addWidget(m_pTip2, 2, 1);
    m_r2 = measureField("R2", "2", p);
    g->addWidget(m_r2, 2, 2);
    m_hTip1 = tipBox("HTip1", {QStringLiteral("Висота"), QStringLiteral("Бічне ребро")}, p);
    g->addWidget(m_hTip1, 3, 1);
    m_h1 = measureField("H1", "4", p);
    g->addWidget(m_h1, 3, 2);
    g->setRowStretch(4, 1);
    m_pages->addTab(p, QStringLiteral("Правильна піраміда"));
    auto truncated = [this] {
        m_r2->setEnabled(m_isCuted->isChecked());
        m_pTip2->setEnabled(m_isCuted->isChecked());
    };
    connect(m_isCuted, &QCheckBox::toggled, this, truncated);
    truncated();

    // 2: regular prism.
    p = newPage("TabSheet2", 2);
    g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Вершин в основі:"), p), 0, 0);
    m_cutCount2 = spin("CutCount2", p);
    g->addWidget(m_cutCount2, 0, 1);
    g->addWidget(label(QStringLiteral("Задання основ:"), p), 1, 0);
    m_par2Tip = tipBox("Par2Tip", kPolygonTips, p);
    g->addWidget(m_par2Tip, 1, 1);
    m_par2 = measureField("Par2", "3", p);
    g->addWidget(m_par2, 1, 2);
    m_par1Tip = tipBox("Par1Tip", {QStringLiteral("Висота"), QStringLiteral("Об'єм")}, p);
    g->addWidget(m_par1Tip, 2, 1);
    m_par1 = measureField("Par1", "4", p);
    g->addWidget(m_par1, 2, 2);
    g->setRowStretch(3, 1);
    m_pages->addTab(p, QStringLiteral("Правильна призма"));

    // 3: cone.
    p = newPage("TabSheet3", 3);
    g = new QGridLayout(p);
    m_isCuted2 = new QCheckBox(QStringLiteral("Зрізаний"), p);
    m_isCuted2->setObjectName(QStringLiteral("IsCuted2"));
    g->addWidget(m_isCuted2, 0, 0);
    g->addWidget(label(QStringLiteral("Нижня основа:"), p), 1, 0);
    m_p2Tip1 = tipBox("P2Tip1", kCircleTips, p);
    g->addWidget(m_p2Tip1, 1, 1);
    m_r3 = measureField("R3", "3", p);
    g->addWidget(m_r3, 1, 2);
    g->addWidget(label(QStringLiteral("Верхня основа:"), p), 2, 0);
    m_p2Tip2 = tipBox("P2Tip2", kCircleTips, p);
    g->addWidget(m_p2Tip2, 2, 1);
    m_r4 = measureField("R4", "2", p);
    g->addWidget(m_r4, 2, 2);
    m_h2Tip = tipBox("H2Tip", {QStringLiteral("Висота"), QStringLiteral("Твірна")}, p);
    g->addWidget(m_h2Tip, 3, 1);
    m_h2 = measureField("H2", "4", p);
    g->addWidget(m_h2, 3, 2);
    g->setRowStretch(4, 1);
    m_pages->addTab(p, QStringLiteral("Конус"));
    auto truncatedCone = [this] {
        m_r4->setEnabled(m_isCuted2->isChecked());
        m_p2Tip2->setEnabled(m_isCuted2->isChecked());
    };
    connect(m_isCuted2, &QCheckBox::toggled, this, truncatedCone);
    truncatedCone();

    // 4: cylinder.
    p = newPage("TabSheet4", 4);
    g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Основа:"), p), 0, 0);
    m_p5Tip = tipBox("P5Tip", kCircleTips, p);
    g->addWidget(m_p5Tip, 0, 1);
    m_r5 = measureField("R5", "3", p);
    g->addWidget(m_r5, 0, 2);
    m_h3Tip = tipBox("H3Tip", {QStringLiteral("Висота"), QStringLiteral("Об'єм")}, p);
    g->addWidget(m_h3Tip, 1, 1);
    m_h3 = measureField("H3", "4", p);
    g->addWidget(m_h3, 1, 2);
    g->setRowStretch(2, 1);
    m_pages->addTab(p, QStringLiteral("Циліндр"));

    // 5: ball.
    p = newPage("TabSheet5", 5);
    g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Спосіб задання кулі:"), p), 0, 0);
    m_cTip = tipBox(
        "CTip",
        {QStringLiteral("Радіус"), QStringLiteral("Об'єм"), QStringLiteral("Площа поверхні")}, p);
    g->addWidget(m_cTip, 0, 1);
    m_rad0 = measureField("Rad0", "2", p);
    g->addWidget(m_rad0, 0, 2);
    g->addWidget(label(QStringLiteral("Координати центра:"), p), 1, 0);
    auto* centre = new QHBoxLayout;
    m_kcx = measureField("KCx", "0", p, false);
    m_kcy = measureField("KCy", "0", p, false);
    m_kcz = measureField("KCz", "0", p, false);
    for (QLineEdit* e : {m_kcx, m_kcy, m_kcz})
        centre->addWidget(e);
    g->addLayout(centre, 1, 1, 1, 2);
    g->setRowStretch(2, 1);
    m_pages->addTab(p, QStringLiteral("Куля"));

    // 6: right parallelepiped.
    p = newPage("TabSheet6", 6);
    g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Основа:"), p), 0, 0);
    m_parTip2 = tipBox("ParTip2",
                       {QStringLiteral("Дві сторони та кут між ними"),
                        QStringLiteral("Cторона, прилеглий кут та площа"),
                        QStringLiteral("Cторона, прилеглий кут та висота до неї"),
                        QStringLiteral("Дві діагоналі та кут між ними")},
                       p);
    g->addWidget(m_parTip2, 0, 1, 1, 2);
    m_par2E1 = measureField("Par2E1", "2", p);
    m_par2E2 = measureField("Par2E2", "2", p);
    m_par2E3 = measureField("Par2E3", "30", p);
    const char* labelNames[3] = {"ParLabel1", "ParLabel2", "ParLabel3"};
    QLineEdit* baseFields[3] = {m_par2E1, m_par2E2, m_par2E3};
    for (int k = 0; k < 3; ++k) {
        m_parLabels[k] = label({}, p);
        m_parLabels[k]->setObjectName(QString::fromLatin1(labelNames[k]));
        g->addWidget(m_parLabels[k], 1 + k, 0);
        g->addWidget(baseFields[k], 1 + k, 1);
    }
    m_parTip1 = tipBox("ParTip1", {QStringLiteral("Висота"), QStringLiteral("Об'єм")}, p);
    g->addWidget(m_parTip1, 4, 0);
    m_par1E = measureField("Par1E", "4", p);
    g->addWidget(m_par1E, 4, 1);
    g->setRowStretch(5, 1);
    m_pages->addTab(p, QStringLiteral("Прямий паралелепіпед"));
    connect(m_parTip2, &QComboBox::currentIndexChanged, this, &TStandObjFrm::parallelepipedLabels);
    parallelepipedLabels();

    // 7: cube.
    p = newPage("TabSheet7", 7);
    g = new QGridLayout(p);
    g->addWidget(label(QStringLiteral("Спосіб задання куба:"), p), 0, 0);
    m_par7Tip =
        tipBox("Par7tip",
               {QStringLiteral("Ребро"), QStringLiteral("Діагональ"), QStringLiteral("Об'єм")}, p);
    g->addWidget(m_par7Tip, 0, 1);
    m_par7E = measureField("Par7E", "4", p);
    g->addWidget(m_par7E, 0, 2);
    g->setRowStretch(1, 1);
    m_pages->addTab(p, QStringLiteral("Куб"));

    auto* ok = new QPushButton(QStringLiteral("Створити"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Скасувати"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TStandObjFrm::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    // Wide enough for all seven page captions.
    setMinimumWidth(m_pages->tabBar()->sizeHint().width() + 40);
    layout->addLayout(buttons);
    entry::NameCaptions(this);
}

void TStandObjFrm::parallelepipedLabels() {
    const int base = kParallelepipedLabels + 3 * m_parTip2->currentIndex();
    for (int k = 0; k < 3; ++k)
        m_parLabels[k]->setText(QString::fromStdString(m_env.msg(base + k)));
}

int TStandObjFrm::pageTag() const {
    return m_pages->currentWidget()->property("Tag").toInt();
}

void TStandObjFrm::setPageTag(int tag) {
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->widget(i)->property("Tag").toInt() == tag) m_pages->setCurrentIndex(i);
}

QString TStandObjFrm::pageCaption() const {
    return m_pages->tabText(m_pages->currentIndex());
}

void TStandObjFrm::checkField(QLineEdit* f) {
    const long double v = m_engine.EvaluateExpression(f->text().toStdString());
    const bool red = m_engine.CalcError > 0 || !(v > 0);
    f->setProperty("red", red);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Text, red ? Qt::red : palette().color(QPalette::WindowText));
    f->setPalette(pal);
}

void TStandObjFrm::leaveField(QLineEdit* f) {
    const long double v = m_engine.EvaluateExpression(f->text().toStdString());
    if (m_engine.CalcError != expr::kCalcOk) return;
    // The value as the record's single precision holds it.
    const QString text = QString::fromStdString(core::FormatNumber(true, static_cast<float>(v)));
    if (text != f->text()) f->setText(text);
}

bool TStandObjFrm::hasRedField() const {
    for (const QLineEdit* f : m_pages->currentWidget()->findChildren<QLineEdit*>())
        if (f->isEnabled() && f->property("red").toBool()) return true;
    return false;
}

void TStandObjFrm::accept() {
    if (hasRedField()) {
        m_env.host.showMessage(core::BoxKind::Error, m_env.msg(kMsgBadParameter));
        return;
    }
    QDialog::accept();
}

bool TStandObjFrm::value(const QLineEdit* f, double& v) {
    const long double d = m_engine.EvaluateExpression(f->text().toStdString());
    if (m_engine.CalcError != expr::kCalcOk || f->text().trimmed().isEmpty()) return false;
    v = static_cast<double>(d);
    return true;
}

bool TStandObjFrm::measures(surf::StandardMeasures& out) {
    bool ok = true;
    auto read = [&](const QLineEdit* f, double& v) { ok = value(f, v) && ok; };
    switch (pageTag()) {
    case 1: {
        surf::PyramidMeasures m;
        m.n = m_cutCount->value();
        m.truncated = m_isCuted->isChecked();
        read(m_r1, m.lower);
        if (m.truncated) read(m_r2, m.upper);
        m.lowerBy = static_cast<surf::PolygonBase>(m_pTip1->currentIndex());
        m.upperBy = static_cast<surf::PolygonBase>(m_pTip2->currentIndex());
        read(m_h1, m.height);
        m.heightIsLateralEdge = m_hTip1->currentIndex() == 1;
        out = m;
        break;
    }
    case 2: {
        surf::PrismMeasures m;
        m.n = m_cutCount2->value();
        read(m_par2, m.base);
        m.baseBy = static_cast<surf::PolygonBase>(m_par2Tip->currentIndex());
        read(m_par1, m.height);
        m.heightIsVolume = m_par1Tip->currentIndex() == 1;
        out = m;
        break;
    }
    case 3: {
        surf::ConeMeasures m;
        m.truncated = m_isCuted2->isChecked();
        read(m_r3, m.lower);
        if (m.truncated) read(m_r4, m.upper);
        m.lowerBy = static_cast<surf::CircleBase>(m_p2Tip1->currentIndex());
        m.upperBy = static_cast<surf::CircleBase>(m_p2Tip2->currentIndex());
        read(m_h2, m.height);
        m.heightIsSlant = m_h2Tip->currentIndex() == 1;
        out = m;
        break;
    }
    case 4: {
        surf::CylinderMeasures m;
        read(m_r5, m.base);
        m.baseBy = static_cast<surf::CircleBase>(m_p5Tip->currentIndex());
        read(m_h3, m.height);
        m.heightIsVolume = m_h3Tip->currentIndex() == 1;
        out = m;
        break;
    }
    case 5: {
        surf::BallMeasures m;
        read(m_rad0, m.value);
        m.by = static_cast<surf::BallBy>(m_cTip->currentIndex());
        read(m_kcx, m.cx);
        read(m_kcy, m.cy);
        read(m_kcz, m.cz);
        out = m;
        break;
    }
    case 6: {
        surf::ParallelepipedMeasures m;
        m.baseBy = m_parTip2->currentIndex();
        read(m_par2E1, m.e1);
        read(m_par2E2, m.e2);
        read(m_par2E3, m.e3);
        read(m_par1E, m.height);
        m.heightIsVolume = m_parTip1->currentIndex() == 1;
        out = m;
        break;
    }
    default: {
        surf::CubeMeasures m;
        read(m_par7E, m.value);
        m.by = static_cast<surf::CubeBy>(m_par7Tip->currentIndex());
        out = m;
        break;
    }
    }
    return ok;
}

} // namespace vorn::entry
