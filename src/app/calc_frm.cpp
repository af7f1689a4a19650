// TCalcFrm: the calculator window — value of an expression, contour integral, double integral.
#include "app/calc_frm.h"

#include "core/format.h"
#include "core/object_view.h"
#include "entry_dialogs/entry_widgets.h"
#include "expr/region.h"
#include "lang/message_ids.h"
#include "surfaces/integrals.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vorn::app {

namespace {

// Variables a field's live check replaces, by the field's Tag.
constexpr int kTagConstant = 0, kTagOfX = 1, kTagOfT = 2, kTagFree = 3;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string text(const QComboBox* box) {
    return box->currentText().toStdString();
}

QLabel* label(const char* caption, QWidget* parent) {
    return new QLabel(QString::fromUtf8(caption), parent);
}

} // namespace

TCalcFrm::TCalcFrm(core::Env& env, QWidget* parent) : QWidget(parent, Qt::Window), m_env(env) {
    setObjectName(QStringLiteral("CalcFrm"));
    setWindowTitle(QStringLiteral("Обчислення"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("CalcPages"));
    m_pages->addTab(buildExpressionPage(), QStringLiteral("Значення виразу"));
    m_pages->addTab(buildContourPage(), QStringLiteral("Інтеграл вздовж контура"));
    m_pages->addTab(buildDoubleIntegralPage(), QStringLiteral("Подвійний інтеграл та площа"));
    connect(m_pages, &QTabWidget::currentChanged, this, &TCalcFrm::pageShown);
    connect(m_pages, &QTabWidget::currentChanged, this, &TCalcFrm::clearResult);

    m_toCalc = new QPushButton(QStringLiteral("Обчислити"), this);
    m_toCalc->setObjectName(QStringLiteral("ToCalc"));
    connect(m_toCalc, &QPushButton::clicked, this, &TCalcFrm::calculate);
    m_result = new QLineEdit(this);
    m_result->setObjectName(QStringLiteral("ResultBox"));
    m_result->setReadOnly(true);
    auto* resultLabel = label("Результат обчислень:", this);
    resultLabel->setObjectName(QStringLiteral("ResultLabel"));

    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(resultLabel);
    resultRow->addWidget(m_result, 1);
    resultRow->addWidget(m_toCalc);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(resultRow);
    m_keypad = new entry::Keypad(entry::Keypad::Kind::Calculator, this);
    connect(m_keypad, &entry::Keypad::typed, this, &TCalcFrm::keypadPressed);
    layout->addWidget(m_keypad);

    // The keypad edits the box that last had the focus in this window.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QComboBox* box : m_boxes)
            if (now && (now == box || now == box->lineEdit())) m_focused = box;
    });
    setPolyDrawer({});
    resize(560, 480);
    entry::NameCaptions(this);
    entry::FocusFirstFieldOnShow(this);
}

TCalcFrm::~TCalcFrm() {
    // Closing the window as it goes moves the focus while the boxes are already gone.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

QComboBox* TCalcFrm::expressionBox(const char* name, const char* initial, int tag) {
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setProperty("Tag", tag);
    box->setEditText(QString::fromUtf8(initial));
    box->lineEdit()->installEventFilter(this);
    connect(box->lineEdit(), &QLineEdit::returnPressed, this, &TCalcFrm::calculate);
    connect(box, &QComboBox::editTextChanged, this, [this, box] { checkField(box); });
    // Typing, the keypad, a pick from the history and a chosen surface's bounds all change it.
    connect(box, &QComboBox::editTextChanged, this, &TCalcFrm::clearResult);
    m_boxes.push_back(box);
    return box;
}

QWidget* TCalcFrm::buildExpressionPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    m_calcStr = expressionBox("CalcStr", "0", kTagFree);
    l->addWidget(m_calcStr);
    l->addStretch(1);
    return page;
}

