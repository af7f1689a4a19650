// "Розгортка многогранника": the net window on the sample solids: when it may open, clicks on
// edges, folding, export and printing.
#include "app_fixture.h"

#include "app/listing_panel.h"
#include "app/net_frm.h"
#include "lang/message_ids.h"
#include "surfaces/standard_objects.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

namespace vorn::test {
namespace {

namespace msg = lang::msg;

QString Sample(const char* name) {
    return QStringLiteral(VORN_SOURCE_DIR "/samples/") + QString::fromLatin1(name);
}

class NetWindow : public WindowTest {
  protected:
    void open(const char* sample, int number) {
        load(Sample(sample));
        window->listing()->objList()->setCurrentRow(number - 1);
    }
    app::TNetFrm& frm() { return *window->netFrm(); }
    QString text(int id) { return QString::fromStdString(window->messages().text(id)); }
    QString state() { return frm().findChild<QLabel*>("StateLabel")->text(); }
    // A click of the mouse on the middle of a line of `edge` in the net.
    void click(int edge) {
        const std::optional<QPointF> at = frm().netView()->edgePoint(edge);
        ASSERT_TRUE(at);
        ASSERT_EQ(frm().netView()->edgeAt(*at), edge);
        QTest::mouseClick(frm().netView(), Qt::LeftButton, {}, at->toPoint());
    }
    int firstEdge(const std::function<bool(int)>& wanted) {
        for (int e = 0; e < static_cast<int>(frm().solid().edges.size()); ++e)
            if (wanted(e)) return e;
        return -1;
    }
    void push(const char* button) {
        QTest::mouseClick(frm().findChild<QPushButton*>(button), Qt::LeftButton);
    }
};

TEST_F(NetWindow, OpensOnlyForConvexPolyhedraAndStraightRoundSolids) {
    struct Case {
        const char* sample;
        int number;
        bool enabled;
    };
    const Case cases[] = {
        {"regular_solids.v3d", 2, true}, // cube
        {"regular_solids.v3d", 4, true}, // icosahedron
        {"revolution.v3d", 1, true},     // cone
        {"revolution.v3d", 2, true},     // cylinder
        {"revolution.v3d", 3, false},    // ball
        {"revolution.v3d", 5, false},    // torus
        {"cube_section.v3d", 2, false},  // a point
        {"pyramid_height.v3d", 1, true}, // pyramid
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sample) + " " + std::to_string(c.number));
        open(c.sample, c.number);
        EXPECT_EQ(window->command("Unfold")->isEnabled(), c.enabled);
        // Run anyway (as a shortcut could): refused with a message, never an empty window.
        const std::size_t boxes = dialogs->boxes.size();
        window->dispatch(app::tag::Unfold);
        EXPECT_EQ(frm().isVisible(), c.enabled);
        EXPECT_EQ(dialogs->boxes.size(), boxes + (c.enabled ? 0 : 1));
        frm().close();
    }
    EXPECT_EQ(dialogs->boxes.back().second, text(msg::kNetNotUnfoldable));
}

