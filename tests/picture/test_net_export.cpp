// The net of a unit cube on paper: SVG, PDF and printed pages are A4 (or the paper asked for)
// with every edge at its true length, measured in the written files.
#include "picture/net_painter.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "polyhedra/formation.h"
#include "qt_app.h"

#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace vorn::test {
namespace {

// The files must hold each length to a tenth of a millimetre, the page to half a millimetre.
constexpr double kMmTolerance = 0.1, kPageTolerance = 0.5;
// pdftoppm at 254 dots per inch: 10 pixels a millimetre.
constexpr double kPixelsPerMm = 10;
constexpr double kPtPerMm = 72 / 25.4;

struct UnitCube {
    nets::Solid solid;
    nets::Net net;
};

UnitCube MakeUnitCube() {
    vorn::test::EnvFixture f;
    core::Scene& scene = f.scene;
    core::Env& env = f.env;
    const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = scene.object(slot);
    o.vertexCount = 8;
    for (int i = 0; i < 8; ++i)
        o.vertexData[i] = {float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)};
    EXPECT_TRUE(poly::FormConvexFaces(env, slot));
    const std::optional<nets::Solid> solid = nets::FacesOf(scene.object(slot));
    EXPECT_TRUE(solid);
    if (!solid) return {};
    UnitCube cube{*solid, nets::Unfold(*solid)};
    EXPECT_TRUE(cube.net.good());
    return cube;
}

// The cube's net on A4 (or `paper`) at `mm` millimetres a unit.
nets::PrintPlan CubePlan(double mm, bool tabs, std::vector<std::string> names = {},
                         nets::Paper paper = {}) {
    static const UnitCube cube = MakeUnitCube();
    return nets::PlanPages(
        [&](double at) {
            return nets::SheetOf(cube.solid, cube.net, {tabs, names, at, false});
        },
        mm, paper);
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A page at 254 dots per inch; a null image without pdftoppm.
QImage RenderPdf(const QString& pdf, const QString& stem, int page = 1) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return {};
    QProcess run;
    run.start(pdftoppm, {"-png", "-r", "254", "-f", QString::number(page), "-l",
                         QString::number(page), "-singlefile", pdf, stem});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) return {};
    return QImage(stem + ".png");
}

// The page as poppler reads it, written back as SVG in points; empty without pdftocairo.
QString PdfAsSvg(const QString& pdf, const QString& svg) {
    const QString pdftocairo = QStandardPaths::findExecutable(QStringLiteral("pdftocairo"));
    if (pdftocairo.isEmpty()) return {};
    QProcess run;
    run.start(pdftocairo, {"-svg", "-f", "1", "-l", "1", pdf, svg});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) return {};
    return QString::fromUtf8(Bytes(svg));
}

// The lengths of the straight pieces of the drawing's paths and polygons (glyphs left out), in
// the SVG's user units, each path's own matrix applied.
std::vector<double> SegmentLengths(const QString& svg) {
    std::vector<double> lengths;
    const int body = std::max(0, static_cast<int>(svg.indexOf(QStringLiteral("</defs>"))));
    const QRegularExpression shape(
        R"re(<(polyline|polygon|path)\b([^>]*?)(?:points|d)="([^"]*)"([^>]*)>)re");
    const QRegularExpression pair(R"re((-?[\d.]+)[ ,](-?[\d.]+))re");
    const QRegularExpression matrix(R"re(transform="matrix\(([^)]*)\)")re");
    for (const auto& s : shape.globalMatch(svg.mid(body))) {
        if (s.captured(3).contains('C')) continue; // curves: glyphs and round caps
        QTransform t;
        if (const auto m = matrix.match(s.captured(2) + s.captured(4)); m.hasMatch()) {
            const QStringList v = m.captured(1).split(',');
            if (v.size() == 6)
                t = QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(),
                               v[4].toDouble(), v[5].toDouble());
        }
        std::vector<QPointF> points;
        for (const auto& p : pair.globalMatch(s.captured(3)))
            points.push_back(t.map(QPointF(p.captured(1).toDouble(), p.captured(2).toDouble())));
        if (s.captured(1) == "polygon" && !points.empty()) points.push_back(points.front());
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPointF d = points[i] - points[i - 1];
            if (const double l = std::hypot(d.x(), d.y()); l > 1e-9) lengths.push_back(l);
        }
    }
    return lengths;
}

// The distance between the centres of the first and the last line across the image along x
// (or y), in pixels: lines are columns (rows) with at least `length` black pixels, so the outline's
// outer cut lines count and crossing lines, grey tabs and labels do not.
double StrokeSpan(const QImage& image, bool alongX, int length) {
    const int n = alongX ? image.width() : image.height();
    const int m = alongX ? image.height() : image.width();
    std::vector<bool> line(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
        int black = 0;
        for (int j = 0; j < m; ++j)
            black += qGray(alongX ? image.pixel(i, j) : image.pixel(j, i)) < 64;
        line[static_cast<std::size_t>(i)] = black >= length;
    }
    const auto at = [&line](int i) { return line[static_cast<std::size_t>(i)]; };
    int a = 0;
    while (a < n && !at(a))
        ++a;
    int a2 = a;
    while (a2 < n && at(a2))
        ++a2;
    int b = n - 1;
    while (b >= 0 && !at(b))
        --b;
    int b2 = b;
    while (b2 >= 0 && at(b2))
        --b2;
    if (a >= n) return 0;
    return (b + b2 + 1) / 2.0 - (a + a2 - 1) / 2.0;
}