QWidget* TCalcFrm::buildContourPage() {
    auto* page = new QWidget(this);
    auto* funcType = new QGroupBox(QStringLiteral("Тип залежності:"), page);
    funcType->setObjectName(QStringLiteral("funcType"));
    m_typeZ = new QRadioButton(QStringLiteral("z=f(x,y)"), funcType);
    m_typeT = new QRadioButton(QStringLiteral("t=f(x,y,z)"), funcType);
    m_typeZ->setChecked(true);
    auto* tl = new QHBoxLayout(funcType);
    tl->addWidget(m_typeZ);
    tl->addWidget(m_typeT);
    connect(m_typeZ, &QRadioButton::toggled, this, &TCalcFrm::clearResult);
    m_calcIntCurve = expressionBox("CalcIntCurve", "sin(x)", kTagFree);

    m_conturType = new QTabWidget(page);
    m_conturType->setObjectName(QStringLiteral("ConturType"));
    {
        auto* graph = new QWidget(m_conturType);
        auto* g = new QGridLayout(graph);
        m_left1 = expressionBox("left1", "-1", kTagConstant);
        m_right1 = expressionBox("Right1", "1", kTagConstant);
        m_conturF1 = expressionBox("ConturF1", "x", kTagOfX);
        g->addWidget(label("Від x=", graph), 0, 0);
        g->addWidget(m_left1, 0, 1);
        g->addWidget(label("До x=", graph), 0, 2);
        g->addWidget(m_right1, 0, 3);
        g->addWidget(label("y=", graph), 1, 0);
        g->addWidget(m_conturF1, 1, 1, 1, 3);
        g->setRowStretch(2, 1);
        m_conturType->addTab(graph, QStringLiteral("Графік y=f(x)"));
    }
    {
        auto* param = new QWidget(m_conturType);
        auto* g = new QGridLayout(param);
        m_left2 = expressionBox("Left2", "-1", kTagConstant);
        m_right2 = expressionBox("Right2", "1", kTagConstant);
        m_conturF21 = expressionBox("ConturF21", "sin(t)", kTagOfT);
        m_conturF22 = expressionBox("ConturF22", "t", kTagOfT);
        g->addWidget(label("Від t=", param), 0, 0);
        g->addWidget(m_left2, 0, 1);
        g->addWidget(label("До t=", param), 0, 2);
        g->addWidget(m_right2, 0, 3);
        g->addWidget(label("x=", param), 1, 0);
        g->addWidget(m_conturF21, 1, 1, 1, 3);
        g->addWidget(label("y=", param), 2, 0);
        g->addWidget(m_conturF22, 2, 1, 1, 3);
        g->setRowStretch(3, 1);
        m_conturType->addTab(param, QStringLiteral("Графік x=f(t), y=g(t)"));
    }
    {
        auto* poly = new QWidget(m_conturType);
        auto* g = new QVBoxLayout(poly);
        m_lineList = new QListWidget(poly);
        m_lineList->setObjectName(QStringLiteral("LineList"));
        m_curveByHand = new QPushButton(QStringLiteral("Графічно >>>"), poly);
        m_curveByHand->setObjectName(QStringLiteral("CurveByHand"));
        connect(m_curveByHand, &QPushButton::clicked, this, &TCalcFrm::drawContour);
        connect(m_lineList, &QListWidget::itemDoubleClicked, this, &TCalcFrm::calculate);
        connect(m_lineList, &QListWidget::currentRowChanged, this, &TCalcFrm::clearResult);
        g->addWidget(m_lineList, 1);
        g->addWidget(m_curveByHand, 0, Qt::AlignRight);
        m_conturType->addTab(poly, QStringLiteral("Ламана"));
    }

    connect(m_conturType, &QTabWidget::currentChanged, this, &TCalcFrm::clearResult);

    auto* l = new QVBoxLayout(page);
    l->addWidget(funcType);
    l->addWidget(label("f=", page));
    l->addWidget(m_calcIntCurve);
    l->addWidget(m_conturType, 1);
    return page;
}

