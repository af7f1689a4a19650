// Language files: export of the built-in texts, the key scheme, applying, English and back.
#include "app_fixture.h"

#include "app/file_dialog_text.h"
#include "app/help_window.h"
#include "app/icons.h"
#include "app/language_walk.h"
#include "app/listing_panel.h"
#include "app/radio_group.h"
#include "app/setup_frm.h"
#include "app/stat_line.h"
#include "app/user_dialogs.h"
#include "core/scene.h"
#include "lang/cp1251.h"
#include "lang/ini_file.h"
#include "row_name.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <map>

namespace vorn::test {
namespace {

const QString kSourceDir = QStringLiteral(VORN_SOURCE_DIR);

class LanguageTest : public WindowTest {
  protected:
    // A language file in the program's folder, then the list rebuilt as at start-up.
    void writeLanguage(const QString& file, const std::string& language,
                       const std::vector<std::array<std::string, 3>>& entries,
                       const std::string& appName = "VORN-3D") {
        lang::IniFile ini;
        if (!language.empty()) ini.set("INFO", "Language", language);
        ini.set("INFO", "AppName", appName);
        for (const auto& e : entries)
            ini.set(e[0], e[1], e[2]);
        ASSERT_TRUE(ini.save(path(file).toStdString()));
        window->buildLanguageList();
    }
    QStringList offered() const {
        QStringList names;
        for (const app::LanguageChoice& c : window->languageList())
            names << c.fileName;
        return names;
    }
    // Chooses a language in the settings and applies, as "Застосувати" does.
    void choose(const QString& fileName) {
        const QStringList names = offered();
        window->setupFrm()->languages()->clear();
        for (const app::LanguageChoice& c : window->languageList())
            window->setupFrm()->languages()->addItem(c.language);
        window->setupFrm()->languages()->setCurrentIndex(static_cast<int>(names.indexOf(fileName)));
        ASSERT_TRUE(window->applySettings());
    }
    lang::IniFile exported() {
        EXPECT_TRUE(window->exportLanguage());
        return lang::IniFile::load(path("vorn3ukr.lng").toStdString());
    }
    QString menuCaption(const char* name) const { return window->findChild<QMenu*>(name)->title(); }
};

TEST_F(LanguageTest, ExportedFileHoldsTheBuiltInTextsInCp1251) {
    const lang::IniFile ini = exported();
    EXPECT_EQ(ini.value("INFO", "Language", ""), "Українська");
    EXPECT_EQ(ini.value("INFO", "AppName", ""), "VORN-3D");
    EXPECT_EQ(ini.value("INFO", "Vorn2frm", ""), "VORN-3D");
    EXPECT_EQ(ini.value("INFO", "SetupFrm", ""), "Налагодження");
    EXPECT_EQ(ini.value("Msg", "Button0", ""), "Так");
    EXPECT_EQ(ini.value("Msg", "Caption1", ""), "Помилка");
    EXPECT_EQ(ini.value("InternalResources", "r1", ""), "Обробка граней об'єкта \"%s\"...");
    EXPECT_EQ(ini.value("Vorn2frm", "m_NewFile.caption", ""), "&Новий");
    EXPECT_EQ(ini.value("Vorn2frm", "m_File.caption", ""), "&Файл");
    EXPECT_EQ(ini.value("Vorn2frm", "k_NewFile.hint", ""), "Новий набір об'єктів");
    EXPECT_EQ(ini.value("Vorn2frm", "OpenDialog1.Filter", ""),
              "Об'єкти у форматі VORN-3D|*.v3d|Всі файли|*.*");
    EXPECT_EQ(ini.value("SetupFrm", "ColorBox.2", ""), "Осі");
    EXPECT_EQ(ini.value("SetupFrm", "UgolType.1", ""), "радіанах;");
    EXPECT_EQ(ini.value("SetupFrm", "TabSheet4.caption", ""), "Кольори");
    // Empty messages, the language list and the program's output are never written.
    EXPECT_FALSE(ini.get("InternalResources", "r46"));
    EXPECT_FALSE(ini.get("InternalResources", "r70"));
    EXPECT_TRUE(ini.get("InternalResources", "r142"));
    for (const std::string& key : ini.keys("SetupFrm"))
        EXPECT_EQ(key.find("__"), std::string::npos) << key;
    for (const std::string& key : ini.keys("Vorn2frm")) {
        EXPECT_NE(key.rfind("AnswerBox", 0), 0u) << key;
        EXPECT_NE(key.rfind("InfoPanel", 0), 0u) << key;
    }
    // The order of the windows is their creation order.
    const std::vector<std::string> sections = ini.sections();
    const auto at = [&sections](const char* s) {
        return std::find(sections.begin(), sections.end(), s) - sections.begin();
    };
    EXPECT_LT(at("INFO"), at("Msg"));
    EXPECT_LT(at("Msg"), at("Vorn2frm"));
    EXPECT_LT(at("Vorn2frm"), at("ProgressFrm"));
    EXPECT_LT(at("LoadFrm"), at("SetupFrm"));
    EXPECT_LT(at("SetupFrm"), at("InternalResources"));

    QFile raw(path("vorn3ukr.lng"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains(QByteArray("Button0=\xD2\xE0\xEA")));
}

struct KeyCase {
    const char* section;
    const char* key;
    // Reads the text the key addresses.
    std::function<QString(app::TVorn2frm&)> text;
};

class KeyScheme : public LanguageTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyScheme, ExportedKeyIsTheOneThatReplacesTheText) {
    const KeyCase& c = GetParam();
    const lang::IniFile before = exported();
    const auto builtIn = before.get(c.section, c.key);
    ASSERT_TRUE(builtIn) << c.key;
    // The INI format drops the blanks at the end of a value.
    EXPECT_EQ(c.text(*window).trimmed().toStdString(), *builtIn);
    writeLanguage("t.lng", "Test", {{c.section, c.key, "Zz-replaced"}});
    choose("t.lng");
    EXPECT_EQ(c.text(*window), "Zz-replaced");
}

app::TSetupFrm& setup(app::TVorn2frm& w) {
    return *w.setupFrm();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KeyScheme,
    ::testing::Values(
        KeyCase{"INFO", "SetupFrm", [](app::TVorn2frm& w) { return setup(w).windowTitle(); }},
        KeyCase{
            "INFO", "ProgressFrm",
            [](app::TVorn2frm& w) { return w.findChild<QDialog*>("ProgressFrm")->windowTitle(); }},
        KeyCase{"Vorn2frm", "m_File.caption",
                [](app::TVorn2frm& w) { return w.findChild<QMenu*>("m_File")->title(); }},
        KeyCase{"Vorn2frm", "m_LoadFile.hint",
                [](app::TVorn2frm& w) { return w.command("LoadFile")->statusTip(); }},
        KeyCase{
            "Vorn2frm", "k_LoadFile.hint",
            [](app::TVorn2frm& w) { return w.findChild<QToolButton*>("k_LoadFile")->toolTip(); }},
        KeyCase{"Vorn2frm", "ReportLabel.caption",
                [](app::TVorn2frm& w) { return w.findChild<QLabel*>("ReportLabel")->text(); }},
        KeyCase{"Vorn2frm", "Place.hint",
                [](app::TVorn2frm& w) { return w.findChild<QWidget*>("Place")->toolTip(); }},
        KeyCase{"Vorn2frm", "SaveDialog2.caption",
                [](app::TVorn2frm& w) {
                    return w.findChild<app::FileDialogText*>("SaveDialog2")->title;
                }},
        KeyCase{"ProgressFrm", "StopBtn.caption",
                [](app::TVorn2frm& w) { return w.findChild<QPushButton*>("StopBtn")->text(); }},
        KeyCase{"LoadFrm", "IsAdd.caption",
                [](app::TVorn2frm& w) { return w.findChild<QCheckBox*>("IsAdd")->text(); }},
        KeyCase{"SetupFrm", "TabSheet2.caption",
                [](app::TVorn2frm& w) { return setup(w).pages()->tabText(1); }},
        KeyCase{"SetupFrm", "CenterGroup.caption",
                [](app::TVorn2frm& w) {
                    return setup(w).findChild<QGroupBox*>("CenterGroup")->title();
                }},
        KeyCase{"SetupFrm", "IsOsi.caption",
                [](app::TVorn2frm& w) { return setup(w).check("IsOsi")->text(); }},
        KeyCase{"SetupFrm", "UgolType.2",
                [](app::TVorn2frm& w) { return setup(w).ugolType()->itemText(1); }},
        KeyCase{"SetupFrm", "ColorBox.8",
                [](app::TVorn2frm& w) { return setup(w).colorBox()->item(7)->text(); }}),
    [](const auto& info) {
        return vorn::test::RowName(info.index, {info.param.section, info.param.key});
    });

TEST_F(LanguageTest, MissingKeysShortTextsAndListSelectionsAreKept) {
    app::TSetupFrm& d = *window->setupFrm();
    d.colorBox()->setCurrentRow(3);
    d.ugolType()->setItemIndex(1);
    writeLanguage("a.lng", "A",
                  {{"SetupFrm", "ColorBox.4", "Nodes"},
                   {"SetupFrm", "UgolType.2", "degrees"},
                   {"SetupFrm", "CenterXLabel.caption", "Q"},
                   {"InternalResources", "r46", "never"}});
    writeLanguage("b.lng", "B", {{"SetupFrm", "__Langs.1", "Renamed"}});
    QStringList names = offered();
    names.sort();
    EXPECT_EQ(names, QStringList({"a.lng", "b.lng"}));
    choose("a.lng");
    EXPECT_EQ(d.colorBox()->item(3)->text(), "Nodes");
    EXPECT_EQ(d.colorBox()->currentRow(), 3);
    EXPECT_EQ(d.ugolType()->itemIndex(), 1);
    EXPECT_EQ(d.ugolType()->itemText(1), "degrees");
    EXPECT_EQ(d.colorBox()->item(0)->text(), "Фон області зображення");
    // A two-character text is replaced, an empty message is not.
    EXPECT_EQ(d.findChild<QLabel*>("CenterXLabel")->text(), "Q");
    EXPECT_TRUE(window->messages().text(45).empty());
    // The language list keeps its names and its choice.
    choose("b.lng");
    EXPECT_EQ(d.languages()->itemText(static_cast<int>(offered().indexOf("a.lng"))), "A");
    EXPECT_EQ(d.languages()->currentIndex(), offered().indexOf("b.lng"));
    EXPECT_EQ(window->settings().languageFile, "b.lng");
}

TEST_F(LanguageTest, FilesOfOtherProgramsOrWithoutLanguageAreNotOffered) {
    writeLanguage("other.lng", "Other", {}, "VORN-2D");
    writeLanguage("nameless.lng", "", {});
    writeLanguage("mine.LNG", "Mine", {});
    QFile txt(path("mine.txt"));
    ASSERT_TRUE(QFile::copy(path("mine.LNG"), path("mine.txt")));
    EXPECT_EQ(offered(), QStringList({"mine.LNG"}));
}

TEST_F(LanguageTest, R99ChangesThePolylineLengthLine) {
    WriteScene(path("p.v3d"), {{core::ObjectType::Polyline, "L"}});
    load(path("p.v3d"));
    auto lengthLines = [this] {
        QStringList lines;
        QListWidget* box = window->listing()->reportBox();
        for (int i = 0; i < box->count(); ++i)
            if (box->item(i)->text().startsWith("Length of it: ") ||
                box->item(i)->text().startsWith("Довжина: "))
                lines << box->item(i)->text();
        return lines;
    };
    ASSERT_EQ(lengthLines().size(), 1);
    EXPECT_TRUE(lengthLines()[0].startsWith("Довжина: "));
    writeLanguage("len.lng", "Len", {{"InternalResources", "r99", "Length of it: %s u."}});
    choose("len.lng");
    ASSERT_EQ(lengthLines().size(), 1);
    EXPECT_TRUE(lengthLines()[0].startsWith("Length of it: "));
    EXPECT_TRUE(lengthLines()[0].endsWith(" u."));
}

TEST_F(LanguageTest, TypeNamesPromptsAndNeedTypeTextFollowTheMessages) {
    writeLanguage("p.lng", "P",
                  {{"InternalResources", "r64", "A point with a very long type name"},
                   {"InternalResources", "r71", "pick a point, then another one, then a third"},
                   {"InternalResources", "r81", "Object must be of kind"}});
    choose("p.lng");
    EXPECT_EQ(window->scene().typeNames.name(core::ObjectType::Point), "A point with a very long ");
    EXPECT_EQ(window->prompts().prompts[1], "pick a point, then another one, then a t");
    EXPECT_EQ(window->prompts().prompts[0], "");
    EXPECT_EQ(window->prompts().prompts[2], "виберіть першу точку");
    EXPECT_EQ(window->prompts().needTypeText, "Object must be of kind ");
}

TEST_F(LanguageTest, EnglishFileCoversEveryExportedKey) {
    const lang::IniFile ukr = exported();
    const lang::IniFile eng =
        lang::IniFile::load((kSourceDir + "/lang/vorn3eng.lng").toStdString());
    EXPECT_EQ(eng.value("INFO", "Language", ""), "English");
    EXPECT_EQ(eng.value("INFO", "AppName", ""), "VORN-3D");
    QStringList missing, untranslated;
    for (const std::string& section : ukr.sections())
        for (const std::string& key : ukr.keys(section)) {
            const auto value = eng.get(section, key);
            const QString where = QString::fromStdString(section + "/" + key);
            if (!value)
                missing << where;
            else if (QString::fromStdString(*value).contains(QRegularExpression("[А-яІіЇїЄєҐґ]")))
                untranslated << where;
        }
    EXPECT_TRUE(missing.isEmpty()) << missing.join("\n").toStdString();
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join("\n").toStdString();
    // Code page 1251 on disk: the degree sign is the single byte 0xB0.
    EXPECT_EQ(eng.value("InternalResources", "r36", ""), "Angle°");
    QFile raw(kSourceDir + "/lang/vorn3eng.lng");
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains(QByteArray("r36=Angle\xB0\r\n")));
}

// A teacher finds a command by one name: its menu caption, which its hints repeat and the English
// help quotes.
TEST(EnglishTexts, CommandsKeepOneWordingInMenuHintsAndHelp) {
    const lang::IniFile eng =
        lang::IniFile::load((kSourceDir + "/lang/vorn3eng.lng").toStdString());
    QFile file(kSourceDir + "/help/vorn3eng.html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(file.readAll());
    const QRegularExpression captionKey("^m_(\\w+)\\.caption$");
    QStringList faults;
    int commands = 0;
    for (const std::string& key : eng.keys("Vorn2frm")) {
        const QRegularExpressionMatch m = captionKey.match(QString::fromStdString(key));
        const std::string name = m.captured(1).toStdString();
        const auto hint = eng.get("Vorn2frm", "m_" + name + ".hint");
        if (!m.hasMatch() || !hint) continue; // not a command, or a menu
        ++commands;
        const QString shown = QString::fromStdString(eng.value("Vorn2frm", key, "")).remove('&');
        QString bare = shown.trimmed();
        if (bare.endsWith(QChar(0x2026))) bare.chop(1);
        const QString where = QString::fromStdString(name) + ": ";
        if (!QString::fromStdString(*hint).contains(bare, Qt::CaseInsensitive))
            faults << where + "hint " + QString::fromStdString(*hint);
        const auto buttonHint = eng.get("Vorn2frm", "k_" + name + ".hint");
        if (buttonHint && *buttonHint != *hint)
            faults << where + "button hint " + QString::fromStdString(*buttonHint);
        if (!help.contains(QChar(0x201C) + shown + QChar(0x201D))) faults << where + "help";
    }
    EXPECT_GT(commands, 50);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}

// Every fixed text a user reads must be reachable by a language file, which keys texts by
// component names: an unnamed caption would stay in Ukrainian under any language.
TEST_F(LanguageTest, EveryUkrainianCaptionHasAKey) {
    const QRegularExpression cyrillic("[А-яІіЇїЄєҐґ]");
    QStringList unnamed;
    for (QWidget* top : window->windows().windows())
        for (QWidget* w : top->findChildren<QWidget*>()) {
            // Other windows are checked on their own; a radio group keys its items itself and a
            // tool button shows its action's text.
            if (w->window() != top || qobject_cast<app::RadioGroup*>(w->parentWidget()) ||
                qobject_cast<QToolButton*>(w))
                continue;
            QString shown;
            if (auto* l = qobject_cast<QLabel*>(w))
                shown = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                shown = b->text();
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                shown = g->title();
            if (shown.contains(cyrillic) && w->objectName().isEmpty())
                unnamed << top->objectName() + ": " + shown;
            if (auto* tabs = qobject_cast<QTabWidget*>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->tabText(i).contains(cyrillic) &&
                        tabs->widget(i)->objectName().isEmpty())
                        unnamed << top->objectName() + ": tab " + tabs->tabText(i);
        }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
}

TEST_F(LanguageTest, SwitchingToEnglishAndBack) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    ASSERT_TRUE(window->exportLanguage());
    window->buildLanguageList();
    WriteScene(path("s.v3d"), {{core::ObjectType::Point, "A"}});
    load(path("s.v3d"));

    choose("vorn3eng.lng");
    EXPECT_EQ(menuCaption("m_File"), "&File");
    EXPECT_EQ(window->command("NewFile")->text(), "&New");
    EXPECT_EQ(window->setupFrm()->windowTitle(), "Settings");
    // The export dialog and the print dialog's page are there from the start, in the language.
    EXPECT_EQ(window->findChild<QWidget*>("ExportFrm")->windowTitle(), "Export picture");
    EXPECT_EQ(window->findChild<QLabel*>("FormatLabel")->text(), "&Format:");
    EXPECT_EQ(window->findChild<QWidget*>("PrintFrm")->findChild<QCheckBox*>("BlackWhite")->text(),
              "&Black and white (no fills, hidden lines dashed)");
    EXPECT_EQ(window->messages().button(0), "Yes");
    EXPECT_EQ(window->messages().text(82).rfind("To ", 0), 0u);
    EXPECT_EQ(objectList(), QStringList({"1. A"}));
    EXPECT_EQ(window->scene().typeNames.name(core::ObjectType::Point), "Point");
    EXPECT_EQ(window->windowTitle(), path("s.v3d") + "[*] - VORN-3D");
    run("Delete");
    ASSERT_FALSE(dialogs->boxes.empty());
    EXPECT_TRUE(dialogs->boxes.back().second.startsWith("Delete"));
    EXPECT_EQ(dialogs->boxes.back().second, "Delete the object \"A\"?");

    EXPECT_EQ(window->helpFileName(), "vorn3eng.html");

    choose("vorn3ukr.lng");
    EXPECT_EQ(window->helpFileName(), "vorn3ukr.html");
    EXPECT_EQ(menuCaption("m_File"), "&Файл");
    EXPECT_EQ(window->command("NewFile")->text(), "&Новий");
    EXPECT_EQ(window->messages().button(0), "Так");
    EXPECT_EQ(window->setupFrm()->colorBox()->item(1)->text(), "Осі");
    EXPECT_EQ(window->scene().typeNames.name(core::ObjectType::Point), "Точка");
    // Back in Ukrainian, an export gives the built-in texts again.
    const lang::IniFile again = exported();
    EXPECT_EQ(again.value("Vorn2frm", "m_NewFile.caption", ""), "&Новий");
}

// Alt and a letter must reach one thing: a menu of the menu bar whose marked letter is also an
// Alt shortcut of a command would open under one key and run the command under the other.
TEST_F(LanguageTest, MenuLettersAndAltShortcutsDoNotMeet) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    ASSERT_TRUE(window->exportLanguage());
    window->buildLanguageList();
    const auto clashes = [this] {
        QStringList shortcuts;
        for (const QAction* a : window->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts())
                shortcuts << k.toString(QKeySequence::PortableText);
        QStringList found;
        for (const QAction* menu : window->menuBar()->actions()) {
            const QString title = QString(menu->text()).remove("&&");
            const qsizetype at = title.indexOf('&');
            if (at < 0 || at + 1 >= title.size()) continue;
            const QString alt = "Alt+" + title.mid(at + 1, 1).toUpper();
            if (shortcuts.contains(alt)) found << menu->text() + " / " + alt;
        }
        return found;
    };
    EXPECT_TRUE(clashes().isEmpty()) << clashes().join("\n").toStdString();
    choose("vorn3eng.lng");
    EXPECT_EQ(menuCaption("m_File"), "&File");
    EXPECT_TRUE(clashes().isEmpty()) << clashes().join("\n").toStdString();
}

