// The entry dialog's controls, filling from a record, and the ways in and out of the dialog.
#include "entry_dialogs/pir_enter.h"

#include "core/object_view.h"
#include "entry/generatrix.h"
#include "entry_dialogs/entry_widgets.h"
#include "entry_dialogs/qpoly_frm.h"
#include "entry_dialogs/revolution_preview.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "polyhedra/metrics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vorn::entry {

namespace {

constexpr int kMaxPolylinePoints = 999;
// The three points of a new plane, on the three axes.
constexpr double kPlanePoints[9] = {0, 0, 5, 0, 5, 0, 5, 0, 0};

QPushButton* smallButton(const QString& text, const char* name, const QString& hint,
                         QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

QComboBox* choice(const char* name, const QStringList& items, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    return c;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TPirEnter::TPirEnter(core::Env& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("PirEnter"));
    setWindowTitle(QStringLiteral("Конструювання об'єкта"));
    setModal(true);
    buildCommon();
    entry::NameCaptions(this);
    entry::FocusFirstFieldOnShow(this);
}

TPirEnter::~TPirEnter() = default;

core::SceneObject& TPirEnter::entry() {
    return m_env.scene.object(core::kScratchSlot);
}
const core::SceneObject& TPirEnter::entry() const {
    return m_env.scene.object(core::kScratchSlot);
}

QString TPirEnter::message() const {
    return m_errorMsg->text();
}

// ---- controls ------------------------------------------------------------------------------

EntryCombo* TPirEnter::numberField(const char* name, int tag, QWidget* parent) {
    auto* f = new EntryCombo(QString::fromLatin1(name), tag, parent);
    wireField(f);
    return f;
}

void TPirEnter::wireField(EntryCombo* f) {
    connect(f, &EntryCombo::edited, this, &TPirEnter::fieldEdited);
    connect(f, &EntryCombo::left, this, &TPirEnter::fieldLeft);
    connect(f, &EntryCombo::focused, this, [this](EntryCombo* field) { m_lastField = field; });
}

void TPirEnter::buildCommon() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(label(QStringLiteral("Назва об'єкта:"), this));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("ObjName1"));
    m_name->setMaxLength(core::kNameLength);
    top->addWidget(m_name, 1);
    top->addWidget(label(QStringLiteral("Колір об'єкта:"), this));
    m_color = new ColorGrid(QStringLiteral("ObjColor"), 8, 22, this);
    m_color->setFixedSize(m_color->sizeHint());
    m_color->setIndex(kDefaultColorIndex);
    top->addWidget(m_color);
    layout->addLayout(top);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    const std::pair<core::ObjectType, QWidget*> pages[] = {
        {core::ObjectType::Point, buildPointPage()},
        {core::ObjectType::Polyline, buildPolylinePage()},
        {core::ObjectType::Plane, buildPlanePage()},
        {core::ObjectType::Polyhedron, buildPolyhedronPage()},
        {core::ObjectType::Surface, buildSurfacePage()},
        {core::ObjectType::RevolutionSurface, buildRevolutionPage()},
    };
    for (const auto& [type, page] : pages)
        m_pageIndex[static_cast<std::size_t>(type)] =
            m_pages->addTab(page, q(m_env.scene.typeNames.name(type)));
    layout->addWidget(m_pages, 1);

