// The calculator window driven through its widgets: pages, results, errors, history, keypad.
#include "app_fixture.h"

#include "app/calc_frm.h"
#include "app/progress_frm.h"
#include "core/format.h"
#include "core/scene.h"
#include "entry_dialogs/entry_widgets.h"
#include "row_name.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <cmath>
#include <functional>
#include <map>

namespace vorn::test {
namespace {

constexpr int kMsgNoSurface = 3, kMsgNotFinished = 5, kMsgBadValue = 6;

class CalcTest : public WindowTest {
  protected:
    app::TCalcFrm* calc() const { return window->calcFrm(); }
    QComboBox* box(const char* name) const {
        auto* b = calc()->findChild<QComboBox*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    template <class W> W* child(const char* name) const {
        auto* w = calc()->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString result() const { return calc()->resultBox()->text(); }
    QString msg(int i) const { return QString::fromStdString(window->messages().text(i)); }
    QString num(long double v) const {
        return QString::fromStdString(
            core::FormatNumber(false, v, window->settings().answerDigits));
    }
    void calculate(const char* page, const char* boxName, const QString& text) {
        run(page);
        box(boxName)->setEditText(text);
        child<QPushButton>("ToCalc")->click();
    }
    int addPolyline(std::initializer_list<core::Vec3f> points, bool closed = false) {
        core::Scene& s = window->scene();
        const int slot = core::AppendObject(s, core::ObjectType::Polyline);
        core::SceneObject& o = s.object(slot);
        o.vertexCount = static_cast<std::int16_t>(points.size());
        int i = 1;
        for (const core::Vec3f& p : points)
            o.vertex(i++) = p;
        o.param2 = closed ? 1 : 0;
        window->refreshObjectList();
        return slot;
    }
    int addSurface(const char* formula, const char* system) {
        core::Scene& s = window->scene();
        const int slot = core::AppendObject(s, core::ObjectType::Surface);
        core::SceneObject& o = s.object(slot);
        o.part(1).text.setRaw(formula);
        o.part(1).domainKind = 1;
        o.part(1).area.domainText.setRaw(system);
        o.planeB = -2;
        o.planeC = 2;
        o.planeD = -1;
        o.surfaceParam = 1;
        window->refreshObjectList();
        return slot;
    }
    void setRegionGrid(std::initializer_list<std::pair<const char*, const char*>> rows) {
        auto* grid = child<QTableWidget>("QGrid");
        child<QPushButton>("QBtn3")->click();
        for (const auto& [x, y] : rows) {
            child<QPushButton>("QBtn1")->click();
            grid->item(grid->rowCount() - 1, 0)->setText(QString::fromLatin1(x));
            grid->item(grid->rowCount() - 1, 1)->setText(QString::fromLatin1(y));
        }
        child<QTabWidget>("QType")->setCurrentIndex(1);
    }
};

// ---- the window and its pages -----------------------------------------------------------------

TEST_F(CalcTest, CommandsShowTheWindowOnTheirPages) {
    ASSERT_NE(calc(), nullptr);
    EXPECT_EQ(calc()->objectName(), QStringLiteral("CalcFrm"));
    EXPECT_FALSE(calc()->isVisible());
    const std::pair<const char*, int> pages[] = {
        {"Calculator", 0}, {"Integral", 1}, {"DoubleInt", 2}};
    for (const auto& [name, page] : pages) {
        run(name);
        EXPECT_TRUE(calc()->isVisible()) << name;
        EXPECT_EQ(calc()->pages()->currentIndex(), page) << name;
    }
    EXPECT_EQ(window->command("Calculator")->shortcut(), QKeySequence(Qt::Key_F11));
    QTest::keyClick(calc(), Qt::Key_Escape);
    EXPECT_FALSE(calc()->isVisible());
}

// ---- value of an expression ---------------------------------------------------------------------

struct ExpressionCase {
    const char* text;
    long double value;
};
class CalcExpression : public CalcTest, public ::testing::WithParamInterface<ExpressionCase> {};

TEST_P(CalcExpression, ResultIsTheFormattedValue) {
    calculate("Calculator", "CalcStr", QString::fromLatin1(GetParam().text));
    EXPECT_EQ(result(), num(GetParam().value));
    EXPECT_TRUE(dialogs->boxes.empty());
}
INSTANTIATE_TEST_SUITE_P(
    Values, CalcExpression,
    ::testing::Values(ExpressionCase{"2+3*4", 14}, ExpressionCase{"2^10", 1024},
                      ExpressionCase{"sqrt(16)/8", 0.5L}, ExpressionCase{"-7", -7},
                      ExpressionCase{"1/3", 1.0L / 3}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

TEST_F(CalcTest, BadExpressionShowsTheErrorAndNoResult) {
    calculate("Calculator", "CalcStr", QStringLiteral("2+3"));
    const QString before = result();
    calculate("Calculator", "CalcStr", QStringLiteral("2+"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second, msg(kMsgBadValue));
    EXPECT_NE(before, QString());
    EXPECT_EQ(result(), QString());
    // An empty text shows nothing and asks nothing.
    calculate("Calculator", "CalcStr", QString());
    EXPECT_TRUE(result().isEmpty());
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

// A result stands only beside what produced it: a failed evaluation, an edit of any input or
// another page leaves the result box empty.
TEST_F(CalcTest, ResultGoesWhenItsInputOrPageChanges) {
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"failed evaluation", [&] { calculate("Calculator", "CalcStr", QStringLiteral("1/0")); }},
        {"typed", [&] { QTest::keyClicks(box("CalcStr")->lineEdit(), "+1"); }},
        {"keypad",
         [&] {
             box("CalcStr")->setFocus();
             QApplication::processEvents();
             calc()->key(QStringLiteral("7"))->click();
         }},
        {"history pick", [&] { box("CalcStr")->setCurrentIndex(1); }},
        {"command of another page", [&] { run("Integral"); }},
    };
    calculate("Calculator", "CalcStr", QStringLiteral("2^3")); // a second history entry
    calc()->activateWindow();
    for (const auto& [name, change] : changes) {
        calculate("Calculator", "CalcStr", QStringLiteral("sqrt(27)"));
        ASSERT_EQ(result(), num(std::sqrt(27.0L))) << name;
        change();
        EXPECT_EQ(result(), QString()) << name;
    }
    // Only the failed evaluation asked anything.
    EXPECT_EQ(dialogs->boxTexts(), QStringList{msg(kMsgBadValue)});
}

TEST_F(CalcTest, F11GivesTheExpressionTheFocus) {
    run("Calculator");
    calc()->resultBox()->setFocus(); // the user was elsewhere when the window was hidden
    QTest::keyClick(calc(), Qt::Key_Escape);
    run("Calculator"); // F11
    EXPECT_EQ(calc()->pages()->currentIndex(), app::TCalcFrm::ExpressionPage);
    QComboBox* b = box("CalcStr");
    const QWidget* focus = calc()->focusWidget();
    EXPECT_TRUE(focus == b || focus == b->lineEdit());
    EXPECT_EQ(b->lineEdit()->selectedText(), b->currentText()); // typing replaces it
}

TEST_F(CalcTest, EnterAndDoubleClickCalculate) {
    run("Calculator");
    QComboBox* b = box("CalcStr");
    b->setEditText(QStringLiteral("6*7"));
    QTest::keyClick(b->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(result(), num(42));
    b->setEditText(QStringLiteral("6*8"));
    QTest::mouseDClick(b->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(result(), num(48));
}

TEST_F(CalcTest, HistoryKeepsUpperCasedSuccessesNewestFirstWithoutDuplicates) {
    calculate("Calculator", "CalcStr", QStringLiteral("sin(0)"));
    calculate("Calculator", "CalcStr", QStringLiteral("cos(0)"));
    calculate("Calculator", "CalcStr", QStringLiteral("SIN(0)"));
    calculate("Calculator", "CalcStr", QStringLiteral("cos(")); // fails: not kept
    QComboBox* b = box("CalcStr");
    ASSERT_EQ(b->count(), 2);
    EXPECT_EQ(b->itemText(0), QStringLiteral("COS(0)"));
    EXPECT_EQ(b->itemText(1), QStringLiteral("SIN(0)"));
    // The contour expression has its own history.
    addPolyline({{0, 0, 0}, {3, 4, 0}});
    run("Integral");
    child<QTabWidget>("ConturType")->setCurrentIndex(app::TCalcFrm::PolylineContour);
    calculate("Integral", "CalcIntCurve", QStringLiteral("1"));
    EXPECT_EQ(box("CalcIntCurve")->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(box("CalcIntCurve")->count(), 1);
}

// ---- keypad and live checks
// ----------------------------------------------------------------------

TEST_F(CalcTest, KeypadEditsTheFocusedBoxAtTheCaret) {
    run("Calculator");
    calc()->activateWindow();
    QComboBox* b = box("CalcStr");
    b->setFocus();
    QApplication::processEvents();
    b->setEditText(QStringLiteral("12"));
    b->lineEdit()->setCursorPosition(1);
    calc()->key(QStringLiteral("+"))->click();
    EXPECT_EQ(b->currentText(), QStringLiteral("1+2"));
    EXPECT_EQ(b->lineEdit()->cursorPosition(), 2);
    calc()->key(QStringLiteral("Sin("))->click();
    EXPECT_EQ(b->currentText(), QStringLiteral("1+Sin(2"));
    calc()->key(QStringLiteral("BS"))->click();
    calc()->key(QStringLiteral("Del"))->click();
    EXPECT_EQ(b->currentText(), QStringLiteral("1+Sin"));
    // With a selection the typed key replaces it; BS and Del leave it alone.
    b->lineEdit()->selectAll();
    calc()->key(QStringLiteral("BS"))->click();
    EXPECT_EQ(b->currentText(), QStringLiteral("1+Sin"));
    calc()->key(QStringLiteral("Pi"))->click();
    EXPECT_EQ(b->currentText(), QStringLiteral("Pi"));
    // The keypad follows the focus to another box.
    QComboBox* other = box("ConturF1");
    other->setFocus();
    QApplication::processEvents();
    other->lineEdit()->end(false);
    calc()->key(QStringLiteral("^"))->click();
    EXPECT_EQ(other->currentText(), QStringLiteral("x^"));
}

// Where each key sits, as (row, column), in a keypad's grid; absent keys are (-1, -1).
std::map<QString, std::pair<int, int>> KeyCells(QWidget* keypad) {
    std::map<QString, std::pair<int, int>> cells;
    auto* grid = qobject_cast<QGridLayout*>(keypad->layout());
    for (int i = 0; grid && i < grid->count(); ++i) {
        int row, column, rows, columns;
        grid->getItemPosition(i, &row, &column, &rows, &columns);
        if (auto* b = qobject_cast<QAbstractButton*>(grid->itemAt(i)->widget()))
            cells[b->text()] = {row, column};
    }
    return cells;
}

// Both keypads, the calculator's and the entry dialogs', read as a calculator does: digits in a
// 3 x 3 block with 0 below 1, each operator column one kind, the functions in rows beneath.
TEST_F(CalcTest, KeypadsAreLaidOutAsACalculator) {
    entry::Keypad entryKeys;
    for (QWidget* keypad : {calc()->findChild<QWidget*>(QStringLiteral("KeyPanel")),
                            static_cast<QWidget*>(&entryKeys)}) {
        ASSERT_NE(keypad, nullptr);
        auto cells = KeyCells(keypad);
        auto at = [&](const char* k) {
            auto it = cells.find(QString::fromLatin1(k));
            return it == cells.end() ? std::pair{-1, -1} : it->second;
        };
        const char* digits[3][3] = {{"7", "8", "9"}, {"4", "5", "6"}, {"1", "2", "3"}};
        const auto origin = at("7");
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(at(digits[r][c]), std::pair(origin.first + r, origin.second + c))
                    << digits[r][c];
        EXPECT_EQ(at("0"), std::pair(origin.first + 3, origin.second));
        const int digitsEnd = origin.first + 3;
        for (const char* column : {"/*-+", "()^", "XYZ"}) {
            const char first[2] = {column[0], 0};
            for (const char* k = column; *k; ++k) {
                const char key[2] = {*k, 0};
                EXPECT_EQ(at(key).second, at(first).second) << key;
                EXPECT_EQ(at(key).first, at(first).first + (k - column)) << key;
                EXPECT_GT(at(key).second, origin.second + 2) << key;
            }
        }
        for (const char* f : {"Sin(", "Cos(", "Tg(", "CTg(", "ASin(", "ACos(", "ATg(", "ACTg(",
                              "Exp(", "Int(", "Abs(", "Ln(", "Lg(", "Sqrt("})
            EXPECT_GT(at(f).first, digitsEnd) << f;
        EXPECT_EQ(at("BS").second, at("Del").second);
        EXPECT_LE(at("Pi").first, digitsEnd);
        EXPECT_EQ(cells.size(), entry::KeypadLayout(keypad == &entryKeys).size());
    }
    // The calculator's keys are push buttons under their language-file names; it has no "T".
    for (const entry::KeyPlace& k : entry::KeypadLayout(false))
        EXPECT_NE(calc()->findChild<QPushButton*>(QStringLiteral("Key_") + k.caption), nullptr)
            << k.caption;
    EXPECT_EQ(calc()->findChild<QAbstractButton*>(QStringLiteral("Key_T")), nullptr);
    EXPECT_EQ(calc()->key(QStringLiteral("T")), nullptr);
}

struct FieldCase {
    const char* field;
    const char* text;
    bool red;
};
class CalcLiveCheck : public CalcTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(CalcLiveCheck, MalformedTextTurnsRed) {
    QComboBox* b = box(GetParam().field);
    b->setEditText(QString::fromLatin1(GetParam().text));
    const QColor c = b->lineEdit()->palette().color(QPalette::Text);
    EXPECT_EQ(c == QColor(255, 0, 0), GetParam().red) << GetParam().field << " " << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(
    Fields, CalcLiveCheck,
    ::testing::Values(FieldCase{"ConturF1", "x*2", false}, FieldCase{"ConturF1", "x*", true},
                      FieldCase{"ConturF1", "ln(x-5)", false}, // no value
                      FieldCase{"ConturF21", "sin(t)+1", false},
                      FieldCase{"ConturF21", "sin(t", true}, FieldCase{"left1", "2*pi", false},
                      FieldCase{"left1", "2..5", true}, FieldCase{"FuncX2", "3)", true},
                      FieldCase{"QFunc", "x^2+y^2<1", false}, FieldCase{"QFunc", "x^2+y^2<", true}),
    [](const auto& info) {
        return vorn::test::RowName(info.index, {info.param.field, info.param.text});
    });

// ---- contour integral
// -------------------------------------------------------------------------------

TEST_F(CalcTest, ContourOverGraphsAndPolylines) {
    run("Integral");
    auto* type = child<QTabWidget>("ConturType");
    // Along y = x from 0 to 1: the integral of 1 is the length, of x is sqrt(2)/2.
    type->setCurrentIndex(app::TCalcFrm::GraphContour);
    box("left1")->setEditText(QStringLiteral("0"));
    calculate("Integral", "CalcIntCurve", QStringLiteral("1"));
    EXPECT_EQ(result(), num(std::sqrt(2.0L)));
    calculate("Integral", "CalcIntCurve", QStringLiteral("x"));
    EXPECT_EQ(result(), num(std::sqrt(2.0L) / 2));
    // x = t, y = 2t on [0, 1]: length sqrt(5).
    type->setCurrentIndex(app::TCalcFrm::ParametricContour);
    box("Left2")->setEditText(QStringLiteral("0"));
    box("ConturF21")->setEditText(QStringLiteral("t"));
    box("ConturF22")->setEditText(QStringLiteral("2*t"));
    calculate("Integral", "CalcIntCurve", QStringLiteral("1"));
    EXPECT_EQ(result(), num(std::sqrt(5.0L)));
    // A polyline of the scene, then closed.
    const int slot = addPolyline({{0, 0, 0}, {3, 4, 0}});
    run("Integral");
    type->setCurrentIndex(app::TCalcFrm::PolylineContour);
    EXPECT_EQ(child<QListWidget>("LineList")->count(), 1);
    calculate("Integral", "CalcIntCurve", QStringLiteral("1"));
    EXPECT_EQ(result(), num(5));
    window->scene().object(slot).param2 = 1;
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(result(), num(10));
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(CalcTest, HeightCountsOnlyForFunctionsOfThreeVariables) {
    addPolyline({{0, 0, 0}, {0, 0, 2}});
    run("Integral");
    child<QTabWidget>("ConturType")->setCurrentIndex(app::TCalcFrm::PolylineContour);
    const auto radios = calc()->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    radios[1]->setChecked(true); // t=f(x,y,z)
    calculate("Integral", "CalcIntCurve", QStringLiteral("z"));
    EXPECT_EQ(result(), num(2));
    radios[0]->setChecked(true); // z=f(x,y): the polyline lies flat, a point
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(result(), num(0));
}

TEST_F(CalcTest, ContourErrorsShowTheDialog) {
    run("Integral");
    auto* type = child<QTabWidget>("ConturType");
    type->setCurrentIndex(app::TCalcFrm::GraphContour);
    box("Right1")->setEditText(QStringLiteral("abc"));
    calculate("Integral", "CalcIntCurve", QStringLiteral("1"));
    box("Right1")->setEditText(QStringLiteral("1"));
    calculate("Integral", "CalcIntCurve", QStringLiteral("ln(x-5)"));
    ASSERT_EQ(dialogs->boxTexts().size(), 2);
    EXPECT_EQ(dialogs->boxTexts(), (QStringList{msg(kMsgBadValue), msg(kMsgBadValue)}));
}

TEST_F(CalcTest, HandDrawnPolylineIsIntegratedAtOnce) {
    addPolyline({{0, 0, 0}, {1, 0, 0}});
    app::PolyDrawRequest asked;
    calc()->setPolyDrawer([&](app::PolyDrawRequest& r) {
        asked = r;
        r.points = {QPointF(0, 0), QPointF(3, 4), QPointF(3, 0)};
        return true;
    });
    run("Integral");
    box("CalcIntCurve")->setEditText(QStringLiteral("1"));
    child<QPushButton>("CurveByHand")->click();
    EXPECT_EQ(asked.title, msg(7));
    EXPECT_EQ(asked.capacity, 1000);
    EXPECT_FALSE(asked.closed);
    EXPECT_EQ(result(), num(9));
    auto* list = child<QListWidget>("LineList");
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentItem(), nullptr);
    // Without a selection the drawn polyline stays the contour.
    box("CalcIntCurve")->setEditText(QStringLiteral("2"));
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(result(), num(18));
}

// ---- double integral
// ---------------------------------------------------------------------------------

TEST_F(CalcTest, DoubleIntegralOverAPolygonAndASystem) {
    const int slot = addSurface("1", "x>=-10");
    run("DoubleInt");
    EXPECT_EQ(child<QListWidget>("FuncList")->count(), 1);
    // Choosing the surface copied its bounds.
    EXPECT_EQ(box("FuncX1")->currentText(), QString::fromStdString(core::FormatNumber(true, -2)));
    EXPECT_EQ(box("FuncY2")->currentText(), QString::fromStdString(core::FormatNumber(true, 1)));
    // The unit square: z = 1 over area 1, the surface itself of area 1. With 65 nodes the grid
    // steps are exact, so the nodes on the square's edges count as inside.
    window->settings().integrationPoints = 65;
    setRegionGrid({{"0", "0"}, {"1", "0"}, {"1", "1"}, {"0", "1"}});
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(result(), QStringLiteral("I=") + num(1) + QStringLiteral(", S=") + num(1));
    const core::SceneObject& o = window->scene().object(slot);
    EXPECT_DOUBLE_EQ(o.areaInfinite, 1);
    EXPECT_DOUBLE_EQ(o.surfaceArea, 1);
    // A system region: the result is what the surface now holds.
    child<QTabWidget>("QType")->setCurrentIndex(0);
    box("QFunc")->setEditText(QStringLiteral("x^2+y^2<1"));
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(result(), QStringLiteral("I=") + num(o.areaInfinite) + QStringLiteral(", S=") +
                            num(o.surfaceArea));
    EXPECT_NEAR(o.areaInfinite, 3.14159, 0.2); // the disc, on a 50 x 50 grid
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(CalcTest, DoubleIntegralErrors) {
    run("DoubleInt");
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(dialogs->boxTexts(), QStringList{msg(kMsgNoSurface)});
    addSurface("1", "x>=-10");
    run("DoubleInt");
    box("FuncX1")->setEditText(QStringLiteral("a"));
    child<QPushButton>("ToCalc")->click();
    box("FuncX1")->setEditText(QStringLiteral("-1"));
    box("QFunc")->setEditText(QStringLiteral("x^2+"));
    child<QPushButton>("ToCalc")->click();
    setRegionGrid({{"0", "0"}, {"1", "0"}}); // two vertices enclose nothing
    child<QPushButton>("ToCalc")->click();
    setRegionGrid({{"0", "0"}, {"1", "q"}, {"1", "1"}});
    child<QPushButton>("ToCalc")->click();
    EXPECT_EQ(dialogs->boxTexts(),
              (QStringList{msg(kMsgNoSurface), msg(kMsgBadValue), msg(kMsgBadValue),
                           msg(kMsgBadValue), msg(kMsgBadValue)}));
}

TEST_F(CalcTest, StoppedDoubleIntegralIsReported) {
    addSurface("x*y", "x>=-10");
    window->settings().integrationPoints = 400;
    run("DoubleInt");
    setRegionGrid({{"0", "0"}, {"1", "0"}, {"1", "1"}});
    calc()->resultBox()->setText(QStringLiteral("old"));
    dialogs->answers.push_back(core::Answer::Yes); // "Припинити обчислення ?"
    QTimer::singleShot(0, window.get(), [this] { window->progressFrm()->stopButton()->click(); });
    child<QPushButton>("ToCalc")->click();
    EXPECT_TRUE(dialogs->boxTexts().contains(msg(kMsgNotFinished)));
    EXPECT_EQ(result(), QString());
}

TEST_F(CalcTest, RegionGridButtons) {
    run("DoubleInt");
    auto* grid = child<QTableWidget>("QGrid");
    for (int i = 0; i < 45; ++i)
        child<QPushButton>("QBtn1")->click();
    EXPECT_EQ(grid->rowCount(), app::TCalcFrm::kMaxRegionVertices);
    grid->setCurrentCell(3, 0);
    child<QPushButton>("QBtn2")->click();
    EXPECT_EQ(grid->rowCount(), app::TCalcFrm::kMaxRegionVertices - 1);
    child<QPushButton>("QBtn3")->click();
    EXPECT_EQ(grid->rowCount(), 0);
    // Drawing presets the range a tenth wider than the points and fills the grid back.
    setRegionGrid({{"0", "0"}, {"10", "0"}, {"10", "5"}});
    app::PolyDrawRequest asked;
    calc()->setPolyDrawer([&](app::PolyDrawRequest& r) {
        asked = r;
        r.points = {QPointF(-1, -1), QPointF(1, -1), QPointF(0, 2)};
        return true;
    });
    child<QPushButton>("BitBtn2")->click();
    EXPECT_TRUE(asked.closed);
    EXPECT_EQ(asked.capacity, 40);
    ASSERT_TRUE(asked.xFrom && asked.yTo);
    EXPECT_DOUBLE_EQ(*asked.xFrom, -1);
    EXPECT_DOUBLE_EQ(*asked.yTo, 5.5);
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(2, 1)->text(), QString::fromStdString(core::FormatNumber(true, 2)));
}

} // namespace
} // namespace vorn::test
