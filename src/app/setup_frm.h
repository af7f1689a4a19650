// TSetupFrm: the settings dialog "Налагодження". It edits a copy of the settings record and
// hands one back; its pages' controls are also what the settings file stores, by their names.
#pragma once

#include "core/settings.h"
#include "lang/ini_file.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;

namespace vorn::entry {
class ColorGrid;
}

namespace vorn::app {

class RadioGroup;

class TSetupFrm : public QDialog {
    Q_OBJECT
  public:
    using Colors = std::array<int, core::kColorRoleCount>;

    // `current` gives the settings in use, whose light positions the dialog shows when it opens.
    explicit TSetupFrm(std::function<core::Settings()> current, QWidget* parent = nullptr);

    // `base` with the choices of the pages: flags, counts, colours and the typed texts. The
    // language, the numbers the texts stand for and what follows from them are the caller's.
    core::Settings edited(core::Settings base) const;

    // Called by "Запам'ятати" and "Застосувати"; false (a bad number) keeps the dialog open.
    void setApplier(std::function<bool()> apply) { m_apply = std::move(apply); }

    // The controls by their component names (the settings-file keys).
    QCheckBox* check(const char* name) const;
    QLineEdit* edit(const char* name) const;
    QSpinBox* spin(const char* name) const;
    QScrollBar* qualityPos() const { return m_quality; }
    QLabel* qualityLabel() const { return m_qualityLabel; }
    RadioGroup* ugolType() const { return m_ugolType; }
    QComboBox* languages() const { return m_langs; }
    QListWidget* colorBox() const { return m_colorBox; }
    entry::ColorGrid* envColor() const { return m_envColor; }
    QTabWidget* pages() const { return m_pages; }

    const Colors& colors() const { return m_colors; }
    void setColors(const Colors& colors);
    // The caption of a colour role as the list shows it (the settings-file key).
    QString roleCaption(int role) const;

    void restoreDefaultColors();
    // Enables the controls that depend on AutoZoom, InCenter and PutVerNum.
    void updateDependents();
    // "Скасувати": the controls and colours as they were when the dialog was shown.
    void cancel();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildPicturePage();
    QWidget* buildComputePage();
    QWidget* buildGeneralPage();
    QWidget* buildColorsPage();
    void roleSelected(int role);
    void applyClicked(bool close);

    std::function<core::Settings()> m_current;
    std::function<bool()> m_apply;
    QTabWidget* m_pages = nullptr;
    QScrollBar* m_quality = nullptr;
    QLabel* m_qualityLabel = nullptr;
    RadioGroup* m_ugolType = nullptr;
    QComboBox* m_langs = nullptr;
    QListWidget* m_colorBox = nullptr;
    entry::ColorGrid* m_envColor = nullptr;
    Colors m_colors{};
    Colors m_shownColors{};
    lang::IniFile m_shownControls; // the stored controls when the dialog was shown
};

// Quality label text: round(position / 99 * 100) followed by "%".
QString QualityPercent(int position);

} // namespace vorn::app