// Alt and a letter must reach one control of a dialog: every settings check box and every page of
// the standard objects has its letter, and no two controls of one dialog share one.
TEST_F(LanguageTest, DialogMnemonicsAreThereAndUnique) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    ASSERT_TRUE(window->exportLanguage());
    window->buildLanguageList();
    const auto letter = [](const QString& text) -> QString {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&') continue;
            if (text[i + 1] != '&') return text.mid(i + 1, 1).toLower();
            ++i;
        }
        return {};
    };
    // `settings`: its check boxes need letters; otherwise its pages do.
    const auto check = [&](QWidget* dialog, bool settings) {
        QStringList missing;
        std::map<QString, QStringList> owners;
        for (auto* b : dialog->findChildren<QAbstractButton*>()) {
            const QString l = letter(b->text());
            if (l.isEmpty() && settings && qobject_cast<QCheckBox*>(b)) missing << b->objectName();
            if (!l.isEmpty()) owners[l] << b->objectName();
        }
        for (auto* tabs : dialog->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i) {
                const QString l = letter(tabs->tabText(i));
                if (l.isEmpty() && !settings) missing << tabs->widget(i)->objectName();
                if (!l.isEmpty()) owners[l] << tabs->widget(i)->objectName();
            }
        QStringList shared;
        for (const auto& [l, names] : owners)
            if (names.size() > 1) shared << l + ": " + names.join(", ");
        EXPECT_TRUE(missing.isEmpty()) << dialog->objectName().toStdString()
                                       << " without: " << missing.join(", ").toStdString();
        EXPECT_TRUE(shared.isEmpty())
            << dialog->objectName().toStdString() << " shares " << shared.join("; ").toStdString();
    };
    for (const char* language : {"", "vorn3eng.lng"}) {
        SCOPED_TRACE(*language ? language : "built-in");
        if (*language) choose(language);
        check(window->setupFrm(), true);
        check(window->findChild<QWidget*>("StandObjFrm"), false);
    }
}