TEST_F(NetWindow, CubeCutJoinRefuseFoldExportAndPrint) {
    open("regular_solids.v3d", 2);
    run("Unfold");
    ASSERT_TRUE(frm().isVisible());
    ASSERT_EQ(frm().solid().faces.size(), 6u);
    EXPECT_TRUE(frm().net().good());
    EXPECT_EQ(state(), text(msg::kNetGood));
    // Area and state in the report; the cube of the sample has edge 2.
    const QStringList lines = report();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[lines.size() - 2].contains(QStringLiteral("граней 6, площа 24")))
        << lines[lines.size() - 2].toStdString();
    EXPECT_EQ(lines.back(), text(msg::kNetGood));
    // Faces numbered, vertices lettered as the picture letters them, once at each of the 14
    // corner points of a cube's net.
    int letters = 0;
    for (const nets::Sheet::Label& l : frm().sheet().labels)
        letters += !l.faceNumber &&
                   QRegularExpression("^[A-H]$").match(QString::fromStdString(l.text)).hasMatch();
    EXPECT_EQ(letters, 14);

    // A hinge cut: two pieces, writing disabled until they are joined.
    const int hinge = firstEdge([this](int e) { return !frm().net().cut[e]; });
    click(hinge);
    EXPECT_FALSE(frm().net().whole());
    EXPECT_EQ(state(), text(msg::kNetTwoPieces));
    EXPECT_FALSE(frm().findChild<QPushButton*>("SvgBtn")->isEnabled());
    // Another hinge now would make three pieces: refused, nothing changes.
    const std::vector<int> pieces = frm().net().piece;
    const int other = firstEdge([this](int e) { return !frm().net().cut[e]; });
    click(other);
    EXPECT_EQ(state(), text(msg::kNetWouldDisconnect));
    EXPECT_EQ(frm().net().piece, pieces);
    // A cut edge between the pieces other than the one just cut joins them.
    const auto joins = [this, hinge](int e) {
        const nets::SolidEdge& s = frm().solid().edges[e];
        return e != hinge && frm().net().cut[e] &&
               frm().net().piece[s.faceA] != frm().net().piece[s.faceB];
    };
    const int join = firstEdge(joins);
    ASSERT_GE(join, 0);
    click(join);
    EXPECT_TRUE(frm().net().whole());
    EXPECT_FALSE(frm().net().cut[join]);
    EXPECT_TRUE(frm().net().cut[hinge]);
    EXPECT_TRUE(state() == text(msg::kNetGood) ||
                state().startsWith(text(msg::kNetOverlaps).left(10)));
    // A cut edge of a whole net closes a cycle: refused.
    click(firstEdge([this](int e) { return frm().net().cut[e]; }));
    EXPECT_EQ(state(), text(msg::kNetWouldCloseCycle));
    EXPECT_TRUE(frm().net().whole());
    // An edge number the cube does not have is its own answer and changes nothing.
    const std::vector<bool> cuts = frm().net().cut;
    for (const int edge : {-1, static_cast<int>(frm().solid().edges.size())})
        EXPECT_EQ(frm().toggleEdge(edge), nets::EdgeToggle::NoSuchEdge) << edge;
    EXPECT_EQ(frm().net().cut, cuts);
    EXPECT_EQ(state(), text(msg::kNetWouldCloseCycle));
    EXPECT_TRUE(dialogs->boxes.empty()); // refusals go to the state line, not into boxes

    // Folding: half way the faces move, at 100 % each corner is on its vertex.
    const auto flat = frm().foldView()->faces();
    frm().foldSlider()->setValue(50);
    EXPECT_NE(frm().foldView()->faces(), flat);
    EXPECT_EQ(frm().findChild<QLabel*>("FoldValue")->text(), "50 %");
    frm().foldSlider()->setValue(100);
    const auto closed = frm().foldView()->faces();
    ASSERT_EQ(closed.size(), 6u);
    for (std::size_t f = 0; f < closed.size(); ++f)
        for (std::size_t k = 0; k < closed[f].size(); ++k) {
            const geo::Vec3 d = closed[f][k] - frm().solid().faces[f].corners[k];
            EXPECT_LT(std::sqrt(geo::dot(d, d)), 1e-9);
        }

    // SVG through the file dialog at two scales: an A4 page either way, the net growing on it.
    for (const double mm : {10.0, 20.0}) {
        frm().mmPerUnit()->setValue(mm);
        EXPECT_EQ(frm().plan().mmPerUnit, mm);
        dialogs->saveNames = {path("cube.svg")};
        push("SvgBtn");
        QFile svg(path("cube.svg"));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QString data = QString::fromUtf8(svg.readAll());
        EXPECT_TRUE(data.contains(QStringLiteral("width=\"210mm\" height=\"297mm\"")))
            << data.left(200).toStdString();
        EXPECT_EQ(frm().findChild<QLabel*>("PaperSize")->text(),
                  QStringLiteral("%1 × %2")
                      .arg(frm().plan().width, 0, 'f', 1)
                      .arg(frm().plan().height, 0, 'f', 1));
    }
    EXPECT_EQ(dialogs->saveTitles.back(), QStringLiteral("Збереження розгортки"));
    // Tabs add their thin lines.
    const std::size_t lineCount = frm().sheet().lines.size();
    frm().tabs()->setChecked(true);
    EXPECT_GT(frm().sheet().lines.size(), lineCount);
    // PDF, a cancelled dialog, a folder that is not there, and the printer into a file.
    dialogs->saveNames = {path("cube.pdf"), QString(), path("no/such/folder.pdf")};
    push("PdfBtn");
    push("PdfBtn");
    push("PdfBtn");
    QFile pdf(path("cube.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_TRUE(dialogs->boxes[0].second.contains(path("no/such/folder.pdf")));
    dialogs->printTo = path("printed.pdf");
    push("PrintBtn");
    QFile printed(path("printed.pdf"));
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));
    // At true scale on the page: the black ink (cut lines, not the grey tabs) spans the net's
    // squares, 10 pixels a millimetre at 254 dots per inch, plus one line width.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QProcess render;
    render.start(pdftoppm, {"-png", "-r", "254", "-singlefile", path("printed.pdf"), path("page")});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(path("page.png"));
    ASSERT_FALSE(page.isNull());
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            // Black, not the bluish ink of the letters outside the net.
            if (const QRgb c = page.pixel(x, y); qGray(c) < 64 && qBlue(c) - qRed(c) < 40)
                ink |= QRect(x, y, 1, 1);
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (const auto& face : frm().net().flat)
        for (const nets::Point2& p : face) {
            lowX = std::min(lowX, p.x), highX = std::max(highX, p.x);
            lowY = std::min(lowY, p.y), highY = std::max(highY, p.y);
        }
    const double mm = frm().mmPerUnit()->value(), line = 0.25;
    EXPECT_NEAR(ink.width() / 10.0, (highX - lowX) * mm + line, 0.15);
    EXPECT_NEAR(ink.height() / 10.0, (highY - lowY) * mm + line, 0.15);
}