    m_keypad = new Keypad(Keypad::Kind::Entry, this);
    connect(m_keypad, &Keypad::typed, this, &TPirEnter::keypadPressed);
    layout->addWidget(m_keypad);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label(QStringLiteral(" Повідомлення:"), this));
    m_errorMsg = new QLabel(this);
    m_errorMsg->setObjectName(QStringLiteral("ErrorMsg"));
    m_errorMsg->setStyleSheet(QStringLiteral("color: red"));
    bottom->addWidget(m_errorMsg, 1);
    m_ok = new QPushButton(QStringLiteral("Виконати"), this);
    m_ok->setObjectName(QStringLiteral("OkButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TPirEnter::accept);
    bottom->addWidget(m_ok);
    layout->addLayout(bottom);
}

QWidget* TPirEnter::buildPointPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PointSheet"));
    auto* grid = new QGridLayout(page);
    const char* names[3] = {"PsX", "PsY", "PsZ"};
    const char* captions[3] = {"x=", "y=", "z="};
    EntryCombo** fields[3] = {&m_psX, &m_psY, &m_psZ};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(label(QString::fromLatin1(captions[i]), page), i, 0);
        *fields[i] = numberField(names[i], field::Number, page);
        (*fields[i])->setText(QStringLiteral("3"));
        grid->addWidget(*fields[i], i, 1);
    }
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* TPirEnter::buildPolylinePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("LineSheet"));
    auto* v = new QVBoxLayout(page);
    auto* mode = new QHBoxLayout;
    mode->addWidget(label(QStringLiteral("Спосіб задання:"), page));
    m_lineCheck = choice(
        "LineCheck",
        {QStringLiteral("За точками"), QStringLiteral("Через точку і напрямні вектори")}, page);
    mode->addWidget(m_lineCheck, 1);
    m_locked = new QCheckBox(QStringLiteral("Замкнена"), page);
    m_locked->setObjectName(QStringLiteral("LockedLine"));
    mode->addWidget(m_locked);
    v->addLayout(mode);
    m_lineTitle = label(QStringLiteral("Точки:"), page);
    m_lineTitle->setObjectName(QStringLiteral("LineTitle"));
    v->addWidget(m_lineTitle);
    m_lineGrid = new EntryGrid(QStringLiteral("LineGrid"), {"x", "y", "z"}, 2, kMaxPolylinePoints,
                               true, page);
    v->addWidget(m_lineGrid, 1);
    auto* buttons = new QHBoxLayout;
    auto* add = smallButton("+", "LineAdd", QStringLiteral("Додати вершину"), page);
    auto* del = smallButton("-", "LineDel", QStringLiteral("Вилучити вершину"), page);
    auto* clear = smallButton(QStringLiteral("Очистити таблицю"), "LineClear", {}, page);
    buttons->addWidget(add);
    buttons->addWidget(del);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    v->addLayout(buttons);

    connect(m_lineCheck, &QComboBox::currentIndexChanged, this, &TPirEnter::polylineModeChanged);
    connect(m_locked, &QCheckBox::toggled, this, &TPirEnter::changed);
    connect(m_lineGrid, &EntryGrid::changed, this, [this] { gridChanged(m_lineGrid); });
    connect(add, &QPushButton::clicked, m_lineGrid, &EntryGrid::addRow);
    connect(del, &QPushButton::clicked, m_lineGrid, &EntryGrid::deleteRow);
    connect(clear, &QPushButton::clicked, m_lineGrid, &EntryGrid::clearCells);
    return page;
}

QWidget* TPirEnter::buildPlanePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PloskSheet"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(label(QStringLiteral("Спосіб задання:"), page), 0, 0, 1, 2);
    m_ploskCheck = choice("PloskCheck",
                          {QStringLiteral("Три точки"), QStringLiteral("Точка і вектор нормалі"),
                           QStringLiteral("Рівняння Ax+By+Cz+D=0")},
                          page);
    grid->addWidget(m_ploskCheck, 0, 2, 1, 4);
    const char* names[9] = {"PlX1", "PlY1", "PlZ1", "PlX2", "PlY2", "PlZ2", "PlX3", "PlY3", "PlZ3"};
    for (int k = 0; k < 9; ++k) {
        m_plLabel[k] = label({}, page);
        m_pl[k] = numberField(names[k], field::Number, page);
        m_pl[k]->setText(FullNumber(kPlanePoints[k]));
        grid->addWidget(m_plLabel[k], 1 + k / 3, 2 * (k % 3));
        grid->addWidget(m_pl[k], 1 + k / 3, 2 * (k % 3) + 1);
    }
    m_plDLabel = label(QStringLiteral("D="), page);
    m_plD = numberField("PlD", field::Number, page);
    m_plD->setText(QStringLiteral("0"));
    grid->addWidget(m_plDLabel, 4, 0);
    grid->addWidget(m_plD, 4, 1);
    grid->setRowStretch(5, 1);
    connect(m_ploskCheck, &QComboBox::currentIndexChanged, this, &TPirEnter::planeModeChanged);
    return page;
}