TEST_F(LanguageTest, ColoursStoredUnderEnglishCaptionsComeBackAfterARestart) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    window->buildLanguageList();
    window->loadSettings({});
    choose("vorn3eng.lng");
    window->setupFrm()->setColors({1, 2, 3, 4, 5, 6, 8, 10});
    ASSERT_TRUE(window->applySettings());
    window->saveSettings();
    EXPECT_TRUE(lang::IniFile::load(path("Vorn3d.ini").toStdString()).get("Colors", "Axes"));
    TearDown();
    SetUp();
    window->loadSettings({});
    EXPECT_EQ(window->setupFrm()->languages()->currentText(), "English");
    EXPECT_EQ(menuCaption("m_File"), "&File");
    EXPECT_EQ(window->settings().colors, (std::array<int, 8>{1, 2, 3, 4, 5, 6, 8, 10}));
}

TEST_F(LanguageTest, UnknownLangFileLeavesNoLanguageChosen) {
    lang::IniFile ini;
    ini.set("Window", "LangFile", "gone.lng");
    ASSERT_TRUE(ini.save(path("Vorn3d.ini").toStdString()));
    window->loadSettings({});
    EXPECT_EQ(window->setupFrm()->languages()->currentIndex(), -1);
    EXPECT_TRUE(window->settings().languageFile.empty());
    EXPECT_EQ(menuCaption("m_File"), "&Файл");
}

