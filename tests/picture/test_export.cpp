// v3dtool render into SVG, PDF and TikZ: drawings of lines and text that look like the picture.
#include "v3dtool/commands.h"

#include "picture/vector_export.h"
#include "qt_app.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include <unistd.h>

namespace vorn::tool {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("v3d_export_" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    QString file(const char* name) const { return QString::fromStdString((path / name).string()); }
};

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Ink(QRgb p) {
    return qAlpha(p) > 0 && qGray(p) < 240;
}

// The share of the bitmap's drawn pixels that the drawing, rendered at the same size, also
// draws within two pixels: 1 when the drawing looks like the picture.
double Likeness(const QImage& picture, const QImage& drawing) {
    int drawn = 0, matched = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            if (!Ink(picture.pixel(x, y))) continue;
            ++drawn;
            bool found = false;
            for (int dy = -2; dy <= 2 && !found; ++dy)
                for (int dx = -2; dx <= 2 && !found; ++dx)
                    found = drawing.valid(x + dx, y + dy) && Ink(drawing.pixel(x + dx, y + dy));
            matched += found;
        }
    return drawn == 0 ? 0 : double(matched) / drawn;
}

// cube_section.v3d at 800 x 600, 16 cm wide: 127 dots per inch give the picture's pixels back.
// The picture is the plain one; the drawings carry the letters besides.
class SampleExport : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* ext : {"png", "svg", "pdf", "tex"}) {
            std::ostringstream o, e;
            const std::string out = dir.file("cube").toStdString() + "." + ext;
            Args args = {VORN_SAMPLES_DIR "/cube_section.v3d", "-o", out, "--width-cm", "16"};
            if (std::string(ext) != "png") args.push_back("--labels");
            ASSERT_EQ(runRender(args, o, e), 0) << e.str();
        }
        picture.load(dir.file("cube.png"));
        ASSERT_EQ(picture.size(), QSize(800, 600));
    }
    TempDir dir;
    QImage picture;
};

