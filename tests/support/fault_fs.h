// Faulty file systems for the saving tests: read-only folders, full file systems, size limits.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <pwd.h>
#include <random>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vorn::test {

// The faults the saving tests strike with, and their names as test parameters.
enum class Fault { ReadOnlyFolder, FullFileSystem, FileSizeLimit };
inline constexpr Fault kFaults[] = {Fault::ReadOnlyFolder, Fault::FullFileSystem,
                                    Fault::FileSizeLimit};

inline std::string FaultName(Fault fault) {
    switch (fault) {
    case Fault::ReadOnlyFolder:
        return "ReadOnlyFolder";
    case Fault::FullFileSystem:
        return "FullFileSystem";
    case Fault::FileSizeLimit:
        return "FileSizeLimit";
    }
    return "?";
}

// Gives the calling thread its own mount table, so test mounts are seen by nobody else.
// Empty when done (or done before), else why it cannot be had.
inline std::string EnterPrivateMounts() {
    static std::string failure = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("no private mount namespace (unshare: ") + std::strerror(errno) +
                   "; needs root with CAP_SYS_ADMIN)";
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("cannot make mounts private: ") + std::strerror(errno);
        return std::string();
    }();
    return failure;
}

// A mount over `dir` in the private mount table, removed when the guard goes.
class FaultMount {
  public:
    // `dir` becomes read-only: what it holds stays readable, nothing can be created or changed.
    static FaultMount ReadOnly(const std::filesystem::path& dir) {
        FaultMount m(dir);
        if (!m.m_error.empty()) return m;
        if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return m.fail("bind mount");
        m.m_mounted = true;
        if (::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return m.fail("read-only remount");
        return m;
    }
    // An empty file system of `bytes` bytes at `dir` (which must exist).
    static FaultMount SmallTmpfs(const std::filesystem::path& dir, long bytes) {
        FaultMount m(dir);
        if (!m.m_error.empty()) return m;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return m.fail("tmpfs mount");
        m.m_mounted = true;
        return m;
    }

    FaultMount(FaultMount&& o) noexcept
        : m_dir(std::move(o.m_dir)), m_error(std::move(o.m_error)), m_mounted(o.m_mounted) {
        o.m_mounted = false;
    }
    FaultMount& operator=(FaultMount&&) = delete;
    ~FaultMount() {
        if (m_mounted) ::umount2(m_dir.c_str(), MNT_DETACH);
    }
    // Empty when the mount is in place.
    const std::string& error() const { return m_error; }

  private:
    explicit FaultMount(std::filesystem::path dir)
        : m_dir(std::move(dir)), m_error(EnterPrivateMounts()) {}
    FaultMount fail(const char* what) {
        m_error = std::string(what) + " of " + m_dir.string() + ": " + std::strerror(errno);
        return std::move(*this);
    }

    std::filesystem::path m_dir;
    std::string m_error;
    bool m_mounted = false;
};

// Regular files of this process cannot grow past `bytes` while the guard lives; a write beyond
// fails with EFBIG instead of killing the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

// Runs `body` in a forked child and gives its exit code (-1 when it did not exit normally).
// The child never returns into the test framework.
inline int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) ::_exit(body());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Drops root to the user "nobody" for the rest of the process (a forked child); false when
// there is no such user or the switch fails.
inline bool BecomeNobody() {
    const passwd* pw = ::getpwnam("nobody");
    if (!pw) return false;
    return ::setgroups(0, nullptr) == 0 && ::setgid(pw->pw_gid) == 0 && ::setuid(pw->pw_uid) == 0 &&
           ::geteuid() != 0;
}

// Whether unnamed temporary files can be made in `dir`.
inline bool HasUnnamedFiles(const std::filesystem::path& dir) {
    const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

inline std::string ReadFileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Files in `dir` named like the writers' temporary files.
inline int TemporaryLeftovers(const std::filesystem::path& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        n += e.path().filename().string().rfind(".~", 0) == 0;
    return n;
}

// What the target held after each SIGKILL.
struct KillRounds {
    int oldContent = 0; // as before the child started
    int newContent = 0; // one of the complete contents the child wrote
    int torn = 0;       // anything else, or no file at all
    int leftovers = 0;  // temporary files left in the folder after the last round
};

// Each round forks a child that calls `writeOnce(i)` for i = 0, 1, 2, ... until it is killed
// with SIGKILL after a varied delay, then sorts the target's bytes: contents[0] is the old
// content, the others are complete new ones. The delays span three times one write as timed
// here, so some rounds end before the first write is complete and some after.
inline KillRounds KillWhileWriting(const std::filesystem::path& target,
                                   const std::vector<std::string>& contents,
                                   const std::function<void(long)>& writeOnce, int rounds,
                                   unsigned seed) {
    KillRounds r;
    std::mt19937 random(seed);
    const auto started = std::chrono::steady_clock::now();
    writeOnce(0);
    const long long oneWrite = std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now() - started)
                                   .count();
    const auto maxDelayUs = static_cast<unsigned>(std::max(3 * oneWrite, 100LL));
    for (int round = 0; round < rounds; ++round) {
        {
            std::ofstream reset(target, std::ios::binary | std::ios::trunc);
            reset << contents[0];
        }
        int ready[2];
        if (::pipe(ready) != 0) break;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            const char go = 1;
            if (::write(ready[1], &go, 1) != 1) ::_exit(2);
            for (long i = 0;; ++i)
                writeOnce(i);
        }
        ::close(ready[1]);
        char go = 0;
        const bool childReady = ::read(ready[0], &go, 1) == 1;
        ::close(ready[0]);
        const unsigned delayUs = random() % (maxDelayUs + 1);
        if (childReady) std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        const bool present = std::filesystem::exists(target);
        const std::string now = present ? ReadFileBytes(target) : std::string();
        if (!present)
            ++r.torn;
        else if (now == contents[0])
            ++r.oldContent;
        else if (std::find(contents.begin() + 1, contents.end(), now) != contents.end())
            ++r.newContent;
        else
            ++r.torn;
    }
    r.leftovers = TemporaryLeftovers(target.parent_path());
    return r;
}

} // namespace vorn::test
