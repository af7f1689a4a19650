// The picture export window: formats, preview, writing the file and printing.
#include "app/export_frm.h"

#include "app/file_dialog_text.h"
#include "picture/figure_painter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <string>

namespace vorn::app {

using Format = ExportOptions::Format;

QString ExportSuffix(Format format) {
    switch (format) {
    case Format::Png:
        return QStringLiteral("png");
    case Format::Svg:
        return QStringLiteral("svg");
    case Format::Pdf:
        return QStringLiteral("pdf");
    case Format::Tikz:
        break;
    }
    return QStringLiteral("tex");
}

QString WithExportSuffix(const QString& typed, Format format) {
    if (typed.isEmpty()) return typed;
    const QString wanted = ExportSuffix(format);
    const QFileInfo info(typed);
    const QString suffix = info.suffix().toLower();
    if (suffix == wanted || (format == Format::Tikz && suffix == QLatin1String("tikz")))
        return typed;
    // Another picture format's extension was meant as the format's own; any other dot is part
    // of the name ("plan.v2").
    static const QStringList kPictureSuffixes = {"png", "svg",  "pdf",  "tex", "tikz",
                                                 "jpg", "jpeg", "bmp",  "gif", "eps",
                                                 "ps",  "tif",  "tiff", "webp"};
    QString base = typed;
    if (kPictureSuffixes.contains(suffix) && !info.completeBaseName().isEmpty())
        base.chop(suffix.size() + 1);
    else if (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    return base + QLatin1Char('.') + wanted;
}

QString ExportFilterFor(const QString& pipeFilter, Format format) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    const int i = 2 * static_cast<int>(format);
    if (i + 1 < parts.size()) return ToQtFilter(parts[i] + QLatin1Char('|') + parts[i + 1]);
    // A language file with fewer entries still gets a filter that shows the right files.
    return QStringLiteral("*.") + ExportSuffix(format);
}

double ExportWidthMm(const ExportOptions& o, int pictureWidth) {
    if (o.format != Format::Png) return o.widthCm * 10;
    const int pixels = o.pixelWidth > 0 ? o.pixelWidth : std::max(pictureWidth, 1);
    return pixels * 25.4 / std::max(o.dpi, 1);
}

fig::FigureOptions FigureOptionsFor(const ExportOptions& o, int hiddenLines, double widthMm) {
    fig::FigureOptions f;
    f.hiddenMode = hiddenLines;
    if (o.blackWhite && hiddenLines == core::kHiddenSolid) f.hiddenMode = core::kHiddenDashed;
    f.blackWhite = o.blackWhite;
    f.axes = o.axes;
    f.style = o.style;
    f.width = widthMm;
    f.pens = o.pens;
    return f;
}

namespace {

bool writeText(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.commit();
}

} // namespace

bool WriteFigure(const QString& path, const fig::Figure& figure, const ExportOptions& o) {
    if (figure.width <= 0 || figure.height <= 0) return false;
    switch (o.format) {
    case Format::Png:
        return pic::WriteFigurePng(path, figure, o.dpi, o.transparent);
    case Format::Svg:
        return writeText(path, fig::FigureSvg(figure));
    case Format::Pdf:
        return pic::WriteFigurePdf(path, figure);
    case Format::Tikz:
        break;
    }
    return writeText(path, fig::FigureTikz(figure));
}

QRectF PrintFrame(const QSizeF& page, const QMarginsF& printer, double aspect) {
    const QMarginsF margins(
        std::max(printer.left(), kPrintMarginMm), std::max(printer.top(), kPrintMarginMm),
        std::max(printer.right(), kPrintMarginMm), std::max(printer.bottom(), kPrintMarginMm));
    const QRectF box = QRectF(QPointF(0, 0), page).marginsRemoved(margins);
    if (!(aspect > 0) || box.width() <= 0 || box.height() <= 0) return {};
    QSizeF size(box.width(), box.width() * aspect);
    if (size.height() > box.height()) size = QSizeF(box.height() / aspect, box.height());
    return {box.center() - QPointF(size.width() / 2, size.height() / 2), size};
}

bool PrintFigure(QPrinter& printer, const std::function<fig::Figure(double)>& build,
                 const QStringList& report) {
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
    const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
    const QMarginsF printerMargins(printable.left() - paper.left(), printable.top() - paper.top(),
                                   paper.right() - printable.right(),
                                   paper.bottom() - printable.bottom());
    // The first figure only tells the shape; the one printed is built at the width it gets, so
    // that its lines and labels keep their sizes in points.
    fig::Figure figure = build(fig::kDefaultWidthMm);
    if (figure.width <= 0 || figure.height <= 0) return false;
    const QRectF frame = PrintFrame(paper.size(), printerMargins, figure.height / figure.width);
    if (frame.isEmpty()) return false;
    figure = build(frame.width());
    // Labels sized in points may make the figure a little higher than its shape said.
    if (figure.height > frame.height() + 0.01 && figure.height > 0)
        figure = build(frame.width() * frame.height() / figure.height);

    // The whole sheet is the painter's, so that the margins are measured from the paper's edge.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const double unitsPerMm = printer.resolution() / 25.4;
    const QPointF centre = frame.center();
    const QPointF topLeft(centre.x() - figure.width / 2, centre.y() - figure.height / 2);
    pic::PaintFigure(painter, figure, topLeft * unitsPerMm, unitsPerMm);
    if (!report.isEmpty()) {
        const QRectF text =
            QRectF(QPointF(0, 0), paper.size())
                .marginsRemoved(
                    QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm))
                .intersected(QRectF(printable.topLeft() - paper.topLeft(), printable.size()));
        const QRectF area(text.topLeft() * unitsPerMm, text.size() * unitsPerMm);
        printer.newPage();
        QFont font = painter.font();
        font.setPointSize(10);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &printer);
        double y = area.top();
        for (const QString& line : report) {
            if (y + metrics.height() > area.bottom() && y > area.top()) {
                printer.newPage();
                y = area.top();
            }
            painter.drawText(QPointF(area.left(), y + metrics.ascent()),
                             metrics.elidedText(line, Qt::ElideRight, area.width()));
            y += metrics.lineSpacing();
        }
    }
    return painter.end();
}

