// "Експортувати зображення…" and "Друк…" through the window: each format written from the
// picture's figure, the file dialog, the export window and its preview, the printed page and the
// print dialog's texts.
#include "app_fixture.h"

#include "app/export_frm.h"
#include "app/listing_panel.h"
#include "app/qt_translation.h"
#include "app/user_dialogs.h"

#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorn::test {
namespace {

using Format = app::ExportOptions::Format;

int Coloured(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
        }
    return n;
}

// Runs `step` once the event loop spins, so that a modal window opened afterwards is up.
void Later(std::function<void()> step) {
    QTimer::singleShot(0, std::move(step));
}

// Spins the event loop until `done` or two seconds have passed.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

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
    // A tool of poppler-utils run on `args`; empty output when it is not installed or fails.
    QByteArray poppler(const char* tool, const QStringList& args) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (program.isEmpty()) return {};
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(20000) || p.exitCode() != 0) return {};
        return p.readAllStandardOutput();
    }
    QSize pictureSize() const {
        const QImage& shown = window->picture()->image();
        return (QSizeF(shown.size()) / shown.devicePixelRatio()).toSize();
    }
};

TEST_F(ExportPicture, EachFormatIsWrittenFromThePictureFigure) {
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
        // Labels stay text, Cyrillic and all: those of the figure the preview was shown.
        ASSERT_FALSE(dialogs->previews.empty());
        const fig::Figure& figure = dialogs->previews.back();
        EXPECT_NEAR(figure.width, 120, 1e-9); // 12 cm unless chosen otherwise
        EXPECT_FALSE(figure.labels.empty());
        for (const fig::Label& l : figure.labels)
            EXPECT_TRUE(data.contains(QByteArray::fromStdString(l.text))) << l.text;
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
// printing takes the same choice, made anew in each print dialog.
TEST_F(ExportPicture, BlackAndWhiteLeavesThePictureOnTheScreenInColour) {
    const QImage shown = window->picture()->image();
    for (const bool blackWhite : {false, true}) {
        app::ExportOptions o;
        o.blackWhite = blackWhite;
        dialogs->exportChoices = {o};
        dialogs->saveNames = {path(blackWhite ? "bw.png" : "colour.png")};
        run("ExportPicture");
        const QImage image(path(blackWhite ? "bw.png" : "colour.png"));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(Coloured(image) == 0, blackWhite);
    }
    EXPECT_EQ(window->picture()->image(), shown);
    dialogs->printTo = path("bw.pdf");
    dialogs->printBlackWhite = true;
    run("Print");
    EXPECT_TRUE(bytes(path("bw.pdf")).startsWith("%PDF"));
    run("Print");
    ASSERT_EQ(dialogs->printOffered.size(), 2u);
    EXPECT_FALSE(dialogs->printOffered[1].blackWhite); // not carried over behind "Options"
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

// ---- the file dialog -----------------------------------------------------------------------

TEST(ExportNames, ExtensionFollowsTheFormat) {
    const struct {
        Format format;
        const char* typed;
        const char* written;
    } rows[] = {
        {Format::Tikz, "pic.pdf", "pic.tex"}, // another picture format's: replaced
        {Format::Svg, "pic.png", "pic.svg"},
        {Format::Pdf, "pic", "pic.pdf"},         // none: appended
        {Format::Svg, "plan.v2", "plan.v2.svg"}, // a dot of the name: kept
        {Format::Pdf, "pic.", "pic.pdf"},
        {Format::Tikz, "/a/b.png/pic", "/a/b.png/pic.tex"}, // a folder's dot is no extension
        {Format::Png, "PIC.PNG", "PIC.PNG"},                // the format's own, in any case
        {Format::Tikz, "fig.tikz", "fig.tikz"},
        {Format::Png, "", ""}, // cancelled stays cancelled
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        EXPECT_EQ(app::WithExportSuffix(QString::fromUtf8(r.typed), r.format),
                  QString::fromUtf8(r.written));
    }
}

// The figure draws hidden lines as the window's "Невидимі лінії" say; black and white dashes
// the ones that would be solid, as its check box promises.
TEST(ExportFigure, HiddenLinesFollowTheWindowsMode) {
    const struct {
        int window;
        bool blackWhite;
        int figure;
    } rows[] = {
        {core::kHiddenSolid, false, core::kHiddenSolid},
        {core::kHiddenDashed, false, core::kHiddenDashed},
        {core::kHiddenRemoved, false, core::kHiddenRemoved},
        {core::kHiddenSolid, true, core::kHiddenDashed},
        {core::kHiddenRemoved, true, core::kHiddenRemoved},
    };
    for (const auto& r : rows) {
        app::ExportOptions o;
        o.blackWhite = r.blackWhite;
        const fig::FigureOptions f = app::FigureOptionsFor(o, r.window, 80);
        EXPECT_EQ(f.hiddenMode, r.figure) << r.window << " " << r.blackWhite;
        EXPECT_EQ(f.blackWhite, r.blackWhite);
        EXPECT_DOUBLE_EQ(f.width, 80);
    }
}

// Through the window: the dialog offers only the chosen format's files, and what is written
// carries that format's extension whatever was typed.
TEST_F(ExportPicture, FileDialogOffersTheFormatAndTheFileTakesItsExtension) {
    const struct {
        Format format;
        const char* typed;
        const char* written;
        const char* filter;
        const char* content;
    } rows[] = {
        {Format::Tikz, "a.pdf", "a.tex", "TikZ для LaTeX (*.tex)", "\\draw"},
        {Format::Pdf, "b", "b.pdf", "Документ PDF (*.pdf)", "%PDF"},
        {Format::Svg, "c.SVG", "c.SVG", "Креслення SVG (*.svg)", "<svg"},
        {Format::Png, "d.svg", "d.png", "Зображення PNG (*.png)", "PNG"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        app::ExportOptions o;
        o.format = r.format;
        dialogs->exportChoices = {o};
        dialogs->saveNames = {path(r.typed)};
        run("ExportPicture");
        EXPECT_EQ(dialogs->saveFilters.back(), QString::fromUtf8(r.filter));
        EXPECT_TRUE(bytes(path(r.written)).contains(r.content));
        if (QString::fromUtf8(r.typed) != QString::fromUtf8(r.written)) {
            EXPECT_FALSE(QFile::exists(path(r.typed)));
        }
    }
    EXPECT_TRUE(dialogs->boxes.empty());
}

// The real dialog puts the extension right as the name is accepted, so that its question about
// replacing a file names the file that would be written.
TEST_F(ExportPicture, FileDialogCorrectsTheNameBeforeAskingToReplace) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    app::WidgetDialogs real(window.get(), window->messages());
    app::ExportOptions tikz;
    tikz.format = Format::Tikz;
    const QString filter = QStringLiteral("TikZ для LaTeX (*.tex)");
    QStringList offered;
    QString folder, question;
    // Types `typed` and accepts; a question about replacing is answered No and the dialog closed.
    const auto typeAndAccept = [&](const QString& typed) {
        Later([&, typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            offered = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            Later([&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    question = box->text();
                    box->button(QMessageBox::No)->click();
                }
            });
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
            static_cast<QDialog*>(dialog)->accept(); // as its Save button does
            if (dialog->isVisible()) dialog->reject();
        });
        return real.exportFileName("T", filter, tikz, path("sub/src.tex"));
    };
    EXPECT_EQ(typeAndAccept("pic.pdf"), path("sub/pic.tex"));
    EXPECT_EQ(offered, QStringList{filter});
    EXPECT_EQ(folder, path("sub"));
    EXPECT_TRUE(question.isEmpty());

    QFile existing(path("sub/pic.tex"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    EXPECT_TRUE(typeAndAccept("pic.pdf").isEmpty()); // not replaced
    EXPECT_TRUE(question.contains("pic.tex")) << question.toStdString();
}

// The next export starts in the folder of the last one, after a restart too; a folder that is
// gone gives way to the scene's.
TEST_F(ExportPicture, NextExportStartsInTheLastExportFolder) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("out"));
    const auto exportTo = [this](const QString& name) {
        app::ExportOptions o;
        o.format = Format::Svg;
        dialogs->exportChoices = {o};
        dialogs->saveNames = {name};
        run("ExportPicture");
        return QFileInfo(dialogs->savePresets.back());
    };
    EXPECT_EQ(exportTo(path("out/first.svg")).absoluteFilePath(), path("src.svg"));
    EXPECT_EQ(exportTo({}).absoluteFilePath(), path("out/src.svg")); // cancelled
    ASSERT_TRUE(window->saveSettings());
    TearDown();
    SetUp();
    window->loadSettings({});
    load(path("src.v3d"));
    EXPECT_EQ(exportTo({}).absolutePath(), path("out"));
    ASSERT_TRUE(QDir(path("out")).removeRecursively());
    EXPECT_EQ(exportTo({}).absoluteFilePath(), path("src.svg"));
}

// The export window opens with the last export's choice; a figure draws surfaces by their
// outlines whatever the window's "Контури" shows, unless an export chose the mesh.
TEST_F(ExportPicture, ExportWindowOpensWithTheLastChoiceAndOutlinesFirst) {
    run("ExportPicture"); // cancelled
    EXPECT_EQ(dialogs->exportOffered.back().style, hidden::LineStyle::Outline);
    app::ExportOptions o;
    o.format = Format::Svg;
    o.blackWhite = true;
    o.pens.visible = 1.5;
    o.style = hidden::LineStyle::Mesh;
    dialogs->exportChoices = {o};
    dialogs->saveNames = {path("a.svg")};
    run("ExportPicture");
    for (const bool outlines : {true, false}) {
        if (window->settings().outlines != outlines) run("Outlines");
        ASSERT_EQ(window->settings().outlines, outlines);
        run("ExportPicture"); // cancelled
        const app::ExportOptions& offered = dialogs->exportOffered.back();
        EXPECT_EQ(offered.style, hidden::LineStyle::Mesh);
        EXPECT_EQ(offered.format, Format::Svg);
        EXPECT_TRUE(offered.blackWhite); // shown checked in the window, not hidden
        EXPECT_DOUBLE_EQ(offered.pens.visible, 1.5);
    }
}

// ---- the export window ---------------------------------------------------------------------

// Every field reaches the options, and the preview is built anew from them as they change.
TEST_F(ExportPicture, WindowFieldsReachTheOptionsAndThePreview) {
    app::TExportFrm frm(window.get());
    std::vector<app::ExportOptions> built;
    const app::FigureSource source = [&](const app::ExportOptions& o) {
        built.push_back(o);
        return window->pictureFigure(o, app::ExportWidthMm(o, 400));
    };
    const auto field = [&frm](const char* name) {
        return frm.findChild<QDoubleSpinBox*>(QLatin1String(name));
    };
    const auto box = [&frm](const char* name) {
        return frm.findChild<QCheckBox*>(QLatin1String(name));
    };
    const fig::Pens pens;
    int axisLabels = -1;
    QImage colour, grey;
    Later([&] {
        // As they open: the defaults, black and white visibly off.
        EXPECT_FALSE(box("BlackWhite")->isChecked());
        EXPECT_DOUBLE_EQ(field("WidthCm")->value(), 12);
        EXPECT_DOUBLE_EQ(field("VisibleWidth")->value(), pens.visible);
        EXPECT_DOUBLE_EQ(field("HiddenWidth")->value(), pens.hidden);
        EXPECT_DOUBLE_EQ(field("LabelSize")->value(), pens.label);
        ASSERT_TRUE(frm.preview()->figure().has_value());
        const auto& first = frm.preview()->figure()->labels;
        axisLabels = static_cast<int>(
            std::count_if(first.begin(), first.end(), [](const fig::Label& l) { return !l.slot; }));
        colour = frm.preview()->grab().toImage();

        frm.format()->setCurrentIndex(2);
        field("WidthCm")->setValue(9.5);
        field("VisibleWidth")->setValue(1.25);
        field("HiddenWidth")->setValue(0.3);
        field("LabelSize")->setValue(14);
        frm.findChild<QComboBox*>("Style")->setCurrentIndex(1);
        box("NoAxes")->setChecked(true);
        box("BlackWhite")->setChecked(true);
        ASSERT_TRUE(WaitFor([&] { return built.back().blackWhite && !built.back().axes; }));
        const fig::Figure& shown = *frm.preview()->figure();
        EXPECT_TRUE(shown.blackWhite);
        EXPECT_DOUBLE_EQ(shown.pens.label, 14);
        EXPECT_NEAR(shown.width, 95, 1e-9);
        EXPECT_TRUE(std::none_of(shown.labels.begin(), shown.labels.end(),
                                 [](const fig::Label& l) { return l.slot == 0; }));
        const QRectF page = frm.preview()->pageRect();
        EXPECT_NEAR(page.height() / page.width(), shown.height / shown.width, 0.02);
        grey = frm.preview()->grab().toImage();
        frm.findChild<QPushButton*>("OkBtn")->click();
    });
    app::ExportOptions options;
    ASSERT_TRUE(frm.ask(options, 400, source));
    EXPECT_GT(axisLabels, 0);
    EXPECT_GT(Coloured(colour), 0);
    EXPECT_EQ(Coloured(grey.copy(frm.preview()->pageRect().toRect().adjusted(1, 1, -1, -1))), 0);
    EXPECT_EQ(options.format, Format::Pdf);
    EXPECT_DOUBLE_EQ(options.widthCm, 9.5);
    EXPECT_DOUBLE_EQ(options.pens.visible, 1.25);
    EXPECT_DOUBLE_EQ(options.pens.hidden, 0.3);
    EXPECT_DOUBLE_EQ(options.pens.label, 14);
    EXPECT_EQ(options.style, hidden::LineStyle::Mesh);
    EXPECT_FALSE(options.axes);
    EXPECT_TRUE(options.blackWhite);
    EXPECT_EQ(options.pens.axis, pens.axis); // what the window does not show stays
    // The figure the preview was last built from is the one the options give.
    EXPECT_EQ(built.back().pens.visible, options.pens.visible);
    EXPECT_EQ(built.back().style, options.style);
}

// ---- printing ------------------------------------------------------------------------------

struct FrameRow {
    const char* name;
    QSizeF page;
    QMarginsF printer;
    double aspect;
    bool fits;
};

class PrintFrameRule : public ::testing::TestWithParam<FrameRow> {};

TEST_P(PrintFrameRule, InsideTheMarginsAsLargeAsFitsCentred) {
    const FrameRow& r = GetParam();
    const QRectF f = app::PrintFrame(r.page, r.printer, r.aspect);
    if (!r.fits) {
        EXPECT_TRUE(f.isEmpty());
        return;
    }
    ASSERT_FALSE(f.isEmpty());
    const double left = std::max(r.printer.left(), app::kPrintMarginMm);
    const double top = std::max(r.printer.top(), app::kPrintMarginMm);
    const double right = std::max(r.printer.right(), app::kPrintMarginMm);
    const double bottom = std::max(r.printer.bottom(), app::kPrintMarginMm);
    constexpr double eps = 1e-9;
    EXPECT_GE(f.left(), left - eps);
    EXPECT_GE(f.top(), top - eps);
    EXPECT_LE(f.right(), r.page.width() - right + eps);
    EXPECT_LE(f.bottom(), r.page.height() - bottom + eps);
    EXPECT_NEAR(f.height() / f.width(), r.aspect, 1e-9);
    // Touching the margins on one pair of sides, the same space left on either side of both.
    const bool wide = std::abs(f.width() - (r.page.width() - left - right)) < 1e-6;
    const bool tall = std::abs(f.height() - (r.page.height() - top - bottom)) < 1e-6;
    EXPECT_TRUE(wide || tall);
    EXPECT_NEAR(f.left() - left, r.page.width() - right - f.right(), 1e-6);
    EXPECT_NEAR(f.top() - top, r.page.height() - bottom - f.bottom(), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintFrameRule,
    ::testing::Values(FrameRow{"A4WidePicture", {210, 297}, {}, 0.7, true},
                      FrameRow{"A4TallPicture", {210, 297}, {5, 5, 5, 5}, 2.5, true},
                      FrameRow{"A4Landscape", {297, 210}, {}, 0.75, true},
                      FrameRow{"WidePrinterMargins", {215.9, 279.4}, {25, 30, 20, 12}, 0.6, true},
                      FrameRow{"SquareOnLetter", {215.9, 279.4}, {}, 1, true},
                      FrameRow{"NoRoomLeft", {28, 40}, {}, 1, false},
                      FrameRow{"NoShape", {210, 297}, {}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The printed page itself: the drawing inside the margins where PrintFrame puts it, and built at
// that width rather than stretched, so its labels keep their size in points.
TEST_F(ExportPicture, PrintedPageKeepsMarginsAndLabelSizes) {
    dialogs->printTo = path("page.pdf");
    dialogs->printReport = false;
    run("Print");
    const QByteArray ppm = poppler("pdftoppm", {"-r", "72", "-gray", path("page.pdf")});
    if (ppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QImage page = QImage::fromData(ppm);
    ASSERT_FALSE(page.isNull());
    const double mmPerPixel = 25.4 / 72;
    int x0 = page.width(), y0 = page.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 250) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    ASSERT_GE(x1, 0) << "an empty page";
    const QSizeF paper = QSizeF(page.size()) * mmPerPixel;
    const QRectF drawn(QPointF(x0, y0) * mmPerPixel, QPointF(x1 + 1, y1 + 1) * mmPerPixel);
    const QSize picture = pictureSize();
    const QRectF frame = app::PrintFrame(paper, {}, double(picture.height()) / picture.width());
    SCOPED_TRACE(QString("drawn %1,%2 %3x%4 in %5,%6 %7x%8")
                     .arg(drawn.x())
                     .arg(drawn.y())
                     .arg(drawn.width())
                     .arg(drawn.height())
                     .arg(frame.x())
                     .arg(frame.y())
                     .arg(frame.width())
                     .arg(frame.height())
                     .toStdString());
    const double pixel = mmPerPixel + 0.1;
    EXPECT_GE(drawn.left(), app::kPrintMarginMm - pixel);
    EXPECT_GE(drawn.top(), app::kPrintMarginMm - pixel);
    EXPECT_LE(drawn.right(), paper.width() - app::kPrintMarginMm + pixel);
    EXPECT_LE(drawn.bottom(), paper.height() - app::kPrintMarginMm + pixel);
    EXPECT_TRUE(frame.adjusted(-pixel, -pixel, pixel, pixel).contains(drawn));
    // The axes reach the frame's sides: the drawing fills the width the margins leave.
    EXPECT_GT(drawn.width(), 0.8 * frame.width());

    // The same words in an exported PDF at another width stand as high.
    app::ExportOptions o;
    o.format = Format::Pdf;
    dialogs->exportChoices = {o};
    dialogs->saveNames = {path("export.pdf")};
    run("ExportPicture");
    const auto wordHeights = [this](const QString& file) {
        std::map<QString, double> heights;
        const QString html = QString::fromUtf8(poppler("pdftotext", {"-bbox", file, "-"}));
        const QRegularExpression word(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
            "([^<]+)</word>");
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            heights[m.captured(5)] = m.captured(4).toDouble() - m.captured(2).toDouble();
        }
        return heights;
    };
    const auto printed = wordHeights(path("page.pdf"));
    const auto exported = wordHeights(path("export.pdf"));
    int compared = 0;
    for (const auto& [text, height] : exported) {
        const auto it = printed.find(text);
        if (it == printed.end()) continue;
        ++compared;
        EXPECT_NEAR(it->second, height, 0.05 * height) << text.toStdString();
    }
    EXPECT_GT(compared, 0);
    EXPECT_GT(frame.width(), 1.3 * o.widthCm * 10); // the two widths differ enough to tell
}

// Qt's print dialog in the interface language, also where Qt's catalogue lacks its newer texts.
TEST_F(ExportPicture, PrintDialogSpeaksTheInterfaceLanguage) {
    app::WidgetDialogs real(window.get(), window->messages());
    // Every text of the dialog's labels, buttons, group boxes and hints, in a fixed order.
    const auto texts = [&](const char* locale) {
        app::UseQtTranslation(QString::fromLatin1(locale));
        std::vector<std::pair<QString, QString>> seen;
        Later([&seen] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                QString text;
                if (auto* l = qobject_cast<QLabel*>(w))
                    text = l->text();
                else if (auto* b = qobject_cast<QAbstractButton*>(w))
                    text = b->text();
                else if (auto* g = qobject_cast<QGroupBox*>(w))
                    text = g->title();
                const QString name = w->objectName();
                if (!text.isEmpty()) seen.emplace_back(name, text);
                if (!w->toolTip().isEmpty()) seen.emplace_back(name + ".hint", w->toolTip());
            }
            dialog->close();
        });
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("x.pdf"));
        app::PrintOptions options;
        EXPECT_FALSE(real.printSetup(printer, options));
        return seen;
    };
    const auto english = texts("en");
    const auto ukrainian = texts("uk");
    const bool catalogue = app::QtTextsTranslated();
    if (!catalogue) GTEST_SKIP() << "Qt's Ukrainian catalogue is not installed";
    ASSERT_EQ(english.size(), ukrainian.size());
    const QRegularExpression latin("[A-Za-z]{2}");
    QStringList left;
    std::map<QString, QString> shown;
    for (std::size_t i = 0; i < english.size(); ++i) {
        shown[ukrainian[i].first] = ukrainian[i].second;
        // "OK" is what Qt's Ukrainian catalogue itself has for OK.
        if (english[i].second.contains(latin) && ukrainian[i].second == english[i].second &&
            english[i].second != "OK")
            left << english[i].first + ": " + english[i].second;
    }
    EXPECT_TRUE(left.isEmpty()) << left.join("\n").toStdString();
    EXPECT_EQ(shown["pagesRadioButton"].toStdString(), "Сторінки");
    EXPECT_EQ(shown["duplex"].toStdString(), "Двосторонній друк");
    EXPECT_EQ(shown["duplexLong"].toStdString(), "Зшивання по довгому краю");
}

} // namespace
} // namespace vorn::test
