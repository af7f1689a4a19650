// The standard-objects dialog: pages, live red/black checking and reading the measures.
#include "entry_dialogs/stand_obj_frm.h"

#include "core/format.h"
#include "entry_dialogs/entry_widgets.h"
#include "lang/message_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <span>
#include <vector>

namespace vorn::entry {

namespace {

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

// What a cell of a page holds.
enum class Kind {
    Caption,    // an unnamed label
    Count,      // vertices of a base, 3..100
    Truncated,  // a check box enabling the cells named in `enables`
    Choice,     // how the measure beside it is given; `text` lists the choices
    Measure,    // a positive measure, checked as it is typed; `text` is its default
    Coordinate, // an unchecked number; neighbours share one grid cell in a row
    BaseLabel,  // a parallelepiped base measure's caption, set by the base choice
};

struct Cell {
    Kind kind;
    const char* name;
    const char* text;
    int row, column, columnSpan = 1;
    const char* enables = nullptr;
};

struct Page {
    const char* name; // its Tag is its place, from 1
    const char* caption;
    std::span<const Cell> cells;
};

constexpr const char* kPolygonTips = "Радіус опис. кола|Радіус впис. кола|Сторона|Площа";
constexpr const char* kCircleTips = "Радіус|Довжина|Площа";

// Cells in the order their widgets are made, which is the tab order and the order language
// files number the captions in.
const Cell kPyramid[] = {
    {Kind::Caption, "", "Вершин в основі:", 0, 0},
    {Kind::Count, "CutCount", "", 0, 1},
    {Kind::Truncated, "IsCuted", "Зрізана", 0, 2, 1, "R2|PTip2"},
    {Kind::Caption, "", "Нижня основа:", 1, 0},
    {Kind::Choice, "PTip1", kPolygonTips, 1, 1},
    {Kind::Measure, "R1", "3", 1, 2},
    {Kind::Caption, "", "Верхня основа:", 2, 0},
    {Kind::Choice, "PTip2", kPolygonTips, 2, 1},
    {Kind::Measure, "R2", "2", 2, 2},
    {Kind::Choice, "HTip1", "Висота|Бічне ребро", 3, 1},
    {Kind::Measure, "H1", "4", 3, 2},
};
const Cell kPrism[] = {
    {Kind::Caption, "", "Вершин в основі:", 0, 0},
    {Kind::Count, "CutCount2", "", 0, 1},
    {Kind::Caption, "", "Задання основ:", 1, 0},
    {Kind::Choice, "Par2Tip", kPolygonTips, 1, 1},
    {Kind::Measure, "Par2", "3", 1, 2},
    {Kind::Choice, "Par1Tip", "Висота|Об'єм", 2, 1},
    {Kind::Measure, "Par1", "4", 2, 2},
};
const Cell kCone[] = {
    {Kind::Truncated, "IsCuted2", "Зрізаний", 0, 0, 1, "R4|P2Tip2"},
    {Kind::Caption, "", "Нижня основа:", 1, 0},
    {Kind::Choice, "P2Tip1", kCircleTips, 1, 1},
    {Kind::Measure, "R3", "3", 1, 2},
    {Kind::Caption, "", "Верхня основа:", 2, 0},
    {Kind::Choice, "P2Tip2", kCircleTips, 2, 1},
    {Kind::Measure, "R4", "2", 2, 2},
    {Kind::Choice, "H2Tip", "Висота|Твірна", 3, 1},
    {Kind::Measure, "H2", "4", 3, 2},
};
const Cell kCylinder[] = {
    {Kind::Caption, "", "Основа:", 0, 0}, {Kind::Choice, "P5Tip", kCircleTips, 0, 1},
    {Kind::Measure, "R5", "3", 0, 2},     {Kind::Choice, "H3Tip", "Висота|Об'єм", 1, 1},
    {Kind::Measure, "H3", "4", 1, 2},
};
const Cell kBall[] = {
    {Kind::Caption, "", "Спосіб задання кулі:", 0, 0},
    {Kind::Choice, "CTip", "Радіус|Об'єм|Площа поверхні", 0, 1},
    {Kind::Measure, "Rad0", "2", 0, 2},
    {Kind::Caption, "", "Координати центра:", 1, 0},
    {Kind::Coordinate, "KCx", "0", 1, 1, 2},
    {Kind::Coordinate, "KCy", "0", 1, 1, 2},
    {Kind::Coordinate, "KCz", "0", 1, 1, 2},
};
const Cell kParallelepiped[] = {
    {Kind::Caption, "", "Основа:", 0, 0},
    {Kind::Choice, "ParTip2",
     "Дві сторони та кут між ними|Cторона, прилеглий кут та площа|"
     "Cторона, прилеглий кут та висота до неї|Дві діагоналі та кут між ними",
     0, 1, 2},
    {Kind::Measure, "Par2E1", "2", 1, 1},
    {Kind::Measure, "Par2E2", "2", 2, 1},
    {Kind::Measure, "Par2E3", "30", 3, 1},
    {Kind::BaseLabel, "ParLabel1", "", 1, 0},
    {Kind::BaseLabel, "ParLabel2", "", 2, 0},
    {Kind::BaseLabel, "ParLabel3", "", 3, 0},
    {Kind::Choice, "ParTip1", "Висота|Об'єм", 4, 0},
    {Kind::Measure, "Par1E", "4", 4, 1},
};
const Cell kCube[] = {
    {Kind::Caption, "", "Спосіб задання куба:", 0, 0},
    {Kind::Choice, "Par7tip", "Ребро|Діагональ|Об'єм", 0, 1},
    {Kind::Measure, "Par7E", "4", 0, 2},
};

const Page kPages[] = {
    {"TabSheet1", "Правильна &піраміда", kPyramid},
    {"TabSheet2", "Правильна при&зма", kPrism},
    {"TabSheet3", "&Конус", kCone},
    {"TabSheet4", "&Циліндр", kCylinder},
    {"TabSheet5", "Ку&ля", kBall},
    {"TabSheet6", "Прямий паралелепіпе&д", kParallelepiped},
    {"TabSheet7", "Ку&б", kCube},
};

QStringList Split(const char* list) {
    return QString::fromUtf8(list).split(QLatin1Char('|'));
}

QWidget* CellWidget(const Cell& cell, QWidget* page) {
    auto named = [&cell](QWidget* w) {
        w->setObjectName(QString::fromLatin1(cell.name));
        return w;
    };
    switch (cell.kind) {
    case Kind::Caption:
        return new QLabel(QString::fromUtf8(cell.text), page);
    case Kind::Count: {
        auto* s = new QSpinBox(page);
        s->setRange(3, 100);
        s->setValue(3);
        return named(s);
    }
    case Kind::Truncated:
        return named(new QCheckBox(QString::fromUtf8(cell.text), page));
    case Kind::Choice: {
        auto* c = new QComboBox(page);
        c->addItems(Split(cell.text));
        return named(c);
    }
    case Kind::Measure:
    case Kind::Coordinate: {
        auto* f = new QLineEdit(QString::fromLatin1(cell.text), page);
        f->setProperty("red", false);
        return named(f);
    }
    case Kind::BaseLabel:
        return named(new QLabel(page));
    }
    return nullptr;
}

QWidget* BuildPage(const Page& page, int tag) {
    auto* p = new QWidget;
    p->setObjectName(QString::fromLatin1(page.name));
    p->setProperty("Tag", tag);
    auto* grid = new QGridLayout(p);
    QHBoxLayout* shared = nullptr; // the cell the coordinates share
    int lastRow = 0;
    for (const Cell& cell : page.cells) {
        QWidget* w = CellWidget(cell, p);
        if (cell.kind == Kind::Coordinate) {
            if (!shared) {
                shared = new QHBoxLayout;
                grid->addLayout(shared, cell.row, cell.column, 1, cell.columnSpan);
            }
            shared->addWidget(w);
        } else {
            grid->addWidget(w, cell.row, cell.column, 1, cell.columnSpan);
        }
        lastRow = std::max(lastRow, cell.row);
    }
    grid->setRowStretch(lastRow + 1, 1);
    return p;
}

} // namespace

template <class W> W* TStandObjFrm::child(const char* name) const {
    return m_pages->findChild<W*>(QString::fromLatin1(name));
}

void TStandObjFrm::watchField(QLineEdit* f) {
    connect(f, &QLineEdit::textChanged, this, [this, f] { checkField(f); });
    new LeaveWatcher(f, [this, f] { leaveField(f); });
}

void TStandObjFrm::followSwitch(const char* name, const char* enables) {
    auto* box = child<QCheckBox>(name);
    std::vector<QWidget*> cells;
    for (const QString& cell : Split(enables))
        cells.push_back(child<QWidget>(cell.toLatin1().constData()));
    auto follow = [box, cells] {
        for (QWidget* w : cells)
            w->setEnabled(box->isChecked());
    };
    connect(box, &QCheckBox::toggled, this, follow);
    follow();
}

TStandObjFrm::TStandObjFrm(core::Env& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("StandObjFrm"));
    setWindowTitle(QStringLiteral("Задання базових просторових об'єктів"));
    setModal(true);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    int tag = 0;
    std::size_t baseLabels = 0;
    for (const Page& page : kPages) {
        m_pages->addTab(BuildPage(page, ++tag), QString::fromUtf8(page.caption));
        for (const Cell& cell : page.cells) {
            if (cell.kind == Kind::Measure) watchField(child<QLineEdit>(cell.name));
            if (cell.kind == Kind::Truncated) followSwitch(cell.name, cell.enables);
            if (cell.kind == Kind::BaseLabel)
                m_parLabels.at(baseLabels++) = child<QLabel>(cell.name);
        }
    }
    connect(child<QComboBox>("ParTip2"), &QComboBox::currentIndexChanged, this,
            &TStandObjFrm::parallelepipedLabels);
    parallelepipedLabels();

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
    entry::FocusFirstFieldOnShow(this);
}

