// Fuzz target: arbitrary bytes as a language file: the language list built from a folder holding
// it, the message sections applied to a message table, the copies kept of some messages, and a
// re-export of the applied texts.
#include "core/scene.h"
#include "lang/cp1251.h"
#include "lang/ini_file.h"
#include "lang/language_file.h"
#include "lang/message_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

using vorn::lang::IniFile;
using vorn::lang::MessageTable;

constexpr std::size_t kTypeNameChars = 25;
constexpr std::size_t kPromptChars = 40;

// A cut text is a prefix of the text of at most `limit` characters, whole characters only.
void checkCut(const std::string& text, std::size_t limit) {
    const std::string cut = vorn::lang::utf8Truncate(text, limit);
    if (text.compare(0, cut.size(), cut) != 0) std::abort();
    if (vorn::lang::utf8Length(cut) > limit) std::abort();
    if (vorn::lang::utf8Length(text) <= limit && cut != text) std::abort();
}

// The folder of the language list holds just this file; it is made and removed for each input
// so that a process stopped by a timeout leaves nothing behind.
void checkLanguageList(std::string_view bytes, const IniFile& ini) {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vorn_fuzz_lng_" + std::to_string(::getpid()));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = (folder / "fuzz.lng").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const auto list = vorn::lang::BuildLanguageList(folder.string());
    std::filesystem::remove_all(folder, ec);
    const std::string language = ini.value("INFO", "Language", "");
    const bool offered =
        ini.value("INFO", "AppName", "") == vorn::lang::kAppTitle && !language.empty();
    if (list.size() != (offered ? 1u : 0u)) std::abort();
    if (offered && (list[0].fileName != "fuzz.lng" || list[0].language != language)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniFile ini = IniFile::parse(bytes);
    checkLanguageList(bytes, ini);

    MessageTable applied;
    vorn::lang::applyButtonsAndCaptions(ini, applied);
    vorn::lang::applyMessages(ini, applied);
    (void)ini.value("INFO", "HelpFile", vorn::lang::kDefaultHelpFile);

    // Empty built-in texts can never be replaced.
    const MessageTable builtin;
    for (int i = 0; i < vorn::lang::kAllMessageCount; ++i)
        if (builtin.text(i).empty() && !applied.text(i).empty()) std::abort();
    for (int i = 0; i < vorn::lang::kCaptionCount; ++i)
        if (builtin.caption(i).empty() && !applied.caption(i).empty()) std::abort();

    // The copies refreshed after a language is applied: type names, picking prompts, and the
    // messages filled in with names.
    MessageTable shortNames = applied;
    for (int i = 62; i <= 68; ++i) {
        checkCut(applied.text(i), kTypeNameChars);
        shortNames.setText(i, vorn::lang::utf8Truncate(applied.text(i), kTypeNameChars));
    }
    vorn::core::TypeNameTable typeNames;
    typeNames.refresh(shortNames);
    for (int i = 69; i <= 79; ++i)
        checkCut(applied.text(i), kPromptChars);
    for (int i = 0; i < vorn::lang::kAllMessageCount; ++i) {
        const std::string& pattern = applied.text(i);
        // Each "%s" gives way to an argument of its own length.
        if (applied.format(i, {"%s", "\xD0\x90"}).size() != pattern.size()) std::abort();
    }

    // Exported and applied again, every text that export writes comes back unchanged. Texts
    // the file left alone are not exported (an empty text is skipped): their round trip is the
    // same for every input and only slows the search down.
    MessageTable changed = applied;
    for (int i = 0; i < vorn::lang::kAllMessageCount; ++i)
        if (applied.text(i) == builtin.text(i)) changed.setText(i, "");
    IniFile exported;
    vorn::lang::exportHeader(exported);
    vorn::lang::exportButtonsAndCaptions(exported, changed);
    vorn::lang::exportMessages(exported, changed);
    const IniFile reread = IniFile::parse(exported.serialize());
    MessageTable again;
    vorn::lang::applyButtonsAndCaptions(reread, again);
    vorn::lang::applyMessages(reread, again);
    const auto same = [](const std::string& before, const std::string& after,
                         const std::string& original) {
        // Texts of one character are not written; a lone carriage return is written as a
        // blank; U+FFFD has no cp1251 byte and comes back as '?'.
        if (before == original || vorn::lang::utf8Length(before) <= 1) return after == original;
        std::string written = before;
        std::replace(written.begin(), written.end(), '\r', ' ');
        return after == vorn::lang::cp1251ToUtf8(vorn::lang::utf8ToCp1251(written));
    };
    for (int i = 0; i < vorn::lang::kAllMessageCount; ++i)
        if (!same(applied.text(i), again.text(i), builtin.text(i))) std::abort();
    for (int i = 0; i < vorn::lang::kButtonCount; ++i)
        if (!same(applied.button(i), again.button(i), builtin.button(i))) std::abort();
    for (int i = 0; i < vorn::lang::kCaptionCount; ++i)
        if (!same(applied.caption(i), again.caption(i), builtin.caption(i))) std::abort();
    return 0;
}