// The extent of the faces (not the tabs and labels) in millimetres.
QSizeF FacesMm(const nets::PrintPlan& plan) {
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (const auto& face : plan.sheet.faces)
        for (const nets::Point2& p : face) {
            lowX = std::min(lowX, p.x), highX = std::max(highX, p.x);
            lowY = std::min(lowY, p.y), highY = std::max(highY, p.y);
        }
    return {(highX - lowX) * plan.mmPerUnit, (highY - lowY) * plan.mmPerUnit};
}

class NetExport : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString file(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

// Every segment of every outline and line in the SVG, at two scales and on two papers: the
// page is the paper, and its size in millimetres over its viewBox gives millimetres per unit.
TEST_F(NetExport, SvgIsTheChosenPaperWithEdgesAtTheirTrueLength) {
    struct Case {
        double mmPerUnit;
        nets::Paper paper;
        bool fill;
    };
    for (const Case& c : {Case{10, nets::PaperOf(nets::PaperFormat::A4, false), true},
                          Case{25, nets::PaperOf(nets::PaperFormat::A3, true), true},
                          Case{25, nets::PaperOf(nets::PaperFormat::A4, false), false}}) {
        SCOPED_TRACE(c.mmPerUnit);
        const nets::PrintPlan plan =
            CubePlan(c.mmPerUnit, false, {"A", "B", "C", "D", "E", "F", "G", "Ж"}, c.paper);
        ASSERT_EQ(plan.pages.size(), 1u);
        QStringList written;
        ASSERT_TRUE(pic::WriteSheetSvg(file("net.svg"), plan, c.fill, &written));
        EXPECT_EQ(written, QStringList{file("net.svg")});
        const QString svg = QString::fromUtf8(Bytes(file("net.svg")));
        const auto size =
            QRegularExpression(R"re(width="([\d.]+)mm" height="([\d.]+)mm")re").match(svg);
        const auto box = QRegularExpression(R"re(viewBox="0 0 ([\d.]+) ([\d.]+)")re").match(svg);
        ASSERT_TRUE(size.hasMatch() && box.hasMatch()) << svg.left(500).toStdString();
        EXPECT_NEAR(size.captured(1).toDouble(), c.paper.width, 0.01);
        EXPECT_NEAR(size.captured(2).toDouble(), c.paper.height, 0.01);
        const double mmPerUser = size.captured(1).toDouble() / box.captured(1).toDouble();
        EXPECT_NEAR(size.captured(2).toDouble() / box.captured(2).toDouble(), mmPerUser, 1e-9);
        // Drawn without a scaling transform, so the coordinates are user units.
        for (const auto& m :
             QRegularExpression(R"re(transform="matrix\(([^)]*)\))re").globalMatch(svg)) {
            const QStringList t = m.captured(1).split(',');
            ASSERT_EQ(t.size(), 6);
            EXPECT_EQ(t[0].toDouble(), 1);
            EXPECT_EQ(t[3].toDouble(), 1);
        }
        int segments = 0;
        for (const double l : SegmentLengths(svg)) {
            ++segments;
            EXPECT_NEAR(l * mmPerUser, c.mmPerUnit, kMmTolerance);
        }
        // Six squares filled (or not), and the cut and fold lines of their 24 sides (hinges once).
        EXPECT_GE(segments, (c.fill ? 6 * 4 : 0) + 19);
        EXPECT_FALSE(svg.contains("<image"));
        // A drawing any SVG reader shows: the faces' fill covers six squares of the page.
        QSvgRenderer renderer(file("net.svg"));
        ASSERT_TRUE(renderer.isValid());
        const double pxPerMm = 4;
        QImage drawn(static_cast<int>(c.paper.width * pxPerMm),
                     static_cast<int>(c.paper.height * pxPerMm), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        renderer.render(&painter);
        painter.end();
        int filled = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                filled += drawn.pixel(x, y) == qRgb(255, 247, 214);
        // Less a pixel's ring under the lines and the numbers.
        const double side = c.mmPerUnit * pxPerMm;
        if (c.fill) {
            EXPECT_LE(filled, 6 * side * side);
            EXPECT_GE(filled, 0.85 * 6 * (side - 2) * (side - 2));
        } else {
            EXPECT_EQ(filled, 0);
        }
        EXPECT_TRUE(svg.contains(">Ж</text>") || svg.contains(">Ж<")) << "Cyrillic label";
    }
}

// The PDF's page and the printed pages are A4 whatever the device's margins, and keep the
// scale: the page size from the file and from poppler, each square's sides read back by
// pdftocairo, and the outline's size through the centres of its cut lines, rendered at 10
// pixels a millimetre.
TEST_F(NetExport, PdfAndPrintedPagesAreA4AtTrueScale) {
    struct Case {
        const char* name;
        bool pages; // through PaintSheetPages on an A4 writer with margins, as printing goes
        double mmPerUnit;
    };
    for (const Case c : {Case{"file", false, 10}, Case{"file", false, 33}, Case{"a4", true, 10}}) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.mmPerUnit));
        // Without tabs: the outline is cut all round, so its outer lines are solid.
        const nets::PrintPlan plan = CubePlan(c.mmPerUnit, false);
        const QString pdf = file("net.pdf");
        QFile::remove(pdf);
        if (c.pages) {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(12, 17, 12, 17), QPageLayout::Millimeter);
            ASSERT_TRUE(pic::PaintSheetPages(writer, plan, true));
        } else {
            ASSERT_TRUE(pic::WriteSheetPdf(pdf, plan, true));
        }
        const QByteArray bytes = Bytes(pdf);
        ASSERT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_FALSE(bytes.contains("/Subtype /Image") || bytes.contains("/Subtype/Image"));
        const auto media =
            QRegularExpression(R"re(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])re")
                .match(QString::fromLatin1(bytes));
        ASSERT_TRUE(media.hasMatch());
        EXPECT_NEAR(media.captured(1).toDouble() / kPtPerMm, 210, kPageTolerance);
        EXPECT_NEAR(media.captured(2).toDouble() / kPtPerMm, 297, kPageTolerance);
        const QString svg = PdfAsSvg(pdf, file("page.svg"));
        if (!svg.isEmpty()) {
            const auto size =
                QRegularExpression(R"re(width="([\d.]+)pt" height="([\d.]+)pt")re").match(svg);
            ASSERT_TRUE(size.hasMatch());
            EXPECT_NEAR(size.captured(1).toDouble() / kPtPerMm, 210, kPageTolerance);
            int sides = 0;
            for (const double l : SegmentLengths(svg))
                sides += std::fabs(l / kPtPerMm - c.mmPerUnit) < kMmTolerance;
            EXPECT_GE(sides, 6 * 4 + 19); // the squares' fills and their cut and fold lines
        }
        const QImage page = RenderPdf(pdf, file("page"));
        if (page.isNull()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        EXPECT_NEAR(page.width() / kPixelsPerMm, 210, kPageTolerance);
        EXPECT_NEAR(page.height() / kPixelsPerMm, 297, kPageTolerance);
        // Four fifths of a unit edge: longer than a tab, shorter than any side of the outline.
        const int length = static_cast<int>(0.8 * c.mmPerUnit * kPixelsPerMm);
        const QSizeF faces = FacesMm(plan);
        EXPECT_NEAR(StrokeSpan(page, true, length) / kPixelsPerMm, faces.width(), kMmTolerance);
        EXPECT_NEAR(StrokeSpan(page, false, length) / kPixelsPerMm, faces.height(), kMmTolerance);
    }
}

