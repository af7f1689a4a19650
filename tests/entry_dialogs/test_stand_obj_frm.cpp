// The standard-objects dialog: each page makes the object the engine makes from its measures.
#include "dialog_fixture.h"
#include "entry_dialogs/entry_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>

#include <cstring>

namespace vorn::test {
namespace {

constexpr double kFifteenDigits = 1e-13;

class StandObjTest : public DialogTest {
  protected:
    QLineEdit* edit(const char* name) { return find<QLineEdit>(&standard, name); }
    void set(const char* name, const char* text) { edit(name)->setText(QString::fromUtf8(text)); }
    // The dialog through the command: page filled by `fill`, then both dialogs confirmed.
    bool create(int tag, std::function<void()> fill) {
        whenShown(&standard, [this, tag, fill] {
            standard.setPageTag(tag);
            fill();
            whenShown(&dialog, [this] { click(&dialog, "OkButton"); });
            click(&standard, "OkBtn");
        });
        return entry::CreateStandardObject(env, standard, dialog);
    }
    // The same object straight from the engine, in a scene of its own.
    void expectSameAsEngine(const surf::StandardMeasures& measures, const char* caption) {
        core::Scene other;
        FakeHost otherHost;
        core::Env otherEnv{other, settings, messages, otherHost};
        expr::ExpressionEngine engine;
        const int slot = surf::CreateStandardObject(otherEnv, engine, measures, caption);
        ASSERT_EQ(slot, 2);
        const core::SceneObject& want = other.object(2);
        const core::SceneObject& got = scene.object(2);
        EXPECT_EQ(got.name.utf8(), caption);
        EXPECT_EQ(got.type, want.type);
        if (want.type == core::ObjectType::Polyhedron) {
            ASSERT_EQ(got.vertexCount, want.vertexCount);
            EXPECT_EQ(std::memcmp(got.vertexData, want.vertexData,
                                  sizeof(core::Vec3f) * static_cast<std::size_t>(want.vertexCount)),
                      0);
            EXPECT_EQ(got.faceCount, want.faceCount);
            EXPECT_GT(got.volume, 0);
        } else {
            EXPECT_EQ(got.part(2).text.utf8(), want.part(2).text.utf8());
            // The range comes back through the dialog's fields, written with 15 digits.
            EXPECT_NEAR(got.planeD, want.planeD, kFifteenDigits);
            EXPECT_NEAR(got.surfaceParam, want.surfaceParam, kFifteenDigits);
            EXPECT_EQ(got.origin[0], want.origin[0]);
            EXPECT_GT(got.vertexCount, 0);
        }
        ASSERT_FALSE(host.report.empty());
        EXPECT_EQ(host.report.back(), std::string("Створено об'єкт \"") + caption + "\"");
    }