QWidget* TPirEnter::buildPolyhedronPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ObjectSheet"));
    auto* h = new QHBoxLayout(page);
    m_objectGrid = new EntryGrid(QStringLiteral("ObjectGrid"), {"x", "y", "z"}, 4,
                                 core::kMaxVertices, false, page);
    h->addWidget(m_objectGrid, 2);
    auto* side = new QGridLayout;
    side->addWidget(label(QStringLiteral("Кількість вершин:"), page), 0, 0);
    m_axesCount = new QSpinBox(page);
    m_axesCount->setObjectName(QStringLiteral("AxesCount"));
    m_axesCount->setRange(4, core::kMaxVertices);
    side->addWidget(m_axesCount, 0, 1);
    side->addWidget(label(QStringLiteral("Кількість трикутних граней:"), page), 1, 0);
    m_ploskCount = new QSpinBox(page);
    m_ploskCount->setObjectName(QStringLiteral("PloskCount"));
    m_ploskCount->setRange(4, core::kMaxFaces);
    side->addWidget(m_ploskCount, 1, 1);
    m_ploskList = new QListWidget(page);
    m_ploskList->setObjectName(QStringLiteral("PloskList"));
    side->addWidget(m_ploskList, 2, 0, 4, 1);
    const char* tops[3] = {"Top1", "Top2", "Top3"};
    const QString topCaptions[3] = {QStringLiteral("Перша:"), QStringLiteral("Друга:"),
                                    QStringLiteral("Третя:")};
    for (int k = 0; k < 3; ++k) {
        auto* box = new QVBoxLayout;
        box->addWidget(label(topCaptions[k], page));
        m_top[k] = choice(tops[k], {}, page);
        box->addWidget(m_top[k]);
        side->addLayout(box, 2 + k, 1);
        connect(m_top[k], &QComboBox::activated, this, &TPirEnter::topChanged);
    }
    m_toMakeObj =
        smallButton(QStringLiteral("Свормувати грані опуклого об'єкта"), "ToMakeObj",
                    QStringLiteral("Автоматичний підбір граней для опуклого об'єкту"), page);
    side->addWidget(m_toMakeObj, 6, 0, 1, 2);
    h->addLayout(side, 1);

    connect(m_objectGrid, &EntryGrid::changed, this, [this] { gridChanged(m_objectGrid); });
    connect(m_axesCount, &QSpinBox::valueChanged, this, &TPirEnter::axesCountChanged);
    connect(m_ploskCount, &QSpinBox::valueChanged, this, &TPirEnter::ploskCountChanged);
    connect(m_ploskList, &QListWidget::currentRowChanged, this, &TPirEnter::faceChosen);
    connect(m_toMakeObj, &QPushButton::clicked, this, &TPirEnter::formConvexFaces);
    return page;
}

