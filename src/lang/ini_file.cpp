// IniFile: ordered, case-insensitive sections and keys; atomic saving.
#include "lang/ini_file.h"

#include "lang/cp1251.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn::lang {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

IniFile IniFile::load(const std::string& path) {
    // A folder opens as a stream and then throws on the first read; a pipe would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    try {
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        return parse(bytes);
    } catch (const std::ios_base::failure&) {
        return {};
    }
}

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            const std::string name = cp1251ToUtf8(trim(line.substr(1, close - 1)));
            current = nullptr;
            for (auto& s : ini.m_sections)
                if (sameName(s.name, name)) current = &s;
            if (!current) {
                ini.m_sections.push_back({name, {}});
                current = &ini.m_sections.back();
            }
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        const std::string key = cp1251ToUtf8(trim(line.substr(0, eq)));
        const std::string value = cp1251ToUtf8(line.substr(eq + 1));
        bool replaced = false;
        for (auto& e : current->entries)
            if (sameName(e.key, key)) {
                e.value = value;
                replaced = true;
            }
        if (!replaced) current->entries.push_back({key, value});
    }
    return ini;
}

const IniFile::Section* IniFile::find(std::string_view name) const {
    for (const auto& s : m_sections)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            if (sameName(e.key, key)) return e.value;
    return std::nullopt;
}

std::string IniFile::value(std::string_view section, std::string_view key,
                           std::string_view fallback) const {
    auto v = get(section, key);
    return v ? *v : std::string(fallback);
}

int IniFile::intValue(std::string_view section, std::string_view key, int fallback) const {
    const auto v = get(section, key);
    if (!v) return fallback;
    const std::string_view t = trim(*v);
    int n = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), n);
    return (r.ec == std::errc() && r.ptr == t.data() + t.size()) ? n : fallback;
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = nullptr;
    for (auto& s : m_sections)
        if (sameName(s.name, section)) target = &s;
    if (!target) {
        m_sections.push_back({std::string(section), {}});
        target = &m_sections.back();
    }
    // Line breaks would split the entry; keep the text on one line.
    std::string clean(value);
    for (char& c : clean)
        if (c == '\n' || c == '\r') c = ' ';
    for (auto& e : target->entries)
        if (sameName(e.key, key)) {
            e.value = clean;
            return;
        }
    target->entries.push_back({std::string(key), clean});
}

bool IniFile::hasSection(std::string_view section) const {
    return find(section) != nullptr;
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> out;
    for (const auto& s : m_sections)
        out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> out;
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            out.push_back(e.key);
    return out;
}

std::string IniFile::serialize() const {
    std::string out;
    for (const auto& s : m_sections) {
        out += "[" + utf8ToCp1251(s.name) + "]\r\n";
        for (const auto& e : s.entries)
            out += utf8ToCp1251(e.key) + "=" + utf8ToCp1251(e.value) + "\r\n";
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::string& path) const {
    return writeFileAtomically(path, serialize());
}

namespace {

// Writes every byte, retrying interrupted and partial writes; false on any error.
bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Contents on disk with the permissions the target should have.
bool fillFile(int fd, std::string_view bytes, const std::string& path) {
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) return false;
    // An existing file keeps its permissions; a new one gets rw-r--r--.
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    return ::fchmod(fd, mode) == 0;
}

// A name in `dir` that no file has yet.
std::string freshName(const std::filesystem::path& dir, const std::string& base) {
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    for (;;) {
        const std::string name =
            (dir / (".~" + base + "." + std::to_string(random() % 1000000000))).string();
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) return name;
    }
}

// The rename is durable only once the folder itself is on disk. Best effort: the new file is in
// place already, and some file systems cannot sync a folder.
void syncFolder(const std::filesystem::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string base = target.filename().string();

    // An unnamed file first: a process killed while writing leaves nothing behind. It gets a
    // name only when complete, just before the rename.
    int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const std::string fdPath = "/proc/self/fd/" + std::to_string(fd);
        if (!fillFile(fd, bytes, path)) {
            ::close(fd);
            return false;
        }
        std::string name;
        bool linked = false;
        for (int attempt = 0; attempt < 8 && !linked; ++attempt) {
            name = freshName(dir, base);
            linked =
                ::linkat(AT_FDCWD, fdPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!linked && errno != EEXIST) break;
        }
        if (linked) {
            // Named for as short a time as can be: a kill now would leave the name behind.
            const bool ok = std::rename(name.c_str(), path.c_str()) == 0;
            if (!ok) ::unlink(name.c_str());
            ::close(fd);
            if (ok) syncFolder(dir);
            return ok;
        }
        ::close(fd);
        // No /proc to name the file by: write it again through a named temporary file.
    }

    std::string tmpl = (dir / (".~" + base + ".XXXXXX")).string();
    fd = mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fillFile(fd, bytes, path);
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    if (ok) syncFolder(dir);
    return ok;
}

} // namespace vorn::lang
