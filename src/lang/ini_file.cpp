// IniFile: ordered, case-insensitive sections and keys; atomic saving.
#include "lang/ini_file.h"

#include "lang/cp1251.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vorn::lang {

namespace {

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Seeded per process, so that no file can be made whose keys all crowd into one probe run.
std::uint64_t hashSeed() {
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^ 0xcbf29ce484222325ULL;
    }();
    return seed;
}

std::uint32_t hashName(std::string_view name) {
    // FNV-1a over the folded bytes, then the final mix of MurmurHash3 for the low bits.
    std::uint64_t h = hashSeed();
    for (const char c : name)
        h = (h ^ static_cast<unsigned char>(foldCase(c))) * 0x100000001b3ULL;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

} // namespace

template <class NameAt>
std::size_t IniFile::NameIndex::find(std::string_view name, std::uint32_t hash,
                                     NameAt nameAt) const {
    if (m_slots.empty()) return kNone;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.position == 0) return kNone;
        if (slot.hash == hash && sameName(nameAt(slot.position - 1), name))
            return slot.position - 1;
    }
}

void IniFile::NameIndex::add(std::uint32_t hash, std::size_t position) {
    // At most half full, so probe sequences stay short.
    if (2 * (m_count + 1) > m_slots.size()) {
        const std::vector<Slot> old =
            std::exchange(m_slots, std::vector<Slot>(std::max<std::size_t>(8, 2 * m_slots.size())));
        for (const Slot& slot : old)
            if (slot.position != 0) place(slot);
    }
    place({hash, static_cast<std::uint32_t>(position + 1)});
    ++m_count;
}

void IniFile::NameIndex::place(const Slot& slot) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = slot.hash & mask;
    while (m_slots[i].position != 0)
        i = (i + 1) & mask;
    m_slots[i] = slot;
}

void IniFile::Section::put(std::string key, std::string value) {
    const std::uint32_t hash = hashName(key);
    const std::size_t at =
        index.find(key, hash, [this](std::size_t i) -> std::string_view { return entries[i].key; });
    if (at != NameIndex::kNone) {
        entries[at].value = std::move(value);
        return;
    }
    index.add(hash, entries.size());
    entries.push_back({std::move(key), std::move(value)});
}

IniFile IniFile::load(const std::string& path, std::string_view onlySection) {
    // A folder opens as a stream and then throws on the first read; a pipe would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    // Language and settings files are some kilobytes: reading a far larger one whole could take
    // minutes and more memory than there is, so it counts as unreadable.
    constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{16} << 20;
    if (std::filesystem::file_size(path, error) > kMaxFileSize || error) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    try {
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        return parse(bytes, onlySection);
    } catch (const std::ios_base::failure&) {
        return {};
    } catch (const std::bad_alloc&) {
        return {};
    }
}

IniFile IniFile::parse(std::string_view text, std::string_view onlySection) {
    IniFile ini;
    const std::string wanted = utf8ToCp1251(onlySection);
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
            const std::string_view name = trim(line.substr(1, close - 1));
            // Sections of the same name merge into the first; `current` stays valid up to the
            // next heading, the only place that adds a section.
            current = wanted.empty() || sameName(name, wanted) ? &ini.section(cp1251ToUtf8(name))
                                                               : nullptr;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        current->put(cp1251ToUtf8(trim(line.substr(0, eq))), cp1251ToUtf8(line.substr(eq + 1)));
    }
    return ini;
}

std::size_t IniFile::sectionPosition(std::string_view name, std::uint32_t hash) const {
    return m_sectionIndex.find(
        name, hash, [this](std::size_t i) -> std::string_view { return m_sections[i].name; });
}

const IniFile::Section* IniFile::find(std::string_view name) const {
    const std::size_t at = sectionPosition(name, hashName(name));
    return at == NameIndex::kNone ? nullptr : &m_sections[at];
}

IniFile::Section& IniFile::section(std::string_view name) {
    const std::uint32_t hash = hashName(name);
    const std::size_t at = sectionPosition(name, hash);
    if (at != NameIndex::kNone) return m_sections[at];
    m_sectionIndex.add(hash, m_sections.size());
    m_sections.push_back({std::string(name), {}, {}});
    return m_sections.back();
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    if (const Section* s = find(section)) {
        const std::size_t at =
            s->index.find(key, hashName(key),
                          [s](std::size_t i) -> std::string_view { return s->entries[i].key; });
        if (at != NameIndex::kNone) return s->entries[at].value;
    }
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
    // Line breaks would split the entry; keep the text on one line.
    std::string clean(value);
    for (char& c : clean)
        if (c == '\n' || c == '\r') c = ' ';
    this->section(section).put(std::string(key), std::move(clean));
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

// The start of a file name for its temporary files: at most 32 bytes, cut between UTF-8
// characters, so that the temporary name fits wherever the target's name fits.
std::string temporaryStem(const std::string& base) {
    constexpr std::size_t kMaxStem = 32;
    std::size_t n = std::min(base.size(), kMaxStem);
    while (n > 0 && n < base.size() && (static_cast<unsigned char>(base[n]) & 0xC0) == 0x80)
        --n;
    return ".~" + base.substr(0, n) + ".";
}

// A name in `dir` that no file has yet.
std::string freshName(const std::filesystem::path& dir, const std::string& stem) {
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    for (;;) {
        const std::string name = (dir / (stem + std::to_string(random() % 1000000000))).string();
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) return name;
    }
}

// The file a save replaces: `path` itself, or the end of its chain of symbolic links, which
// need not exist yet. A relative link is taken from its own folder. Nothing when the chain
// loops or cannot be read.
std::optional<std::filesystem::path> followLinks(std::filesystem::path path) {
    constexpr int kMaxLinks = 40; // as the kernel allows before ELOOP
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::error_code error;
        const std::filesystem::path to = std::filesystem::read_symlink(path, error);
        if (error) return std::nullopt;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return std::nullopt;
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
    // Renaming over a link would replace the link and leave what it points to as it was.
    const std::optional<fs::path> resolved = followLinks(path);
    if (!resolved) return false;
    const fs::path& target = *resolved;
    const std::string targetName = target.string();
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string stem = temporaryStem(target.filename().string());

    // An unnamed file first: a process killed while writing leaves nothing behind. It gets a
    // name only when complete, just before the rename.
    int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const std::string fdPath = "/proc/self/fd/" + std::to_string(fd);
        if (!fillFile(fd, bytes, targetName)) {
            ::close(fd);
            return false;
        }
        std::string name;
        bool linked = false;
        for (int attempt = 0; attempt < 8 && !linked; ++attempt) {
            name = freshName(dir, stem);
            linked =
                ::linkat(AT_FDCWD, fdPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!linked && errno != EEXIST) break;
        }
        if (linked) {
            // Named for as short a time as can be: a kill now would leave the name behind.
            const bool ok = std::rename(name.c_str(), targetName.c_str()) == 0;
            if (!ok) ::unlink(name.c_str());
            ::close(fd);
            if (ok) syncFolder(dir);
            return ok;
        }
        ::close(fd);
        // No /proc to name the file by: write it again through a named temporary file.
    }

    std::string tmpl = (dir / (stem + "XXXXXX")).string();
    fd = mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fillFile(fd, bytes, targetName);
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tmpl.c_str(), targetName.c_str()) == 0;
    if (!ok) ::unlink(tmpl.c_str());
    if (ok) syncFolder(dir);
    return ok;
}

} // namespace vorn::lang
