// IniFile: ordered, case-insensitive sections and keys; atomic saving.
#include "lang/ini_file.h"

#include "lang/cp1251.h"

#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
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

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmpl = (dir / (".~" + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) return false;
    bool ok = true;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    // An existing file keeps its permissions; a new one gets rw-r--r--.
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(tmpl.c_str());
    return ok;
}

} // namespace vorn::lang