TEST_F(NetWindow, ARoundSolidShowsItsDevelopmentWithoutCutsAndRollsItUp) {
    open("revolution.v3d", 2); // the cylinder: radius 1.5, height 3
    run("Unfold");
    ASSERT_TRUE(frm().round());
    EXPECT_EQ(state(), text(msg::kNetRoundFixed));
    // Its slider rolls the development up.
    ASSERT_TRUE(frm().foldSlider()->isEnabled());
    frm().foldSlider()->setValue(100);
    EXPECT_FALSE(frm().foldView()->faces().empty());
    const QStringList lines = report();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[lines.size() - 2].contains(QStringLiteral("разом 42.4115")))
        << lines[lines.size() - 2].toStdString();
    EXPECT_EQ(lines.back(), text(msg::kNetRoundFixed));
    EXPECT_FALSE(frm().netView()->edgePoint(0));
    EXPECT_EQ(frm().netView()->edgeAt(QPointF(100, 100)), -1);
}

// The window for the solids of a lesson, with a truncated pyramid from the standard-objects
// page and the cube folded half way: the net fills its view with faces and lines, the preview
// draws. With VORN_NET_SHOTS naming a folder, each window is saved there as net_NAME.png.
TEST_F(NetWindow, LooksRightForTheLessonSolids) {
    struct Case {
        const char* name;
        const char* sample; // nullptr: the truncated pyramid of the standard objects
        int number;
        int fold; // per cent
        std::size_t faces;
    };
    const Case cases[] = {
        {"cube", "regular_solids.v3d", 2, 0, 6},
        {"ico", "regular_solids.v3d", 4, 0, 20},
        {"trunc", nullptr, 0, 0, 6},
        {"fold50", "regular_solids.v3d", 2, 50, 6},
        {"cone60", "revolution.v3d", 1, 60, 0}, // round solids have no faces to count
        {"cylinder60", "revolution.v3d", 2, 60, 0},
    };
    const QString shots = qEnvironmentVariable("VORN_NET_SHOTS");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.sample) {
            open(c.sample, c.number);
        } else {
            surf::PyramidMeasures pyramid;
            pyramid.n = 4;
            pyramid.truncated = true;
            pyramid.lower = 3;
            pyramid.upper = 1.5;
            pyramid.height = 2;
            expr::ExpressionEngine engine;
            ASSERT_GT(
                surf::CreateStandardObject(window->env(), engine, pyramid, "Зрізана піраміда"), 0);
            window->refreshObjectList();
            QListWidget* list = window->listing()->objList();
            list->setCurrentRow(list->count() - 1);
        }
        run("Unfold");
        ASSERT_TRUE(frm().isVisible());
        EXPECT_EQ(frm().solid().faces.size(), c.faces);
        EXPECT_TRUE(frm().round() || frm().net().good());
        frm().foldSlider()->setValue(c.fold);
        const QImage net = frm().netView()->grab().toImage();
        int fill = 0, ink = 0;
        for (int y = 0; y < net.height(); ++y)
            for (int x = 0; x < net.width(); ++x) {
                const QRgb p = net.pixel(x, y);
                fill += p == qRgb(255, 247, 214);
                ink += qGray(p) < 80;
            }
        // Drawn to fit: the faces cover a good part of the view.
        EXPECT_GT(fill, net.width() * net.height() / 6);
        EXPECT_GT(ink, net.width() + net.height());
        const QImage fold = frm().foldView()->grab().toImage();
        int drawn = 0;
        for (int y = 0; y < fold.height(); ++y)
            for (int x = 0; x < fold.width(); ++x)
                drawn += qGray(fold.pixel(x, y)) < 200;
        EXPECT_GT(drawn, 100);
        if (!shots.isEmpty())
            frm().grab().save(QDir(shots).filePath(QStringLiteral("net_%1.png").arg(c.name)));
        frm().close();
    }
}

