// Language files: the list of offered languages and the message-table sections of a file.
#pragma once

#include "lang/ini_file.h"
#include "lang/message_table.h"

#include <string>
#include <vector>

namespace vorn::lang {

inline constexpr char kAppTitle[] = "VORN-3D";
inline constexpr char kDefaultLanguageFile[] = "vorn3ukr.lng";
inline constexpr char kDefaultHelpFile[] = "vorn3ukr.chm";

struct LanguageEntry {
    std::string fileName; // as found in the folder, without the path
    std::string language; // INFO/Language
};

// Every "*.lng" of `folder` whose INFO/AppName is the program's title and whose INFO/Language
// is not empty, in the order the folder lists them.
std::vector<LanguageEntry> BuildLanguageList(const std::string& folder);

// One text handled by the export/apply walk: texts of 0 or 1 characters and keys holding "__"
// are left alone; export writes the text, apply replaces it when the key is present.
void exportText(IniFile& ini, std::string_view section, std::string_view key,
                const std::string& text);
void applyText(const IniFile& ini, std::string_view section, std::string_view key,
               std::string& text);

// The parts of the walk that belong to no window.
void exportHeader(IniFile& ini); // INFO/Language and INFO/AppName
void exportButtonsAndCaptions(IniFile& ini, const MessageTable& messages);
void applyButtonsAndCaptions(const IniFile& ini, MessageTable& messages);
void exportMessages(IniFile& ini, const MessageTable& messages);
void applyMessages(const IniFile& ini, MessageTable& messages);

} // namespace vorn::lang