QWidget* TCalcFrm::buildDoubleIntegralPage() {
    auto* page = new QWidget(this);
    m_funcList = new QListWidget(page);
    m_funcList->setObjectName(QStringLiteral("FuncList"));
    connect(m_funcList, &QListWidget::currentRowChanged, this, &TCalcFrm::surfaceChosen);
    connect(m_funcList, &QListWidget::currentRowChanged, this, &TCalcFrm::clearResult);
    connect(m_funcList, &QListWidget::itemDoubleClicked, this, &TCalcFrm::calculate);
    m_funcX1 = expressionBox("FuncX1", "-3", kTagConstant);
    m_funcX2 = expressionBox("FuncX2", "3", kTagConstant);
    m_funcY1 = expressionBox("FuncY1", "-3", kTagConstant);
    m_funcY2 = expressionBox("FuncY2", "3", kTagConstant);
    auto* bounds = new QGridLayout;
    bounds->addWidget(label("Від x=", page), 0, 0);
    bounds->addWidget(m_funcX1, 0, 1);
    bounds->addWidget(label("До x=", page), 0, 2);
    bounds->addWidget(m_funcX2, 0, 3);
    bounds->addWidget(label("Від y=", page), 1, 0);
    bounds->addWidget(m_funcY1, 1, 1);
    bounds->addWidget(label("До y=", page), 1, 2);
    bounds->addWidget(m_funcY2, 1, 3);

    m_qType = new QTabWidget(page);
    m_qType->setObjectName(QStringLiteral("QType"));
    {
        auto* sys = new QWidget(m_qType);
        auto* g = new QHBoxLayout(sys);
        m_qFunc = expressionBox("QFunc", "", kTagFree);
        g->addWidget(label("G=", sys));
        g->addWidget(m_qFunc, 1);
        m_qType->addTab(sys, QStringLiteral("Система нерівностей"));
    }
    {
        auto* poly = new QWidget(m_qType);
        m_qGrid = new QTableWidget(0, 2, poly);
        m_qGrid->setObjectName(QStringLiteral("QGrid"));
        m_qGrid->setHorizontalHeaderLabels({QStringLiteral("x"), QStringLiteral("y")});
        m_qGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        QAbstractItemModel* cells = m_qGrid->model();
        connect(cells, &QAbstractItemModel::dataChanged, this, &TCalcFrm::clearResult);
        connect(cells, &QAbstractItemModel::rowsInserted, this, &TCalcFrm::clearResult);
        connect(cells, &QAbstractItemModel::rowsRemoved, this, &TCalcFrm::clearResult);
        m_qBtn1 = new QPushButton(QStringLiteral("+"), poly);
        m_qBtn1->setObjectName(QStringLiteral("QBtn1"));
        m_qBtn2 = new QPushButton(QStringLiteral("-"), poly);
        m_qBtn2->setObjectName(QStringLiteral("QBtn2"));
        m_qBtn3 = new QPushButton(QStringLiteral("Очистити"), poly);
        m_qBtn3->setObjectName(QStringLiteral("QBtn3"));
        m_bitBtn2 = new QPushButton(QStringLiteral("Графічно >>>"), poly);
        m_bitBtn2->setObjectName(QStringLiteral("BitBtn2"));
        connect(m_qBtn1, &QPushButton::clicked, this, &TCalcFrm::addRegionRow);
        connect(m_qBtn2, &QPushButton::clicked, this, [this] {
            if (m_qGrid->currentRow() >= 0) m_qGrid->removeRow(m_qGrid->currentRow());
        });
        connect(m_qBtn3, &QPushButton::clicked, this, [this] { m_qGrid->setRowCount(0); });
        connect(m_bitBtn2, &QPushButton::clicked, this, &TCalcFrm::drawRegion);
        auto* buttons = new QVBoxLayout;
        for (QPushButton* b : {m_qBtn1, m_qBtn2, m_qBtn3, m_bitBtn2})
            buttons->addWidget(b);
        buttons->addStretch(1);
        auto* g = new QHBoxLayout(poly);
        g->addWidget(m_qGrid, 1);
        g->addLayout(buttons);
        m_qType->addTab(poly, QStringLiteral("Многокутник"));
    }

    // Named, so that the numbered labels keep their language-file keys.
    auto* funcListLabel = label("Поверхня:", page);
    funcListLabel->setObjectName(QStringLiteral("FuncListLabel"));
    funcListLabel->setBuddy(m_funcList);
    auto* l = new QVBoxLayout(page);
    l->addWidget(funcListLabel);
    l->addWidget(m_funcList, 1);
    l->addLayout(bounds);
    l->addWidget(m_qType, 1);
    connect(m_qType, &QTabWidget::currentChanged, this, &TCalcFrm::clearResult);
    return page;
}

QAbstractButton* TCalcFrm::key(const QString& caption) const {
    return m_keypad->key(caption);
}

void TCalcFrm::setPolyDrawer(PolyDrawer drawer) {
    m_drawer = std::move(drawer);
    m_curveByHand->setEnabled(static_cast<bool>(m_drawer));
    m_bitBtn2->setEnabled(static_cast<bool>(m_drawer));
}

// ---- pages and lists -------------------------------------------------------------------------