TEST_F(LanguageTest, HelpOpensWithTheDesktopOrInTheProgramsWindow) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/help/vorn3ukr.html", path("vorn3ukr.html")));
    dialogs->documentOpens = true;
    run("HelpTopics");
    EXPECT_EQ(dialogs->documents, QStringList({path("vorn3ukr.html")}));
    EXPECT_EQ(window->helpWindow(), nullptr);

    dialogs->documentOpens = false;
    run("HelpTopics");
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(window->helpWindow()->isVisible());
    EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("VORN-3D"));
    EXPECT_TRUE(dialogs->boxes.empty());

    // The desktop may give up only once its opener has run: the window then shows the help, or,
    // with the document gone meanwhile, the status line tells that neither could.
    dialogs->failsLater = true;
    for (const bool gone : {false, true}) {
        window->helpWindow()->hide();
        dialogs->lateFailure = nullptr;
        run("HelpTopics");
        ASSERT_TRUE(dialogs->lateFailure);
        EXPECT_FALSE(window->helpWindow()->isVisible());
        if (gone) {
            ASSERT_TRUE(QFile::remove(path("vorn3ukr.html")));
        }
        dialogs->lateFailure();
        EXPECT_EQ(window->helpWindow()->isVisible(), !gone);
    }
    EXPECT_EQ(window->statLine()->singleText(),
              "Не вдалося відкрити Допомогу " + path("vorn3ukr.html") +
                  " ні програмою робочого столу, ні у вікні програми.");
    EXPECT_TRUE(dialogs->boxes.empty());
    dialogs->failsLater = false;

    // A language file may name another document; a missing one gives message 140.
    writeLanguage("h.lng", "H", {{"INFO", "HelpFile", "other.html"}});
    choose("h.lng");
    EXPECT_EQ(window->helpFileName(), "other.html");
    run("HelpTopics");
    EXPECT_EQ(dialogs->boxTexts(), QStringList({"Не можу завантажити файли Допомоги."}));
}

