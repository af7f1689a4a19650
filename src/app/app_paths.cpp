// Choice of the settings folder and the language search folders; file names as bytes.
#include "app/app_paths.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace vorn::app {

QString UserConfigDir() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/vorn3d"));
}

namespace {

QString ShareDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QStringLiteral("/../share/vorn3d"));
}

} // namespace

bool IsInstalledLayout(const QString& programDir) {
    return QDir(QDir::cleanPath(programDir)).dirName() == QStringLiteral("bin") &&
           QFileInfo(ShareDir(programDir)).isDir();
}

QString WritableDataDir(const QString& programDir, const QString& configDir) {
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable() && !IsInstalledLayout(programDir))
        return QDir::cleanPath(programDir);
    QDir().mkpath(configDir);
    return QDir::cleanPath(configDir);
}

QStringList LanguageDirs(const QString& programDir, const QString& configDir) {
    QStringList dirs;
    const QString share = ShareDir(programDir);
    for (const QString& d : {QDir::cleanPath(programDir), QDir::cleanPath(configDir), share})
        if (!dirs.contains(d) && QFileInfo(d).isDir()) dirs << d;
    return dirs;
}

namespace {

constexpr char16_t kStrayByte = 0xDC00; // + the byte, 0x80..0xFF

// The length of the well-formed UTF-8 sequence at the start of `s` (RFC 3629: no overlong
// forms, no surrogates, nothing beyond U+10FFFF), or 0.
std::size_t utf8SequenceLength(std::string_view s, char32_t& code) {
    const auto b = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    // Lead byte pattern, its payload bits and the smallest code of that length.
    struct Form {
        unsigned char mask, pattern, payload;
        char32_t min;
    };
    constexpr Form kForms[] = {
        {0xE0, 0xC0, 0x1F, 0x80}, {0xF0, 0xE0, 0x0F, 0x800}, {0xF8, 0xF0, 0x07, 0x10000}};
    std::size_t n = 0;
    char32_t min = 0;
    for (std::size_t f = 0; f < 3 && n == 0; ++f)
        if ((lead & kForms[f].mask) == kForms[f].pattern) {
            n = f + 2;
            code = lead & kForms[f].payload;
            min = kForms[f].min;
        }
    if (n == 0) return 0;
    if (s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b(i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

} // namespace

QString PathFromLocalBytes(std::string_view bytes) {
    QString path;
    path.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        char32_t code = 0;
        std::size_t n = utf8SequenceLength(bytes, code);
        if (n == 0) {
            code = kStrayByte + static_cast<unsigned char>(bytes[0]);
            n = 1;
        }
        if (QChar::requiresSurrogates(code)) {
            path += QChar(QChar::highSurrogate(code));
            path += QChar(QChar::lowSurrogate(code));
        } else {
            path += QChar(static_cast<char16_t>(code));
        }
        bytes.remove_prefix(n);
    }
    return path;
}

std::string LocalBytesOfPath(const QString& path) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    qsizetype from = 0; // start of the text not yet encoded
    const auto flush = [&](qsizetype to) {
        bytes += QStringView(path).sliced(from, to - from).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        const bool paired = QChar::isLowSurrogate(u) && i > 0 && path.at(i - 1).isHighSurrogate();
        if (u < kStrayByte + 0x80 || u > kStrayByte + 0xFF || paired) continue;
        flush(i);
        bytes += static_cast<char>(u - kStrayByte);
        from = i + 1;
    }
    flush(path.size());
    return bytes;
}

QString CommandLineFile(int argc, const char* const* argv) {
    if (argc < 2 || !argv[1] || !*argv[1]) return {};
    QString file = PathFromLocalBytes(argv[1]);
    // Resolved on the bytes' own terms: QFileInfo would take the name through Qt's decoding.
    if (QDir::isRelativePath(file)) {
        std::error_code error;
        const std::string here = std::filesystem::current_path(error).string();
        file = PathFromLocalBytes(here) + QLatin1Char('/') + file;
    }
    return QDir::cleanPath(file);
}

std::string PathToStoredText(const QString& path) {
    const std::string bytes = LocalBytesOfPath(path);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toPercentEncoding("/")
        .toStdString();
}

QString PathFromStoredText(std::string_view text) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    return PathFromLocalBytes(std::string_view(bytes.constData(), bytes.size()));
}

} // namespace vorn::app
