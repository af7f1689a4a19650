// v3dtool net in the build with Qt: -o draws the net as SVG or PDF, the rest stays text.
#include "v3dtool/commands.h"

#include "qt_app.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace vorn::tool {
namespace {

const std::string kSolids = VORN_SAMPLES_DIR "/regular_solids.v3d";
const std::string kRound = VORN_SAMPLES_DIR "/revolution.v3d";

TEST(NetTool, DrawsTheNetOrRefuses) {
    test::EnsureQtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string out = dir.path().toStdString() + "/net.";
    struct Case {
        Args args;
        int status;
        const char* written; // extension of the file written, "" for none
        const char* says;    // in the output or, for a refusal, in the errors
    };
    const Case cases[] = {
        // The cube of edge 2: its net is 8 x 6 units, 10 mm each, the letters outside it 0.2
        // units further on each side, on an A4 page.
        {{kSolids, "2", "-o", out + "svg"},
         0,
         "svg",
         "net.svg: A4 portrait, 1 page (1 x 1), net 84.0 x 64.0 mm at 10 mm per unit"},
        {{kSolids, "2", "--mm", "20", "--tabs", "-o", out + "pdf"}, 0, "pdf", "20 mm per unit"},
        {{kSolids, "5", "--fit", "--tabs", "--marks", "--paper", "a3", "--landscape", "-o",
          out + "pdf"},
         0,
         "pdf",
         "net.pdf: A3 landscape, 1 page (1 x 1)"},
        {{kSolids, "2", "--mm", "40", "--no-fill", "-o", out + "pdf"}, 0, "pdf", "2 pages (1 x 2)"},
        {{kRound, "1", "-o", out + "svg"}, 0, "svg", "net DEVELOPMENT cone"},
        {{kSolids, "2"}, 0, "", "net FACES 6 AREA 24"},
        {{kSolids, "2", "-o", out + "png"}, 2, "", "must end in .svg or .pdf"},
        {{kSolids, "2", "--mm", "0", "-o", out + "svg"}, 2, "", "--mm wants"},
        {{kSolids, "2", "--mm", "ten", "-o", out + "svg"}, 2, "", "--mm wants"},
        {{kSolids, "2", "--mm", "20", "--fit", "-o", out + "svg"}, 2, "", "--fit chooses"},
        {{kSolids, "2", "--paper", "a5", "-o", out + "svg"}, 2, "", "--paper wants a4 or a3"},
        {{kSolids, "2", "--cut", "A-Q", "-o", out + "svg"}, 2, "", "\"A-Q\" is not an edge"},
        {{kSolids, "2", "--tree", ",", "-o", out + "svg"}, 2, "", "do not hold"},
        {{kSolids, "2", "--cut", "A-B", "--tree", "A-B"}, 2, "", "give one of them"},
        {{kRound, "1", "--cut", "1-2"}, 2, "", "no edges to cut"},
        {{kRound, "3", "-o", out + "svg"}, 1, "", "neither"}, // the ball
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        QFile::remove(QString::fromStdString(out + "svg"));
        QFile::remove(QString::fromStdString(out + "pdf"));
        std::ostringstream o, e;
        EXPECT_EQ(runNetDrawing(c.args, o, e), c.status) << e.str();
        EXPECT_NE((c.status == 0 ? o : e).str().find(c.says), std::string::npos)
            << o.str() << e.str();
        for (const char* ext : {"svg", "pdf"}) {
            QFile file(QString::fromStdString(out + ext));
            EXPECT_EQ(file.exists(), std::string(c.written) == ext) << ext;
            if (!file.open(QIODevice::ReadOnly)) continue;
            EXPECT_TRUE(file.readAll().startsWith(*ext == 's' ? "<?xml" : "%PDF"));
        }
    }
}

// The cuts the program chose, given back by vertex numbers or letters, or as the folded
// edges, draw the same net: any net of the window can be written from the command line.
TEST(NetTool, CutsGivenBackDrawTheSameNet) {
    test::EnsureQtApp();
    const auto run = [](Args args) {
        std::ostringstream o, e;
        args.insert(args.begin(), {kSolids, "2", "--text", "--cuts"});
        EXPECT_EQ(runNetDrawing(args, o, e), 0) << e.str();
        return o.str();
    };
    const std::string own = run({});
    const std::size_t at = own.find("cuts ");
    ASSERT_NE(at, std::string::npos) << own;
    const std::string cuts = own.substr(at + 5, own.find('\n', at) - at - 5);
    // The cut edges by vertex numbers, and the cube's edges from its faces' corners.
    std::set<std::pair<int, int>> cut, edges;
    for (std::size_t p = 0; p < cuts.size();) {
        const std::size_t comma = std::min(cuts.find(',', p), cuts.size());
        const std::string item = cuts.substr(p, comma - p);
        const int a = std::stoi(item), b = std::stoi(item.substr(item.find('-') + 1));
        cut.emplace(std::min(a, b), std::max(a, b));
        p = comma + 1;
    }
    std::istringstream lines(own);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("face ", 0) != 0) continue;
        std::istringstream corners(
            line.substr(line.find(':') + 1, line.find('|') - line.find(':') - 1));
        std::vector<int> v;
        for (int k; corners >> k;)
            v.push_back(k);
        for (std::size_t k = 0; k < v.size(); ++k)
            edges.emplace(std::min(v[k], v[(k + 1) % v.size()]),
                          std::max(v[k], v[(k + 1) % v.size()]));
    }
    ASSERT_EQ(edges.size(), 12u);
    ASSERT_EQ(cut.size(), 7u); // 12 edges, 5 folded
    std::string letters, folded;
    for (const auto& [a, b] : cut)
        letters += (letters.empty() ? "" : ",") + std::string(1, char('A' + a - 1)) + "-" +
                   std::string(1, char('A' + b - 1));
    for (const auto& [a, b] : edges)
        if (!cut.count({a, b}))
            folded += (folded.empty() ? "" : ",") + std::to_string(b) + "-" + std::to_string(a);
    EXPECT_EQ(run({"--cut", cuts}), own);
    EXPECT_EQ(run({"--cut", letters}), own);
    EXPECT_EQ(run({"--tree", folded}), own);
}

} // namespace
} // namespace vorn::tool
