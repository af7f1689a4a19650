// "Розгортка многогранника": the net window on the sample solids: when it may open, clicks on
// edges, folding, export and printing.
#include "app_fixture.h"

#include "app/listing_panel.h"
#include "app/net_frm.h"
#include "lang/message_ids.h"
#include "surfaces/standard_objects.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
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

    // SVG through the file dialog at two scales: the page grows with the scale.
    for (const double mm : {10.0, 20.0}) {
        frm().mmPerUnit()->setValue(mm);
        dialogs->saveNames = {path("cube.svg")};
        push("SvgBtn");
        QFile svg(path("cube.svg"));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QString data = QString::fromUtf8(svg.readAll());
        const QSizeF paper = pic::SheetPaperSize(frm().sheet(), mm);
        EXPECT_TRUE(data.contains(QStringLiteral("width=\"%1mm\"").arg(paper.width())))
            << data.left(200).toStdString();
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

} // namespace
} // namespace vorn::test