    entry::TStandObjFrm standard{env};
};

TEST_F(StandObjTest, TruncatedPyramidByItsSides) {
    ASSERT_TRUE(create(1, [&] {
        find<QSpinBox>(&standard, "CutCount")->setValue(5);
        find<QCheckBox>(&standard, "IsCuted")->setChecked(true);
        find<QComboBox>(&standard, "PTip1")->setCurrentIndex(2);
        set("R1", "4");
        set("R2", "2");
        find<QComboBox>(&standard, "HTip1")->setCurrentIndex(1);
        set("H1", "5");
    }));
    surf::PyramidMeasures m;
    m.n = 5;
    m.truncated = true;
    m.lower = 4;
    m.lowerBy = surf::PolygonBase::Side;
    m.upper = 2;
    m.height = 5;
    m.heightIsLateralEdge = true;
    expectSameAsEngine(m, "Правильна піраміда");
    EXPECT_EQ(scene.object(2).vertexCount, 10);
}

TEST_F(StandObjTest, PrismByVolume) {
    ASSERT_TRUE(create(2, [&] {
        find<QSpinBox>(&standard, "CutCount2")->setValue(6);
        find<QComboBox>(&standard, "Par1Tip")->setCurrentIndex(1);
        set("Par1", "100");
    }));
    surf::PrismMeasures m;
    m.n = 6;
    m.height = 100;
    m.heightIsVolume = true;
    expectSameAsEngine(m, "Правильна призма");
}

TEST_F(StandObjTest, ConeCylinderAndBall) {
    ASSERT_TRUE(create(3, [&] { set("H2", "2*2"); }));
    expectSameAsEngine(surf::ConeMeasures{}, "Конус");
    EXPECT_EQ(scene.object(2).part(2).text.utf8(), "3*(1-X/(4))");

    scene.objectCount() = 1;
    ASSERT_TRUE(create(4, [&] {
        find<QComboBox>(&standard, "P5Tip")->setCurrentIndex(2);
        set("R5", "9");
    }));
    surf::CylinderMeasures c;
    c.base = 9;
    c.baseBy = surf::CircleBase::Area;
    expectSameAsEngine(c, "Циліндр");

    scene.objectCount() = 1;
    ASSERT_TRUE(create(5, [&] {
        find<QComboBox>(&standard, "CTip")->setCurrentIndex(1);
        set("Rad0", "36");
        set("KCx", "-1");
    }));
    surf::BallMeasures b;
    b.value = 36;
    b.by = surf::BallBy::Volume;
    b.cx = -1;
    expectSameAsEngine(b, "Куля");
}

TEST_F(StandObjTest, ParallelepipedLabelsFollowTheBaseChoice) {
    auto* base = find<QComboBox>(&standard, "ParTip2");
    base->setCurrentIndex(3);
    EXPECT_EQ(find<QLabel>(&standard, "ParLabel1")->text(), "Діагональ");
    EXPECT_EQ(find<QLabel>(&standard, "ParLabel3")->text(), "Кут°");
    base->setCurrentIndex(1);
    EXPECT_EQ(find<QLabel>(&standard, "ParLabel2")->text(), "Кут°");
    EXPECT_EQ(find<QLabel>(&standard, "ParLabel3")->text(), "Площа");
    base->setCurrentIndex(0);
    ASSERT_TRUE(create(6, [] {}));
    expectSameAsEngine(surf::ParallelepipedMeasures{}, "Прямий паралелепіпед");
}

TEST_F(StandObjTest, CubeByVolume) {
    ASSERT_TRUE(create(7, [&] {
        find<QComboBox>(&standard, "Par7tip")->setCurrentIndex(2);
        set("Par7E", "8");
    }));
    surf::CubeMeasures m;
    m.value = 8;
    m.by = surf::CubeBy::Volume;
    expectSameAsEngine(m, "Куб");
    EXPECT_FLOAT_EQ(scene.object(2).vertex(1).x, -1);
}

TEST_F(StandObjTest, RedFieldsAreRefusedAndLeftFieldsTakeTheirValue) {
    standard.setPageTag(7);
    standard.show();
    set("Par7E", "-2");
    EXPECT_TRUE(edit("Par7E")->property("red").toBool());
    set("Par7E", "sqrt(2");
    EXPECT_TRUE(edit("Par7E")->property("red").toBool());
    click(&standard, "OkBtn");
    EXPECT_TRUE(standard.isVisible());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Не коректно задано параметр.");

    set("Par7E", "sqrt(2)");
    EXPECT_FALSE(edit("Par7E")->property("red").toBool());
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit("Par7E"), &out);
    EXPECT_EQ(edit("Par7E")->text(), "1.41421353816986");
    // A disabled field does not count: the upper base of an untruncated pyramid.
    standard.setPageTag(1);
    set("R2", "0");
    EXPECT_FALSE(standard.hasRedField());
    standard.hide();
}

TEST_F(StandObjTest, FailingArithmeticAsksAgainAndCancelLeavesTheScene) {
    int shown = 0;
    whenShown(&standard, [&] {
        ++shown;
        standard.setPageTag(3);
        find<QCheckBox>(&standard, "IsCuted2")->setChecked(true);
        set("R4", "3"); // equal radii: no apex
        whenShown(&standard, [&] {
            ++shown;
            QTest::keyClick(&standard, Qt::Key_Escape);
        });
        click(&standard, "OkBtn");
    });
    EXPECT_FALSE(entry::CreateStandardObject(env, standard, dialog));
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Не коректний запис числа або виразу.");
    EXPECT_EQ(scene.objectCount(), 1);
}

TEST_F(StandObjTest, CancelledEntryDialogGivesTheSlotBack) {
    whenShown(&standard, [&] {
        standard.setPageTag(7);
        whenShown(&dialog, [&] { dialog.reject(); });
        click(&standard, "OkBtn");
    });
    EXPECT_FALSE(entry::CreateStandardObject(env, standard, dialog));
    EXPECT_EQ(scene.objectCount(), 1);
    EXPECT_TRUE(host.report.empty());
}

} // namespace
} // namespace vorn::test
