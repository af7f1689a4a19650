// The main window's settings file, settings dialog, language files and help document.
#include "app/vorn2frm.h"

#include "app/app_paths.h"
#include "app/help_window.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/radio_group.h"
#include "app/settings_store.h"
#include "app/setup_frm.h"
#include "app/tool_bar.h"
#include "entry/generatrix.h"
#include "expr/expression_engine.h"
#include "lang/cp1251.h"
#include "lang/language_file.h"
#include "lang/message_ids.h"
#include "picture/picture_panel.h"
#include "view/view_state.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>

#include <algorithm>
#include <cstdlib>

namespace vorn::app {

namespace {

const char* const kWindow = "Window";
const char* const kColors = "Colors";
constexpr std::size_t kTypeNameMaxChars = 25;

// The tool bars whose visibility is stored, with their keys and menu items.
struct StoredBar {
    const char* key;
    const char* item;
};
constexpr StoredBar kStoredBars[] = {{"IsToolFile", "TbFile"},
                                     {"IsToolView", "TbView"},
                                     {"IsToolMeas", "TbCalc"},
                                     {"IsToolMode", "TbMode"}};

// A number typed in the settings: a decimal with "." or any constant expression.
bool readNumber(const QString& text, double& value) {
    const std::string t = text.trimmed().toStdString();
    if (t.empty()) return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    if (end && *end == '\0') return true;
    expr::ExpressionEngine engine;
    value = static_cast<double>(engine.EvaluateExpression(t));
    return engine.CalcError == expr::kCalcOk;
}

bool readNumbers(const TSetupFrm& d, std::initializer_list<const char*> names, double* out) {
    for (const char* n : names)
        if (!readNumber(d.edit(n)->text(), *out++)) return false;
    return true;
}

// `WorkFile` holds what code page 1251 can of the name, for older readers; this key holds the
// name whole. It counts only while the two agree: an older version may have changed the first.
const char* const kWorkFileUtf8 = "WorkFileUtf8";
// The folder of the last exported picture, where the next export's file dialog starts.
const char* const kExportDir = "ExportDir";

QString storedWorkFile(const lang::IniFile& ini) {
    const std::string legacy = ini.value(kWindow, "WorkFile", "");
    if (const auto whole = ini.get(kWindow, kWorkFileUtf8)) {
        const QString name = PathFromStoredText(*whole);
        if (lang::cp1251ToUtf8(lang::utf8ToCp1251(name.toStdString())) == legacy) return name;
    }
    return QString::fromStdString(legacy);
}

// The listing panel and the picture each keep at least this much of the splitter, so that no
// stored width can leave the window without its picture or its lists.
constexpr int kMinPaneWidth = 50;

// A panel width that leaves both panes on a splitter `room` pixels wide; no width at all (a
// collapsed panel, a missing or damaged value) gives `first`, the width it starts with.
int usablePanelWidth(int width, int room, int first) {
    if (width <= 0) width = first;
    return std::clamp(width, kMinPaneWidth, std::max(kMinPaneWidth, room - kMinPaneWidth));
}

// The splitter's width, or the screen's while the window is not laid out yet.
int splitterRoom(const QSplitter& splitter) {
    const QList<int> sizes = splitter.sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0) return total;
    const QScreen* screen = splitter.screen();
    return screen ? screen->availableGeometry().width() : ListingPanel::kDefaultWidth * 2;
}

} // namespace

// ---- settings file -------------------------------------------------------------------------

int TVorn2frm::rightPanelWidth() const {
    const auto* splitter = findChild<QSplitter*>(QStringLiteral("Splitter1"));
    if (!splitter) return m_listing->width();
    return usablePanelWidth(splitter->sizes().value(1), splitterRoom(*splitter),
                            m_listing->firstWidth());
}

void TVorn2frm::setRightPanelWidth(int width) {
    auto* splitter = findChild<QSplitter*>(QStringLiteral("Splitter1"));
    if (!splitter) return;
    const int room = splitterRoom(*splitter);
    width = usablePanelWidth(width, room, m_listing->firstWidth());
    splitter->setSizes({std::max(room - width, 0), width});
}