// The PDF's page size in millimetres from its MediaBox.
QSizeF MediaBoxMm(const QString& pdf) {
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const auto m = QRegularExpression(R"re(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])re")
                       .match(QString::fromLatin1(f.readAll()));
    return m.hasMatch()
               ? QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72)
               : QSizeF();
}

// The straight pieces of the first page's paths as poppler reads them, in millimetres (empty
// without pdftocairo).
std::vector<double> PdfSegmentsMm(const QString& pdf, const QString& svgPath) {
    const QString pdftocairo = QStandardPaths::findExecutable(QStringLiteral("pdftocairo"));
    if (pdftocairo.isEmpty()) return {};
    QProcess run;
    run.start(pdftocairo, {"-svg", "-f", "1", "-l", "1", pdf, svgPath});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) return {};
    QFile f(svgPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString svg = QString::fromUtf8(f.readAll());
    std::vector<double> out;
    const QRegularExpression path(R"re(<path\b([^>]*?)d="([^"]*)"([^>]*)>)re");
    const QRegularExpression pair(R"re((-?[\d.]+) (-?[\d.]+))re");
    const QRegularExpression matrix(R"re(matrix\(([^)]*)\))re");
    for (const auto& p :
         path.globalMatch(svg.mid(std::max(0, static_cast<int>(svg.indexOf("</defs>")))))) {
        if (p.captured(2).contains('C')) continue;
        QTransform t;
        if (const auto m = matrix.match(p.captured(1) + p.captured(3)); m.hasMatch()) {
            const QStringList v = m.captured(1).split(',');
            t = QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(),
                           v[4].toDouble(), v[5].toDouble());
        }
        std::vector<QPointF> points;
        for (const auto& q : pair.globalMatch(p.captured(2)))
            points.push_back(t.map(QPointF(q.captured(1).toDouble(), q.captured(2).toDouble())));
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPointF d = points[i] - points[i - 1];
            if (const double l = std::hypot(d.x(), d.y()); l > 1e-6) out.push_back(l * 25.4 / 72);
        }
    }
    return out;
}

