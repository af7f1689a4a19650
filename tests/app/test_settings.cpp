// The settings dialog and "Vorn3d.ini": defaults, round trip, start-up scene, applying.
#include "app_fixture.h"

#include "app/app_paths.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/radio_group.h"
#include "app/setup_frm.h"
#include "core/scene.h"
#include "entry_dialogs/entry_widgets.h"
#include "lang/ini_file.h"
#include "picture/picture_panel.h"
#include "row_name.h"
#include "view/view_state.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>

namespace vorn::test {
namespace {

using app::TSetupFrm;

class SettingsTest : public WindowTest {
  protected:
    TSetupFrm& dialog() const { return *window->setupFrm(); }
    QCheckBox* check(const char* name) const { return dialog().check(name); }
    QLineEdit* edit(const char* name) const { return dialog().edit(name); }
    QPushButton* button(const char* name) const {
        return dialog().findChild<QPushButton*>(QLatin1String(name));
    }
    lang::IniFile savedIni() const { return lang::IniFile::load(path("Vorn3d.ini").toStdString()); }
    // Closes the first window after saving and starts a second one on the same folder.
    void restart(const QString& commandLine = {}) {
        window->saveSettings();
        TearDown();
        SetUp();
        window->loadSettings(commandLine);
    }
};

TEST_F(SettingsTest, FirstStartWithoutIniGivesEveryDefault) {
    window->loadSettings({});
    const core::Settings& s = window->settings();
    EXPECT_EQ(s.answerDigits, 6);
    EXPECT_DOUBLE_EQ(s.Quality(), 0.51);
    EXPECT_TRUE(s.IsOsi);
    EXPECT_TRUE(s.DrawContur);
    EXPECT_EQ(s.integrationPoints, 50);
    EXPECT_TRUE(s.anglesInRadians);
    EXPECT_EQ(s.lineWidth, 1);
    EXPECT_EQ(s.labelFontSize, 10);
    EXPECT_EQ(s.pickRadius, 4);
    EXPECT_EQ(s.colors, (std::array<int, 8>{15, 7, 9, 12, 12, 7, 5, 7}));
    EXPECT_TRUE(s.languageFile.empty());
    for (const char* bar : {"tb_Disk", "tb_View", "tb_Calc", "tb_Mode", "tb_Objs"})
        EXPECT_TRUE(window->findChild<QToolBar*>(bar)->isVisible()) << bar;
    EXPECT_TRUE(window->infoPanel()->isVisible());
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
    EXPECT_EQ(window->scene().objectCount(), 1);
    EXPECT_EQ(dialog().qualityLabel()->text(), "50%");
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(SettingsTest, EveryKeySurvivesSaveAndLoad) {
    window->loadSettings({});
    // Every stored control away from its default.
    for (const char* name :
         {"AutoZoom", "InCenter", "IsUsel", "isProject", "PutVerNum", "PutLetters", "IsOsi",
          "DrawContur", "IsReadLast", "DrawFName", "PutNumObj"})
        check(name)->setChecked(!check(name)->isChecked());
    const char* edits[] = {"ZoomXE", "ZoomYE", "ZoomZE", "CenterXE", "CenterYE", "CenterZE",
                           "Edit1",  "Edit2",  "Edit3",  "Edit4",    "Edit5",    "Edit6"};
    for (int i = 0; i < 12; ++i)
        edit(edits[i])->setText(QString::number(i + 2) + ".5");
    dialog().ugolType()->setItemIndex(1);
    dialog().spin("CharAfterP")->setValue(9);
    dialog().spin("ColXStep")->setValue(300);
    dialog().spin("PickRadius")->setValue(7);
    dialog().qualityPos()->setValue(77);
    dialog().setColors({1, 2, 3, 4, 5, 6, 8, 10});
    window->command("TbView")->trigger();
    window->command("TbMode")->trigger();
    window->command("Hint")->trigger();
    ASSERT_TRUE(window->applySettings());

    const lang::IniFile ini = [this] {
        window->saveSettings();
        return savedIni();
    }();
    auto keys = [&ini](const char* section) {
        QStringList out;
        for (const std::string& k : ini.keys(section))
            out << QString::fromStdString(k);
        out.sort();
        return out;
    };
    EXPECT_EQ(keys("Checks"),
              QStringList({"AutoZoom", "DrawContur", "DrawFName", "InCenter", "IsOsi", "IsReadLast",
                           "IsUsel", "PutLetters", "PutNumObj", "PutVerNum", "isProject"}));
    EXPECT_EQ(keys("Values").size(), 12 + 7); // the edits, UgolType, five spins, the scroll bar
    EXPECT_EQ(keys("Colors").size(), 8);
    for (const char* k : {"RPanelWidth", "WorkFile", "LangFile", "tb_Objs.Left", "tb_Disk.Top",
                          "IsToolFile", "IsToolView", "IsToolMeas", "IsToolMode", "IsHint"})
        EXPECT_TRUE(ini.get("Window", k).has_value()) << k;
    EXPECT_FALSE(ini.get("Window", "IsToolObjs").has_value());

    restart();
    for (const char* name : {"AutoZoom", "InCenter", "IsUsel", "PutLetters", "IsOsi", "DrawContur",
                             "IsReadLast", "DrawFName", "PutNumObj"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    EXPECT_TRUE(check("isProject")->isChecked());
    EXPECT_TRUE(check("PutVerNum")->isChecked());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(edit(edits[i])->text(), QString::number(i + 2) + ".5") << edits[i];
    EXPECT_EQ(dialog().ugolType()->itemIndex(), 1);
    EXPECT_EQ(dialog().colors(), (TSetupFrm::Colors{1, 2, 3, 4, 5, 6, 8, 10}));
    EXPECT_FALSE(window->findChild<QToolBar*>("tb_View")->isVisible());
    EXPECT_FALSE(window->findChild<QToolBar*>("tb_Mode")->isVisible());
    EXPECT_TRUE(window->findChild<QToolBar*>("tb_Calc")->isVisible());
    EXPECT_FALSE(window->command("TbView")->isChecked());
    EXPECT_FALSE(window->infoPanel()->isVisible());

    // ...and the settings that the rest of the program reads follow the controls.
    const core::Settings& s = window->settings();
    EXPECT_EQ(s.answerDigits, 9);
    EXPECT_EQ(s.integrationPoints, 300);
    EXPECT_EQ(s.pickRadius, 7);
    EXPECT_DOUBLE_EQ(s.Quality(), 0.78);
    EXPECT_FALSE(s.anglesInRadians);
    EXPECT_FALSE(s.IsOsi);
    EXPECT_TRUE(s.isProject);
    EXPECT_EQ(s.colors[6], 8);
    EXPECT_EQ(s.lightPosition, (std::array<double, 6>{8.5, 9.5, 10.5, 11.5, 12.5, 13.5}));
    const pic::ViewState& view = window->picture()->view();
    EXPECT_DOUBLE_EQ(view.centerX, 5.5);
    EXPECT_DOUBLE_EQ(view.centerZ, 7.5);
    EXPECT_FLOAT_EQ(view.zoomY(), 3.5f);
    EXPECT_EQ(window->scene().object(core::kAxesSlot).color, core::kPalette[2]);
    // DrawFName is off: the caption is the bare title.
    EXPECT_EQ(window->windowTitle(), "VORN-3D[*]");
}

TEST_F(SettingsTest, HiddenLineModeIsOneCheckedItemAndSurvivesRestart) {
    window->loadSettings({});
    const auto* menu = window->findChild<QMenu*>("m_HiddenLines");
    ASSERT_TRUE(menu);
    const QStringList names = {"m_HiddenSolid", "m_HiddenDashed", "m_HiddenRemoved"};
    QStringList inMenu;
    for (const QAction* a : menu->actions())
        inMenu << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    // The three modes, then the outline choice apart from them.
    EXPECT_EQ(inMenu, (names + QStringList{"-", "m_Outlines"}));
    const auto* view = window->findChild<QMenu*>("m_View");
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->actions().contains(menu->menuAction()));
    auto checkedItems = [this, &names] {
        QStringList out;
        for (const QString& n : names)
            if (window->command(n.mid(2).toLatin1().constData())->isChecked()) out << n;
        return out;
    };
    EXPECT_EQ(checkedItems(), QStringList{"m_HiddenSolid"});
    EXPECT_EQ(window->settings().hiddenLines, core::kHiddenSolid);

    // Each item, also picked twice in a row, leaves only itself checked, then outlives a restart;
    // a stored value out of range comes back as the default.
    struct Row {
        const char* item;
        int mode;
    };
    for (const Row& r :
         {Row{"HiddenDashed", core::kHiddenDashed}, Row{"HiddenRemoved", core::kHiddenRemoved},
          Row{"HiddenSolid", core::kHiddenSolid}}) {
        for (int twice = 0; twice < 2; ++twice)
            window->command(r.item)->trigger();
        EXPECT_EQ(checkedItems(), QStringList{QStringLiteral("m_") + r.item});
        EXPECT_EQ(window->settings().hiddenLines, r.mode);
        restart();
        EXPECT_EQ(savedIni().intValue("Window", "HiddenLines", -1), r.mode) << r.item;
        EXPECT_EQ(window->settings().hiddenLines, r.mode) << r.item;
        EXPECT_EQ(checkedItems(), QStringList{QStringLiteral("m_") + r.item});
    }
    for (const char* stored : {"3", "-1", "x"}) {
        window->command("HiddenRemoved")->trigger();
        window->saveSettings();
        lang::IniFile ini = savedIni();
        ini.set("Window", "HiddenLines", stored);
        ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
        TearDown();
        SetUp();
        window->loadSettings({});
        EXPECT_EQ(window->settings().hiddenLines, core::kHiddenSolid) << stored;
        EXPECT_EQ(checkedItems(), QStringList{"m_HiddenSolid"}) << stored;
    }

    // "Контури" is checked on its own, whatever the mode, and outlives a restart.
    EXPECT_FALSE(window->settings().outlines);
    window->command("Outlines")->trigger();
    EXPECT_TRUE(window->settings().outlines);
    EXPECT_EQ(checkedItems(), QStringList{"m_HiddenSolid"});
    restart();
    EXPECT_EQ(savedIni().intValue("Window", "Outlines", -1), 1);
    EXPECT_TRUE(window->settings().outlines);
    EXPECT_TRUE(window->command("Outlines")->isChecked());
}

TEST_F(SettingsTest, RightPanelWidthAndToolBarRowsAreRestored) {
    window->loadSettings({});
    window->saveSettings();
    lang::IniFile ini = savedIni();
    ini.set("Window", "RPanelWidth", "320");
    // tb_Objs on a row of its own, below the others; tb_Disk last in the first row.
    ini.set("Window", "tb_Objs.Top", "500");
    ini.set("Window", "tb_Disk.Left", "3000");
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    TearDown();
    SetUp();
    window->loadSettings({});
    QApplication::processEvents();
    auto* objs = window->findChild<QToolBar*>("tb_Objs");
    auto* disk = window->findChild<QToolBar*>("tb_Disk");
    auto* view = window->findChild<QToolBar*>("tb_View");
    EXPECT_GT(objs->y(), disk->y());
    EXPECT_EQ(disk->y(), view->y());
    EXPECT_GT(disk->x(), view->x());
    EXPECT_EQ(window->listing()->width(), 320);
}

TEST_F(SettingsTest, LastSceneIsReopenedOnlyWithIsReadLast) {
    WriteScene(path("last.v3d"), {{core::ObjectType::Point, "L"}});
    window->loadSettings({});
    load(path("last.v3d"));
    restart();
    EXPECT_EQ(window->currentFileName(), path("last.v3d"));
    EXPECT_EQ(objectList(), QStringList({"1. L"}));

    check("IsReadLast")->setChecked(false);
    ASSERT_TRUE(window->applySettings());
    restart();
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
    EXPECT_TRUE(objectList().isEmpty());
    // The next exit stores the unnamed scene as the work file.
    window->saveSettings();
    EXPECT_EQ(savedIni().value("Window", "WorkFile", ""), path("NoName.v3d").toStdString());
}

TEST_F(SettingsTest, CommandLineFileWinsOverWorkFile) {
    WriteScene(path("last.v3d"), {{core::ObjectType::Point, "L"}});
    WriteScene(path("given.v3d"), {{core::ObjectType::Plane, "G"}});
    window->loadSettings({});
    load(path("last.v3d"));
    check("IsReadLast")->setChecked(false);
    window->applySettings();
    // Even with IsReadLast off a command-line file is opened.
    restart(path("given.v3d"));
    EXPECT_EQ(window->currentFileName(), path("given.v3d"));
    EXPECT_EQ(objectList(), QStringList({"1. G"}));
    check("IsReadLast")->setChecked(true);
    window->applySettings();
    restart(path("given.v3d"));
    EXPECT_EQ(objectList(), QStringList({"1. G"}));
    // A missing work file is ignored silently.
    QFile::remove(path("given.v3d"));
    restart();
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
    EXPECT_TRUE(dialogs->boxes.empty());
}

// Values a damaged or hand-edited settings file can hold for the window layout.
struct LayoutCase {
    const char* key;
    const char* value;
};

class HostileLayout : public SettingsTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(HostileLayout, KeepsEveryPaneOnTheScreenAndIsNotWrittenBack) {
    SCOPED_TRACE(std::string(GetParam().key) + "=" + GetParam().value);
    lang::IniFile ini;
    ini.set("Window", GetParam().key, GetParam().value);
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    QApplication::processEvents();
    const QRect room = window->centralWidget()->rect();
    for (const QWidget* pane :
         {static_cast<QWidget*>(window->picture()), static_cast<QWidget*>(window->listing())}) {
        const QRect r(pane->mapTo(window->centralWidget(), QPoint()), pane->size());
        EXPECT_GE(r.width(), 50) << pane->objectName().toStdString();
        EXPECT_TRUE(room.contains(r)) << pane->objectName().toStdString();
    }
    for (const char* name : {"tb_Disk", "tb_View", "tb_Calc", "tb_Mode", "tb_Objs"}) {
        const auto* bar = window->findChild<QToolBar*>(name);
        EXPECT_TRUE(bar->isVisible() && window->rect().contains(bar->geometry())) << name;
    }
    window->saveSettings();
    const int width = savedIni().intValue("Window", "RPanelWidth", -1);
    EXPECT_TRUE(width >= 50 && width <= room.width() - 50) << width;
}

INSTANTIATE_TEST_SUITE_P(
    Values, HostileLayout,
    ::testing::Values(LayoutCase{"RPanelWidth", "2147483647"},
                      LayoutCase{"RPanelWidth", "-2147483648"}, LayoutCase{"RPanelWidth", "99999"},
                      LayoutCase{"tb_Objs.Top", "2147483647"},
                      LayoutCase{"tb_Disk.Left", "-2147483648"}),
    [](const auto& info) {
        return vorn::test::RowName(info.index, {info.param.key, info.param.value});
    });

// A radio group's stored item that it does not have takes the group's default.
struct ChoiceCase {
    const char* stored;
    int item;
};

class StoredChoice : public SettingsTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(StoredChoice, OutOfRangeTakesTheDefaultAndIsNotWrittenBack) {
    lang::IniFile ini;
    ini.set("Values", "UgolType", GetParam().stored);
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    EXPECT_EQ(dialog().ugolType()->itemIndex(), GetParam().item);
    EXPECT_EQ(window->settings().anglesInRadians, GetParam().item == 0);
    window->saveSettings();
    EXPECT_EQ(savedIni().intValue("Values", "UgolType", -2), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredChoice,
                         ::testing::Values(ChoiceCase{"99", 0}, ChoiceCase{"-1", 0},
                                           ChoiceCase{"2", 0}, ChoiceCase{"1", 1},
                                           ChoiceCase{"0", 0}),
                         [](const auto& info) {
                             return vorn::test::RowName(info.index, info.param.stored);
                         });

// The picture's line width and label font size: a stored value outside the spin's range is
// pulled into it, applied and written back so.
struct PictureSizeCase {
    const char* lineWidth;
    const char* fontSize;
    int line, font;
};

class StoredPictureSizes : public SettingsTest,
                           public ::testing::WithParamInterface<PictureSizeCase> {};

TEST_P(StoredPictureSizes, AreClampedAppliedAndWrittenBack) {
    const PictureSizeCase& c = GetParam();
    lang::IniFile ini;
    ini.set("Values", "LineWidth", c.lineWidth);
    ini.set("Values", "LabelFontSize", c.fontSize);
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    EXPECT_EQ(window->settings().lineWidth, c.line);
    EXPECT_EQ(window->settings().labelFontSize, c.font);
    window->saveSettings();
    EXPECT_EQ(savedIni().intValue("Values", "LineWidth", -1), c.line);
    EXPECT_EQ(savedIni().intValue("Values", "LabelFontSize", -1), c.font);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredPictureSizes,
                         ::testing::Values(PictureSizeCase{"3", "14", 3, 14},
                                           PictureSizeCase{"9", "40", 4, 24},
                                           PictureSizeCase{"0", "2", 1, 6},
                                           PictureSizeCase{"-5", "", 1, 10},
                                           PictureSizeCase{"1", "10", 1, 10}));

// The pick precision: a stored value outside 1..10 is pulled into it, one that is not a number
// leaves the default; either way it is applied and written back so.
struct PickRadiusCase {
    const char* stored; // nullptr: no key
    int radius;
};

class StoredPickRadius : public SettingsTest,
                         public ::testing::WithParamInterface<PickRadiusCase> {};

TEST_P(StoredPickRadius, IsClampedAppliedAndWrittenBack) {
    const PickRadiusCase& c = GetParam();
    lang::IniFile ini;
    if (c.stored) ini.set("Values", "PickRadius", c.stored);
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    EXPECT_EQ(window->settings().pickRadius, c.radius);
    EXPECT_EQ(dialog().spin("PickRadius")->value(), c.radius);
    window->saveSettings();
    EXPECT_EQ(savedIni().intValue("Values", "PickRadius", -1), c.radius);
    // And it comes back from the file as it was written.
    restart();
    EXPECT_EQ(window->settings().pickRadius, c.radius);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredPickRadius,
                         ::testing::Values(PickRadiusCase{"7", 7}, PickRadiusCase{"1", 1},
                                           PickRadiusCase{"10", 10}, PickRadiusCase{"0", 1},
                                           PickRadiusCase{"11", 10}, PickRadiusCase{"-3", 1},
                                           PickRadiusCase{"abc", 4}, PickRadiusCase{"", 4},
                                           PickRadiusCase{nullptr, 4}));

// Work file names as the file system holds them; code page 1251 cannot hold the first two.
class WorkFileName : public SettingsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WorkFileName, OpensFromTheCommandLineIsReopenedAndSavedUnderItself) {
    const std::string file = m_dir.path().toStdString() + "/" + GetParam();
    // The temporary folder's own clean-up goes through Qt's names, which miss a name that is
    // not UTF-8.
    struct RemoveAtEnd {
        const std::string& file;
        ~RemoveAtEnd() {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
        }
    } removeAtEnd{file};
    WriteScene(path("made.v3d"), {{core::ObjectType::Point, "L"}});
    std::filesystem::rename(path("made.v3d").toStdString(), file);
    const char* argv[] = {"vorn3d", file.c_str()};
    window->loadSettings(app::CommandLineFile(2, argv));
    ASSERT_EQ(objectList(), QStringList({"1. L"}));
    restart();
    EXPECT_EQ(objectList(), QStringList({"1. L"}));
    EXPECT_EQ(app::LocalBytesOfPath(window->currentFileName()), file);
    // Saving writes that very file, and no other one.
    std::filesystem::remove(file);
    ASSERT_TRUE(window->saveScene(false));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    const std::filesystem::directory_iterator files(m_dir.path().toStdString());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2); // with Vorn3d.ini
}

INSTANTIATE_TEST_SUITE_P(Names, WorkFileName,
                         ::testing::Values("M\xC3\xBCller \xE2\x98\x83.v3d", "bad\xFFname.v3d",
                                           "\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2 100%.v3d",
                                           "plain.v3d"),
                         [](const auto& info) {
                             return vorn::test::RowName(info.index, info.param);
                         });

TEST_F(SettingsTest, WholeWorkFileNameCountsOnlyWhileItAgreesWithWorkFile) {
    WriteScene(path("old.v3d"), {{core::ObjectType::Point, "O"}});
    WriteScene(path("new.v3d"), {{core::ObjectType::Point, "N"}});
    lang::IniFile ini;
    // An older version opened new.v3d and kept the key it does not know.
    ini.set("Window", "WorkFile", path("new.v3d").toStdString());
    ini.set("Window", "WorkFileUtf8", app::PathToStoredText(path("old.v3d")));
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    EXPECT_EQ(objectList(), QStringList({"1. N"}));
}

struct QualityCase {
    int position;
    double quality;
    int points, rings;
};

class QualityCounts : public SettingsTest, public ::testing::WithParamInterface<QualityCase> {};

TEST_P(QualityCounts, FollowTheScrollBar) {
    const QualityCase& c = GetParam();
    dialog().qualityPos()->setValue(c.position);
    ASSERT_TRUE(window->applySettings());
    EXPECT_DOUBLE_EQ(window->settings().Quality(), c.quality);
    EXPECT_EQ(window->settings().revolutionPoints, c.points);
    EXPECT_EQ(window->settings().revolutionRings, c.rings);
}

// Quality x 25 and x 40, halves to even, never below 5; 0.5 x 25 = 12.5 rounds to 12.
INSTANTIATE_TEST_SUITE_P(Positions, QualityCounts,
                         ::testing::Values(QualityCase{0, 0.01, 5, 5},
                                           QualityCase{50, 0.51, 13, 20},
                                           QualityCase{49, 0.50, 12, 20},
                                           QualityCase{99, 1.00, 25, 40}));

TEST_F(SettingsTest, QualityLabelShowsThePercentageOfTheRange) {
    dialog().qualityPos()->setValue(0);
    EXPECT_EQ(dialog().qualityLabel()->text(), "0%");
    dialog().qualityPos()->setValue(99);
    EXPECT_EQ(dialog().qualityLabel()->text(), "100%");
    dialog().qualityPos()->setValue(33);
    EXPECT_EQ(dialog().qualityLabel()->text(), "33%");
}

TEST_F(SettingsTest, BadNumberShowsMessage14AndSkipsTheLaterSteps) {
    window->loadSettings({});
    check("InCenter")->setChecked(false);
    check("AutoZoom")->setChecked(false);
    edit("CenterXE")->setText("2*3"); // constant expressions are numbers too
    edit("ZoomXE")->setText("1,5");
    edit("Edit1")->setText("7");
    dialog().spin("CharAfterP")->setValue(3);
    const float zoomBefore = window->picture()->view().zoomX();
    EXPECT_FALSE(window->applySettings());
    ASSERT_EQ(dialogs->boxTexts(), QStringList({"Не коректний запис числа або виразу."}));
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    // Steps before the bad number took effect, the ones after it did not.
    EXPECT_EQ(window->settings().answerDigits, 3);
    EXPECT_DOUBLE_EQ(window->picture()->view().centerX, 6);
    EXPECT_FLOAT_EQ(window->picture()->view().zoomX(), zoomBefore);
    EXPECT_DOUBLE_EQ(window->settings().lightPosition[0], -10);

    edit("ZoomXE")->setText("");
    EXPECT_FALSE(window->applySettings());
    edit("ZoomXE")->setText("1.5");
    EXPECT_TRUE(window->applySettings());
    EXPECT_FLOAT_EQ(window->picture()->view().zoomX(), 1.5f);
    EXPECT_DOUBLE_EQ(window->settings().lightPosition[0], 7);
}

TEST_F(SettingsTest, CheckBoxesEnableTheirDependentControls) {
    EXPECT_FALSE(edit("ZoomXE")->isEnabled());
    EXPECT_FALSE(dialog().findChild<QLabel*>("ZoomYLabel")->isEnabled());
    EXPECT_FALSE(edit("CenterZE")->isEnabled());
    EXPECT_FALSE(check("PutLetters")->isEnabled());
    check("AutoZoom")->click();
    EXPECT_TRUE(edit("ZoomXE")->isEnabled());
    EXPECT_TRUE(dialog().findChild<QLabel*>("ZoomYLabel")->isEnabled());
    EXPECT_FALSE(edit("CenterZE")->isEnabled());
    check("InCenter")->click();
    EXPECT_TRUE(edit("CenterZE")->isEnabled());
    check("PutVerNum")->click();
    EXPECT_TRUE(check("PutLetters")->isEnabled());
    EXPECT_TRUE(check("PutNumObj")->isEnabled());
    check("PutVerNum")->click();
    EXPECT_FALSE(check("PutNumObj")->isEnabled());
}

TEST_F(SettingsTest, ColourGridEditsTheSelectedRoleAndDefaultsComeBack) {
    dialog().show();
    entry::ColorGrid* grid = dialog().envColor();
    grid->resize(128, 128);
    dialog().colorBox()->setCurrentRow(1);
    EXPECT_EQ(grid->index(), 7);
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(13).center());
    EXPECT_EQ(dialog().colors()[1], 13);
    EXPECT_EQ(dialog().colors()[0], 15);
    dialog().colorBox()->setCurrentRow(0);
    EXPECT_EQ(grid->index(), 15);
    dialog().findChild<QPushButton*>("DefaultColors")->click();
    EXPECT_EQ(dialog().colors(), core::Settings{}.colors);
    dialog().reject();
}

TEST_F(SettingsTest, CancelRestoresColoursAndTypedValues) {
    dialog().setColors({0, 1, 2, 3, 4, 5, 6, 7});
    dialog().show();
    edit("ZoomXE")->setText("garbage");
    check("IsOsi")->setChecked(false);
    dialog().setColors({9, 9, 9, 9, 9, 9, 9, 9});
    button("CancelBtn")->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(dialog().colors(), (TSetupFrm::Colors{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(edit("ZoomXE")->text(), "100");
    EXPECT_TRUE(check("IsOsi")->isChecked());
}

TEST_F(SettingsTest, ShowingRefillsTheLightEditsInFullPrecision) {
    window->settings().lightPosition = {0.1, -2, 1.0 / 3, 4, 5, 6};
    edit("Edit1")->setText("typed");
    dialog().show();
    EXPECT_EQ(edit("Edit1")->text(), "0.1");
    EXPECT_EQ(edit("Edit2")->text(), "-2");
    EXPECT_EQ(edit("Edit3")->text(), "0.333333333333333");
    dialog().reject();
}

TEST_F(SettingsTest, F9OpensTheDialogAndOkAppliesAndCloses) {
    window->loadSettings({});
    EXPECT_TRUE(window->command("Params")->isEnabled());
    EXPECT_EQ(window->command("Params")->shortcut(), QKeySequence(Qt::Key_F9));
    bool wasVisible = false;
    QTimer::singleShot(0, window.get(), [&] {
        wasVisible = dialog().isVisible();
        dialog().spin("CharAfterP")->setValue(4);
        button("OkBtn")->click();
    });
    run("Params");
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(window->settings().answerDigits, 4);
}

TEST_F(SettingsTest, OkWithABadNumberKeepsTheDialogOpen) {
    window->loadSettings({});
    bool stillOpen = false;
    QTimer::singleShot(0, window.get(), [&] {
        check("AutoZoom")->setChecked(false);
        edit("ZoomZE")->setText("x");
        button("OkBtn")->click();
        stillOpen = dialog().isVisible();
        button("CancelBtn")->click();
    });
    run("Params");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialogs->boxTexts().size(), 1);
    // Cancel put back what was there when the dialog opened.
    EXPECT_TRUE(check("AutoZoom")->isChecked());
    EXPECT_EQ(edit("ZoomZE")->text(), "100");
}

TEST(SettingsFolder, ProgramFolderWhenWritableElseTheUserConfigFolder) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config/vorn3d");
    EXPECT_EQ(app::WritableDataDir(dir.path(), config), QDir::cleanPath(dir.path()));
    EXPECT_FALSE(QDir(config).exists());
    EXPECT_EQ(app::WritableDataDir(dir.filePath("missing"), config), config);
    EXPECT_TRUE(QDir(config).exists());

    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    EXPECT_EQ(app::UserConfigDir(), QDir::cleanPath(dir.path()) + "/vorn3d");
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(app::UserConfigDir(), QDir::homePath() + "/.config/vorn3d");
    qputenv("XDG_CONFIG_HOME", saved);

    QDir(dir.path()).mkpath("prefix/bin");
    QDir(dir.path()).mkpath("prefix/share/vorn3d");
    const QStringList dirs = app::LanguageDirs(dir.filePath("prefix/bin"), config);
    EXPECT_EQ(dirs, QStringList({QDir::cleanPath(dir.filePath("prefix/bin")), config,
                                 QDir::cleanPath(dir.filePath("prefix/share/vorn3d"))}));
}

} // namespace
} // namespace vorn::test
