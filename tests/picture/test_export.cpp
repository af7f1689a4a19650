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
#include <sstream>

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
class SampleExport : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* ext : {"png", "svg", "pdf", "tex"}) {
            std::ostringstream o, e;
            const std::string out = dir.file("cube").toStdString() + "." + ext;
            ASSERT_EQ(
                runRender({VORN_SAMPLES_DIR "/cube_section.v3d", "-o", out, "--labels"}, o, e), 0)
                << e.str();
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
    EXPECT_TRUE(svg.contains("width=\"160mm\"") || svg.contains("width=\"16cm\""))
        << svg.left(600).toStdString();

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
        {{"--hidden", "removed"}, "tex", "dashed", false, false},
        {{"--hidden", "dashed"}, "tex", "dashed", true, false},
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

} // namespace
} // namespace vorn::tool