QWidget* TPirEnter::buildSurfacePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FuncSheet"));
    auto* v = new QVBoxLayout(page);
    auto* formula = new QHBoxLayout;
    formula->addWidget(label(QStringLiteral("z(x,y)="), page));
    m_textFunc = numberField("TextFunc", field::PartFormula, page);
    m_textFunc->lineEdit()->setMaxLength(core::kNameLength);
    formula->addWidget(m_textFunc, 1);
    v->addLayout(formula);

    auto* bounds = new QGroupBox(QStringLiteral("Межі табулювання (для зображення):"), page);
    bounds->setObjectName(QStringLiteral("FuncBounds"));
    auto* bg = new QGridLayout(bounds);
    const char* names[4] = {"FuncX1", "FuncX2", "FuncY1", "FuncY2"};
    const char* defaults[4] = {"-3", "3", "-3", "3"};
    const QString captions[4] = {QStringLiteral("Від x="), QStringLiteral("До x="),
                                 QStringLiteral("Від y="), QStringLiteral("До y=")};
    EntryCombo** fields[4] = {&m_funcX1, &m_funcX2, &m_funcY1, &m_funcY2};
    for (int k = 0; k < 4; ++k) {
        *fields[k] = numberField(names[k], field::Number, bounds);
        (*fields[k])->setText(QString::fromLatin1(defaults[k]));
        bg->addWidget(label(captions[k], bounds), k / 2, 2 * (k % 2));
        bg->addWidget(*fields[k], k / 2, 2 * (k % 2) + 1);
    }
    v->addWidget(bounds);

    v->addWidget(label(QStringLiteral("Частини поверхні та їх області задання:"), page));
    auto* parts = new QHBoxLayout;
    m_qList = new QListWidget(page);
    m_qList->setObjectName(QStringLiteral("QList"));
    parts->addWidget(m_qList, 1);
    auto* partButtons = new QVBoxLayout;
    auto* addPart =
        smallButton("+", "QAdd", QStringLiteral("Створити новийфрагмент поверхні"), page);
    auto* delPart = smallButton("-", "QDel", QStringLiteral("Вилучити фрагмент поверхні"), page);
    partButtons->addWidget(addPart);
    partButtons->addWidget(delPart);
    partButtons->addStretch(1);
    parts->addLayout(partButtons);
    v->addLayout(parts, 1);

    v->addWidget(label(QStringLiteral("Спосіб вказування області задання:"), page));
    m_qType = new QTabWidget(page);
    m_qType->setObjectName(QStringLiteral("QType"));
    auto* asFunc = new QWidget;
    asFunc->setObjectName(QStringLiteral("AsFunc"));
    auto* fh = new QHBoxLayout(asFunc);
    fh->addWidget(label(QStringLiteral("Q="), asFunc));
    m_qFunc = numberField("QFunc", field::PartSystem, asFunc);
    m_qFunc->lineEdit()->setMaxLength(core::kDomainTextLength);
    fh->addWidget(m_qFunc, 1);
    auto* asPoly = new QWidget;
    asPoly->setObjectName(QStringLiteral("AsPoly"));
    auto* ph = new QHBoxLayout(asPoly);
    m_qGrid = new EntryGrid(QStringLiteral("QGrid"), {"x", "y"}, 3, kMaxRegionPoints, true, asPoly);
    ph->addWidget(m_qGrid, 1);
    auto* gridButtons = new QVBoxLayout;
    auto* qAdd = smallButton("+", "QGridAdd", QStringLiteral("Додати вершину"), asPoly);
    auto* qDel = smallButton("-", "QGridDel", QStringLiteral("Вилучити вершину"), asPoly);
    auto* qClear = smallButton(QStringLiteral("Очистити таблицю"), "QGridClear", {}, asPoly);
    auto* qDraw = smallButton(QStringLiteral("Графічно >>>"), "QDraw", {}, asPoly);
    for (QPushButton* b : {qAdd, qDel, qClear, qDraw})
        gridButtons->addWidget(b);
    gridButtons->addStretch(1);
    ph->addLayout(gridButtons);
    m_qType->addTab(asFunc, QStringLiteral("Система нерівностей"));
    m_qType->addTab(asPoly, QStringLiteral("Многокутник"));
    v->addWidget(m_qType, 1);

    connect(addPart, &QPushButton::clicked, this, &TPirEnter::addPart);
    connect(delPart, &QPushButton::clicked, this, &TPirEnter::deletePart);
    connect(m_qList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling && row >= 0) showPart(row + 1);
    });
    connect(m_qType, &QTabWidget::currentChanged, this, &TPirEnter::regionKindChanged);
    connect(m_qGrid, &EntryGrid::changed, this, [this] { gridChanged(m_qGrid); });
    connect(qAdd, &QPushButton::clicked, m_qGrid, &EntryGrid::addRow);
    connect(qDel, &QPushButton::clicked, m_qGrid, &EntryGrid::deleteRow);
    connect(qClear, &QPushButton::clicked, m_qGrid, &EntryGrid::clearCells);
    connect(qDraw, &QPushButton::clicked, this, &TPirEnter::drawRegion);
    return page;
}

