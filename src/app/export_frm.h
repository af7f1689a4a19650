// TExportFrm: how "Експортувати зображення…" writes the picture, and the writing itself.
#pragma once

#include "picture/display_list.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QPrinter;

namespace vorn::app {

struct ExportOptions {
    enum class Format { Png, Svg, Pdf, Tikz };
    Format format = Format::Png;
    double widthCm = 16; // SVG, PDF and TikZ
    int pixelWidth = 0;  // PNG; 0: the picture's own width, the height follows its shape
    int dpi = 96;        // PNG
    bool transparent = false;
};

// The file name extension of `format`, without the dot.
QString ExportSuffix(ExportOptions::Format format);

// `list`, drawn on a picture `width` x `height` pixels, written to `path` as `options` say;
// false when the file cannot be written.
bool WritePicture(const QString& path, const pic::DisplayList& list, int width, int height,
                  const ExportOptions& options);

// The picture scaled to the first page, then, when `report` is not empty, its lines on the pages
// after; false when the printer could not be started.
bool PrintPicture(QPrinter& printer, const pic::DisplayList& list, int width, int height,
                  const QStringList& report);

class TExportFrm : public QDialog {
    Q_OBJECT
  public:
    explicit TExportFrm(QWidget* parent = nullptr);
    // Shows `options`; false when cancelled, otherwise `options` holds the choice.
    bool ask(ExportOptions& options, int pictureWidth);

  private:
    void formatChanged();
    QComboBox* m_format;
    QDoubleSpinBox* m_widthCm;
    QSpinBox* m_pixelWidth;
    QSpinBox* m_dpi;
    QCheckBox* m_transparent;
};

} // namespace vorn::app
