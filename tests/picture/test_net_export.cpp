// The net of a unit cube on paper: in SVG, PDF and printed pages every edge keeps its true
// length, measured in the written files.
#include "picture/net_painter.h"

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

// The file must hold each length to a tenth of a millimetre.
constexpr double kMmTolerance = 0.1;
// pdftoppm at 254 dots per inch: 10 pixels a millimetre.
constexpr double kPixelsPerMm = 10;

nets::Sheet UnitCubeSheet(bool tabs, std::vector<std::string> names = {}) {
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    FakeHost host;
    core::Env env{scene, settings, messages, host};
    const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = scene.object(slot);
    o.vertexCount = 8;
    for (int i = 0; i < 8; ++i)
        o.vertexData[i] = {float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)};
    EXPECT_TRUE(poly::FormConvexFaces(env, slot));
    const std::optional<nets::Solid> solid = nets::FacesOf(scene.object(slot));
    EXPECT_TRUE(solid);
    if (!solid) return {};
    const nets::Net net = nets::Unfold(*solid);
    EXPECT_TRUE(net.good());
    return nets::SheetOf(*solid, net, {tabs, std::move(names)});
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first page at 254 dots per inch; a null image without pdftoppm.
QImage RenderPdf(const QString& pdf, const QString& stem) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return {};
    QProcess run;
    run.start(pdftoppm, {"-png", "-r", "254", "-f", "1", "-l", "1", "-singlefile", pdf, stem});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) return {};
    return QImage(stem + ".png");
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