QWidget* TPirEnter::buildRevolutionPage() {
    const EntryValues defaults;
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("RotSheet"));
    auto* h = new QHBoxLayout(page);
    auto* v = new QVBoxLayout;
    auto* modes = new QGridLayout;
    modes->addWidget(label(QStringLiteral("Тип залежності:"), page), 0, 0);
    m_rotType = choice(
        "RotType",
        {QStringLiteral("y=f(x)"), QStringLiteral("x=f(t), y=g(t)"), QStringLiteral("Ламана")},
        page);
    modes->addWidget(m_rotType, 0, 1);
    modes->addWidget(label(QStringLiteral("Обертання навколо осі:"), page), 1, 0);
    m_oRot = choice("ORot", {QStringLiteral("Ox"), QStringLiteral("Oy")}, page);
    modes->addWidget(m_oRot, 1, 1);
    v->addLayout(modes);

    m_funcBox = new QWidget(page);
    m_funcBox->setObjectName(QStringLiteral("FuncBox"));
    auto* fg = new QGridLayout(m_funcBox);
    m_func1Label = label(QStringLiteral("y="), m_funcBox);
    m_func1 = numberField("func1", field::Generatrix, m_funcBox);
    m_func1->lineEdit()->setMaxLength(core::kNameLength);
    m_func1->setText(QString::fromStdString(defaults.func1));
    m_func2Label = label(QStringLiteral("x="), m_funcBox);
    m_func2 = numberField("func2", field::Generatrix2, m_funcBox);
    m_func2->lineEdit()->setMaxLength(core::kDomainTextLength);
    m_func2->setText(QString::fromStdString(defaults.func2));
    fg->addWidget(m_func2Label, 0, 0);
    fg->addWidget(m_func2, 0, 1);
    fg->addWidget(m_func1Label, 1, 0);
    fg->addWidget(m_func1, 1, 1);
    v->addWidget(m_funcBox);

    auto* range = new QGridLayout;
    m_leftLabel = label({}, page);
    m_leftA = numberField("LeftA", field::RevolutionNumber, page);
    m_leftA->setText(FullNumber(defaults.rangeFrom));
    m_rightLabel = label({}, page);
    m_rightA = numberField("RightA", field::RevolutionNumber, page);
    m_rightA->setText(FullNumber(defaults.rangeTo));
    range->addWidget(m_leftLabel, 0, 0);
    range->addWidget(m_leftA, 0, 1);
    range->addWidget(m_rightLabel, 0, 2);
    range->addWidget(m_rightA, 0, 3);
    v->addLayout(range);

    m_curveBox = new QWidget(page);
    m_curveBox->setObjectName(QStringLiteral("CurveBox"));
    auto* ch = new QHBoxLayout(m_curveBox);
    m_curveGrid = new EntryGrid(QStringLiteral("CurveGrid"), {"x", "y"}, 2, curveCapacity(), true,
                                m_curveBox);
    ch->addWidget(m_curveGrid, 1);
    auto* cb = new QVBoxLayout;
    auto* cAdd = smallButton("+", "CurveAdd", QStringLiteral("Додати вершину"), m_curveBox);
    auto* cDel = smallButton("-", "CurveDel", QStringLiteral("Вилучити вершину"), m_curveBox);
    auto* cClear = smallButton(QStringLiteral("Очистити таблицю"), "CurveClear", {}, m_curveBox);
    auto* cDraw = smallButton(QStringLiteral("Графічно >>>"), "MakeCurve", {}, m_curveBox);
    for (QPushButton* b : {cAdd, cDel, cClear, cDraw})
        cb->addWidget(b);
    cb->addStretch(1);
    ch->addLayout(cb);
    v->addWidget(m_curveBox, 1);

    auto* shift = new QGroupBox(QStringLiteral("Вектор перенесення:"), page);
    shift->setObjectName(QStringLiteral("ShiftBox"));
    auto* sg = new QHBoxLayout(shift);
    const char* names[3] = {"nX", "nY", "nZ"};
    const char* captions[3] = {"x=", "y=", "z="};
    EntryCombo** fields[3] = {&m_nX, &m_nY, &m_nZ};
    for (int k = 0; k < 3; ++k) {
        sg->addWidget(label(QString::fromLatin1(captions[k]), shift));
        *fields[k] = numberField(names[k], field::RevolutionNumber, shift);
        (*fields[k])->setText(QStringLiteral("0"));
        sg->addWidget(*fields[k]);
    }
    v->addWidget(shift);
    v->addStretch(1);
    h->addLayout(v, 1);
    m_preview = new RevolutionPreview(page);
    h->addWidget(m_preview, 1);

    connect(m_rotType, &QComboBox::currentIndexChanged, this, [this] { rotTypeChanged(true); });
    connect(m_oRot, &QComboBox::currentIndexChanged, this, &TPirEnter::changed);
    connect(m_curveGrid, &EntryGrid::changed, this, [this] { gridChanged(m_curveGrid); });
    connect(cAdd, &QPushButton::clicked, m_curveGrid, &EntryGrid::addRow);
    connect(cDel, &QPushButton::clicked, m_curveGrid, &EntryGrid::deleteRow);
    connect(cClear, &QPushButton::clicked, m_curveGrid, &EntryGrid::clearCells);
    connect(cDraw, &QPushButton::clicked, this, &TPirEnter::drawCurve);
    return page;
}

