// The small INI format of language and settings files: cp1251 on disk, UTF-8 in memory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::lang {

// Sections and keys keep their order; names compare without regard to ASCII case, as the
// files' original readers did. Values are taken as they stand (no quote stripping), so texts
// that begin and end with a double quote survive a round trip.
class IniFile {
  public:
    // Reads a file; a missing or unreadable file gives an empty one (every lookup falls back).
    static IniFile load(const std::string& path);
    static IniFile parse(std::string_view cp1251Text);

    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    std::string value(std::string_view section, std::string_view key,
                      std::string_view fallback) const;
    int intValue(std::string_view section, std::string_view key, int fallback) const;
    void set(std::string_view section, std::string_view key, std::string_view value);

    bool hasSection(std::string_view section) const;
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(std::string_view section) const;

    // The cp1251 bytes of the whole file.
    std::string serialize() const;
    // Writes through a temporary file renamed over the target; false when it fails, and then
    // the previous file is untouched.
    bool save(const std::string& path) const;

  private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> m_sections;

    const Section* find(std::string_view name) const;
};

// Writes bytes to `path` through a temporary file in the same folder and a rename.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace vorn::lang
