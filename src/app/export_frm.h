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
    bool blackWhite = false; // no fills, black lines, hidden lines dashed unless left out
};

struct PrintOptions {
    bool report = true; // the report's lines on the pages after the picture
    bool blackWhite = false;
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

// Created once with the main window, so the language walk reaches its texts.
class TExportFrm : public QDialog {
    Q_OBJECT
  public:
    explicit TExportFrm(QWidget* parent = nullptr);
    // Shows `options`; false when cancelled, otherwise `options` holds the choice.
    bool ask(ExportOptions& options, int pictureWidth);
    QComboBox* format() const { return m_format; }

  private:
    void formatChanged();
    QComboBox* m_format;
    QDoubleSpinBox* m_widthCm;
    QSpinBox* m_pixelWidth;
    QSpinBox* m_dpi;
    QCheckBox* m_transparent;
    QCheckBox* m_blackWhite;
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