int TPirEnter::curveCapacity() const {
    return std::min(CurvePointLimit(m_env.settings.Quality()), core::kMaxPartPoints);
}

// ---- ways in and out -----------------------------------------------------------------------

void TPirEnter::SetNewObjectDefaults(core::SceneObject& o) {
    const EntryValues d; // the values the dialog's fields start with
    switch (o.type) {
    case core::ObjectType::Plane:
        o.param0 = 0; // three points
        for (int i = 0; i < 3; ++i)
            o.vertex(i + 1) = {static_cast<float>(kPlanePoints[3 * i]),
                               static_cast<float>(kPlanePoints[3 * i + 1]),
                               static_cast<float>(kPlanePoints[3 * i + 2])};
        break;
    case core::ObjectType::RevolutionSurface:
        core::SetGeneratrixRange(o, {d.rangeFrom, d.rangeTo});
        o.part(2).text.setUtf8(d.func1);
        o.part(2).area.domainText.setUtf8(d.func2);
        break;
    default:
        break;
    }
}

bool TPirEnter::EditObject(int slot, bool silent) {
    core::Scene& scene = m_env.scene;
    if (slot <= core::kAxesSlot || slot > scene.objectCount()) return false;
    if (silent) return RebuildObject(m_env, m_engine, slot);

    // Every way out that does not confirm leaves the scratch slot as well as it was.
    const auto savedEntry = std::make_unique<core::SceneObject>(entry());
    const auto savedEdges = std::make_unique<core::EdgeFlags>(scene.edgeVisibility(0));
    load(slot);
    // "Виконати" has built the object by the time the dialog is accepted.
    if (exec() != QDialog::Accepted) {
        entry() = *savedEntry;
        scene.edgeVisibility(0) = *savedEdges;
        return false;
    }
    if (core::SceneObserver& window = scene.observer(); window.halfToneActive()) {
        window.rebuildHalfTone();
        window.redrawPicture();
    }
    return true;
}

void TPirEnter::accept() {
    if (!m_ok->isEnabled()) return;
    // A polyhedron must close before the dialog lets it go.
    if (m_type == core::ObjectType::Polyhedron &&
        !poly::CompleteObject(m_env, core::kScratchSlot)) {
        m_entryError = entry_error::NotClosed;
        m_errorMsg->setText(q(msg(lang::msg::kNoEntryError + m_entryError)));
        m_env.host.showMessage(core::BoxKind::Error, msg(lang::msg::kNotClosed));
        return;
    }
    // A build that fails (a region with too few points) has said why and leaves the slot as it
    // was; the dialog stays open with what was typed, so that it can be put right.
    if (m_slot > core::kAxesSlot && !BuildObject(m_env, m_engine, m_slot, m_type, values(), true))
        return;
    QDialog::accept();
}

void TPirEnter::load(int slot) {
    core::Scene& scene = m_env.scene;
    m_slot = slot;
    scene.copySlot(slot, core::kScratchSlot);
    m_type = entry().type;
    const int page = m_pageIndex[static_cast<std::size_t>(m_type)];
    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->setTabVisible(i, i == page);
    m_pages->setCurrentIndex(page);
    for (std::size_t t = 1; t < m_pageIndex.size(); ++t)
        m_pages->setTabText(m_pageIndex[t],
                            q(scene.typeNames.name(static_cast<core::ObjectType>(t))));

    m_filling = true;
    const EntryValues v = EntryValuesFromRecord(entry());
    m_name->setText(QString::fromStdString(v.name));
    m_color->setIndex(v.colorIndex);
    for (EntryCombo* f : findChildren<EntryCombo*>())
        f->setRed(false);
    m_lastField = nullptr;
    fillPage();
    m_filling = false;
    m_entryError = 0;
    CheckEntry();
}