// The dodecahedron of the sample with glue tabs, fitted to an A4 page: one page at the largest
// scale, written as PDF and printed, A4 within half a millimetre, its edges at their true
// length; left unfilled, no face is filled. With VORN_NET_SHOTS the pages and the window are
// saved there as PNG.
TEST_F(NetWindow, DodecahedronWithTabsFitsAnA4PageAtTrueScale) {
    open("regular_solids.v3d", 5);
    run("Unfold");
    ASSERT_TRUE(frm().isVisible());
    ASSERT_EQ(frm().solid().faces.size(), 12u);
    frm().tabs()->setChecked(true);
    EXPECT_TRUE(frm().glueMarks()->isChecked());
    frm().fitToPaper()->setChecked(true);
    EXPECT_FALSE(frm().mmPerUnit()->isEnabled());
    const nets::PrintPlan& plan = frm().plan();
    ASSERT_EQ(plan.pages.size(), 1u);
    EXPECT_EQ(frm().mmPerUnit()->value(), plan.mmPerUnit);
    EXPECT_GT(plan.mmPerUnit, 14); // at 10 mm a unit the net is about 160 by 140 mm
    EXPECT_LE(plan.width, 190 + 1e-9);
    EXPECT_LE(plan.height, 277 + 1e-9);
    EXPECT_EQ(frm().findChild<QLabel*>("PageCount")->text(), "1");
    // A tab on each of the 19 cut edges, each cut edge lettered on both of its copies.
    const int cuts =
        static_cast<int>(std::count(frm().net().cut.begin(), frm().net().cut.end(), true));
    EXPECT_EQ(cuts, 19);
    EXPECT_EQ(static_cast<int>(frm().sheet().tabs.size()), cuts);
    int marks = 0;
    for (const nets::Sheet::Label& l : frm().sheet().labels)
        marks += l.glueMark;
    EXPECT_EQ(marks, 2 * cuts);
    // A3 takes a larger scale; back to A4.
    const double a4 = plan.mmPerUnit;
    frm().paperBox()->setCurrentIndex(1);
    EXPECT_GT(frm().plan().mmPerUnit, a4 * 1.3);
    frm().paperBox()->setCurrentIndex(0);
    EXPECT_EQ(frm().plan().mmPerUnit, a4);

    // The edge of the dodecahedron on paper.
    const nets::SolidFace& face = frm().solid().faces[0];
    const geo::Vec3 d = face.corners[1] - face.corners[0];
    const double edgeMm = std::sqrt(geo::dot(d, d)) * a4;
    const QString shots = qEnvironmentVariable("VORN_NET_SHOTS");
    for (const bool printed : {false, true}) {
        SCOPED_TRACE(printed ? "printed" : "saved");
        const QString pdf = path(printed ? "printed.pdf" : "dodeca.pdf");
        if (printed) {
            dialogs->printTo = pdf;
            push("PrintBtn");
        } else {
            dialogs->saveNames = {pdf};
            push("PdfBtn");
        }
        const QSizeF page = MediaBoxMm(pdf);
        EXPECT_NEAR(page.width(), 210, 0.5);
        EXPECT_NEAR(page.height(), 297, 0.5);
        const std::vector<double> segments = PdfSegmentsMm(pdf, path("dodeca.svg"));
        if (segments.empty()) GTEST_SKIP() << "pdftocairo (poppler-utils) is not installed";
        const auto sides = std::count_if(segments.begin(), segments.end(),
                                         [&](double l) { return std::fabs(l - edgeMm) < 0.5; });
        EXPECT_GE(sides, 12 * 5 + 11); // the pentagons' fills, and at least the fold lines
        if (!shots.isEmpty()) {
            QProcess png;
            png.start(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
                      {"-png", "-r", "100", "-singlefile", pdf,
                       QDir(shots).filePath(printed ? "net_dodeca_printed" : "net_dodeca_pdf")});
            png.waitForFinished(30000);
        }
    }
    if (!shots.isEmpty()) frm().grab().save(QDir(shots).filePath("net_dodeca_window.png"));
    // Unfilled for printing: the window and the file leave the faces white.
    frm().unfilled()->setChecked(true);
    dialogs->saveNames = {path("white.svg")};
    push("SvgBtn");
    QFile white(path("white.svg"));
    ASSERT_TRUE(white.open(QIODevice::ReadOnly));
    const QByteArray svg = white.readAll();
    EXPECT_FALSE(svg.toLower().contains("#fff7d6"));
    EXPECT_TRUE(svg.contains("width=\"210mm\""));
    const QImage view = frm().netView()->grab().toImage();
    int fill = 0;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            fill += view.pixel(x, y) == qRgb(255, 247, 214);
    EXPECT_EQ(fill, 0);
}

