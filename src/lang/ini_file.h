// The small INI format of language and settings files: cp1251 on disk, UTF-8 in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::lang {

// Sections and keys keep the order of their first appearance; names compare without regard to
// ASCII case, as the files' original readers did. Values are taken as they stand (no quote
// stripping), so texts that begin and end with a double quote survive a round trip.
class IniFile {
  public:
    // Reads a file; a missing or unreadable file gives an empty one (every lookup falls back).
    // With `onlySection`, the lines of every other section are skipped unread.
    static IniFile load(const std::string& path, std::string_view onlySection = {});
    static IniFile parse(std::string_view cp1251Text, std::string_view onlySection = {});

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
    // Positions in an ordered list by the hash of their names (ASCII case folded), so that files
    // of many keys stay linear to read. Open addressing: one probe sequence, no node per name.
    class NameIndex {
      public:
        static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        // The position whose name `nameAt(position)` equals `name`, or kNone.
        template <class NameAt>
        std::size_t find(std::string_view name, std::uint32_t hash, NameAt nameAt) const;
        void add(std::uint32_t hash, std::size_t position);

      private:
        // Eight bytes, so that more of the table stays in the cache: the hash and the position
        // + 1 (0 marks a free slot); no list holds 2^32 names in memory.
        struct Slot {
            std::uint32_t hash = 0, position = 0;
        };
        std::vector<Slot> m_slots;
        std::size_t m_count = 0;
        void place(const Slot& slot);
    };

    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        NameIndex index;
        void put(std::string key, std::string value);
    };
    std::vector<Section> m_sections;
    NameIndex m_sectionIndex;

    std::size_t sectionPosition(std::string_view name, std::uint32_t hash) const;
    const Section* find(std::string_view name) const;
    Section& section(std::string_view name);
};

// Writes bytes to `path` through a temporary file and a rename. A symbolic link is followed
// (through chains, relative or dangling links) and its final target replaced; the link stays.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace vorn::lang
