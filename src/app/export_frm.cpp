#include "app/export_frm.h"

#include "picture/tikz_writer.h"
#include "picture/vector_export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace vorn::app {

QString ExportSuffix(ExportOptions::Format format) {
    switch (format) {
    case ExportOptions::Format::Png:
        return QStringLiteral("png");
    case ExportOptions::Format::Svg:
        return QStringLiteral("svg");
    case ExportOptions::Format::Pdf:
        return QStringLiteral("pdf");
    case ExportOptions::Format::Tikz:
        break;
    }
    return QStringLiteral("tex");
}

namespace {

// A PNG of another width than the picture's: the lines are drawn anew at that scale rather
// than the bitmap being stretched.
bool WriteScaledPng(const QString& path, const pic::DisplayList& list, int width, int height,
                    const ExportOptions& o) {
    const double scale = double(o.pixelWidth) / width;
    const int h = std::max(1, static_cast<int>(std::lround(height * scale)));
    QImage image(o.pixelWidth, h,
                 o.transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(o.transparent ? Qt::transparent : Qt::white);
    pic::DisplayList drawn;
    std::copy_if(list.begin(), list.end(), std::back_inserter(drawn), [&o](const pic::DrawOp& op) {
        return !o.transparent || op.role != pic::Role::Background;
    });
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        pic::PaintDisplayListVector(painter, drawn);
    }
    const int dotsPerMetre = static_cast<int>(std::lround(o.dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image.save(path, "PNG");
}

} // namespace

bool WritePicture(const QString& path, const pic::DisplayList& list, int width, int height,
                  const ExportOptions& o) {
    if (width < 1 || height < 1) return false;
    switch (o.format) {
    case ExportOptions::Format::Png:
        if (o.pixelWidth > 0 && o.pixelWidth != width)
            return WriteScaledPng(path, list, width, height, o);
        return pic::WritePng(path, list, width, height, o.dpi, o.transparent);
    case ExportOptions::Format::Svg:
        return pic::WriteSvg(path, list, width, height, o.widthCm);
    case ExportOptions::Format::Pdf:
        return pic::WritePdf(path, list, width, height, o.widthCm);
    case ExportOptions::Format::Tikz:
        break;
    }
    const std::string tex = pic::TikzPicture(list, width, height, o.widthCm);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(tex.data(), static_cast<qint64>(tex.size()));
    return file.commit();
}

bool PrintPicture(QPrinter& printer, const pic::DisplayList& list, int width, int height,
                  const QStringList& report) {
    if (width < 1 || height < 1) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page =
        printer.pageLayout()
            .paintRectPixels(printer.resolution())
            .translated(-printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
    const double scale = std::min(page.width() / width, page.height() / height);
    painter.save();
    painter.scale(scale, scale);
    pic::PaintDisplayListVector(painter, list);
    painter.restore();
    if (!report.isEmpty()) {
        printer.newPage();
        QFont font = painter.font();
        font.setPointSize(10);
        painter.setFont(font);
        const QFontMetrics metrics(font, &printer);
        double y = 0;
        for (const QString& line : report) {
            if (y + metrics.height() > page.height()) {
                printer.newPage();
                y = 0;
            }
            painter.drawText(QPointF(0, y + metrics.ascent()), line);
            y += metrics.lineSpacing();
        }
    }
    return painter.end();
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
    m_transparent = new QCheckBox(QStringLiteral("Прозоре &тло"), this);
    m_transparent->setObjectName("Transparent");
    m_blackWhite =
        new QCheckBox(QStringLiteral("&Чорно-біле (без заливки, невидимі лінії штрихові)"), this);
    m_blackWhite->setObjectName("BlackWhite");
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(QStringLiteral("Експортувати"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkBtn");
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Скасувати"), QDialogButtonBox::RejectRole)
        ->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
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
    form->addRow(m_transparent);
    form->addRow(m_blackWhite);
    form->addRow(buttons);
    connect(m_format, &QComboBox::currentIndexChanged, this, &TExportFrm::formatChanged);
}

void TExportFrm::formatChanged() {
    const bool png = m_format->currentIndex() == 0;
    m_widthCm->setEnabled(!png);
    m_pixelWidth->setEnabled(png);
    m_dpi->setEnabled(png);
    m_transparent->setEnabled(png);
}

bool TExportFrm::ask(ExportOptions& options, int pictureWidth) {
    m_format->setCurrentIndex(static_cast<int>(options.format));
    m_widthCm->setValue(options.widthCm);
    m_pixelWidth->setValue(options.pixelWidth > 0 ? options.pixelWidth : pictureWidth);
    m_dpi->setValue(options.dpi);
    m_transparent->setChecked(options.transparent);
    m_blackWhite->setChecked(options.blackWhite);
    formatChanged();
    if (exec() != QDialog::Accepted) return false;
    options.format = static_cast<ExportOptions::Format>(m_format->currentIndex());
    options.widthCm = m_widthCm->value();
    options.pixelWidth = m_pixelWidth->value();
    options.dpi = m_dpi->value();
    options.transparent = m_transparent->isChecked();
    options.blackWhite = m_blackWhite->isChecked();
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
