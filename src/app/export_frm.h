// TExportFrm: how "Експортувати зображення…" writes the picture, its preview, and the writing and
// printing of the picture's figure.
#pragma once

#include "figure/figure.h"

#include <QDialog>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QPrinter;
class QTimer;

namespace vorn::app {

struct ExportOptions {
    enum class Format { Png, Svg, Pdf, Tikz };
    Format format = Format::Png;
    double widthCm = 12; // SVG, PDF and TikZ: the width on paper, an A4 page's text block
    int pixelWidth = 0;  // PNG; 0: the picture's own width, the height follows its shape
    int dpi = 96;        // PNG
    bool transparent = false;
    bool blackWhite = false; // no fills, black lines, hidden lines dashed unless left out
    bool axes = true;
    hidden::LineStyle style = hidden::LineStyle::Outline; // surfaces' feature lines or mesh
    fig::Pens pens; // line widths and label size in points, whatever the size
};

struct PrintOptions {
    bool report = true; // the report's lines on the pages after the picture
    bool blackWhite = false;
};

// The file name extension of `format`, without the dot.
QString ExportSuffix(ExportOptions::Format format);
// `typed` with the extension of `format`: kept when it has it already (in any case, and ".tikz"
// for TikZ), put in place of another picture format's extension, appended to any other name.
QString WithExportSuffix(const QString& typed, ExportOptions::Format format);
// The entry for `format` of the export filter "Name|*.png|Name|*.svg|..." (entries in the order
// of Format), in the toolkit's form, so that the file dialog offers only what will be written.
QString ExportFilterFor(const QString& pipeFilter, ExportOptions::Format format);

// The width in millimetres the figure is built at: the width on paper, or for a PNG its pixel
// width (the picture's own when none is chosen) at its resolution.
double ExportWidthMm(const ExportOptions& options, int pictureWidth);
// The figure's options: hidden lines in the window's mode `hiddenLines` ("Невидимі лінії"),
// dashed in black and white where they would be solid, as the check box says.
fig::FigureOptions FigureOptionsFor(const ExportOptions& options, int hiddenLines, double widthMm);

// `figure` written to `path` in the format of `options`; false when the file cannot be written.
bool WriteFigure(const QString& path, const fig::Figure& figure, const ExportOptions& options);

// Printed pages keep at least this much paper free on every side.
inline constexpr double kPrintMarginMm = 15;
// Where a figure `aspect` times as high as it is wide goes on a page `pageMm` in size whose
// printer keeps `printerMarginsMm` free: as large as fits inside the margins (each at least
// kPrintMarginMm), its proportions kept, centred between them. Empty when nothing fits.
QRectF PrintFrame(const QSizeF& pageMm, const QMarginsF& printerMarginsMm, double aspect);

// The figure `build` gives for a width in millimetres, built at the width PrintFrame leaves on the
// first page (so that its lines keep their sizes in points) and put there; then, when `report`
// is not empty, its lines on the pages after, inside the same margins. False when the printer
// could not be started.
bool PrintFigure(QPrinter& printer, const std::function<fig::Figure(double widthMm)>& build,
                 const QStringList& report);

// The figure an export would write with the given options (the dialog's preview).
using FigureSource = std::function<fig::Figure(const ExportOptions& options)>;

// A figure drawn as it will be on paper, scaled down to the widget.
class FigurePreview : public QWidget {
    Q_OBJECT
  public:
    explicit FigurePreview(QWidget* parent = nullptr);
    // `transparent`: the page shows what a transparent background lets through.
    void setFigure(std::optional<fig::Figure> figure, bool transparent = false);
    const std::optional<fig::Figure>& figure() const { return m_figure; }
    // Where the page is drawn in the widget, in its pixels.
    QRectF pageRect() const;
    QSize sizeHint() const override { return {320, 240}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<fig::Figure> m_figure;
    bool m_transparent = false;
};

// Created once with the main window, so the language walk reaches its texts.
class TExportFrm : public QDialog {
    Q_OBJECT
  public:
    explicit TExportFrm(QWidget* parent = nullptr);
    // Shows `options`, with a preview from `source` when one is given; false when cancelled,
    // otherwise `options` holds the choice.
    bool ask(ExportOptions& options, int pictureWidth, const FigureSource& source = {});
    // What the fields say now.
    ExportOptions choice() const;
    QComboBox* format() const { return m_format; }
    FigurePreview* preview() const { return m_preview; }

  private:
    void formatChanged();
    void schedulePreview();
    void updatePreview();
    QComboBox* m_format;
    QDoubleSpinBox* m_widthCm;
    QSpinBox* m_pixelWidth;
    QSpinBox* m_dpi;
    QDoubleSpinBox* m_visibleWidth;
    QDoubleSpinBox* m_hiddenWidth;
    QDoubleSpinBox* m_labelSize;
    QComboBox* m_style;
    QCheckBox* m_transparent;
    QCheckBox* m_noAxes;
    QCheckBox* m_blackWhite;
    FigurePreview* m_preview;
    QTimer* m_previewTimer;
    FigureSource m_source;
    ExportOptions m_shown; // the options the fields were set from; those they do not show stay
};

// The page the print dialog gets for the program's own choices. A window of its own between
// prints, so the language walk reaches its texts; its title is the page's tab.
class TPrintFrm : public QWidget {
    Q_OBJECT
  public:
    explicit TPrintFrm(QWidget* parent = nullptr);
    void setChoice(const PrintOptions& options);
    PrintOptions choice() const;

  private:
    QCheckBox* m_report;
    QCheckBox* m_blackWhite;
};

} // namespace vorn::app