void TPirEnter::fillPage() {
    const core::SceneObject& o = entry();
    auto vertex = [&](int i) { return o.vertex(i); };
    switch (m_type) {
    case core::ObjectType::Point:
        m_psX->setText(StoredNumber(vertex(1).x));
        m_psY->setText(StoredNumber(vertex(1).y));
        m_psZ->setText(StoredNumber(vertex(1).z));
        break;
    case core::ObjectType::Polyline:
        m_lineCheck->setCurrentIndex(core::roundToInt(o.param0) == 1 ? 1 : 0);
        m_locked->setChecked(core::IsClosedPolyline(o));
        m_lineTitle->setText(q(msg(m_lineCheck->currentIndex() == 1 ? lang::msg::kPointAndVectors
                                                                    : lang::msg::kPoints)));
        fillPolylineGrid();
        break;
    case core::ObjectType::Plane: {
        const int mode = std::clamp(core::roundToInt(o.param0), 0, 2);
        m_ploskCheck->setCurrentIndex(mode);
        const geo::Vec3 p1{vertex(1).x, vertex(1).y, vertex(1).z};
        const geo::Vec3 p2{vertex(2).x, vertex(2).y, vertex(2).z};
        const geo::Vec3 p3{vertex(3).x, vertex(3).y, vertex(3).z};
        const geo::Plane plane = geo::PlaneThroughPoints(p1, p2, p3).plane;
        // The points come back as stored; the normal and the coefficients are computed.
        QString shown[9];
        for (int i = 0; i < 3; ++i) {
            shown[3 * i] = StoredNumber(vertex(i + 1).x);
            shown[3 * i + 1] = StoredNumber(vertex(i + 1).y);
            shown[3 * i + 2] = StoredNumber(vertex(i + 1).z);
        }
        const int computed = mode == 1 ? 3 : 0;
        if (mode != 0) {
            shown[computed] = FullNumber(plane.a);
            shown[computed + 1] = FullNumber(plane.b);
            shown[computed + 2] = FullNumber(plane.c);
        }
        for (int k = 0; k < 9; ++k)
            m_pl[k]->setText(shown[k]);
        m_plD->setText(FullNumber(plane.d));
        planeModeChanged();
        break;
    }
    case core::ObjectType::Polyhedron:
        fillPolyhedron();
        break;
    case core::ObjectType::Surface: {
        const core::SurfaceDomain d = core::SurfaceDomainOf(o);
        m_funcX1->setText(FullNumber(d.xFrom));
        m_funcX2->setText(FullNumber(d.xTo));
        m_funcY1->setText(FullNumber(d.yFrom));
        m_funcY2->setText(FullNumber(d.yTo));
        m_partCount = std::clamp<int>(o.partCount, 1, kMaxParts);
        m_part = 1;
        refreshPartList();
        showPart(1);
        break;
    }
    case core::ObjectType::RevolutionSurface: {
        const EntryValues v = EntryValuesFromRecord(o);
        m_rotType->setCurrentIndex(std::clamp(v.generatrixType, 0, 2));
        m_oRot->setCurrentIndex(std::clamp(v.axis, 0, 1));
        m_leftA->setText(FullNumber(v.rangeFrom));
        m_rightA->setText(FullNumber(v.rangeTo));
        m_nX->setText(FullNumber(v.shiftX));
        m_nY->setText(FullNumber(v.shiftY));
        m_nZ->setText(FullNumber(v.shiftZ));
        m_func1->setText(QString::fromStdString(v.func1));
        m_func2->setText(QString::fromStdString(v.func2));
        m_curveGrid->setMaxRows(curveCapacity());
        fillPartGrid(m_curveGrid, o.part(3));
        rotTypeChanged(false);
        break;
    }
    case core::ObjectType::Axes:
        break;
    }
}

