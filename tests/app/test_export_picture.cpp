// "Експортувати зображення…" through the window: each format from the picture's own list.
#include "app_fixture.h"

#include "app/listing_panel.h"
#include "app/user_dialogs.h"

#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace vorn::test {
namespace {

using Format = app::ExportOptions::Format;

class ExportPicture : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteScene(path("src.v3d"),
                   {{core::ObjectType::Point, "А"}, {core::ObjectType::Polyline, "Ламана"}});
        load(path("src.v3d"));
        window->resize(900, 700);
        window->picture()->redrawPicture();
    }
    QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ExportPicture, EachFormatIsWrittenFromThePictureList) {
    struct Case {
        Format format;
        const char* file;
        const char* mustHave;    // in the file's bytes
        const char* mustNotHave; // "" for no such check
    };
    const Case cases[] = {
        {Format::Png, "pic.png", "PNG", ""},
        {Format::Svg, "pic.svg", "<svg", "<image"},
        {Format::Pdf, "pic.pdf", "%PDF", ""},
        {Format::Tikz, "pic.tex", "\\draw", "\\includegraphics"},
    };
    const pic::DisplayList& list = window->picture()->canvas().lastPass();
    ASSERT_FALSE(list.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        app::ExportOptions o;
        o.format = c.format;
        dialogs->exportChoices = {o};
        dialogs->saveNames = {path(c.file)};
        run("ExportPicture");
        const QByteArray data = bytes(path(c.file));
        EXPECT_TRUE(data.contains(c.mustHave));
        if (*c.mustNotHave) {
            EXPECT_FALSE(data.contains(c.mustNotHave));
        }
        if (c.format != Format::Svg) continue;
        // Labels stay text, Cyrillic and all.
        int texts = 0;
        for (const pic::DrawOp& op : list)
            if (op.kind == pic::DrawOp::Kind::Text) {
                ++texts;
                EXPECT_TRUE(data.contains(QByteArray::fromStdString(op.text))) << op.text;
            }
        EXPECT_GT(texts, 0);
    }
    EXPECT_EQ(dialogs->saveTitles.size(), 4);
    EXPECT_EQ(dialogs->saveTitles.front(), "Експорт зображення");
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(ExportPicture, PngTakesItsWidthResolutionAndTransparency) {
    app::ExportOptions o;
    o.pixelWidth = 321;
    o.dpi = 300;
    o.transparent = true;
    dialogs->exportChoices = {o};
    dialogs->saveNames = {path("big.png")};
    run("ExportPicture");
    const QImage image(path("big.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 321);
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 1);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
}

TEST_F(ExportPicture, CancelWritesNothingAndAFailedWriteIsReported) {
    run("ExportPicture"); // the options are cancelled
    dialogs->exportChoices = {app::ExportOptions{}};
    run("ExportPicture"); // the file dialog is cancelled
    EXPECT_EQ(dialogs->saveTitles.size(), 1);
    EXPECT_TRUE(dialogs->boxes.empty());

    dialogs->exportChoices = {app::ExportOptions{}};
    dialogs->saveNames = {path("missing-folder/pic.png")};
    run("ExportPicture");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_TRUE(dialogs->boxes[0].second.contains(path("missing-folder/pic.png")));
}

// Black and white: no colour in the file, while the picture on the screen keeps its colours;
// printing takes the same choice.
TEST_F(ExportPicture, BlackAndWhiteLeavesThePictureOnTheScreenInColour) {
    const auto coloured = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                n += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
            }
        return n;
    };
    const QImage shown = window->picture()->image();
    for (const bool blackWhite : {false, true}) {
        app::ExportOptions o;
        o.blackWhite = blackWhite;
        dialogs->exportChoices = {o};
        dialogs->saveNames = {path(blackWhite ? "bw.png" : "colour.png")};
        run("ExportPicture");
        const QImage image(path(blackWhite ? "bw.png" : "colour.png"));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(coloured(image) == 0, blackWhite);
    }
    EXPECT_EQ(window->picture()->image(), shown);
    dialogs->printTo = path("bw.pdf");
    dialogs->printBlackWhite = true;
    run("Print");
    EXPECT_TRUE(bytes(path("bw.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(dialogs->boxes.empty());
}

// The print dialog takes the program's page for as long as it is up and gives it back, so the
// page outlives the dialog (for the next print and the language walk).
TEST_F(ExportPicture, PrintPageOutlivesThePrintDialog) {
    app::WidgetDialogs real(window.get(), window->messages());
    QPrinter printer;
    app::PrintOptions options{false, true};
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
        });
        EXPECT_FALSE(real.printSetup(printer, options));
        EXPECT_TRUE(real.printFrm()->isWindow());
        EXPECT_EQ(real.printFrm()->parentWidget(), window.get());
    }
}

// Print to a PDF file: the picture on one page, the report (when asked for) on the next.
TEST_F(ExportPicture, PrintPutsThePictureThenTheReportOnPages) {
    const QStringList report = window->listing()->answers();
    ASSERT_FALSE(report.isEmpty());
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    for (const bool withReport : {true, false}) {
        SCOPED_TRACE(withReport);
        const QString file = path(withReport ? "with.pdf" : "without.pdf");
        dialogs->printTo = file;
        dialogs->printReport = withReport;
        run("Print");
        const QString pdf = QString::fromLatin1(bytes(file));
        ASSERT_TRUE(pdf.startsWith("%PDF"));
        EXPECT_EQ(pdf.count(page), withReport ? 2 : 1);
        const QString reader = QStandardPaths::findExecutable("pdftotext");
        if (!withReport || reader.isEmpty()) continue;
        QProcess text;
        text.start(reader, {file, "-"});
        ASSERT_TRUE(text.waitForFinished(20000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString& line : report)
            EXPECT_TRUE(printed.contains(line.trimmed())) << line.toStdString();
    }
    dialogs->printTo.clear(); // cancelled: nothing printed, nothing reported
    run("Print");
    EXPECT_TRUE(dialogs->boxes.empty());
}

} // namespace
} // namespace vorn::test
