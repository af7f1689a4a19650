// Autosaved copies of a modified scene, kept where the work of a killed program can be found.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::recovery {

// $XDG_STATE_HOME/vorn3d when that is an absolute path, else $HOME/.local/state/vorn3d; empty
// when neither is known. Either argument may be null.
std::string RecoveryDir(const char* stateHome, const char* home);
std::string RecoveryDirOfEnvironment();

// A recovery file left by an instance that no longer runs.
struct Recovered {
    std::string id;           // "<pid>-<token>" of the instance that wrote it
    std::string scenePath;    // the autosaved scene file
    std::string originalName; // the scene's own file name, as the file system's bytes
    std::int64_t savedAt = 0; // when it was written, seconds since the epoch
    int objectCount = 0;      // user objects in it
};

// One instance's recovery file: "vorn3d-<id>.v3d" with the scene, "vorn3d-<id>.name" with the
// name of the file it came from, and "vorn3d-<id>.lock", locked while the instance lives. The
// scene is replaced by a rename, which would drop a lock held on it: hence the separate lock.
class RecoveryStore {
  public:
    explicit RecoveryStore(std::string dir);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const std::string& dir() const { return m_dir; }
    // This instance's scene file (its name is chosen at the first save).
    std::string scenePath() const;
    // A recovery file of this instance exists.
    bool holds() const;

    // Writes the scene's bytes; unchanged bytes under the same name are not written again.
    // False when the folder or a file could not be written.
    bool save(std::string_view sceneBytes, const std::string& originalName);
    // Removes this instance's recovery file (after a save or a load, and on a clean exit).
    void discard();

    // Recovery files of instances no longer running, newest first. Each is locked by this store
    // until removeTaken or releaseTaken, so no other instance offers it meanwhile. Files older
    // than the scene file they came from, damaged ones and lock files without a scene are
    // removed on the way.
    std::vector<Recovered> takeOrphans();
    void removeTaken(const Recovered& r);
    // Lets another start offer it again.
    void releaseTaken(const Recovered& r);

  private:
    bool claim();
    std::string path(const std::string& id, const char* suffix) const;

    std::string m_dir;
    std::string m_id;
    int m_lock = -1;
    std::string m_lastBytes;
    std::string m_lastName;
    bool m_nameWritten = false;
    std::map<std::string, int> m_taken; // lock descriptors of taken orphans, by id
};

} // namespace vorn::recovery