void TPirEnter::fillPolylineGrid() {
    const core::SceneObject& o = entry();
    const bool vectors = m_lineCheck->currentIndex() == 1;
    std::vector<QStringList> rows;
    for (int i = 1; i <= o.vertexCount; ++i) {
        const core::Vec3f& p = o.vertex(i);
        if (vectors && i > 1) {
            // A difference of two stored values is no stored value: all its digits.
            const core::Vec3f& prev = o.vertex(i - 1);
            rows.push_back({FullNumber(double(p.x) - prev.x), FullNumber(double(p.y) - prev.y),
                            FullNumber(double(p.z) - prev.z)});
        } else {
            rows.push_back({StoredNumber(p.x), StoredNumber(p.y), StoredNumber(p.z)});
        }
    }
    while (rows.size() < 2)
        rows.push_back({"0", "0", "0"});
    m_lineGrid->setTexts(rows);
}

void TPirEnter::fillPolyhedron() {
    core::SceneObject& o = entry();
    const bool was = m_filling;
    m_filling = true;
    o.vertexCount = std::clamp<std::int16_t>(o.vertexCount, 4, core::kMaxVertices);
    std::vector<QStringList> rows;
    for (int i = 1; i <= o.vertexCount; ++i)
        rows.push_back({StoredNumber(o.vertex(i).x), StoredNumber(o.vertex(i).y),
                        StoredNumber(o.vertex(i).z)});
    m_objectGrid->setTexts(rows);
    m_axesCount->setValue(o.vertexCount);
    // The face count never shows fewer than four faces; missing ones have no vertices yet.
    for (int f = std::max<int>(o.faceCount, 0) + 1; f <= 4; ++f)
        o.face(f) = {};
    o.faceCount = std::clamp<std::int16_t>(o.faceCount, 4, core::kMaxFaces);
    m_ploskCount->setValue(o.faceCount);
    for (QComboBox* top : m_top) {
        top->clear();
        for (int i = 1; i <= o.vertexCount; ++i)
            top->addItem(QString::number(i));
    }
    fillFaceList(0);
    m_filling = was;
}

void TPirEnter::fillFaceList(int keep) {
    const bool was = m_filling;
    m_filling = true;
    m_ploskList->clear();
    const int n = std::clamp<int>(entry().faceCount, 0, core::kMaxFaces);
    for (int f = 1; f <= n; ++f)
        m_ploskList->addItem(QString::number(f));
    if (n > 0) m_ploskList->setCurrentRow(std::clamp(keep, 0, n - 1));
    m_filling = was;
    faceChosen();
}

QString TPirEnter::partCaption(int k) const {
    const core::ObjectPart& p = entry().part(k);
    const QString region = p.domainKind == 1 ? QString::fromStdString(p.area.domainText.utf8())
                                             : QString::number(p.area.polygon.pointCount) +
                                                   q(msg(lang::msg::kGonSuffix));
    return QStringLiteral("%1: z=%2, Q=(%3)")
        .arg(k)
        .arg(QString::fromStdString(p.text.utf8()), region);
}

void TPirEnter::fillPartGrid(EntryGrid* grid, const core::ObjectPart& part) {
    std::vector<QStringList> rows;
    const int n = std::min<int>(part.area.polygon.pointCount, core::kMaxPartPoints);
    for (int i = 0; i < n; ++i)
        rows.push_back({StoredNumber(part.area.polygon.points[i].x),
                        StoredNumber(part.area.polygon.points[i].y)});
    grid->setTexts(rows);
}

void TPirEnter::refreshPartList() {
    const bool was = m_filling;
    m_filling = true;
    m_qList->clear();
    for (int k = 1; k <= m_partCount; ++k)
        m_qList->addItem(partCaption(k));
    m_qList->setCurrentRow(m_part - 1);
    m_filling = was;
}

void TPirEnter::showPart(int k) {
    const bool was = m_filling;
    m_filling = true;
    m_part = std::clamp(k, 1, m_partCount);
    const core::ObjectPart& p = entry().part(m_part);
    m_textFunc->setText(QString::fromStdString(p.text.utf8()));
    m_textFunc->setRed(false);
    m_qFunc->setRed(false);
    if (p.domainKind == 1) {
        m_qType->setCurrentIndex(0);
        m_qFunc->setText(QString::fromStdString(p.area.domainText.utf8()));
    } else {
        m_qType->setCurrentIndex(1);
        fillPartGrid(m_qGrid, p);
    }
    m_qList->setCurrentRow(m_part - 1);
    m_filling = was;
    if (!m_filling) changed();
}

} // namespace vorn::entry