class NetExport : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString file(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

// Every segment of every outline and line in the SVG, at two scales: the file's own size in
// millimetres over its viewBox gives millimetres per user unit.
TEST_F(NetExport, SvgEdgesHaveTheirTrueLength) {
    const nets::Sheet sheet = UnitCubeSheet(false, {"A", "B", "C", "D", "E", "F", "G", "Ж"});
    ASSERT_FALSE(sheet.faces.empty());
    for (const double mmPerUnit : {10.0, 25.0}) {
        SCOPED_TRACE(mmPerUnit);
        ASSERT_TRUE(pic::WriteSheetSvg(file("net.svg"), sheet, mmPerUnit));
        const QString svg = QString::fromUtf8(Bytes(file("net.svg")));
        const auto size =
            QRegularExpression(R"re(width="([\d.]+)mm" height="([\d.]+)mm")re").match(svg);
        const auto box = QRegularExpression(R"re(viewBox="0 0 ([\d.]+) ([\d.]+)")re").match(svg);
        ASSERT_TRUE(size.hasMatch() && box.hasMatch()) << svg.left(500).toStdString();
        const double mmPerUser = size.captured(1).toDouble() / box.captured(1).toDouble();
        EXPECT_NEAR(size.captured(2).toDouble() / box.captured(2).toDouble(), mmPerUser, 1e-9);
        const QSizeF paper = pic::SheetPaperSize(sheet, mmPerUnit);
        EXPECT_NEAR(size.captured(1).toDouble(), paper.width(), 0.01);
        EXPECT_NEAR(size.captured(2).toDouble(), paper.height(), 0.01);
        // Drawn without a scaling transform, so the coordinates are user units.
        for (const auto& m :
             QRegularExpression(R"re(transform="matrix\(([^)]*)\))re").globalMatch(svg)) {
            const QStringList t = m.captured(1).split(',');
            ASSERT_EQ(t.size(), 6);
            EXPECT_EQ(t[0].toDouble(), 1);
            EXPECT_EQ(t[3].toDouble(), 1);
        }
        int segments = 0;
        const QRegularExpression shape(
            R"re(<(polyline|polygon|path)[^>]*?(?:points|d)="([^"]*)")re");
        const QRegularExpression pair(R"re((-?[\d.]+)[ ,](-?[\d.]+))re");
        for (const auto& s : shape.globalMatch(svg)) {
            std::vector<QPointF> points;
            for (const auto& p : pair.globalMatch(s.captured(2)))
                points.emplace_back(p.captured(1).toDouble(), p.captured(2).toDouble());
            if (s.captured(1) == "polygon" && !points.empty()) points.push_back(points.front());
            for (std::size_t i = 1; i < points.size(); ++i) {
                const QPointF d = points[i] - points[i - 1];
                const double mm = std::hypot(d.x(), d.y()) * mmPerUser;
                if (mm < 1e-9) continue; // a closing point repeated
                ++segments;
                EXPECT_NEAR(mm, mmPerUnit, kMmTolerance) << s.captured(0).toStdString();
            }
        }
        // Six squares filled, and the cut and fold lines of their 24 sides (hinges once).
        EXPECT_GE(segments, 6 * 4 + 19);
        EXPECT_FALSE(svg.contains("<image"));
        // A drawing any SVG reader shows: the faces' fill covers a good part of the page.
        QSvgRenderer renderer(file("net.svg"));
        ASSERT_TRUE(renderer.isValid());
        QImage drawn(400, 400 * paper.height() / paper.width(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        renderer.render(&painter);
        painter.end();
        int filled = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                filled += drawn.pixel(x, y) == qRgb(255, 247, 214);
        EXPECT_GT(filled, drawn.width() * drawn.height() / 5);
        EXPECT_TRUE(svg.contains(">Ж</text>") || svg.contains(">Ж<")) << "Cyrillic label";
    }
}

// The PDF's page and the printed pages (on A4 with margins) keep the scale: the outline's size
// through the centres of its cut lines, rendered at 10 pixels a millimetre.
TEST_F(NetExport, PdfAndPrintedPagesKeepTheScale) {
    const nets::Sheet sheet = UnitCubeSheet(true);
    ASSERT_FALSE(sheet.faces.empty());
    // The outline without the tabs: the squares' extent.
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (const auto& face : sheet.faces)
        for (const nets::Point2& p : face) {
            lowX = std::min(lowX, p.x), highX = std::max(highX, p.x);
            lowY = std::min(lowY, p.y), highY = std::max(highY, p.y);
        }
    struct Case {
        const char* name;
        bool pages; // through PaintSheetPages on an A4 writer, as printing goes
        double mmPerUnit;
    };
    for (const Case c : {Case{"file", false, 10}, Case{"file", false, 33}, Case{"a4", true, 10}}) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.mmPerUnit));
        const QString pdf = file("net.pdf");
        QFile::remove(pdf);
        if (c.pages) {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(12, 17, 12, 17), QPageLayout::Millimeter);
            ASSERT_TRUE(pic::PaintSheetPages(writer, sheet, c.mmPerUnit));
        } else {
            ASSERT_TRUE(pic::WriteSheetPdf(pdf, sheet, c.mmPerUnit));
        }
        const QByteArray bytes = Bytes(pdf);
        ASSERT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_FALSE(bytes.contains("/Subtype /Image") || bytes.contains("/Subtype/Image"));
        const QImage page = RenderPdf(pdf, file("page"));
        if (page.isNull()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        if (!c.pages) {
            const QSizeF paper = pic::SheetPaperSize(sheet, c.mmPerUnit);
            // Page sizes are whole points in a PDF.
            EXPECT_NEAR(page.width() / kPixelsPerMm, paper.width(), 0.4);
            EXPECT_NEAR(page.height() / kPixelsPerMm, paper.height(), 0.4);
        }
        // Four fifths of a unit edge: longer than a tab, shorter than any side of the outline.
        const int length = static_cast<int>(0.8 * c.mmPerUnit * kPixelsPerMm);
        EXPECT_NEAR(StrokeSpan(page, true, length) / kPixelsPerMm, (highX - lowX) * c.mmPerUnit,
                    kMmTolerance);
        EXPECT_NEAR(StrokeSpan(page, false, length) / kPixelsPerMm, (highY - lowY) * c.mmPerUnit,
                    kMmTolerance);
    }
}

// A net larger than the page goes on to further pages instead of being cut off.
TEST_F(NetExport, ALargeNetIsSpreadOverPages) {
    const nets::Sheet sheet = UnitCubeSheet(false);
    QPdfWriter writer(file("big.pdf"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    // 100 mm a unit: the net is several times an A4 page's 190 x 277 mm.
    ASSERT_TRUE(pic::PaintSheetPages(writer, sheet, 100));
    const QSizeF paper = pic::SheetPaperSize(sheet, 100);
    const int expected = int(std::ceil(paper.width() / 190)) * int(std::ceil(paper.height() / 277));
    const QByteArray bytes = Bytes(file("big.pdf"));
    EXPECT_EQ(bytes.count(QByteArrayView("/Type /Page\n")) +
                  bytes.count(QByteArrayView("/Type /Page ")) +
                  bytes.count(QByteArrayView("/Type /Page\r")),
              expected);
    EXPECT_GT(expected, 1);
    // Too many pages are refused rather than sent to the printer.
    EXPECT_FALSE(pic::PaintSheetPages(writer, sheet, 5000));
}

} // namespace
} // namespace vorn::test