void TCalcFrm::showPage(int page) {
    const int p = std::clamp(page, 0, m_pages->count() - 1);
    if (m_pages->currentIndex() == p)
        pageShown(p);
    else
        m_pages->setCurrentIndex(p); // refills through the page change
    show();
    raise();
    activateWindow();
    // The command's page is ready to type into: its expression, selected so that typing
    // replaces it.
    QComboBox* first = p == ExpressionPage ? m_calcStr
                       : p == ContourPage  ? m_calcIntCurve
                                           : nullptr;
    if (first) {
        first->lineEdit()->selectAll();
        first->setFocus(Qt::ShortcutFocusReason);
    }
}

void TCalcFrm::clearResult() {
    m_result->clear();
}

void TCalcFrm::pageShown(int page) {
    if (page == ContourPage || page == DoubleIntegralPage) refillLists();
}

void TCalcFrm::refillLists() {
    const core::Scene& scene = m_env.scene;
    const auto fill = [&](QListWidget* list, core::ObjectType type) {
        const QSignalBlocker block(list);
        list->clear();
        for (int slot = 2; slot <= scene.objectCount(); ++slot) {
            if (scene.object(slot).type != type) continue;
            auto* item = new QListWidgetItem(qs(core::ListCaption(scene, slot)), list);
            item->setData(Qt::UserRole, slot);
        }
        if (list->count() > 0) list->setCurrentRow(0);
    };
    fill(m_lineList, core::ObjectType::Polyline);
    fill(m_funcList, core::ObjectType::Surface);
    if (m_funcList->count() > 0) surfaceChosen();
}

void TCalcFrm::surfaceChosen() {
    const QListWidgetItem* item = m_funcList->currentItem();
    if (!item) return;
    const int slot = item->data(Qt::UserRole).toInt();
    if (!m_env.scene.isUserSlot(slot)) return;
    const core::SceneObject& o = m_env.scene.object(slot);
    const core::SurfaceDomain d = core::SurfaceDomainOf(o);
    const std::pair<QComboBox*, double> bounds[] = {
        {m_funcX1, d.xFrom}, {m_funcX2, d.xTo}, {m_funcY1, d.yFrom}, {m_funcY2, d.yTo}};
    for (const auto& [box, v] : bounds)
        box->setEditText(qs(core::FormatNumber(true, v)));
}

void TCalcFrm::addRegionRow() {
    if (m_qGrid->rowCount() >= kMaxRegionVertices) return;
    const int row = m_qGrid->rowCount();
    m_qGrid->insertRow(row);
    m_qGrid->setItem(row, 0, new QTableWidgetItem);
    m_qGrid->setItem(row, 1, new QTableWidgetItem);
}

// ---- editing -----------------------------------------------------------------------------------

void TCalcFrm::checkField(QComboBox* box) {
    const int tag = box->property("Tag").toInt();
    const std::string t = text(box);
    bool ok = true;
    if (box == m_qFunc)
        ok = expr::acceptsTypedSystem(m_engine, t);
    else if (tag == kTagConstant)
        ok = expr::acceptsTypedExpression(m_engine, t, "");
    else if (tag == kTagOfX)
        ok = expr::acceptsTypedExpression(m_engine, t, "X");
    else if (tag == kTagOfT)
        ok = expr::acceptsTypedExpression(m_engine, t, "T");
    QPalette p = box->lineEdit()->palette();
    p.setColor(QPalette::Text, ok ? QColor(Qt::black) : QColor(255, 0, 0));
    box->lineEdit()->setPalette(p);
}

void TCalcFrm::keypadPressed(const QString& caption) {
    if (!m_focused || m_focused->property("Tag").toInt() < 0) return;
    QLineEdit* edit = m_focused->lineEdit();
    if (caption == QLatin1String("BS")) {
        if (!edit->hasSelectedText()) edit->backspace();
    } else if (caption == QLatin1String("Del")) {
        if (!edit->hasSelectedText()) edit->del();
    } else {
        edit->insert(caption); // replaces the selection, the caret ends behind the text
    }
}

void TCalcFrm::addHistory(QComboBox* box) {
    const QString upper = box->currentText().toUpper();
    const QSignalBlocker block(box);
    if (box->findText(upper, Qt::MatchExactly) < 0) box->insertItem(0, upper);
    box->setCurrentIndex(-1);
    box->setEditText(upper);
}

