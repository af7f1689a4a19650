// Recovery files across real processes: a killed program's scene is offered and restored byte
// for byte, and a running one's file is never taken by another start.
#include "core/scene_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace vorn::test {
namespace {

class RecoveryProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* sub : {"home", "config", "state", "prog"})
            QDir().mkpath(path(sub));
        m_scene = path("лекція.v3d");
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(VORN_SOURCE_DIR "/samples/regular_solids.v3d"), m_scene));
        // The scene file is older than any copy autosaved from it.
        QFile(m_scene).setFileTime(QDateTime::currentDateTime().addSecs(-600),
                                   QFileDevice::FileModificationTime);
    }
    void TearDown() override {
        for (QProcess* p : m_running) {
            p->kill();
            p->waitForFinished();
            delete p;
        }
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList recoveryFiles() const {
        return QDir(path("state/vorn3d")).entryList(QDir::Files | QDir::Hidden);
    }

    QProcess* start(const QStringList& args, int autosaveMs) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", path("home"));
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("XDG_STATE_HOME", path("state"));
        env.insert("VORN3D_AUTOSAVE_MS", QString::number(autosaveMs));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(VORN_RECOVERY_PROBE), QStringList{"--dir", path("prog")} + args);
        m_running.push_back(p);
        return p;
    }
    // The first output line starting with `prefix`, waiting for it.
    static QString awaitLine(QProcess* p, const QString& prefix) {
        for (int waited = 0; waited < 200; ++waited) {
            while (p->canReadLine()) {
                const QString line = QString::fromUtf8(p->readLine()).trimmed();
                if (line.startsWith(prefix)) return line;
            }
            if (!p->waitForReadyRead(100) && p->state() == QProcess::NotRunning) break;
        }
        return {};
    }
    // Runs a start that closes itself; its whole output.
    QString runToEnd(const QStringList& args) {
        QProcess* p = start(args, 60000);
        EXPECT_TRUE(p->waitForFinished(20000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        return QString::fromUtf8(p->readAllStandardOutput());
    }
    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_scene;
    std::vector<QProcess*> m_running;
};

TEST_F(RecoveryProcess, KilledSceneIsRestoredByteForByteAndALiveOneIsNotTaken) {
    QProcess* first = start({"--scene", m_scene, "--change"}, 200);
    const QString autosaved = awaitLine(first, "autosaved ").mid(10);
    ASSERT_FALSE(autosaved.isEmpty()) << first->readAllStandardError().toStdString();
    const QByteArray expected = bytes(autosaved);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_NE(expected, bytes(m_scene)) << "one object fewer than the user's file";

    // A second instance while the first runs: nothing offered, nothing taken.
    const QString second = runToEnd({"--answer", "yes", "--out", path("second.v3d")});
    EXPECT_FALSE(second.contains("box:")) << second.toStdString();
    EXPECT_EQ(bytes(autosaved), expected);

    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    first->waitForFinished();
    const QString third = runToEnd({"--answer", "yes", "--out", path("third.v3d")});
    const QString offer = third.section('\n', 0, 0);
    EXPECT_TRUE(offer.startsWith("box: ") && offer.contains(m_scene) &&
                offer.contains(QStringLiteral("(об'єктів: %1)").arg(expected[32] - 1)))
        << third.toStdString();
    EXPECT_EQ(bytes(path("third.v3d")), expected);
    EXPECT_TRUE(third.contains("modified=1 file=" + m_scene)) << third.toStdString();
    EXPECT_EQ(bytes(m_scene), bytes(QStringLiteral(VORN_SOURCE_DIR "/samples/regular_solids.v3d")))
        << "the user's own file is never written";
    // The restoring program was closed without saving: a clean exit leaves nothing.
    EXPECT_EQ(recoveryFiles(), QStringList());
}

TEST_F(RecoveryProcess, TerminatedProgramSavesFirstAndNoForgetsTheCopy) {
    // Long before its first autosave, the session ends the program.
    QProcess* first = start({"--scene", m_scene, "--change"}, 600000);
    ASSERT_FALSE(awaitLine(first, "changed").isEmpty());
    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(recoveryFiles().filter(".v3d").size(), 1) << recoveryFiles().join(' ').toStdString();

    const QString declined = runToEnd({"--answer", "no", "--out", path("declined.v3d")});
    EXPECT_TRUE(declined.startsWith("box: ")) << declined.toStdString();
    EXPECT_TRUE(declined.contains("modified=0")) << declined.toStdString();
    EXPECT_EQ(recoveryFiles(), QStringList());
    EXPECT_FALSE(runToEnd({"--answer", "yes"}).contains("box:")) << "offered once only";
}

} // namespace
} // namespace vorn::test