// A net larger than the page goes on to further pages of the same paper, each with the marks
// where it meets its neighbours; too many pages are refused.
TEST_F(NetExport, ALargeNetIsSpreadOverPagesWithMarks) {
    const nets::PrintPlan plan = CubePlan(100, true);
    ASSERT_GT(plan.pages.size(), 1u);
    ASSERT_FALSE(plan.marks.empty());
    ASSERT_TRUE(pic::WriteSheetPdf(file("big.pdf"), plan, true));
    const QByteArray bytes = Bytes(file("big.pdf"));
    EXPECT_EQ(bytes.count(QByteArrayView("/Type /Page\n")) +
                  bytes.count(QByteArrayView("/Type /Page ")) +
                  bytes.count(QByteArrayView("/Type /Page\r")),
              static_cast<int>(plan.pages.size()));
    // An SVG holds one page: one file each.
    QStringList written;
    ASSERT_TRUE(pic::WriteSheetSvg(file("big.svg"), plan, true, &written));
    ASSERT_EQ(written.size(), static_cast<int>(plan.pages.size()));
    EXPECT_EQ(written[1], file("big-2.svg"));
    for (const QString& name : written)
        EXPECT_TRUE(Bytes(name).contains("width=\"210mm\""));
    // Every page carries alignment crosses (magenta) in its overlap.
    for (std::size_t p = 0; p < plan.pages.size(); ++p) {
        const QImage page = RenderPdf(file("big.pdf"), file("big"), static_cast<int>(p) + 1);
        if (page.isNull()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        int marks = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2) {
                const QRgb c = page.pixel(x, y);
                marks += qRed(c) > 150 && qBlue(c) > 90 && qGreen(c) < 90;
            }
        EXPECT_GT(marks, 20) << "page " << p + 1;
    }
    // Too many pages are refused rather than sent to the printer.
    const nets::PrintPlan huge = CubePlan(5000, false);
    EXPECT_GT(huge.pages.size(), pic::kMaxPages);
    EXPECT_FALSE(pic::WriteSheetPdf(file("huge.pdf"), huge, true));
}

} // namespace
} // namespace vorn::test