void TVorn2frm::loadSettings(const QString& commandLineFile) {
    if (m_settingsLoaded) return;
    m_settingsLoaded = true;
    processEvents();
    const lang::IniFile ini = lang::IniFile::load(settingsFile().toStdString());
    readWindowSettings(ini);
    std::vector<std::string> recent;
    for (const QString& name : ReadRecentFiles(ini))
        recent.push_back(LocalBytesOfPath(name));
    m_lesson.setRecentFiles(std::move(recent));
    rebuildRecentMenu();
    ReadDialogControls(ini, m_setupFrm);
    readColors(ini);
    m_setupFrm->updateDependents();

    m_picture->fitPicture();
    applySettings();

    const QString workFile = storedWorkFile(ini);
    const bool readLast = !workFile.isEmpty() && m_setupFrm->check("IsReadLast")->isChecked();
    bool opened = false;
    if (!commandLineFile.isEmpty() || readLast)
        opened = loadScene(commandLineFile.isEmpty() ? workFile : commandLineFile, false, false);
    if (!opened) setCurrentFile(QString::fromLatin1(kNoName));
    m_picture->redrawPicture();
}

void TVorn2frm::readWindowSettings(const lang::IniFile& ini) {
    setRightPanelWidth(ini.intValue(kWindow, "RPanelWidth", rightPanelWidth()));
    settings().languageFile = ini.value(kWindow, "LangFile", "");
    m_exportDir = PathFromStoredText(ini.value(kWindow, kExportDir, ""));

    // The offered languages; the stored one is chosen when it is still among them.
    QComboBox* langs = m_setupFrm->languages();
    langs->clear();
    for (const LanguageChoice& c : m_languages)
        langs->addItem(c.language);
    langs->setCurrentIndex(-1);
    for (int i = 0; i < m_languages.size(); ++i)
        if (m_languages[i].fileName.compare(QString::fromStdString(settings().languageFile),
                                            Qt::CaseInsensitive) == 0)
            langs->setCurrentIndex(i);

    arrangeToolBars(ini);
    for (const StoredBar& b : kStoredBars)
        m_commands.at(b.item)->setChecked(ini.intValue(kWindow, b.key, 1) != 0);
    command("Hint")->setChecked(ini.intValue(kWindow, "IsHint", 1) != 0);
    setHiddenLines(ini.intValue(kWindow, "HiddenLines", core::kHiddenSolid));
    setOutlines(ini.intValue(kWindow, "Outlines", 0) != 0);
    for (const auto& [t, bar] : m_toolBars) {
        const QAction* item = m_menus.at("ToolBars")->actions().value(t - tag::FirstToolBar);
        bar->setVisible(item && item->isChecked());
    }
    m_infoPanel->setVisible(command("Hint")->isChecked());
}