// The texts of the modal window `open` shows, read before the window is cancelled: its labels
// by object name, then its buttons in their order.
struct ModalTexts {
    std::map<QString, QString> labels;
    QStringList buttons;
};

ModalTexts ReadModal(const std::function<void()>& open) {
    ModalTexts seen;
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        for (const QLabel* l : modal->findChildren<QLabel*>())
            seen.labels[l->objectName()] = l->text();
        if (const auto* box = modal->findChild<QDialogButtonBox*>())
            for (const QAbstractButton* b : box->buttons())
                seen.buttons << b->text().remove('&');
        seen.buttons.sort();
        modal->close();
    });
    open();
    return seen;
}

TEST_F(LanguageTest, QtDialogsSpeakTheInterfaceLanguage) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    writeLanguage(
        "eo.lng", "Esperanto",
        {{"INFO", "Locale", "eo"}, {"Msg", "Button2", "Bone"}, {"Msg", "Button3", "Nuligi"}});
    ASSERT_TRUE(window->exportLanguage());
    window->buildLanguageList();
    app::WidgetDialogs real(window.get(), window->messages());
    const QRegularExpression cyrillic("[А-яІіЇїЄєҐґ]");
    const struct {
        const char* file; // empty: the built-in texts
        bool ukrainian;   // Qt's own labels in Ukrainian, else in English
        QStringList inputButtons, openButtons;
    } rows[] = {
        {"", true, {"Згода", "Скасувати"}, {}},
        {"vorn3eng.lng", false, {"Cancel", "OK"}, {"Cancel", "Open"}},
        // Qt has no Esperanto: its file dialog takes the buttons of the language file.
        {"eo.lng", false, {"Bone", "Nuligi"}, {"Bone", "Nuligi"}},
        {"vorn3ukr.lng", true, {"Згода", "Скасувати"}, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        if (*r.file) choose(r.file);
        ModalTexts open = ReadModal([&real] { real.openFileName("T", "All (*)", "", {}); });
        const QString lookIn = open.labels["lookInLabel"];
        if (r.ukrainian) {
            EXPECT_TRUE(lookIn.contains(cyrillic)) << lookIn.toStdString();
            EXPECT_TRUE(open.labels["fileNameLabel"].contains(cyrillic));
            EXPECT_FALSE(open.buttons.isEmpty());
            for (const QString& b : open.buttons)
                EXPECT_TRUE(b.contains(cyrillic)) << b.toStdString();
        } else {
            EXPECT_EQ(lookIn, "Look in:");
            EXPECT_EQ(open.buttons, r.openButtons);
        }
        QString text = "x";
        const ModalTexts input = ReadModal(
            [&] { EXPECT_FALSE(app::InputBox(window.get(), window->messages(), "T", "P", text)); });
        EXPECT_EQ(input.buttons, r.inputButtons);
        EXPECT_EQ(text, "x");
    }
}

