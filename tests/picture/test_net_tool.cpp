// v3dtool net in the build with Qt: -o draws the net as SVG or PDF, the rest stays text.
#include "v3dtool/commands.h"

#include "qt_app.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        // units further on each side, and 5 mm margins.
        {{kSolids, "2", "-o", out + "svg"}, 0, "svg", "net.svg: 94 x 74 mm, 10 mm per unit"},
        {{kSolids, "2", "--mm", "20", "--tabs", "-o", out + "pdf"}, 0, "pdf", "20 mm per unit"},
        {{kRound, "1", "-o", out + "svg"}, 0, "svg", "net DEVELOPMENT cone"},
        {{kSolids, "2"}, 0, "", "net FACES 6 AREA 24"},
        {{kSolids, "2", "-o", out + "png"}, 2, "", "must end in .svg or .pdf"},
        {{kSolids, "2", "--mm", "0", "-o", out + "svg"}, 2, "", "--mm wants"},
        {{kSolids, "2", "--mm", "ten", "-o", out + "svg"}, 2, "", "--mm wants"},
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

} // namespace
} // namespace vorn::tool
