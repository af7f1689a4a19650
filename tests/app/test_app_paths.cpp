// The program installed under <prefix>/bin: data from <prefix>/share/vorn3d, settings in the
// user's configuration folder even when <prefix>/bin is writable (an administrator's run).
#include "app_fixture.h"

#include "app/app_paths.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace vorn::test {
namespace {

const QString kSourceDir = QStringLiteral(VORN_SOURCE_DIR);

TEST(InstalledLayout, NeedsBinBesideShareVorn3d) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config/vorn3d");
    QDir(dir.path()).mkpath("usr/bin");
    QDir(dir.path()).mkpath("usr/share/vorn3d");
    QDir(dir.path()).mkpath("portable/bin");
    QDir(dir.path()).mkpath("other/prog");
    QDir(dir.path()).mkpath("other/share/vorn3d");
    const struct {
        const char* folder;
        bool installed;
    } rows[] = {{"usr/bin", true},       {"usr/bin/", true},    {"usr/sbin/../bin", true},
                {"portable/bin", false}, {"other/prog", false}, {"usr", false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.folder);
        const QString program = dir.filePath(r.folder);
        EXPECT_EQ(app::IsInstalledLayout(program), r.installed);
        // Every folder here is writable: only the layout decides.
        EXPECT_EQ(app::WritableDataDir(program, config),
                  r.installed ? config : QDir::cleanPath(program));
    }
    EXPECT_TRUE(QDir(config).exists());
}

// File names are bytes: valid UTF-8 reads as Qt reads it, and any name comes back byte for byte,
// also from its stored text, which is plain ASCII so that a code page 1251 file keeps it.
TEST(LocalPathBytes, ComeBackByteForByte) {
    const struct {
        const char* bytes;
        bool utf8;
    } rows[] = {{"/tmp/plain.v3d", true},    {"M\xC3\xBCller \xE2\x98\x83 %20.v3d", true},
                {"\xF0\x9F\x98\x80", true},  {"bad\xFFname.v3d", false},
                {"\xC0\xAF", false},         // overlong "/"
                {"\xED\xA0\x80", false},     // a surrogate's code
                {"\xE2\x98.v3d", false},     // cut short
                {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
                {"\x80\xBF", false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(QByteArray(r.bytes).toHex().toStdString());
        const QString path = app::PathFromLocalBytes(r.bytes);
        EXPECT_EQ(app::LocalBytesOfPath(path), r.bytes);
        if (r.utf8) {
            EXPECT_EQ(path, QString::fromUtf8(r.bytes));
        }
        const std::string stored = app::PathToStoredText(path);
        EXPECT_TRUE(std::all_of(stored.begin(), stored.end(), [](char c) {
            return c > 0x20 && c < 0x7F;
        })) << stored;
        EXPECT_EQ(app::PathFromStoredText(stored), path);
    }
    // A relative name on the command line is taken in the current folder.
    const char* argv[] = {"vorn3d", "sub/../bad\xFF.v3d"};
    EXPECT_EQ(app::LocalBytesOfPath(app::CommandLineFile(2, argv)),
              QDir::currentPath().toStdString() + "/bad\xFF.v3d");
    EXPECT_TRUE(app::CommandLineFile(1, argv).isEmpty());
}

class InstalledWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", path("home-config").toUtf8());
        QDir(m_dir.path()).mkpath("usr/bin");
        QDir(m_dir.path()).mkpath("usr/share/vorn3d");
        ASSERT_TRUE(QFile::copy(kSourceDir + "/lang/vorn3eng.lng", share("vorn3eng.lng")));
        ASSERT_TRUE(QFile::copy(kSourceDir + "/help/vorn3ukr.html", share("vorn3ukr.html")));
        window->setProgramDir(path("usr/bin"));
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", m_savedConfig);
        WindowTest::TearDown();
    }
    QString share(const QString& file) const { return path("usr/share/vorn3d/" + file); }
    QString config(const QString& file) const { return path("home-config/vorn3d/" + file); }

    QByteArray m_savedConfig;
};

TEST_F(InstalledWindowTest, WritesToTheConfigFolderAndReadsTheShareFolder) {
    EXPECT_EQ(window->settingsFile(), config("Vorn3d.ini"));
    ASSERT_TRUE(window->exportLanguage());
    EXPECT_TRUE(QFile::exists(config("vorn3ukr.lng")));
    window->saveSettings();
    EXPECT_TRUE(QFile::exists(config("Vorn3d.ini")));
    // Nothing lands beside the binary.
    EXPECT_EQ(QDir(path("usr/bin")).entryList(QDir::Files), QStringList());

    // The shipped English file from the share folder, the exported template from the config one.
    window->setProgramDir(path("usr/bin"));
    QStringList offered;
    for (const app::LanguageChoice& c : window->languageList())
        offered << c.path;
    EXPECT_TRUE(offered.contains(share("vorn3eng.lng"))) << offered.join(", ").toStdString();
    EXPECT_TRUE(offered.contains(config("vorn3ukr.lng"))) << offered.join(", ").toStdString();

    dialogs->documentOpens = true;
    run("HelpTopics");
    EXPECT_EQ(dialogs->documents, QStringList({share("vorn3ukr.html")}));
    EXPECT_TRUE(dialogs->boxes.empty());
}

// A new scene of the installed program is named where the user can save it, not in its bin.
TEST_F(InstalledWindowTest, NewSceneIsNamedOutsideTheProgramsFolder) {
    run("NewFile");
    const QString name = window->currentFileName();
    EXPECT_TRUE(name.endsWith("/NoName.v3d")) << name.toStdString();
    EXPECT_FALSE(name.startsWith(path("usr/bin"))) << name.toStdString();
    // A portable copy keeps its scenes beside it.
    QDir(m_dir.path()).mkpath("portable");
    window->setProgramDir(path("portable"));
    run("NewFile");
    EXPECT_EQ(window->currentFileName(), path("portable/NoName.v3d"));
}

} // namespace
} // namespace vorn::test
