// Language list and the message sections of language files.
#include "lang/language_file.h"

#include "lang/cp1251.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace vorn::lang {

namespace {
bool skipped(std::string_view key, const std::string& text) {
    return utf8Length(text) <= 1 || key.find("__") != std::string_view::npos;
}
} // namespace

std::vector<LanguageEntry> BuildLanguageList(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<LanguageEntry> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        std::string ext = p.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ext != ".lng" || !it->is_regular_file(ec)) continue;
        // Only the name is wanted here: the texts of a file are read when it is applied.
        const IniFile ini = IniFile::load(p.string(), "INFO");
        const std::string language = ini.value("INFO", "Language", "");
        if (ini.value("INFO", "AppName", "") == kAppTitle && !language.empty())
            out.push_back({p.filename().string(), language});
    }
    return out;
}

void exportText(IniFile& ini, std::string_view section, std::string_view key,
                const std::string& text) {
    if (!skipped(key, text)) ini.set(section, key, text);
}

void applyText(const IniFile& ini, std::string_view section, std::string_view key,
               std::string& text) {
    if (skipped(key, text)) return;
    if (auto v = ini.get(section, key)) text = *v;
}

void exportHeader(IniFile& ini) {
    ini.set("INFO", "Language", "Українська");
    ini.set("INFO", "AppName", kAppTitle);
}

void exportButtonsAndCaptions(IniFile& ini, const MessageTable& m) {
    for (int i = 0; i < kButtonCount; ++i)
        exportText(ini, "Msg", "Button" + std::to_string(i), m.button(i));
    for (int i = 0; i < kCaptionCount; ++i)
        exportText(ini, "Msg", "Caption" + std::to_string(i), m.caption(i));
}

void applyButtonsAndCaptions(const IniFile& ini, MessageTable& m) {
    for (int i = 0; i < kButtonCount; ++i) {
        std::string t = m.button(i);
        applyText(ini, "Msg", "Button" + std::to_string(i), t);
        m.setButton(i, t);
    }
    for (int i = 0; i < kCaptionCount; ++i) {
        std::string t = m.caption(i);
        applyText(ini, "Msg", "Caption" + std::to_string(i), t);
        m.setCaption(i, t);
    }
}

// Key "r" + (index + 1); the texts this program adds follow the fixed table in the same scheme.
void exportMessages(IniFile& ini, const MessageTable& m) {
    for (int i = 0; i < kAllMessageCount; ++i)
        exportText(ini, "InternalResources", "r" + std::to_string(i + 1), m.text(i));
}

void applyMessages(const IniFile& ini, MessageTable& m) {
    for (int i = 0; i < kAllMessageCount; ++i) {
        std::string t = m.text(i);
        applyText(ini, "InternalResources", "r" + std::to_string(i + 1), t);
        m.setText(i, t);
    }
}

} // namespace vorn::lang
