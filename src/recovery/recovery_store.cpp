// Recovery files: where they live, who owns them, and which ones a start may offer.
#include "recovery/recovery_store.h"

#include "core/scene.h"
#include "lang/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn::recovery {

namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "vorn3d-";
constexpr char kScene[] = ".v3d";
constexpr char kName[] = ".name";
constexpr char kLock[] = ".lock";

std::string randomToken() {
    std::random_device device;
    const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// A lock that no other open file holds; -1 when another holds it or the file is gone.
int takeLock(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    struct stat held {
    }, named{};
    // The file may have been removed (and a new one made) between the open and the lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
        ::stat(lockPath.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool readFile(const std::string& path, std::string& bytes, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > limit) {
            ::close(fd);
            return false;
        }
    }
}

// The number of user objects a scene file's header gives; -1 when it is no scene file.
int userObjects(const std::string& scenePath) {
    core::SceneHeader header{};
    const int fd = ::open(scenePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    const ssize_t n = ::read(fd, &header, sizeof header);
    ::close(fd);
    if (n != static_cast<ssize_t>(sizeof header) || header.signature != core::kSceneSignature ||
        header.objectCount < 1 || header.objectCount > core::kMaxObjectCount)
        return -1;
    return header.objectCount - 1;
}

bool newer(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

} // namespace

std::string RecoveryDir(const char* stateHome, const char* home) {
    // A relative XDG path is to be ignored, as if unset.
    if (stateHome && stateHome[0] == '/') return (fs::path(stateHome) / "vorn3d").string();
    if (home && home[0] != '\0') return (fs::path(home) / ".local/state/vorn3d").string();
    return {};
}

std::string RecoveryDirOfEnvironment() {
    return RecoveryDir(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

RecoveryStore::RecoveryStore(std::string dir) : m_dir(std::move(dir)) {}

RecoveryStore::~RecoveryStore() {
    for (const auto& [id, fd] : m_taken)
        ::close(fd);
    if (m_lock < 0) return;
    // A scene left here (the session ended the program) stays for the next start.
    if (!holds()) ::unlink(path(m_id, kLock).c_str());
    ::close(m_lock);
}

std::string RecoveryStore::path(const std::string& id, const char* suffix) const {
    return (fs::path(m_dir) / (kPrefix + id + suffix)).string();
}

std::string RecoveryStore::scenePath() const {
    return m_id.empty() ? std::string() : path(m_id, kScene);
}

bool RecoveryStore::holds() const {
    struct stat st {};
    return !m_id.empty() && ::stat(path(m_id, kScene).c_str(), &st) == 0;
}

bool RecoveryStore::claim() {
    if (m_lock >= 0) return true;
    if (m_dir.empty()) return false;
    std::error_code error;
    fs::create_directories(m_dir, error);
    // The folder holds the user's unsaved work: nobody else reads it.
    ::chmod(m_dir.c_str(), 0700);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string id = std::to_string(::getpid()) + "-" + randomToken();
        const int fd = ::open(path(id, kLock).c_str(),
                              O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        m_id = id;
        m_lock = fd;
        return true;
    }
    return false;
}

bool RecoveryStore::save(std::string_view sceneBytes, const std::string& originalName) {
    if (!claim()) return false;
    if (holds() && m_nameWritten && originalName == m_lastName && sceneBytes == m_lastBytes)
        return true;
    // The name first: a scene file always has the name of the scene it holds beside it.
    if (!m_nameWritten || originalName != m_lastName) {
        if (!lang::writeFileAtomically(path(m_id, kName), originalName)) return false;
        m_lastName = originalName;
        m_nameWritten = true;
    }
    if (!lang::writeFileAtomically(path(m_id, kScene), sceneBytes)) return false;
    m_lastBytes.assign(sceneBytes);
    return true;
}

void RecoveryStore::discard() {
    if (m_id.empty()) return;
    ::unlink(path(m_id, kScene).c_str());
    ::unlink(path(m_id, kName).c_str());
    m_nameWritten = false;
    m_lastBytes.clear();
}

std::vector<Recovered> RecoveryStore::takeOrphans() {
    std::vector<Recovered> found;
    std::error_code error;
    fs::directory_iterator it(m_dir, error);
    if (error) return found;
    std::vector<std::string> ids;
    for (const fs::directory_entry& entry : it) {
        const std::string file = entry.path().filename().string();
        const std::size_t prefix = sizeof kPrefix - 1, suffix = sizeof kLock - 1;
        if (file.size() > prefix + suffix && file.compare(0, prefix, kPrefix) == 0 &&
            file.compare(file.size() - suffix, suffix, kLock) == 0)
            ids.push_back(file.substr(prefix, file.size() - prefix - suffix));
    }
    for (const std::string& id : ids) {
        if (id == m_id || m_taken.count(id)) continue;
        const int fd = takeLock(path(id, kLock));
        if (fd < 0) continue; // its instance still runs, or another start has it
        Recovered r;
        r.id = id;
        r.scenePath = path(id, kScene);
        struct stat scene {};
        const bool hasScene = ::stat(r.scenePath.c_str(), &scene) == 0;
        r.objectCount = hasScene ? userObjects(r.scenePath) : -1;
        bool keep = r.objectCount >= 0 && readFile(path(id, kName), r.originalName, PATH_MAX);
        struct stat original {};
        if (keep && !r.originalName.empty() && ::stat(r.originalName.c_str(), &original) == 0 &&
            !newer(scene.st_mtim, original.st_mtim))
            keep = false; // the scene was saved after this copy was made
        m_taken[id] = fd;
        if (!keep) {
            removeTaken(r);
            continue;
        }
        r.savedAt = scene.st_mtim.tv_sec;
        found.push_back(std::move(r));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Recovered& a, const Recovered& b) { return a.savedAt > b.savedAt; });
    return found;
}

void RecoveryStore::removeTaken(const Recovered& r) {
    const auto it = m_taken.find(r.id);
    if (it == m_taken.end()) return;
    // The lock goes last: while it exists and is held, nobody else takes the rest.
    ::unlink(path(r.id, kScene).c_str());
    ::unlink(path(r.id, kName).c_str());
    ::unlink(path(r.id, kLock).c_str());
    ::close(it->second);
    m_taken.erase(it);
}

void RecoveryStore::releaseTaken(const Recovered& r) {
    const auto it = m_taken.find(r.id);
    if (it == m_taken.end()) return;
    ::close(it->second);
    m_taken.erase(it);
}

} // namespace vorn::recovery
