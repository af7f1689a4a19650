// Settings and language files with very many keys: parsing, loading from disk and the language
// list that every start builds from the "*.lng" files beside the program.
#include "lang/ini_file.h"
#include "lang/language_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>

namespace {

namespace fs = std::filesystem;
using vorn::lang::IniFile;

// `keys` distinct keys of 12 bytes a line ("K0000001=1" and CR LF) after `head`.
std::string ManyKeys(const std::string& head, long keys) {
    std::string text = head;
    char line[32];
    for (long i = 0; i < keys; ++i) {
        std::snprintf(line, sizeof line, "K%07ld=%ld\r\n", i, i % 10);
        text += line;
    }
    return text;
}

// A folder of its own per process, removed when the benchmark ends.
struct Folder {
    fs::path path = fs::temp_directory_path() / ("vorn_bench_lang_" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
};

void BM_ParseManyKeys(benchmark::State& state) {
    const std::string text = ManyKeys("[Values]\r\n", state.range(0));
    for (auto _ : state) {
        const IniFile ini = IniFile::parse(text);
        benchmark::DoNotOptimize(ini.value("Values", "K0000000", ""));
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ParseManyKeys)->Arg(5000)->Arg(50000)->Arg(550000)->Unit(benchmark::kMillisecond);

// What start-up reads: the settings file and one lookup per stored setting.
void BM_LoadSettingsManyKeys(benchmark::State& state) {
    const Folder folder;
    folder.write("Vorn3d.ini", "[Window]\r\nRPanelWidth=200\r\n" +
                                   ManyKeys("[Values]\r\n", state.range(0)) +
                                   "[Checks]\r\nIsReadLast=1\r\n");
    const std::string file = (folder.path / "Vorn3d.ini").string();
    for (auto _ : state) {
        const IniFile ini = IniFile::load(file);
        int sum = ini.intValue("Window", "RPanelWidth", 0);
        for (int i = 0; i < 40; ++i)
            sum += ini.intValue("Values", "Edit" + std::to_string(i), 1);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_LoadSettingsManyKeys)->Arg(50000)->Arg(550000)->Unit(benchmark::kMillisecond);

// A language file of many keys beside an ordinary one: only their names are wanted.
void BM_LanguageListBesideHugeFile(benchmark::State& state) {
    const Folder folder;
    folder.write("huge.lng", ManyKeys("[INFO]\r\nLanguage=Huge\r\nAppName=VORN-3D\r\n"
                                      "[InternalResources]\r\n",
                                      state.range(0)));
    folder.write("vorn3eng.lng", "[INFO]\r\nLanguage=English\r\nAppName=VORN-3D\r\n");
    for (auto _ : state) {
        const auto list = vorn::lang::BuildLanguageList(folder.path.string());
        benchmark::DoNotOptimize(list.size());
    }
}
BENCHMARK(BM_LanguageListBesideHugeFile)->Arg(50000)->Arg(550000)->Unit(benchmark::kMillisecond);

} // namespace
