// What the run reads and types: the input files it prepares (samples, damaged and odd scenes),
// the file names it answers dialogs with, and the texts it types into fields.
#include "soak_driver.h"
#include "soak_helpers.h"

#include "core/scene_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstring>
#include <iostream>

namespace vorn::soak {

namespace {

// Formula pieces, edge-case numbers and non-ASCII text for the fields.
const char* const kFragments[] = {
    "1",           "0",         "-2.5",        "3/4",    "1e3",
    "1e308*1e308", "0/0",       "sqrt(2)",     "pi",     "-pi/2",
    "2^0.5",       "x^2+y^2<4", "sin(x*y)",    "x+y",    "ln(x)",
    "ln(-1)",      "abs(x)-y",  "x<1 and y>0", "((((",   ")",
    "+-*/",        ";",         ",",           ".",      "..",
    "1..2",        "1,5",       "abc",         "Привіт", "Ω≈∑",
    "😀",           "\t",        " ",           "%s%s%n", "9999999999999999999999",
    "-0",          "x",         "y",           "z",      "t",
    "exp(700)",    "tg(pi/2)",  "arcsin(2)",   "x^2",    "(x-1)*(y+2)",
    "2*x-3*y+z-1", "e",         "1e-320",      "NaN",    "inf"};

} // namespace

void Driver::prepareFolders() {
    const QDir root(m_options.root);
    m_programDir = root.filePath("prog");
    m_workDir = root.filePath("work");
    m_inputDir = root.filePath("inputs");
    for (const QString& d : {m_programDir, m_workDir, m_inputDir})
        QDir().mkpath(d);
    QDir().mkpath(QDir(m_workDir).filePath("adir.v3d")); // a folder where a file is asked for
    for (const QString& f : m_options.dataFiles)
        QFile::copy(f, QDir(m_programDir).filePath(QFileInfo(f).fileName()));

    auto addInput = [this](const QString& name, const QByteArray& bytes) {
        const QString path = QDir(m_inputDir).filePath(name);
        QFile out(path);
        if (out.open(QIODevice::WriteOnly)) out.write(bytes);
        m_inputs << path;
        return path;
    };
    const QDir samples(m_options.samplesDir);
    if (!m_options.samplesDir.isEmpty() && samples.exists()) {
        for (const QString& name : samples.entryList({"*.v3d"}, QDir::Files, QDir::Name)) {
            QFile in(samples.filePath(name));
            if (!in.open(QIODevice::ReadOnly)) continue;
            const QByteArray bytes = in.readAll();
            m_sampleBytes[samples.filePath(name)] = bytes;
            // Copies are loaded, so a save over the current file never reaches the originals.
            m_samplesFirst << addInput("sample_" + name, bytes);
            addInput("cut_" + name, bytes.left(bytes.size() / 2));
        }
    }
    int extra = 0;
    for (const QString& f : m_options.extraInputs) {
        QFile in(f);
        if (in.open(QIODevice::ReadOnly))
            addInput(QString("extra_%1_%2").arg(extra++).arg(QFileInfo(f).fileName()),
                     in.readAll());
    }
    addInput("empty.v3d", {});
    addInput("text.v3d", "Not a scene at all\r\n");
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>(pick(256)));
    addInput("noise.v3d", noise);

    // A full scene of every kind, and a header that promises objects it does not have.
    auto scene = std::make_unique<core::Scene>();
    for (int k = 2; k < core::kMaxObjectCount; ++k)
        core::AppendObject(*scene, static_cast<core::ObjectType>(1 + (k - 2) % 6));
    scene->header.zoomX = scene->header.zoomY = scene->header.zoomZ = 40;
    std::vector<std::uint8_t> bytes = core::SerializeScene(*scene);
    addInput("full.v3d", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<qsizetype>(bytes.size())));
    core::ClearScene(*scene);
    bytes = core::SerializeScene(*scene);
    const std::int32_t promised = 25;
    std::memcpy(bytes.data() + offsetof(core::SceneHeader, objectCount), &promised, 4);
    addInput("promises.v3d", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    QDir().mkpath(QDir(m_inputDir).filePath("folder.v3d"));
    m_inputs << QDir(m_inputDir).filePath("folder.v3d") << QDir(m_inputDir).filePath("absent.v3d");

    for (const QString& d : m_options.watchDirs)
        if (QFileInfo(d).isDir() && !insideFolder(d, m_options.root) && !m_watch.watch(d))
            std::cerr << "soak: cannot watch " << str(d) << "\n";
}

QString Driver::randomText() {
    const double r = roll();
    if (r < 0.08) return {};
    if (r < 0.16) {
        // Any characters at all, sometimes many.
        QString s;
        const int n = chance(0.2) ? 300 + pick(3000) : 1 + pick(30);
        for (int i = 0; i < n; ++i)
            s += QChar(chance(0.7) ? 32 + pick(95) : 0x400 + pick(0x60));
        return s;
    }
    QString s;
    for (int i = 0, n = 1 + pick(3); i < n; ++i)
        s += QString::fromUtf8(pickOne(kFragments));
    return s;
}

QString Driver::nextInput() {
    if (!m_samplesFirst.isEmpty()) return m_samplesFirst.takeFirst();
    if (chance(0.3)) {
        const QStringList saved = QDir(m_workDir).entryList({"*.v3d"}, QDir::Files);
        if (!saved.isEmpty()) return QDir(m_workDir).filePath(pickOne(saved));
    }
    return pickOne(m_inputs);
}

QString Driver::nextSaveName(bool report) {
    const QDir work(m_workDir);
    const double r = roll();
    if (report)
        return r < 0.1 ? work.filePath("missing/report.txt")
                       : work.filePath(QString("report_%1.txt").arg(m_reportCounter++ % 3));
    if (r < 0.05) return work.filePath("missing/scene.v3d");
    if (r < 0.1) return work.filePath("adir.v3d");
    if (r < 0.15) return work.filePath("NoName.v3d");
    return work.filePath(QString("save_%1.v3d").arg(m_saveCounter++ % 6));
}

} // namespace vorn::soak