FigurePreview::FigurePreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(240, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FigurePreview::setFigure(std::optional<fig::Figure> figure, bool transparent) {
    m_figure = std::move(figure);
    m_transparent = transparent;
    update();
}

QRectF FigurePreview::pageRect() const {
    if (!m_figure || m_figure->width <= 0 || m_figure->height <= 0) return {};
    const QRectF room = QRectF(rect()).adjusted(6, 6, -6, -6);
    const double scale = std::min(room.width() / m_figure->width, room.height() / m_figure->height);
    const QSizeF size(m_figure->width * scale, m_figure->height * scale);
    return {room.center() - QPointF(size.width() / 2, size.height() / 2), size};
}

void FigurePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    const QRectF page = pageRect();
    if (page.isEmpty()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(page.translated(2, 2), palette().color(QPalette::Shadow));
    if (m_transparent) {
        // What shows through a transparent background.
        constexpr int kSquare = 8;
        painter.save();
        painter.setClipRect(page);
        for (int y = 0; y * kSquare < page.height(); ++y)
            for (int x = 0; x * kSquare < page.width(); ++x)
                painter.fillRect(
                    QRectF(page.left() + x * kSquare, page.top() + y * kSquare, kSquare, kSquare),
                    (x + y) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
        painter.restore();
    } else {
        const std::uint32_t bgr = m_figure->background;
        painter.fillRect(page,
                         QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
    }
    pic::PaintFigure(painter, *m_figure, page.topLeft(), page.width() / m_figure->width);
}

TExportFrm::TExportFrm(QWidget* parent) : QDialog(parent) {
    setObjectName("ExportFrm");
    setWindowTitle(QStringLiteral("Експорт зображення"));
    m_format = new QComboBox(this);
    m_format->setObjectName("Format");
    m_format->addItems(
        {QStringLiteral("PNG – растрове зображення"), QStringLiteral("SVG – векторне креслення"),
         QStringLiteral("PDF – документ"), QStringLiteral("TikZ – рисунок для LaTeX")});
    m_widthCm = new QDoubleSpinBox(this);
    m_widthCm->setObjectName("WidthCm");
    m_widthCm->setRange(1, 100);
    m_widthCm->setDecimals(1);
    m_pixelWidth = new QSpinBox(this);
    m_pixelWidth->setObjectName("PixelWidth");
    m_pixelWidth->setRange(16, 10000);
    m_dpi = new QSpinBox(this);
    m_dpi->setObjectName("Dpi");
    m_dpi->setRange(30, 2400);
    const auto points = [this](const char* name, double low, double high, double step) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(name);
        box->setRange(low, high);
        box->setDecimals(2);
        box->setSingleStep(step);
        return box;
    };
    m_visibleWidth = points("VisibleWidth", 0.05, 5, 0.05);
    m_hiddenWidth = points("HiddenWidth", 0.05, 5, 0.05);
    m_labelSize = points("LabelSize", 4, 36, 0.5);
    m_style = new QComboBox(this);
    m_style->setObjectName("Style");
    m_style->addItems({QStringLiteral("Контури"), QStringLiteral("Сітка")});
    m_transparent = new QCheckBox(QStringLiteral("Прозоре &тло"), this);
    m_transparent->setObjectName("Transparent");
    m_noAxes = new QCheckBox(QStringLiteral("Б&ез осей"), this);
    m_noAxes->setObjectName("NoAxes");
    m_blackWhite =
        new QCheckBox(QStringLiteral("&Чорно-біле (без заливки, невидимі лінії штрихові)"), this);
    m_blackWhite->setObjectName("BlackWhite");
    m_preview = new FigurePreview(this);
    m_preview->setObjectName("Preview");
    m_preview->setToolTip(QStringLiteral("Зображення таким, яким його буде записано"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(QStringLiteral("Експортувати"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkBtn");
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Скасувати"), QDialogButtonBox::RejectRole)
        ->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    const auto row = [this, form](const char* name, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("FormatLabel", QStringLiteral("&Формат:"), m_format);
    row("WidthCmLabel", QStringLiteral("&Ширина, см:"), m_widthCm);
    row("PixelWidthLabel", QStringLiteral("Ширина, &пікселів:"), m_pixelWidth);
    row("DpiLabel", QStringLiteral("&Роздільність, точок на дюйм:"), m_dpi);
    row("VisibleWidthLabel", QStringLiteral("Товщина &видимих ліній, пт:"), m_visibleWidth);
    row("HiddenWidthLabel", QStringLiteral("Товщина &невидимих ліній, пт:"), m_hiddenWidth);
    row("LabelSizeLabel", QStringLiteral("Розмір по&значок, пт:"), m_labelSize);
    row("StyleLabel", QStringLiteral("Лінії п&оверхонь:"), m_style);
    form->addRow(m_transparent);
    form->addRow(m_noAxes);
    form->addRow(m_blackWhite);
    auto* previewLabel = new QLabel(QStringLiteral("Попередній перегляд:"), this);
    previewLabel->setObjectName("PreviewLabel");
    auto* side = new QVBoxLayout;
    side->addWidget(previewLabel);
    side->addWidget(m_preview, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addLayout(side, 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addWidget(buttons);

    // Typing goes on a moment before the figure, which runs the hidden-line pass, is built anew.
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(150);
    connect(m_previewTimer, &QTimer::timeout, this, &TExportFrm::updatePreview);
    connect(m_format, &QComboBox::currentIndexChanged, this, &TExportFrm::formatChanged);
    for (QComboBox* c : {m_format, m_style})
        connect(c, &QComboBox::currentIndexChanged, this, &TExportFrm::schedulePreview);
    for (QDoubleSpinBox* b : {m_widthCm, m_visibleWidth, m_hiddenWidth, m_labelSize})
        connect(b, &QDoubleSpinBox::valueChanged, this, &TExportFrm::schedulePreview);
    for (QSpinBox* b : {m_pixelWidth, m_dpi})
        connect(b, &QSpinBox::valueChanged, this, &TExportFrm::schedulePreview);
    for (QCheckBox* c : {m_transparent, m_noAxes, m_blackWhite})
        connect(c, &QCheckBox::toggled, this, &TExportFrm::schedulePreview);
}

void TExportFrm::formatChanged() {
    const bool png = m_format->currentIndex() == 0;
    m_widthCm->setEnabled(!png);
    m_pixelWidth->setEnabled(png);
    m_dpi->setEnabled(png);
    m_transparent->setEnabled(png);
}

void TExportFrm::schedulePreview() {
    if (m_source) m_previewTimer->start();
}

void TExportFrm::updatePreview() {
    m_previewTimer->stop();
    if (!m_source) {
        m_preview->setFigure(std::nullopt);
        return;
    }
    const ExportOptions o = choice();
    fig::Figure figure = m_source(o);
    m_preview->setFigure(std::move(figure), o.format == Format::Png && o.transparent);
}

ExportOptions TExportFrm::choice() const {
    ExportOptions o = m_shown;
    o.format = static_cast<Format>(std::max(m_format->currentIndex(), 0));
    o.widthCm = m_widthCm->value();
    o.pixelWidth = m_pixelWidth->value();
    o.dpi = m_dpi->value();
    o.pens.visible = m_visibleWidth->value();
    o.pens.hidden = m_hiddenWidth->value();
    o.pens.label = m_labelSize->value();
    o.style = m_style->currentIndex() == 1 ? hidden::LineStyle::Mesh : hidden::LineStyle::Outline;
    o.transparent = m_transparent->isChecked();
    o.axes = !m_noAxes->isChecked();
    o.blackWhite = m_blackWhite->isChecked();
    return o;
}

bool TExportFrm::ask(ExportOptions& options, int pictureWidth, const FigureSource& source) {
    m_source = {}; // no preview while the fields are being set
    m_shown = options;
    m_format->setCurrentIndex(static_cast<int>(options.format));
    m_widthCm->setValue(options.widthCm);
    m_pixelWidth->setValue(options.pixelWidth > 0 ? options.pixelWidth : pictureWidth);
    m_dpi->setValue(options.dpi);
    m_visibleWidth->setValue(options.pens.visible);
    m_hiddenWidth->setValue(options.pens.hidden);
    m_labelSize->setValue(options.pens.label);
    m_style->setCurrentIndex(options.style == hidden::LineStyle::Mesh ? 1 : 0);
    m_transparent->setChecked(options.transparent);
    m_noAxes->setChecked(!options.axes);
    m_blackWhite->setChecked(options.blackWhite);
    formatChanged();
    m_source = source;
    updatePreview();
    const bool accepted = exec() == QDialog::Accepted;
    m_previewTimer->stop();
    m_source = {};
    m_preview->setFigure(std::nullopt); // the next scene's preview starts empty, not stale
    if (!accepted) return false;
    options = choice();
    return true;
}

TPrintFrm::TPrintFrm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("PrintFrm");
    setWindowTitle(QStringLiteral("Зображення і звіт"));
    m_report = new QCheckBox(QStringLiteral("Друкувати &звіт після зображення"), this);
    m_report->setObjectName("Report");
    m_blackWhite =
        new QCheckBox(QStringLiteral("&Чорно-біле (без заливки, невидимі лінії штрихові)"), this);
    m_blackWhite->setObjectName("BlackWhite");
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_report);
    column->addWidget(m_blackWhite);
    column->addStretch();
}

void TPrintFrm::setChoice(const PrintOptions& options) {
    m_report->setChecked(options.report);
    m_blackWhite->setChecked(options.blackWhite);
}

PrintOptions TPrintFrm::choice() const {
    return {m_report->isChecked(), m_blackWhite->isChecked()};
}

} // namespace vorn::app