void TCalcFrm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TCalcFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && qobject_cast<QLineEdit*>(watched)) {
        calculate();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- computing ---------------------------------------------------------------------------------

void TCalcFrm::error(int message) {
    m_env.host.showMessage(core::BoxKind::Error, m_env.msg(message));
}

std::optional<long double> TCalcFrm::fieldValue(const QComboBox* box, char letter,
                                                long double value) {
    std::string t = text(box);
    if (letter) t = expr::ExpressionEngine::SubstituteVariable(t, letter, value);
    const expr::Evaluation e = m_engine.Evaluate(t);
    if (!e.ok()) return std::nullopt;
    return e.value;
}

void TCalcFrm::calculate() {
    switch (m_pages->currentIndex()) {
    case ExpressionPage:
        calcExpression();
        break;
    case ContourPage:
        calcContour();
        break;
    case DoubleIntegralPage:
        calcDoubleIntegral();
        break;
    default:
        break;
    }
}

// Each computation starts by clearing the result: a failed or stopped one leaves none, where an
// earlier one would pass for its answer.
void TCalcFrm::calcExpression() {
    clearResult();
    if (m_calcStr->currentText().trimmed().isEmpty()) return;
    const std::optional<long double> v = fieldValue(m_calcStr);
    if (!v) {
        error(lang::msg::kBadValueOrExpression);
        return;
    }
    m_result->setText(qs(core::FormatNumber(false, *v, m_env.settings.answerDigits)));
    addHistory(m_calcStr);
}

bool TCalcFrm::contourPoints(std::vector<geo::Vec3>& points) {
    const int n = std::max(m_env.settings.integrationPoints, surf::kMinIntegrationPoints);
    switch (m_conturType->currentIndex()) {
    case GraphContour: {
        const auto from = fieldValue(m_left1), to = fieldValue(m_right1);
        if (!from || !to) return false;
        for (int i = 0; i < n; ++i) {
            const long double x = *from + i * (*to - *from) / (n - 1);
            const auto y = fieldValue(m_conturF1, 'X', x);
            if (!y) return false;
            points.push_back({double(x), double(*y), 0});
        }
        return true;
    }
    case ParametricContour: {
        const auto from = fieldValue(m_left2), to = fieldValue(m_right2);
        if (!from || !to) return false;
        for (int i = 0; i < n; ++i) {
            const long double t = *from + i * (*to - *from) / (n - 1);
            const auto x = fieldValue(m_conturF21, 'T', t);
            const auto y = x ? fieldValue(m_conturF22, 'T', t) : std::nullopt;
            if (!x || !y) return false;
            points.push_back({double(*x), double(*y), 0});
        }
        return true;
    }
    default: {
        const QListWidgetItem* item = m_lineList->currentItem();
        if (!item) {
            for (const QPointF& p : m_handPoints)
                points.push_back({p.x(), p.y(), 0});
            return true;
        }
        const core::SceneObject& o = m_env.scene.object(item->data(Qt::UserRole).toInt());
        const bool withZ = m_typeT->isChecked();
        const int count = core::UsableVertexCount(o);
        for (int i = 1; i <= count; ++i) {
            const core::Vec3f& v = o.vertex(i);
            points.push_back({v.x, v.y, withZ ? double(v.z) : 0.0});
        }
        if (core::IsClosedPolyline(o) && !points.empty()) points.push_back(points.front());
        return true;
    }
    }
}

void TCalcFrm::calcContour() {
    clearResult();
    std::vector<geo::Vec3> points;
    if (!contourPoints(points)) {
        error(lang::msg::kBadValueOrExpression);
        return;
    }
    const surf::ContourResult r =
        surf::ContourIntegral(m_env, m_engine, text(m_calcIntCurve), points);
    if (r.error) {
        error(lang::msg::kBadValueOrExpression);
        return;
    }
    m_result->setText(qs(core::FormatNumber(false, r.value, m_env.settings.answerDigits)));
    addHistory(m_calcIntCurve);
}

void TCalcFrm::calcDoubleIntegral() {
    clearResult();
    const QListWidgetItem* item = m_funcList->currentItem();
    if (!item) {
        error(lang::msg::kNoSurfaceObject);
        return;
    }
    const int slot = item->data(Qt::UserRole).toInt();
    if (!m_env.scene.isUserSlot(slot) ||
        m_env.scene.object(slot).type != core::ObjectType::Surface) {
        error(lang::msg::kNoSurfaceObject);
        return;
    }
    const auto x1 = fieldValue(m_funcX1), x2 = fieldValue(m_funcX2);
    const auto y1 = fieldValue(m_funcY1), y2 = fieldValue(m_funcY2);
    if (!x1 || !x2 || !y1 || !y2) {
        error(lang::msg::kBadValueOrExpression);
        return;
    }
    surf::CalcRegion region;
    region.bounds = {double(*x1), double(*x2), double(*y1), double(*y2)};
    if (m_qType->currentIndex() == 0) {
        region.region.system = text(m_qFunc);
    } else {
        region.region.isPolygon = true;
        for (int row = 0; row < m_qGrid->rowCount(); ++row) {
            long double xy[2] = {0, 0};
            for (int col = 0; col < 2; ++col) {
                const QTableWidgetItem* cell = m_qGrid->item(row, col);
                const expr::Evaluation e =
                    m_engine.Evaluate(cell ? cell->text().toStdString() : "");
                if (!e.ok()) {
                    error(lang::msg::kBadValueOrExpression);
                    return;
                }
                xy[col] = e.value;
            }
            region.region.polygon.push({double(xy[0]), double(xy[1]), 0});
        }
    }
    if (surf::CheckDoubleIntegralRequest(m_engine, region, m_env.settings.integrationPoints) !=
        surf::RequestFault::None) {
        error(lang::msg::kBadValueOrExpression);
        return;
    }
    const surf::DoubleIntegralResult r = surf::DoubleIntegral(
        m_env, m_engine, m_env.scene.object(slot), region, m_env.settings.integrationPoints);
    if (r.code != surf::kDoubleIntegralDone) {
        error(r.code == surf::kDoubleIntegralStopped ? lang::msg::kComputationNotFinished
                                                     : lang::msg::kBadValueOrExpression);
        return;
    }
    const int digits = m_env.settings.answerDigits;
    m_result->setText(QStringLiteral("I=") + qs(core::FormatNumber(false, r.integral, digits)) +
                      QStringLiteral(", S=") + qs(core::FormatNumber(false, r.area, digits)));
}

// ---- drawing by hand ---------------------------------------------------------------------------

namespace {

// The drawing range from the points, a tenth of their extent wider on each side; the points
// are dropped when they span no rectangle.
void PresetRange(PolyDrawRequest& r) {
    if (r.points.empty()) return;
    double x0 = r.points[0].x(), x1 = x0, y0 = r.points[0].y(), y1 = y0;
    for (const QPointF& p : r.points) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    const double w = x1 - x0, h = y1 - y0;
    if (w == 0 || h == 0) {
        r.points.clear();
        return;
    }
    r.xFrom = x0 - w / 10;
    r.xTo = x1 + w / 10;
    r.yFrom = y0 - h / 10;
    r.yTo = y1 + h / 10;
}

} // namespace

void TCalcFrm::drawContour() {
    if (!m_drawer) return;
    PolyDrawRequest r;
    r.title = qs(m_env.msg(lang::msg::kCalcDrawPolyline));
    r.capacity = kMaxContourPoints;
    r.closed = false;
    r.axisLetters = QStringLiteral("XY");
    r.points = m_handPoints;
    if (!m_drawer(r)) return;
    m_handPoints = std::move(r.points);
    if (static_cast<int>(m_handPoints.size()) > kMaxContourPoints)
        m_handPoints.resize(kMaxContourPoints);
    m_conturType->setCurrentIndex(PolylineContour);
    // The refill selects the first polyline; the hand-drawn one stays the contour.
    refillLists();
    m_lineList->setCurrentRow(-1);
    m_lineList->clearSelection();
    calcContour();
}

void TCalcFrm::drawRegion() {
    if (!m_drawer) return;
    PolyDrawRequest r;
    r.title = qs(m_env.msg(lang::msg::kCalcDrawPolygon));
    r.capacity = kMaxRegionVertices;
    r.closed = true;
    r.axisLetters = QStringLiteral("xy");
    for (int row = 0; row < m_qGrid->rowCount(); ++row) {
        const auto cell = [&](int col) {
            const QTableWidgetItem* it = m_qGrid->item(row, col);
            return double(m_engine.Evaluate(it ? it->text().toStdString() : "").value);
        };
        r.points.emplace_back(cell(0), cell(1));
    }
    PresetRange(r);
    if (!m_drawer(r)) return;
    m_qGrid->setRowCount(0);
    for (const QPointF& p : r.points) {
        if (m_qGrid->rowCount() >= kMaxRegionVertices) break;
        const int row = m_qGrid->rowCount();
        m_qGrid->insertRow(row);
        m_qGrid->setItem(row, 0, new QTableWidgetItem(qs(core::FormatNumber(true, p.x()))));
        m_qGrid->setItem(row, 1, new QTableWidgetItem(qs(core::FormatNumber(true, p.y()))));
    }
}

} // namespace vorn::app
