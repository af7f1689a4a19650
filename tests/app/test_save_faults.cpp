// The window's files under faults: the scene, the report, the settings and the exported
// language file keep their previous content, and the failure is reported.
#include "app_fixture.h"
#include "fault_fs.h"

#include "app/listing_panel.h"
#include "core/scene_file.h"
#include "lang/message_ids.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <memory>
#include <optional>

namespace vorn::test {
namespace {

class WindowSaveFaults : public WindowTest, public ::testing::WithParamInterface<Fault> {
  protected:
    QString folder; // the program's folder, where the fault strikes
    std::optional<FaultMount> mount;
    std::unique_ptr<FileSizeLimit> limit;

    void SetUp() override {
        WindowTest::SetUp();
        folder = path("faulty");
        ASSERT_TRUE(QDir().mkpath(folder));
        if (GetParam() == Fault::FullFileSystem) {
            mount.emplace(FaultMount::SmallTmpfs(folder.toStdString(), 1024 * 1024));
            if (!mount->error().empty()) GTEST_SKIP() << "tmpfs unavailable: " << mount->error();
        }
        window->setProgramDir(folder);
        ASSERT_EQ(window->dataDir(), folder);
    }
    void TearDown() override {
        limit.reset();
        mount.reset();
        WindowTest::TearDown();
    }

    QString in(const char* name) const { return QDir(folder).filePath(name); }
    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    static void put(const QString& file, const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    // The fault strikes after the old files exist; a skip ends the test.
    void strike() {
        switch (GetParam()) {
        case Fault::ReadOnlyFolder:
            mount.emplace(FaultMount::ReadOnly(folder.toStdString()));
            if (!mount->error().empty()) GTEST_SKIP() << "read-only mount: " << mount->error();
            break;
        case Fault::FullFileSystem: {
            // Whatever room is left goes to one filler file.
            const int fd = ::open(QFile::encodeName(in("filler")).constData(),
                                  O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            ASSERT_GE(fd, 0);
            const std::string chunk(4096, 'f');
            while (::write(fd, chunk.data(), chunk.size()) > 0) {
            }
            ::close(fd);
            break;
        }
        case Fault::FileSizeLimit:
            limit = std::make_unique<FileSizeLimit>(16);
            ASSERT_TRUE(limit->ok());
            break;
        }
    }
    // Ends a size limit before the results are looked at (the test's output may be a file).
    void heal() { limit.reset(); }
};

TEST_P(WindowSaveFaults, SceneSaveReportsKeepsTheOldFileAndTheQuestion) {
    WriteScene(path("src.v3d"), {{core::ObjectType::Point, "A"}, {core::ObjectType::Plane, "B"}});
    load(path("src.v3d"));
    window->setCurrentFile(in("scene.v3d"));
    run("SaveFile");
    const QByteArray before = bytes(in("scene.v3d"));
    ASSERT_GT(before.size(), 52);
    dialogs->boxes.clear();

    core::AppendObject(window->scene(), core::ObjectType::Polyhedron);
    window->scene().sceneModified = true;
    window->refreshObjectList();
    const QString title = window->windowTitle();
    strike();
    if (IsSkipped()) return;
    run("SaveFile");
    heal();

    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second.toStdString(),
              window->messages().format(lang::msg::kWriteFailed, {in("scene.v3d").toStdString()}));
    EXPECT_TRUE(window->scene().sceneModified);
    EXPECT_EQ(window->currentFileName(), in("scene.v3d"));
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(bytes(in("scene.v3d")), before);

    // Closing asks, the save fails again, and the program stays open with the scene.
    if (GetParam() == Fault::FileSizeLimit) strike();
    dialogs->answers = {core::Answer::Yes};
    const bool closed = window->close();
    heal();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(bytes(in("scene.v3d")), before);
    EXPECT_EQ(QDir(folder).entryList({".~*"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST_P(WindowSaveFaults, ReportSaveReportsAndKeepsTheOldReport) {
    put(in("report.txt"), "old report\n");
    window->addReportLine(std::string(5000, 'r'));
    dialogs->saveNames = {in("report.txt")};
    strike();
    if (IsSkipped()) return;
    window->saveReport();
    heal();
    EXPECT_EQ(bytes(in("report.txt")), "old report\n");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].second.toStdString(),
              window->messages().format(lang::msg::kWriteFailed, {in("report.txt").toStdString()}));
}

TEST_P(WindowSaveFaults, SettingsFileKeepsItsPreviousContent) {
    const QByteArray old = "[Window]\r\nRPanelWidth=321\r\n\r\n";
    put(window->settingsFile(), old);
    strike();
    if (IsSkipped()) return;
    const bool saved = window->saveSettings();
    heal();
    EXPECT_FALSE(saved);
    EXPECT_EQ(bytes(window->settingsFile()), old);
    // Closing still closes: a settings file that cannot be written is no reason to stay.
    if (GetParam() == Fault::FileSizeLimit) strike();
    const bool closed = window->close();
    heal();
    EXPECT_TRUE(closed);
    EXPECT_EQ(bytes(window->settingsFile()), old);
}

TEST_P(WindowSaveFaults, ExportedLanguageFileKeepsItsPreviousContent) {
    const QString file = in("vorn3ukr.lng");
    const QByteArray old = "[INFO]\r\nLanguage=Old\r\nAppName=VORN-3D\r\n\r\n";
    put(file, old);
    strike();
    if (IsSkipped()) return;
    const bool exported = window->exportLanguage();
    heal();
    EXPECT_FALSE(exported);
    EXPECT_EQ(bytes(file), old);
    EXPECT_EQ(QDir(folder).entryList({".~*"}, QDir::Files | QDir::Hidden), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Faults, WindowSaveFaults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return FaultName(info.param); });

} // namespace
} // namespace vorn::test
