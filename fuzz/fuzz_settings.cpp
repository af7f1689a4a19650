// Fuzz target: arbitrary bytes as the settings file: the INI reader, the typed lookups the
// settings load makes, and the round trips through the writer.
#include "core/settings.h"
#include "lang/cp1251.h"
#include "lang/ini_file.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace {

using vorn::lang::IniFile;

constexpr const char* kWindowKeys[] = {"RPanelWidth", "tb_Disk.Left", "tb_Disk.Top", "tb_View.Left",
                                       "tb_View.Top", "tb_Calc.Left", "tb_Calc.Top", "tb_Mode.Left",
                                       "tb_Mode.Top", "tb_Objs.Left", "tb_Objs.Top", "IsToolFile",
                                       "IsToolView",  "IsToolMeas",   "IsToolMode",  "IsHint"};
constexpr const char* kCheckKeys[] = {"AutoZoom",   "InCenter",   "IsUsel",   "isProject",
                                      "PutVerNum",  "PutLetters", "IsOsi",    "DrawContur",
                                      "IsReadLast", "DrawFName",  "PutNumObj"};
constexpr const char* kNumberKeys[] = {"UgolType", "CharAfterP", "ColXStep", "QualityPos"};
constexpr const char* kTextKeys[] = {"ZoomXE",   "ZoomYE",   "ZoomZE", "CenterXE",
                                     "CenterYE", "CenterZE", "Edit1",  "Edit2",
                                     "Edit3",    "Edit4",    "Edit5",  "Edit6"};

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// An integer lookup either falls back or gives exactly the number the text spells.
int checkedInt(const IniFile& ini, std::string_view section, std::string_view key) {
    const int low = ini.intValue(section, key, INT_MIN);
    const int high = ini.intValue(section, key, INT_MAX);
    if (low != high) {
        if (low != INT_MIN || high != INT_MAX) std::abort();
        return 0;
    }
    const auto text = ini.get(section, key);
    if (!text) std::abort();
    const std::string digits(trimmed(*text));
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(digits.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n != low) std::abort();
    return low;
}

// Section names and keys are unique without regard to ASCII case, and each is found again.
void checkNames(const IniFile& ini) {
    std::set<std::string> sections;
    for (const std::string& s : ini.sections()) {
        if (!sections.insert(lowerAscii(s)).second || !ini.hasSection(s)) std::abort();
        std::set<std::string> keys;
        for (const std::string& k : ini.keys(s))
            if (!keys.insert(lowerAscii(k)).second || !ini.get(s, k)) std::abort();
    }
}

// The same sections, keys and values in the same order.
bool sameContents(const IniFile& a, const IniFile& b) {
    if (a.sections() != b.sections()) return false;
    for (const std::string& s : a.sections()) {
        if (a.keys(s) != b.keys(s)) return false;
        for (const std::string& k : a.keys(s))
            if (a.get(s, k) != b.get(s, k)) return false;
    }
    return true;
}

// The settings load: integers, check marks, texts and colour indices.
void readSettings(const IniFile& ini) {
    vorn::core::Settings s;
    for (const char* k : kWindowKeys)
        checkedInt(ini, "Window", k);
    s.languageFile = ini.value("Window", "LangFile", "");
    (void)ini.value("Window", "WorkFile", "");
    for (const char* k : kCheckKeys)
        checkedInt(ini, "Checks", k);
    for (const char* k : kNumberKeys)
        checkedInt(ini, "Values", k);
    for (const char* k : kTextKeys)
        (void)ini.get("Values", k);
    // The dialog's scroll bar keeps the quality position within its range.
    const int quality = ini.intValue("Values", "QualityPos", s.qualityPosition);
    s.qualityPosition = quality < 0 ? 0 : quality > 99 ? 99 : quality;
    (void)s.Quality();
    for (int i = 0; i < vorn::core::kColorRoleCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int index = ini.intValue("Colors", vorn::core::kColorRoleNames[k], s.colors[k]);
        s.colors[k] = index >= 0 && index < 16 ? index : s.colors[k];
        (void)s.colorRgb(static_cast<vorn::core::ColorRole>(i));
    }
}

// A key the writer can store: kept by the reader as it stands.
bool storableKey(std::string_view key) {
    if (key.empty() || key.front() == ';' || key.front() == '[' || trimmed(key) != key)
        return false;
    for (char c : key)
        if (c == '=' || c == '\n' || c == '\r') return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniFile ini = IniFile::parse(bytes);
    checkNames(ini);
    readSettings(ini);

    // Written and read again, the file says the same; the unassigned cp1251 byte is the one
    // character that changes (to '?'), and after one rewrite the file is a fixed point.
    const std::string once = ini.serialize();
    const IniFile again = IniFile::parse(once);
    const std::string twice = again.serialize();
    if (bytes.find('\x98') == std::string_view::npos) {
        if (!sameContents(ini, again) || twice != once) std::abort();
    }
    if (IniFile::parse(twice).serialize() != twice) std::abort();

    // The settings save: the loaded file with texts stored over it. A value never breaks the
    // file apart: it reads back as cp1251 holds it, without line breaks and trailing blanks,
    // and every other entry stays.
    IniFile written = again;
    const std::string value = vorn::lang::cp1251ToUtf8(bytes.substr(0, 200));
    const std::string firstKey =
        written.keys("Values").empty() ? std::string("ZoomXE") : written.keys("Values").front();
    const std::pair<const char*, std::string> stored[] = {
        {"Values", "Edit1"}, {"Window", "WorkFile"}, {"Values", firstKey}};
    std::string expected = value;
    for (char& c : expected)
        if (c == '\n' || c == '\r') c = ' ';
    expected = vorn::lang::cp1251ToUtf8(vorn::lang::utf8ToCp1251(expected));
    while (!expected.empty() &&
           (expected.back() == ' ' || expected.back() == '\t' || expected.back() == '\r'))
        expected.pop_back();
    IniFile normalized = written;
    for (const auto& [section, key] : stored)
        if (storableKey(key)) {
            written.set(section, key, value);
            normalized.set(section, key, expected);
        }
    if (!sameContents(normalized, IniFile::parse(written.serialize()))) std::abort();
    return 0;
}
