// INI files under faults. Saving: read-only folders, full file systems, size limits, SIGKILL.
// Loading: a folder or a pipe where the file should be reads as an empty file.
#include "fault_fs.h"
#include "lang/ini_file.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using vorn::lang::IniFile;
using vorn::lang::writeFileAtomically;
using namespace vorn::test;

namespace {

class AtomicSaveFaults : public ::testing::Test {
  protected:
    fs::path dir;
    fs::path target;
    const std::string oldText = "[Window]\r\nRPanelWidth=200\r\n\r\n";

    void SetUp() override {
        dir = tempPath(std::string("faults_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        target = dir / "Vorn3d.ini";
        std::ofstream(target, std::ios::binary) << oldText;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    // Settings of `keys` entries: large enough to need many blocks.
    static IniFile largeSettings(int keys, const std::string& value) {
        IniFile ini;
        for (int i = 0; i < keys; ++i)
            ini.set("Values", "Key" + std::to_string(i), value + std::to_string(i));
        return ini;
    }
};

TEST_F(AtomicSaveFaults, ReadOnlyFolderFailsAndKeepsTheOldFile) {
    const FaultMount ro = FaultMount::ReadOnly(dir);
    if (!ro.error().empty()) GTEST_SKIP() << "read-only mount unavailable: " << ro.error();
    EXPECT_FALSE(writeFileAtomically(target.string(), "new"));
    EXPECT_FALSE(largeSettings(50, "x").save(target.string()));
    EXPECT_EQ(ReadFileBytes(target), oldText);
    EXPECT_EQ(TemporaryLeftovers(dir), 0);
}

TEST_F(AtomicSaveFaults, FolderThatTheUserMayNotWriteFailsAndKeepsTheOldFile) {
    // Root ignores permissions, so the save runs as "nobody" in a child. The file itself may
    // be written by anyone: only a save in place could succeed.
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);
    fs::permissions(target, fs::perms::all);
    const int result = RunInChild([&] {
        if (::geteuid() == 0 && !BecomeNobody()) return 3;
        return writeFileAtomically(target.string(), "new") ? 1 : 0;
    });
    if (result == 3) GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(result, 0) << "the save should fail in a folder the user cannot write";
    EXPECT_EQ(ReadFileBytes(target), oldText);
    EXPECT_EQ(TemporaryLeftovers(dir), 0);
}

TEST_F(AtomicSaveFaults, FullFileSystemFailsKeepsTheOldFileAndGivesTheSpaceBack) {
    const fs::path small = dir / "small";
    fs::create_directories(small);
    const FaultMount tmpfs = FaultMount::SmallTmpfs(small, 64 * 1024);
    if (!tmpfs.error().empty()) GTEST_SKIP() << "tmpfs mount unavailable: " << tmpfs.error();
    const fs::path file = small / "Vorn3d.ini";
    ASSERT_TRUE(writeFileAtomically(file.string(), oldText));

    const std::string tooLarge(200 * 1024, 'x');
    EXPECT_FALSE(writeFileAtomically(file.string(), tooLarge));
    EXPECT_FALSE(largeSettings(8000, "value").save(file.string()));
    EXPECT_EQ(ReadFileBytes(file), oldText);
    EXPECT_EQ(TemporaryLeftovers(small), 0);
    // Nothing of the failed attempts holds space: 40 KB still fit beside the old file.
    const std::string fits(40 * 1024, 'y');
    EXPECT_TRUE(writeFileAtomically(file.string(), fits));
    EXPECT_EQ(ReadFileBytes(file), fits);
}

TEST_F(AtomicSaveFaults, FileSizeLimitFailsAndKeepsTheOldFile) {
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(writeFileAtomically(target.string(), std::string(100 * 1024, 'x')));
        EXPECT_FALSE(largeSettings(2000, "value").save(target.string()));
        // Small files are still written.
        EXPECT_TRUE(writeFileAtomically((dir / "small.lng").string(), "[INFO]\r\n"));
    }
    EXPECT_EQ(ReadFileBytes(target), oldText);
    EXPECT_EQ(TemporaryLeftovers(dir), 0);
    EXPECT_TRUE(writeFileAtomically(target.string(), std::string(100 * 1024, 'x')));
}

TEST_F(AtomicSaveFaults, KilledWriterLeavesTheOldOrTheWholeNewFile) {
    const IniFile a = largeSettings(20000, "first value ");
    const IniFile b = largeSettings(20000, "second, somewhat longer value ");
    const std::vector<std::string> contents = {oldText, a.serialize(), b.serialize()};
    const KillRounds r = KillWhileWriting(
        target, contents, [&](long i) { (i % 2 ? b : a).save(target.string()); }, 24, 7);
    RecordProperty("old", r.oldContent);
    RecordProperty("new", r.newContent);
    RecordProperty("leftovers", r.leftovers);
    EXPECT_EQ(r.torn, 0);
    EXPECT_GT(r.newContent, 0) << "no round got as far as a complete save";
    // A kill between naming the complete file and renaming it can still leave it behind, but
    // no longer every kill in the middle of a write.
    if (HasUnnamedFiles(dir)) {
        EXPECT_LE(r.leftovers * 10, 24);
    }
}

TEST_F(AtomicSaveFaults, RelativeNameIsWrittenInTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    const bool ok = writeFileAtomically("plain.ini", "[A]\r\n");
    fs::current_path(before);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadFileBytes(dir / "plain.ini"), "[A]\r\n");
    EXPECT_EQ(TemporaryLeftovers(dir), 0);
}

TEST_F(AtomicSaveFaults, ExistingFileKeepsItsPermissions) {
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomically(target.string(), "new"));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomically((dir / "fresh.ini").string(), "new"));
    EXPECT_EQ(fs::status(dir / "fresh.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST_F(AtomicSaveFaults, LongestLegalNamesAreWrittenNewAndOverAnOldFile) {
    std::string cyrillic; // 2 bytes a letter: a cut in the middle of one would break the name
    for (int i = 0; i < 125; ++i)
        cyrillic += "ж";
    for (const std::string& name : {std::string(247, 'a'), std::string(255, 'b'),
                                    "c" + cyrillic + ".ini", cyrillic + "vwxyz"}) {
        ASSERT_LE(name.size(), 255u);
        SCOPED_TRACE(name.size());
        const std::string file = (dir / name).string();
        EXPECT_TRUE(writeFileAtomically(file, "first"));
        EXPECT_TRUE(largeSettings(3, "v").save(file));
        EXPECT_EQ(ReadFileBytes(file), largeSettings(3, "v").serialize());
        EXPECT_EQ(TemporaryLeftovers(dir), 0);
    }
}

// Saving through symbolic links replaces the file at the end of the chain and keeps the links.
struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links; // link -> its text ('@' = the folder)
    const char* saveTo;
    const char* written;         // the file that gets the new text; nullptr: the save must fail
    bool fromWorkFolder = false; // `saveTo` relative to the current folder dir/work
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveThroughLinks : public ::testing::TestWithParam<LinkCase> {
  protected:
    const fs::path dir = tempPath(std::string("links_") + GetParam().name);
    const std::string oldText = "[Window]\r\nRPanelWidth=200\r\n\r\n";

    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir / "work");
        fs::create_directories(dir / "real");
        std::ofstream(dir / "real" / "Vorn3d.ini", std::ios::binary) << oldText;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string linkText(const std::string& to) const {
        return to[0] == '@' ? dir.string() + to.substr(1) : to;
    }
};