TEST_F(SampleExport, SvgHoldsLinesAndTextOnlyAndLooksLikeThePicture) {
    const QByteArray svg = Bytes(dir.file("cube.svg"));
    EXPECT_LT(svg.size(), 50 * 1024);
    EXPECT_TRUE(svg.contains("<polyline") || svg.contains("<line") || svg.contains("<path"));
    EXPECT_TRUE(svg.contains("<text"));
    EXPECT_FALSE(svg.contains("<image"));
    EXPECT_TRUE(svg.contains("width=\"160mm\"")) << svg.left(600).toStdString();
    // Without a width a figure fits an A4 page's text block.
    std::ostringstream o, e;
    const std::string plain = dir.file("plain.svg").toStdString();
    ASSERT_EQ(runRender({VORN_SAMPLES_DIR "/cube_section.v3d", "-o", plain}, o, e), 0);
    EXPECT_TRUE(Bytes(QString::fromStdString(plain)).contains("width=\"120mm\""));

    QSvgRenderer renderer(dir.file("cube.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage drawing(800, 600, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::white);
    QPainter painter(&drawing);
    renderer.render(&painter);
    painter.end();
    EXPECT_GT(Likeness(picture, drawing), 0.95);
    EXPECT_GT(Likeness(drawing, picture), 0.8); // and draws little the picture does not
}

// --hidden and --bw in every format: hidden lines dashed in the file's own terms, and in black
// and white nothing but black, white and the grey of nodes behind faces.
TEST(RenderHidden, DashedAndBlackAndWhiteReachEveryFormat) {
    TempDir dir;
    struct Case {
        std::vector<std::string> options;
        const char* ext;
        const char* dash; // what a dashed line looks like in the file; "" for a bitmap
        bool dashed, blackWhite;
    };
    const Case cases[] = {
        {{}, "svg", "stroke-dasharray", false, false},
        {{"--hidden", "dashed"}, "svg", "stroke-dasharray", true, false},
        {{"--hidden", "removed"}, "tex", "dash pattern", false, false},
        {{"--hidden", "dashed"}, "tex", "dash pattern", true, false},
        {{"--bw"}, "svg", "stroke-dasharray", true, true},
        {{"--bw", "--hidden", "removed"}, "svg", "stroke-dasharray", false, true},
        {{"--bw"}, "png", "", true, true},
        {{"--bw"}, "pdf", "", true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString out = dir.file("s") + QString::number(n++) + "." + c.ext;
        SCOPED_TRACE(out.toStdString());
        Args args = {VORN_SAMPLES_DIR "/regular_solids.v3d", "-o", out.toStdString(), "--labels"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::ostringstream o, e;
        ASSERT_EQ(runRender(args, o, e), 0) << e.str();
        const QByteArray data = Bytes(out);
        ASSERT_FALSE(data.isEmpty());
        if (*c.dash) {
            EXPECT_EQ(data.contains(c.dash), c.dashed);
        }
        if (QString(c.ext) == "svg") {
            QStringList colours;
            static const QRegularExpression colour("(?:stroke|fill)=\"(#[0-9a-f]{6})\"");
            for (auto m = colour.globalMatch(QString::fromUtf8(data)); m.hasNext();)
                colours << m.next().captured(1);
            colours.removeDuplicates();
            const QStringList grey = {"#000000", "#ffffff", "#808080"};
            const bool onlyGrey = std::all_of(colours.begin(), colours.end(),
                                              [&](const QString& s) { return grey.contains(s); });
            EXPECT_EQ(onlyGrey, c.blackWhite) << colours.join(' ').toStdString();
        }
        if (QString(c.ext) == "png") {
            const QImage image(out);
            bool coloured = false;
            for (int y = 0; y < image.height() && !coloured; ++y)
                for (int x = 0; x < image.width() && !coloured; ++x) {
                    const QRgb p = image.pixel(x, y);
                    coloured = qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
                }
            EXPECT_FALSE(coloured);
        }
        if (QString(c.ext) == "pdf") {
            EXPECT_TRUE(data.startsWith("%PDF"));
        }
    }
}

TEST_F(SampleExport, PdfHoldsNoImageAndLooksLikeThePicture) {
    const QByteArray pdf = Bytes(dir.file("cube.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_FALSE(pdf.contains("/Subtype /Image"));
    EXPECT_FALSE(pdf.contains("/Subtype/Image"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QProcess run;
    run.start(pdftoppm,
              {"-png", "-r", "127", "-singlefile", dir.file("cube.pdf"), dir.file("cube-pdf")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QImage drawing(dir.file("cube-pdf.png"));
    ASSERT_NEAR(drawing.width(), 800, 2);
    EXPECT_GT(Likeness(picture, drawing), 0.95);
    EXPECT_GT(Likeness(drawing, picture), 0.8);
}

TEST_F(SampleExport, TikzCompilesWithPdfLatex) {
    const QByteArray tex = Bytes(dir.file("cube.tex"));
    EXPECT_TRUE(tex.contains("\\begin{tikzpicture}") && tex.contains("\\draw"));
    const QString pdflatex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
    if (pdflatex.isEmpty()) GTEST_SKIP() << "pdflatex is not installed";
    QFile doc(dir.file("doc.tex"));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.write("\\documentclass{article}\\usepackage{tikz}\\begin{document}\n"
              "\\input{cube.tex}\n\\end{document}\n");
    doc.close();
    QProcess run;
    run.setWorkingDirectory(QString::fromStdString(dir.path.string()));
    run.start(pdflatex, {"-interaction=nonstopmode", "-halt-on-error", "doc.tex"});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().right(2000).toStdString();
    EXPECT_TRUE(Bytes(dir.file("doc.pdf")).startsWith("%PDF"));
}

// Labels stay text with their Cyrillic intact; a transparent PNG keeps only the drawing.
TEST(VectorExport, KeepsCyrillicLabelsAsText) {
    test::EnsureQtApp(); // painting text needs the fonts of an application
    TempDir dir;
    pic::DisplayList list(3);
    list[0].kind = pic::DrawOp::Kind::Fill;
    list[0].pts = {{{0, 0}, {200, 100}}};
    list[0].brush = 0xFFFFFF;
    list[1].kind = pic::DrawOp::Kind::Line;
    list[1].role = pic::Role::Edge;
    list[1].pts = {{{10, 90}, {190, 10}}};
    list[1].count = 2;
    list[2].kind = pic::DrawOp::Kind::Text;
    list[2].role = pic::Role::VertexLabel;
    list[2].pts[0] = {20, 20};
    list[2].text = "Переріз АВС";
    ASSERT_TRUE(pic::WriteSvg(dir.file("l.svg"), list, 200, 100, 5));
    EXPECT_TRUE(Bytes(dir.file("l.svg")).contains("Переріз АВС"));
    ASSERT_TRUE(pic::WritePdf(dir.file("l.pdf"), list, 200, 100, 5));
    ASSERT_TRUE(pic::WritePng(dir.file("l.png"), list, 200, 100, 300, true));
    const QImage png(dir.file("l.png"));
    EXPECT_EQ(qAlpha(png.pixel(150, 80)), 0);
    EXPECT_EQ(png.dotsPerMeterX(), 11811);
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QProcess run;
    run.start(pdftotext, {dir.file("l.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(run.readAllStandardOutput()).contains("Переріз АВС"));
}

// A stroke of a figure file: its two ends in millimetres and whether it is dashed.
struct FileStroke {
    double x1, y1, x2, y2;
    bool dashed;
};

// The strokes of a figure's SVG file.
std::vector<FileStroke> SvgStrokes(const QByteArray& svg) {
    static const QRegularExpression path(
        R"re(<path d="M(-?[\d.]+) (-?[\d.]+)L(-?[\d.]+) (-?[\d.]+)"[^>]*?(?:stroke-dasharray="([\d.]+) ([\d.]+)")?/>)re");
    std::vector<FileStroke> out;
    for (auto m = path.globalMatch(QString::fromUtf8(svg)); m.hasNext();) {
        const auto g = m.next();
        out.push_back({g.captured(1).toDouble(), g.captured(2).toDouble(), g.captured(3).toDouble(),
                       g.captured(4).toDouble(),
                       g.captured(5).toDouble() > 0.5 * g.captured(6).toDouble()});
    }
    return out;
}

// The strokes of a figure's PDF file, read from its content streams' drawing operators: the
// dash array set by `d` and every `x y m x y l S` path (the figure draws in millimetres).
std::vector<FileStroke> PdfStrokes(const QByteArray& pdf) {
    std::vector<FileStroke> out;
    for (qsizetype at = pdf.indexOf("stream"); at >= 0; at = pdf.indexOf("stream", at + 1)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") continue;
        qsizetype begin = at + 6;
        if (pdf[begin] == '\r') ++begin;
        if (pdf[begin] == '\n') ++begin;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        // qUncompress wants the size in front of a zlib stream; 64 MiB is room enough.
        QByteArray packed = QByteArray::fromHex("04000000") + pdf.mid(begin, end - begin);
        const QByteArray text = qUncompress(packed);
        if (text.isEmpty()) continue;
        const QList<QByteArray> words = text.simplified().split(' ');
        bool dashed = false;
        std::vector<double> stack;
        std::vector<double> path;
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QByteArray& w = words[i];
            bool number = false;
            const double v = w.toDouble(&number);
            if (number) {
                stack.push_back(v);
                continue;
            }
            if (w.startsWith('[')) { // a dash array up to "]": empty means solid
                const bool empty = w.startsWith("[]");
                // Dots are far shorter than their gaps, dashes longer.
                const double on = empty ? 0 : w.mid(1).toDouble();
                const double off = empty || i + 1 >= words.size() ? 0 : words[i + 1].toDouble();
                while (i < words.size() && !words[i].contains(']'))
                    ++i;
                dashed = !empty && on > 0.5 * off;
            } else if (w == "m") {
                path.assign(stack.end() - 2, stack.end());
            } else if (w == "l" && path.size() == 2) {
                path.insert(path.end(), stack.end() - 2, stack.end());
            } else if (w == "S" && path.size() == 4) {
                out.push_back({path[0], path[1], path[2], path[3], dashed});
                path.clear();
            }
            stack.clear();
        }
    }
    return out;
}

// SVG and PDF figures of every sample in the three hidden-line modes hold the same strokes,
// each once, with the same dash state; the SVG ones are checked against the hidden-line pass
// by the figure's own tests.
TEST(FigureFiles, PdfHoldsTheSvgStrokesEachOnceWithTheirDashes) {
    TempDir dir;
    for (const char* sample :
         {"cube_section", "pyramid_height", "regular_solids", "surfaces", "revolution"})
        for (const char* mode : {"solid", "dashed", "removed"})
            for (const bool bw : {false, true}) {
                SCOPED_TRACE(std::string(sample) + " " + mode + (bw ? " bw" : ""));
                std::vector<std::vector<FileStroke>> files;
                for (const char* ext : {"svg", "pdf"}) {
                    const std::string out = dir.file("f").toStdString() + "." + ext;
                    Args args = {std::string(VORN_SAMPLES_DIR) + "/" + sample + ".v3d",
                                 "-o",
                                 out,
                                 "--hidden",
                                 mode,
                                 "--fit",
                                 "--labels"};
                    if (bw) args.push_back("--bw");
                    std::ostringstream o, e;
                    ASSERT_EQ(runRender(args, o, e), 0) << e.str();
                    const QByteArray data = Bytes(QString::fromStdString(out));
                    files.push_back(std::string(ext) == "svg" ? SvgStrokes(data)
                                                              : PdfStrokes(data));
                }
                // The same strokes to the SVG's thousandth of a millimetre, either way round.
                const auto same = [](const FileStroke& p, const FileStroke& q) {
                    const auto near = [](double a, double b) { return std::fabs(a - b) <= 0.002; };
                    const bool forward = near(p.x1, q.x1) && near(p.y1, q.y1) && near(p.x2, q.x2) &&
                                         near(p.y2, q.y2);
                    const bool back = near(p.x1, q.x2) && near(p.y1, q.y2) && near(p.x2, q.x1) &&
                                      near(p.y2, q.y1);
                    return (forward || back) && p.dashed == q.dashed;
                };
                ASSERT_FALSE(files[0].empty());
                ASSERT_EQ(files[0].size(), files[1].size());
                std::vector<bool> used(files[1].size(), false);
                std::size_t dashed = 0;
                for (const FileStroke& s : files[0]) {
                    dashed += s.dashed;
                    int found = 0;
                    for (std::size_t k = 0; k < files[1].size(); ++k)
                        if (same(s, files[1][k])) {
                            ++found;
                            used[k] = true;
                        }
                    EXPECT_EQ(found, 1) << s.x1 << " " << s.y1 << " " << s.x2 << " " << s.y2;
                }
                EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
                EXPECT_EQ(dashed > 0,
                          std::string(mode) == "dashed" || (bw && std::string(mode) == "solid"));
            }
}

} // namespace
} // namespace vorn::tool