// The measurement buttons name what they take in letters of the interface language.
TEST_F(LanguageTest, MeasurementButtonLettersComeFromTheLanguageFile) {
    ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", path("vorn3eng.lng")));
    const lang::IniFile ukr = exported();
    const lang::IniFile eng = lang::IniFile::load(path("vorn3eng.lng").toStdString());
    window->buildLanguageList();
    const auto image = [](const QIcon& icon) { return icon.pixmap(24, 24).toImage(); };
    const auto shown = [&](const char* name) {
        return image(window->findChild<QToolButton*>(QString("k_") + name)->icon());
    };
    const char* const names[] = {"Ugol3p",     "UgolLPL",     "Ugol2PL",    "Distance2P",
                                 "DistancePL", "DistancePPL", "Distance2L", "DistanceLPL"};
    std::map<std::string, std::string> english;
    for (const char* name : names) {
        const std::string key = std::string("k_") + name + ".icon";
        EXPECT_EQ(ukr.value("Vorn2frm", key, ""), app::DefaultIconLetters(name).toStdString());
        english[name] = eng.value("Vorn2frm", key, "");
    }
    EXPECT_EQ(ukr.value("Vorn2frm", "k_DistancePPL.icon", ""), "т,пл");
    choose("vorn3eng.lng");
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(shown(name),
                  image(app::CommandIcon(name, QString::fromStdString(english[name]))));
        EXPECT_NE(shown(name), image(app::CommandIcon(name)));
    }
    choose("vorn3ukr.lng");
    for (const char* name : names)
        EXPECT_EQ(shown(name), image(app::CommandIcon(name))) << name;
}