void TStandObjFrm::parallelepipedLabels() {
    // Three labels for each way of giving the base.
    const int base = lang::msg::kParBySidesSide1 + 3 * child<QComboBox>("ParTip2")->currentIndex();
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
    // The object takes the page's name without the page's mnemonic mark.
    static const QRegularExpression mark(QStringLiteral("&(.)"));
    return m_pages->tabText(m_pages->currentIndex()).replace(mark, QStringLiteral("\\1"));
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
        m_env.host.showMessage(core::BoxKind::Error, m_env.msg(lang::msg::kBadParameter));
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
    auto read = [&](const char* name, double& v) { ok = value(child<QLineEdit>(name), v) && ok; };
    auto choice = [this](const char* name) { return child<QComboBox>(name)->currentIndex(); };
    auto checked = [this](const char* name) { return child<QCheckBox>(name)->isChecked(); };
    auto count = [this](const char* name) { return child<QSpinBox>(name)->value(); };
    switch (pageTag()) {
    case 1: {
        surf::PyramidMeasures m;
        m.n = count("CutCount");
        m.truncated = checked("IsCuted");
        read("R1", m.lower);
        if (m.truncated) read("R2", m.upper);
        m.lowerBy = static_cast<surf::PolygonBase>(choice("PTip1"));
        m.upperBy = static_cast<surf::PolygonBase>(choice("PTip2"));
        read("H1", m.height);
        m.heightIsLateralEdge = choice("HTip1") == 1;
        out = m;
        break;
    }
    case 2: {
        surf::PrismMeasures m;
        m.n = count("CutCount2");
        read("Par2", m.base);
        m.baseBy = static_cast<surf::PolygonBase>(choice("Par2Tip"));
        read("Par1", m.height);
        m.heightIsVolume = choice("Par1Tip") == 1;
        out = m;
        break;
    }
    case 3: {
        surf::ConeMeasures m;
        m.truncated = checked("IsCuted2");
        read("R3", m.lower);
        if (m.truncated) read("R4", m.upper);
        m.lowerBy = static_cast<surf::CircleBase>(choice("P2Tip1"));
        m.upperBy = static_cast<surf::CircleBase>(choice("P2Tip2"));
        read("H2", m.height);
        m.heightIsSlant = choice("H2Tip") == 1;
        out = m;
        break;
    }
    case 4: {
        surf::CylinderMeasures m;
        read("R5", m.base);
        m.baseBy = static_cast<surf::CircleBase>(choice("P5Tip"));
        read("H3", m.height);
        m.heightIsVolume = choice("H3Tip") == 1;
        out = m;
        break;
    }
    case 5: {
        surf::BallMeasures m;
        read("Rad0", m.value);
        m.by = static_cast<surf::BallBy>(choice("CTip"));
        read("KCx", m.cx);
        read("KCy", m.cy);
        read("KCz", m.cz);
        out = m;
        break;
    }
    case 6: {
        surf::ParallelepipedMeasures m;
        m.baseBy = choice("ParTip2");
        read("Par2E1", m.e1);
        read("Par2E2", m.e2);
        read("Par2E3", m.e3);
        read("Par1E", m.height);
        m.heightIsVolume = choice("ParTip1") == 1;
        out = m;
        break;
    }
    default: {
        surf::CubeMeasures m;
        read("Par7E", m.value);
        m.by = static_cast<surf::CubeBy>(choice("Par7tip"));
        out = m;
        break;
    }
    }
    return ok;
}

} // namespace vorn::entry
