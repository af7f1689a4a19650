// View commands, keys, tool bars, report, help, the real message boxes, progress and start-up.
#include "app_fixture.h"

#include "app/command_table.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/load_frm.h"
#include "app/progress_frm.h"
#include "app/startup.h"
#include "app/stat_line.h"
#include "app/tool_bar.h"
#include "core/scene.h"
#include "core/scene_object.h"
#include "picture/picture_panel.h"
#include "row_name.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace vorn::test {
namespace {

using core::Answer;

struct Preset {
    const char* command;
    int horizontal, vertical;
};

class ViewPresets : public WindowTest, public ::testing::WithParamInterface<Preset> {};

TEST_P(ViewPresets, MoveBothScrollBarsAndTheSceneAngles) {
    const Preset& p = GetParam();
    window->picture()->setTurnAngles(40, 10);
    run(p.command);
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), p.horizontal);
    EXPECT_EQ(window->picture()->scrollBarVer()->value(), p.vertical);
    EXPECT_EQ(window->scene().header.turnHorizontal, p.horizontal);
    EXPECT_EQ(window->scene().header.turnVertical, p.vertical);
}

INSTANTIATE_TEST_SUITE_P(Axes, ViewPresets,
                         ::testing::Values(Preset{"Osi_OX", 18, 54}, Preset{"Osi_OY", 0, 54},
                                           Preset{"Osi_OZ", 0, 36}, Preset{"Osi_3", 27, 49}),
                         [](const auto& info) {
                             return vorn::test::RowName(info.index, info.param.command);
                         });