TEST(WindowRegistry, WalksLivingWindowsInCreationOrder) {
    app::WindowRegistry registry;
    auto named = [](const char* name) {
        auto* w = new QWidget;
        w->setObjectName(name);
        return w;
    };
    QWidget* setupFrm = named("SetupFrm");
    QWidget* extra = named("HelperFrm");
    QWidget* main = named("Vorn2frm");
    QWidget* splash = named("PresFrm");
    for (QWidget* w : {setupFrm, extra, main, splash})
        registry.add(w);
    EXPECT_EQ(registry.windows(), (QList<QWidget*>{splash, main, setupFrm, extra}));
    delete splash;
    EXPECT_EQ(registry.windows(), (QList<QWidget*>{main, setupFrm, extra}));
    for (QWidget* w : {setupFrm, extra, main})
        delete w;
    EXPECT_TRUE(registry.windows().isEmpty());
}

TEST(FileFilters, PipeFormBecomesTheToolkitsForm) {
    EXPECT_EQ(app::ToQtFilter("Об'єкти у форматі VORN-3D|*.v3d|Всі файли|*.*"),
              "Об'єкти у форматі VORN-3D (*.v3d);;Всі файли (*.*)");
    EXPECT_EQ(app::ToQtFilter("Texts|*.txt;*.log|dangling"), "Texts (*.txt *.log)");
}

} // namespace
} // namespace vorn::test