// A cut and a join leave the root's piece where it is on the screen; the folding preview sees
// the flat net square on at 0 % and letters the corners.
TEST_F(NetWindow, JoiningKeepsTheNetInPlaceAndThePreviewLooksSquareOn) {
    open("regular_solids.v3d", 5); // the dodecahedron
    run("Unfold");
    ASSERT_TRUE(frm().isVisible());
    const auto screen = [this] {
        std::vector<QPointF> at;
        for (const auto& face : frm().net().flat)
            for (const nets::Point2& p : face)
                at.push_back(frm().netView()->transform().map(QPointF(p.x, p.y)));
        return at;
    };
    const std::vector<QPointF> before = screen();
    // A leaf face of the tree (no face hangs on it) comes loose and goes back on another of its
    // edges, one where the net still fits the view, so that the view need not shrink.
    const std::vector<std::string> names(20, "X");
    const auto fits = [&](const nets::Net& net) {
        const nets::Sheet sheet = nets::SheetOf(frm().solid(), net, {false, names, 10, true});
        const QTransform t = frm().netView()->transform();
        const QRectF drawn = QRectF(t.map(QPointF(sheet.low.x, sheet.high.y)),
                                    t.map(QPointF(sheet.high.x, sheet.low.y)));
        return QRectF(frm().netView()->rect()).adjusted(8, 8, -8, -8).contains(drawn.normalized());
    };
    const std::vector<int>& parent = frm().net().parent;
    int leaf = -1, join = -1;
    for (int f = 0; f < 12 && join < 0; ++f) {
        if (parent[f] < 0 || std::find(parent.begin(), parent.end(), f) != parent.end()) continue;
        for (int e = 0; e < static_cast<int>(frm().solid().edges.size()) && join < 0; ++e) {
            const nets::SolidEdge& s = frm().solid().edges[e];
            if (!frm().net().cut[e] || (s.faceA != f && s.faceB != f)) continue;
            nets::Net trial = frm().net();
            if (nets::ToggleEdge(frm().solid(), trial, frm().net().hinge[f]) !=
                    nets::EdgeToggle::Cut ||
                nets::ToggleEdge(frm().solid(), trial, e) != nets::EdgeToggle::Joined)
                continue;
            if (trial.good() && fits(trial)) leaf = f, join = e;
        }
    }
    ASSERT_GE(join, 0);
    const int hinge = frm().net().hinge[leaf];
    click(hinge);
    ASSERT_FALSE(frm().net().whole());
    EXPECT_EQ(screen(), before);
    click(join);
    ASSERT_TRUE(frm().net().whole());
    const std::vector<QPointF> after = screen();
    for (std::size_t f = 0, i = 0; f < 12; ++f)
        for (std::size_t k = 0; k < 5; ++k, ++i)
            if (static_cast<int>(f) != leaf) {
                EXPECT_EQ(after[i], before[i]) << f;
            }

    // Flat, every corner lies in the picture's plane; letters once per point of the net, and
    // once per vertex when closed.
    frm().foldSlider()->setValue(0);
    const auto depth = [this] {
        double lo = 1e300, hi = -1e300;
        for (const auto& face : frm().foldView()->faces())
            for (const geo::Vec3& v : face) {
                lo = std::min(lo, frm().foldView()->toView(v).z);
                hi = std::max(hi, frm().foldView()->toView(v).z);
            }
        return hi - lo;
    };
    EXPECT_LT(depth(), 1e-5); // the float corners stray that little from the root's plane
    int flatNames = 0;
    for (const nets::Sheet::Label& l : frm().sheet().labels)
        flatNames += !l.faceNumber && !l.glueMark;
    EXPECT_EQ(static_cast<int>(frm().foldView()->letters().size()), flatNames);
    frm().foldSlider()->setValue(100);
    const auto letters = frm().foldView()->letters();
    EXPECT_EQ(letters.size(), 20u);
    QSet<QString> distinct;
    for (const auto& [at, text] : letters)
        distinct << text;
    EXPECT_EQ(distinct.size(), 20);
    // Folded, the solid has depth.
    EXPECT_GT(depth(), 2);
}

// A point object named S at the pyramid's apex names the apex in the net and in the preview,
// as the picture names it.
TEST_F(NetWindow, APointNamedAtAVertexNamesItInTheNet) {
    open("pyramid_height.v3d", 1);
    core::Scene& scene = window->env().scene;
    const int pyramid = scene.currentObject;
    const core::SceneObject& o = scene.object(pyramid);
    int apex = 1;
    for (int v = 2; v <= o.vertexCount; ++v)
        if (o.vertex(v).z > o.vertex(apex).z) apex = v;
    const core::Vec3f top = o.vertex(apex);
    const int point = core::AppendObject(scene, core::ObjectType::Point);
    core::SceneObject& s = scene.object(point);
    s.name.setUtf8("S");
    s.vertexCount = 1;
    s.vertex(1) = top;
    window->refreshObjectList();
    window->listing()->objList()->setCurrentRow(0);
    run("Unfold");
    ASSERT_TRUE(frm().isVisible());
    QStringList names;
    for (const nets::Sheet::Label& l : frm().sheet().labels)
        if (!l.faceNumber && !l.glueMark) names << QString::fromStdString(l.text);
    EXPECT_TRUE(names.contains("S"));
    EXPECT_FALSE(names.contains(QString(QChar('A' + apex - 1))));
    frm().foldSlider()->setValue(100);
    QStringList folded;
    for (const auto& [at, text] : frm().foldView()->letters())
        folded << text;
    EXPECT_EQ(folded.count("S"), 1);
}

} // namespace
} // namespace vorn::test