void TVorn2frm::arrangeToolBars(const lang::IniFile& ini) {
    // Bars with the same top share a row, ordered by their left edge; rows go top down.
    struct Placed {
        int top, left, order;
        QToolBar* bar;
    };
    std::vector<Placed> bars;
    for (const ToolBarInfo& t : ToolBars()) {
        QToolBar* bar = m_toolBars.at(t.toggleTag);
        const std::string name = t.name;
        bars.push_back({ini.intValue(kWindow, name + ".Top", bar->y()),
                        ini.intValue(kWindow, name + ".Left", bar->x()),
                        static_cast<int>(bars.size()), bar});
    }
    std::stable_sort(bars.begin(), bars.end(), [](const Placed& a, const Placed& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    for (std::size_t i = 0; i < bars.size(); ++i) {
        removeToolBarBreak(bars[i].bar);
        if (i > 0 && bars[i].top != bars[i - 1].top) addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, bars[i].bar);
    }
}

void TVorn2frm::readColors(const lang::IniFile& ini) {
    // A colour is stored under its role's caption in the chosen language, which is applied only
    // after this; so the caption comes from that language file when it names one.
    lang::IniFile language;
    for (const LanguageChoice& c : m_languages)
        if (c.fileName.compare(QString::fromStdString(settings().languageFile),
                               Qt::CaseInsensitive) == 0)
            language = lang::IniFile::load(c.path.toStdString());
    const core::Settings defaults;
    TSetupFrm::Colors colors{};
    for (int i = 0; i < core::kColorRoleCount; ++i) {
        const std::string caption = language.value("SetupFrm", "ColorBox." + std::to_string(i + 1),
                                                   m_setupFrm->roleCaption(i).toStdString());
        const auto k = static_cast<std::size_t>(i);
        const int index = ini.intValue(kColors, caption, defaults.colors[k]);
        colors[k] = index >= 0 && index < static_cast<int>(core::kPalette.size())
                        ? index
                        : defaults.colors[k];
    }
    m_setupFrm->setColors(colors);
}

bool TVorn2frm::saveSettings() {
    lang::IniFile ini = lang::IniFile::load(settingsFile().toStdString());
    ini.set(kWindow, "RPanelWidth", std::to_string(rightPanelWidth()));
    ini.set(kWindow, "WorkFile", currentFileName().toStdString());
    ini.set(kWindow, kWorkFileUtf8, PathToStoredText(currentFileName()));
    WriteRecentFiles(ini, recentFiles());
    ini.set(kWindow, "LangFile", settings().languageFile);
    ini.set(kWindow, kExportDir, PathToStoredText(m_exportDir));
    for (const ToolBarInfo& t : ToolBars()) {
        const QToolBar* bar = m_toolBars.at(t.toggleTag);
        ini.set(kWindow, std::string(t.name) + ".Left", std::to_string(bar->x()));
        ini.set(kWindow, std::string(t.name) + ".Top", std::to_string(bar->y()));
    }
    for (const StoredBar& b : kStoredBars)
        ini.set(kWindow, b.key, m_commands.at(b.item)->isChecked() ? "1" : "0");
    ini.set(kWindow, "IsHint", command("Hint")->isChecked() ? "1" : "0");
    ini.set(kWindow, "HiddenLines", std::to_string(settings().hiddenLines));
    ini.set(kWindow, "Outlines", settings().outlines ? "1" : "0");
    WriteDialogControls(ini, m_setupFrm);
    for (int i = 0; i < core::kColorRoleCount; ++i)
        ini.set(kColors, m_setupFrm->roleCaption(i).toStdString(),
                std::to_string(m_setupFrm->colors()[static_cast<std::size_t>(i)]));
    // A failed write leaves the previous file whole; at exit there is no one left to tell but
    // the terminal.
    if (ini.save(settingsFile().toStdString())) return true;
    qWarning("VORN-3D: cannot write the settings file %s", qPrintable(settingsFile()));
    return false;
}

// ---- applying the dialog -------------------------------------------------------------------

bool TVorn2frm::applySettings() {
    const TSetupFrm& d = *m_setupFrm;
    core::Settings edited = d.edited(settings());
    const int chosen = d.languages()->currentIndex();
    const bool hasLanguage = chosen >= 0 && chosen < m_languages.size();
    edited.languageFile = hasLanguage ? m_languages[chosen].fileName.toStdString() : std::string();
    edited.revolutionPoints = entry::CurvePointLimit(edited.Quality());
    edited.revolutionRings = entry::RingCount(edited.Quality());
    m_lesson.setSettings(edited);
    const core::Settings& s = settings();
    if (hasLanguage) applyLanguage(m_languages[chosen].path);
    setCurrentFile(currentFileName());

    // The numbers, in order; the first that is not a number stops the rest.
    bool ok = true;
    pic::ViewState& view = m_picture->view();
    double center[3] = {0, 0, 0};
    if (!s.InCenter) ok = readNumbers(d, {"CenterXE", "CenterYE", "CenterZE"}, center);
    if (ok) {
        view.centerX = center[0];
        view.centerY = center[1];
        view.centerZ = center[2];
        scene().object(core::kAxesSlot).color = s.colorRgb(core::kColorAxes);
        double zoom[3];
        if (!s.AutoZoom) {
            ok = readNumbers(d, {"ZoomXE", "ZoomYE", "ZoomZE"}, zoom);
            if (ok)
                view.setZoom(static_cast<float>(zoom[0]), static_cast<float>(zoom[1]),
                             static_cast<float>(zoom[2]));
        }
    }
    double lights[6];
    if (ok) ok = readNumbers(d, {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"}, lights);
    if (ok) {
        std::copy(std::begin(lights), std::end(lights), settings().lightPosition.begin());
        if (scene().isUserSlot(scene().currentObject)) selectionChanged();
    } else {
        showMessage(core::BoxKind::Error, m_messages.text(lang::msg::kBadNumberOrExpression));
    }
    if (halfToneActive()) rebuildHalfTone();
    m_picture->redrawPicture();
    return ok;
}

void TVorn2frm::showSettings() {
    if (m_setupFrm->exec() != QDialog::Accepted) return;
    m_picture->fitPicture();
    m_picture->redrawPicture();
}

// ---- language files ------------------------------------------------------------------------

void TVorn2frm::buildLanguageList() {
    m_languages.clear();
    QStringList seen;
    for (const QString& dir : LanguageDirs(m_programDir, UserConfigDir())) {
        for (const lang::LanguageEntry& e : lang::BuildLanguageList(dir.toStdString())) {
            const QString name = QString::fromStdString(e.fileName);
            // The first folder that has a file name wins: the program's own beats the user's.
            if (seen.contains(name, Qt::CaseInsensitive)) continue;
            seen << name;
            m_languages.push_back(
                {name, QDir(dir).filePath(name), QString::fromStdString(e.language)});
        }
    }
}

bool TVorn2frm::exportLanguage() {
    lang::IniFile ini;
    ExportLanguage(ini, m_windows.windows(), m_messages);
    const QString file = QDir(m_dataDir).filePath(QString::fromLatin1(lang::kDefaultLanguageFile));
    if (ini.save(file.toStdString())) return true;
    qWarning("VORN-3D: cannot write the language file %s", qPrintable(file));
    return false;
}

void TVorn2frm::applyLanguage(const QString& path) {
    const lang::IniFile ini = lang::IniFile::load(path.toStdString());
    // A file that names no document gets the program's own, not the previous language's.
    m_helpFile = kHelpFile;
    ApplyLanguage(ini, m_windows.windows(), m_messages, m_helpFile);
    lang::MessageTable shortNames = m_messages;
    for (int i = lang::msg::kKindAxes; i <= lang::msg::kKindRevolution; ++i)
        shortNames.setText(i, lang::utf8Truncate(m_messages.text(i), kTypeNameMaxChars));
    scene().typeNames.refresh(shortNames);
    m_prompts.refresh(m_messages);
    refreshObjectList();
}

void TVorn2frm::setLanguageCaption(const QString& caption) {
    m_baseCaption = caption.left(100);
    setCurrentFile(currentFileName());
}

// ---- help ----------------------------------------------------------------------------------

void TVorn2frm::openHelp() {
    QString file;
    const QString name = QString::fromStdString(m_helpFile);
    if (QFileInfo(name).isAbsolute()) {
        file = name;
    } else {
        for (const QString& dir : LanguageDirs(m_programDir, UserConfigDir()))
            if (QFileInfo::exists(QDir(dir).filePath(name))) {
                file = QDir(dir).filePath(name);
                break;
            }
    }
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        showMessage(core::BoxKind::Error, m_messages.text(lang::msg::kHelpNotLoaded));
        return;
    }
    m_dialogs->openDocument(file, [this, file] { showOwnHelp(file); });
}

void TVorn2frm::showOwnHelp(const QString& file) {
    // The desktop may give up long after F1, so a failure here is told without a modal box.
    if (!m_helpWindow) m_helpWindow = new HelpWindow(this);
    if (!m_helpWindow->openFile(file)) {
        setStatus(m_messages.format(lang::msg::kHelpNotOpened,
                                    {QDir::toNativeSeparators(file).toStdString()}));
        return;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
}

} // namespace vorn::app