TEST_P(SaveThroughLinks, ReplacesTheTargetAndKeepsTheLinks) {
    const LinkCase& c = GetParam();
    for (const auto& [link, to] : c.links)
        fs::create_symlink(linkText(to), dir / link);
    const fs::path before = fs::current_path();
    if (c.fromWorkFolder) fs::current_path(dir / "work");
    const bool ok =
        writeFileAtomically(c.fromWorkFolder ? c.saveTo : (dir / c.saveTo).string(), "new");
    fs::current_path(before);

    EXPECT_EQ(ok, c.written != nullptr);
    for (const auto& [link, to] : c.links) {
        ASSERT_TRUE(fs::is_symlink(fs::symlink_status(dir / link))) << link;
        EXPECT_EQ(fs::read_symlink(dir / link).string(), linkText(to)) << link;
    }
    if (c.written) {
        EXPECT_EQ(ReadFileBytes(dir / c.written), "new");
    }
    if (!c.written || std::string(c.written) != "real/Vorn3d.ini") {
        EXPECT_EQ(ReadFileBytes(dir / "real" / "Vorn3d.ini"), oldText);
    }
    EXPECT_EQ(TemporaryLeftovers(dir / "work") + TemporaryLeftovers(dir / "real"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Links, SaveThroughLinks,
    ::testing::Values(
        LinkCase{
            "Absolute", {{"work/a.ini", "@/real/Vorn3d.ini"}}, "work/a.ini", "real/Vorn3d.ini"},
        LinkCase{
            "Relative", {{"work/a.ini", "../real/Vorn3d.ini"}}, "work/a.ini", "real/Vorn3d.ini"},
        LinkCase{"RelativeNameInTheCurrentFolder",
                 {{"work/a.ini", "../real/Vorn3d.ini"}},
                 "a.ini",
                 "real/Vorn3d.ini",
                 true},
        LinkCase{"Chain",
                 {{"work/a.ini", "b.ini"},
                  {"work/b.ini", "../real/c.ini"},
                  {"real/c.ini", "Vorn3d.ini"}},
                 "work/a.ini",
                 "real/Vorn3d.ini"},
        LinkCase{"Dangling", {{"work/a.ini", "../real/new.ini"}}, "work/a.ini", "real/new.ini"},
        LinkCase{
            "DanglingIntoNoFolder", {{"work/a.ini", "../none/new.ini"}}, "work/a.ini", nullptr},
        LinkCase{
            "Loop", {{"work/a.ini", "b.ini"}, {"work/b.ini", "a.ini"}}, "work/a.ini", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtomicSaveFaults, FolderOrPipeInPlaceOfTheFileLoadsAsEmpty) {
    fs::create_directories(dir / "folder.lng");
    ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    for (const char* name : {"folder.lng", "pipe.ini", "absent.ini"})
        EXPECT_TRUE(IniFile::load((dir / name).string()).sections().empty()) << name;
    EXPECT_EQ(IniFile::load(target.string()).value("Window", "RPanelWidth", ""), "200");
}

} // namespace