TEST_F(WindowTest, ZoomCommandsAndKeypadKeysScaleByOnePointOne) {
    auto& h = window->scene().header;
    h.zoomX = 100;
    h.zoomY = 50;
    h.zoomZ = 20;
    run("ZoomIn");
    EXPECT_FLOAT_EQ(h.zoomX, 110.0f);
    EXPECT_FLOAT_EQ(h.zoomZ, 22.0f);
    QTest::keyRelease(window->listing()->answerBox(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(h.zoomX, 100.0f);
    QTest::keyRelease(window->listing()->answerBox(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(h.zoomY, 50.0f / 1.1f);
    // The main keyboard's minus is not a zoom key.
    QTest::keyRelease(window->listing()->answerBox(), Qt::Key_Minus);
    EXPECT_FLOAT_EQ(h.zoomY, 50.0f / 1.1f);
    QTest::keyRelease(window->listing()->answerBox(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(h.zoomZ, 20.0f);
    run("ZoomOut");
    EXPECT_FLOAT_EQ(h.zoomZ, 20.0f / 1.1f);
}

TEST_F(WindowTest, ArrowKeysHandFocusToTheScrollBars) {
    QTest::keyRelease(window->listing()->objList(), Qt::Key_Left);
    EXPECT_EQ(window->focusWidget(), window->picture()->scrollBarHor());
    QTest::keyRelease(window->listing()->objList(), Qt::Key_Down);
    EXPECT_EQ(window->focusWidget(), window->picture()->scrollBarVer());
}

TEST_F(WindowTest, ToolBarItemsToggleTheirBarsAndTheHintLine) {
    auto* bar = window->findChild<QToolBar*>("tb_Calc");
    run("TbCalc");
    EXPECT_FALSE(window->command("TbCalc")->isChecked());
    EXPECT_FALSE(bar->isVisible());
    run("TbCalc");
    EXPECT_TRUE(bar->isVisible());

    window->loadSettings({});
    EXPECT_TRUE(window->infoPanel()->isVisible());
    run("Hint");
    EXPECT_FALSE(window->infoPanel()->isVisible());
    EXPECT_FALSE(window->command("Hint")->isChecked());
}

TEST_F(WindowTest, ClosingAFloatingToolBarHidesUnchecksAndDocksIt) {
    auto* bar = window->findChild<app::FloatingToolBar*>("tb_View");
    ASSERT_NE(bar, nullptr);
    // Undock it as a drag out of the tool-bar area leaves it.
    bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    bar->show();
    Q_EMIT bar->topLevelChanged(true);
    EXPECT_TRUE(bar->closeAction()->isVisible());
    bar->closeAction()->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(window->command("TbView")->isChecked());
    EXPECT_EQ(window->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_FALSE(bar->isWindow());
    run("TbView");
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(WindowTest, ReportIsClearedAndSavedAsText) {
    window->addReportLine("Кут: 90");
    window->addReportLine("Відстань між точками: 1.41421");
    EXPECT_EQ(window->listing()->answerBox()->currentRow(), 1);
    dialogs->saveNames = {path("report.txt")};
    window->command("SaveReport")->trigger();
    EXPECT_EQ(dialogs->saveTitles, QStringList({"Збереження звіту"}));
    QFile f(path("report.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "Кут: 90\nВідстань між точками: 1.41421\n");
    // Both report commands are on the report pane's context menu.
    const auto actions = window->listing()->answerBox()->actions();
    EXPECT_TRUE(actions.contains(window->command("ClearReport")));
    EXPECT_TRUE(actions.contains(window->command("SaveReport")));
    run("ClearReport");
    EXPECT_TRUE(report().isEmpty());
}

TEST_F(WindowTest, HelpWithoutTheHelpFileShowsMessage140) {
    run("HelpTopics");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second, "Не можу завантажити файли Допомоги.");
}

TEST_F(WindowTest, SelectionShowsCharacteristicsAndEnablesTheKindsSubmenu) {
    WriteScene(path("s.v3d"), {{core::ObjectType::Point, "A"}, {core::ObjectType::Surface, "F"}});
    load(path("s.v3d"));
    const int pointLines = window->listing()->reportBox()->count();
    EXPECT_GT(pointLines, 0);
    EXPECT_FALSE(window->findChild<QMenu*>("m_Surf")->menuAction()->isEnabled());
    window->listing()->objList()->setCurrentRow(1);
    EXPECT_EQ(window->scene().currentObject, 3);
    EXPECT_TRUE(window->findChild<QMenu*>("m_Surf")->menuAction()->isEnabled());
    EXPECT_FALSE(window->findChild<QMenu*>("m_Poly")->menuAction()->isEnabled());
    EXPECT_TRUE(window->command("Delete")->isEnabled());
}

// ---- the real modal windows -----------------------------------------------------------------

// Runs `check` on the modal window once it is up.
void whenModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        check(modal);
    });
}

QPushButton* buttonWithText(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(MessageBoxes, ConfirmationHasLocalizedTitleAndButtons) {
    lang::MessageTable messages;
    app::WidgetDialogs dialogs(nullptr, messages);
    QStringList seen;
    whenModal([&seen](QWidget* box) {
        seen << box->windowTitle();
        for (const char* t : {"Так", "Ні", "Скасувати"})
            if (buttonWithText(box, t)) seen << t;
        EXPECT_EQ(static_cast<QMessageBox*>(box)->icon(), QMessageBox::Question);
        // The question mark keeps to the last word instead of wrapping onto a line alone.
        EXPECT_EQ(static_cast<QMessageBox*>(box)->text(),
                  QString::fromUtf8("відносно площини перерізу\u00A0?"));
        buttonWithText(box, "Ні")->click();
    });
    EXPECT_EQ(dialogs.messageBox(core::BoxKind::Confirmation, "відносно площини перерізу ?",
                                 app::BoxButtons::YesNoCancel),
              Answer::No);
    EXPECT_EQ(seen, QStringList({"Підтвердження", "Так", "Ні", "Скасувати"}));

    whenModal([&seen](QWidget* box) {
        seen << box->windowTitle();
        EXPECT_EQ(static_cast<QMessageBox*>(box)->icon(), QMessageBox::Critical);
        buttonWithText(box, "Згода")->click();
    });
    dialogs.messageBox(core::BoxKind::Error, "!", app::BoxButtons::Ok);
    EXPECT_EQ(seen.back(), "Помилка");

    // The question before unsaved changes are lost: Save, Discard, Cancel; Escape cancels.
    const struct {
        const char* click;
        Answer answer;
    } choices[] = {{"Зберегти", Answer::Yes},
                   {"Не зберігати", Answer::No},
                   {"Скасувати", Answer::Cancel},
                   {nullptr, Answer::Cancel}};
    for (const auto& c : choices) {
        seen.clear();
        whenModal([&seen, c](QWidget* box) {
            for (const char* t : {"Так", "Ні", "Зберегти", "Не зберігати", "Скасувати"})
                if (buttonWithText(box, t)) seen << t;
            if (c.click)
                buttonWithText(box, c.click)->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.messageBox(core::BoxKind::Confirmation, "Зберегти зміни?",
                                     app::BoxButtons::SaveDiscardCancel),
                  c.answer);
        EXPECT_EQ(seen, QStringList({"Зберегти", "Не зберігати", "Скасувати"}));
    }
}

// F1 through the desktop: xdg-open starts whatever the desktop has for HTML and exits non-zero
// when there is nothing (Qt would count its start as success). A stand-in on PATH answers.
TEST(DesktopDocument, TheOpenersExitCodeTellsWhetherTheDocumentOpened) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray oldPath = qgetenv("PATH");
    const auto restore = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + oldPath);
    lang::MessageTable messages;
    QWidget parent;
    app::WidgetDialogs dialogs(&parent, messages);
    int failures = 0;
    for (const int code : {0, 3, 4}) {
        SCOPED_TRACE(code);
        QFile script(bin.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit %2\n")
                         .arg(bin.filePath("seen"))
                         .arg(code)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(bin.filePath("seen"));
        failures = 0;
        dialogs.openDocument(QStringLiteral("/tmp/help page.html"), [&failures] { ++failures; });
        if (code != 0) {
            ASSERT_TRUE(QTest::qWaitFor([&failures] { return failures > 0; }, 5000));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(bin.filePath("seen")); }, 5000));
        QTest::qWait(200); // for a late answer that should not come
        EXPECT_EQ(failures, code == 0 ? 0 : 1);
        QFile seen(bin.filePath("seen"));
        ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
        EXPECT_EQ(seen.readAll(), "/tmp/help page.html");
    }
}

TEST(LoadFrm, SelectionDialogReturnsTheUsersMarks) {
    lang::MessageTable messages;
    QWidget parent;
    app::WidgetDialogs dialogs(&parent, messages);
    core::LoadSelection sel{"/tmp/x.v3d", {"1. A", "2. B"}, {true, true}, true, false};
    whenModal([](QWidget* w) {
        auto* frm = qobject_cast<app::TLoadFrm*>(w);
        ASSERT_NE(frm, nullptr);
        EXPECT_EQ(frm->windowTitle(), "/tmp/x.v3d");
        EXPECT_EQ(frm->list()->count(), 2);
        EXPECT_EQ(frm->findChild<QCheckBox*>("IsOsiInfo")->text(), "параметри з файлу");
        EXPECT_EQ(frm->findChild<QCheckBox*>("IsAdd")->text(), "додати до вже створених");
        frm->list()->item(0)->setCheckState(Qt::Unchecked);
        frm->osiInfo()->setChecked(false);
        frm->add()->setChecked(true);
        buttonWithText(frm, "Завантажити")->click();
    });
    ASSERT_TRUE(dialogs.selectObjects(sel));
    EXPECT_EQ(sel.checked, (std::vector<bool>{false, true}));
    EXPECT_FALSE(sel.osiInfo);
    EXPECT_TRUE(sel.add);

    whenModal([](QWidget* w) { buttonWithText(w, "Скасувати")->click(); });
    EXPECT_FALSE(dialogs.selectObjects(sel));
}

TEST_F(WindowTest, StopButtonAsksMessage18AndOnlyYesAborts) {
    window->progressBegin("Обробка граней", 200);
    app::TProgressFrm* frm = window->progressFrm();
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(frm->windowTitle(), "Обробка...");
    EXPECT_EQ(frm->stopButton()->text(), "Припинити");
    window->progressStep(50);
    EXPECT_EQ(frm->gauge()->value(), 50);

    dialogs->answers = {Answer::No, Answer::Yes};
    frm->stopButton()->click();
    EXPECT_EQ(dialogs->boxes.back().second, "Припинити обчислення ?");
    EXPECT_FALSE(window->abortRequested());
    EXPECT_TRUE(frm->isVisible());
    frm->stopButton()->click();
    EXPECT_TRUE(window->abortRequested());
    EXPECT_FALSE(frm->isVisible());
    window->progressEnd();
    // Showing the window again clears the flag.
    window->progressBegin("ще", 150);
    EXPECT_FALSE(window->abortRequested());
    window->progressEnd();
}

// ---- start-up ------------------------------------------------------------------------------

class StartUpTicks : public WindowTest {
  protected:
    // Runs the timer to its end; returns the scene size seen at each tick.
    void runStartUp(const QString& file) {
        auto* splash = new QWidget;
        splash->show();
        splashWatch = splash;
        app::StartUp startUp(*window, splash, file);
        QSignalSpy done(&startUp, &app::StartUp::finished);
        startUp.start();
        EXPECT_FALSE(window->settingsLoaded());
        ASSERT_TRUE(done.wait(5000));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ticks = startUp.ticks();
    }
    QPointer<QWidget> splashWatch;
    int ticks = 0;
};

TEST_F(StartUpTicks, OpensTheCommandLineSceneThenClosesTheSplash) {
    WriteScene(path("start.v3d"), {{core::ObjectType::Point, "S"}}, 12, 13);
    runStartUp(path("start.v3d"));
    EXPECT_EQ(ticks, app::StartUp::kSplashTick);
    EXPECT_TRUE(splashWatch.isNull());
    EXPECT_TRUE(window->settingsLoaded());
    EXPECT_EQ(objectList(), QStringList({"1. S"}));
    EXPECT_EQ(window->windowTitle(), path("start.v3d") + "[*] - VORN-3D");
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), 12);
    EXPECT_TRUE(window->infoPanel()->isVisible());
}

TEST_F(StartUpTicks, UnreadableStartFileIsIgnoredSilently) {
    QFile f(path("bad.v3d"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no");
    f.close();
    runStartUp(path("bad.v3d"));
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(window->scene().objectCount(), 1);
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
}

// The ticks against a bare window: while a command runs at the settings tick the timer waits,
// then it loads the settings once, with the command line's file, and offers recovery last.
TEST(StartUpAlone, SettingsTickWaitsForTheRunningCommand) {
    struct Fake : app::StartUpWindow {
        bool settingsLoaded() const override { return !loads.empty(); }
        bool busy() const override { return running; }
        void loadSettings(const QString& file) override { loads << file; }
        app::StatLine* statLine() const override { return line.get(); }
        void offerRecovery() override { offeredAfterLoads = loads.size(); }
        std::unique_ptr<app::StatLine> line = std::make_unique<app::StatLine>();
        bool running = true; // a command's dialog is up from the start
        QStringList loads;
        qsizetype offeredAfterLoads = -1;
    } fake;
    app::StartUp startUp(fake, nullptr, "start.v3d");
    QSignalSpy done(&startUp, &app::StartUp::finished);
    startUp.start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return startUp.ticks() == app::StartUp::kSettingsTick - 1; }));
    QTest::qWait(5 * app::StartUp::kIntervalMs);
    EXPECT_EQ(startUp.ticks(), app::StartUp::kSettingsTick - 1);
    EXPECT_TRUE(fake.loads.isEmpty());
    fake.running = false;
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(fake.loads, QStringList{"start.v3d"});
    EXPECT_EQ(fake.offeredAfterLoads, 1);
    EXPECT_EQ(startUp.ticks(), app::StartUp::kSplashTick);
    EXPECT_FALSE(startUp.running());
}

// ---- dialogs from the menu start in their first field ------------------------------------------

// The named control that holds the focus (a field's inner editor answers for the field).
QString FocusName(QWidget* window) {
    QWidget* w = window->focusWidget();
    while (w && w->objectName().isEmpty() && w->parentWidget() != window)
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

TEST_F(WindowTest, DialogsFromTheMenuGiveTheFocusToTheirFirstField) {
    core::AppendObject(window->scene(), core::ObjectType::Polyhedron); // the face list needs one
    window->refreshObjectList();
    const struct {
        const char* command;
        const char* window;
        const char* field;
    } rows[] = {
        {"Params", "SetupFrm", "AutoZoom"},  {"StandObj", "StandObjFrm", "CutCount"},
        {"CrPoint", "PirEnter", "ObjName1"}, {"Sides", "CheckFrm", "CGr"},
        {"Transform", "ModFrm", "PsX"},      {"Calculator", "CalcFrm", "CalcStr"},
    };
    for (const auto& r : rows) {
        QString focus = "(not shown)";
        auto* modal = new QTimer;
        QObject::connect(modal, &QTimer::timeout, [&focus, &r, modal] {
            QWidget* m = QApplication::activeModalWidget();
            if (!m || m->objectName() != r.window) return;
            modal->stop();
            focus = FocusName(m);
            m->close();
        });
        modal->start(5);
        run(r.command);
        delete modal;
        if (auto* w = window->findChild<QWidget*>(r.window); w && w->isVisible() && !w->isModal()) {
            focus = FocusName(w);
            w->hide();
        }
        EXPECT_EQ(focus, r.field) << r.command;
    }
}

// The window finds its items by name when a command runs, so a misspelt name would show only
// then: every name its files look up is one of the command table's.
TEST(CommandNames, EveryNameTheWindowLooksUpIsACommand) {
    const std::regex lookup(R"re(command\("(\w+)"\))re");
    int found = 0;
    for (const auto& file : std::filesystem::directory_iterator(VORN_SOURCE_DIR "/src/app")) {
        if (file.path().extension() != ".cpp") continue;
        std::ifstream in(file.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (std::sregex_iterator it(s.begin(), s.end(), lookup), end; it != end; ++it, ++found)
            EXPECT_NE(app::FindCommand((*it)[1].str().c_str()), nullptr)
                << file.path().filename() << ": " << (*it)[1];
    }
    EXPECT_GT(found, 10);
}

} // namespace
} // namespace vorn::test
