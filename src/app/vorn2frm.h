// TVorn2frm: the main window — wires menus, tool bars and panes to the engine through the host.
#pragma once

#include "app/command_table.h"
#include "app/export_frm.h"
#include "app/interaction_window.h"
#include "app/language_walk.h"
#include "app/prompt_table.h"
#include "app/scene_steps.h"
#include "app/startup.h"
#include "app/user_dialogs.h"
#include "core/host.h"
#include "core/scene.h"
#include "core/settings.h"
#include "lang/message_table.h"
#include "lesson/lesson.h"
#include "recovery/recovery_store.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QAction;
class QMenu;
class QTimer;

namespace vorn::pic {
class PicturePanel;
class TGLBar;
} // namespace vorn::pic

namespace vorn::entry {
class TPirEnter;
class TQPolyFrm;
class TStandObjFrm;
} // namespace vorn::entry

namespace vorn::app {

class FileDialogText;
class FloatingToolBar;
class HelpWindow;
class InfoPanel;
class ListingPanel;
class StatLine;
class TProgressFrm;
class TSetupFrm;
class TCalcFrm;
class PictureInteraction;
class TNetFrm;

// A language file offered in the settings: its name, its folder and the language it holds.
struct LanguageChoice {
    QString fileName;
    QString path;
    QString language;
};

class TVorn2frm : public QMainWindow,
                  public core::Host,
                  public core::SceneObserver,
                  public LanguageCaption,
                  public InteractionWindow,
                  public StepsWindow,
                  public StartUpWindow {
    Q_OBJECT
  public:
    static constexpr const char* kNoName = "NoName.v3d";
    static constexpr const char* kHelpFile = "vorn3ukr.html";

    explicit TVorn2frm(QWidget* parent = nullptr);
    ~TVorn2frm() override;

    // Replaces the file dialogs and message boxes (the widget tests answer them).
    void setDialogs(std::unique_ptr<UserDialogs> dialogs);
    // Folder that relative names ("NoName.v3d", the help file) are taken from; the settings
    // and the exported language file go there too when it is writable.
    void setProgramDir(const QString& dir);
    QString programDir() const { return m_programDir; }
    // Where "Vorn3d.ini" and "vorn3ukr.lng" are written.
    QString dataDir() const { return m_dataDir; }
    QString settingsFile() const;

    // The document the window shows; the three below are its parts.
    lesson::Lesson& lesson() { return m_lesson; }
    core::Scene& scene() { return m_lesson.scene(); }
    core::Settings& settings() { return m_lesson.settings(); }
    core::Env& env() { return m_lesson.env(); }
    pic::PicturePanel* picture() const override { return m_picture; }
    ListingPanel* listing() const override { return m_listing; }
    InfoPanel* infoPanel() const override { return m_infoPanel; }
    StatLine* statLine() const override { return m_statLine; }
    TProgressFrm* progressFrm() const { return m_progress; }
    TSetupFrm* setupFrm() const { return m_setupFrm; }
    HelpWindow* helpWindow() const { return m_helpWindow; }
    // Every top-level window, walked by the language files in creation order.
    void registerWindow(QWidget* window) { m_windows.add(window); }
    const WindowRegistry& windows() const { return m_windows; }
    const PromptTable& prompts() const override { return m_prompts; }
    const lang::MessageTable& messages() const override { return m_messages; }
    // The menu item "m_<name>"; its tool button, if any, is "k_<name>".
    QAction* command(const char* name) const override;

    // The dispatcher by Tag; the view commands 1..7 have their own handler.
    void dispatch(int tag);
    void viewCommand(int tag);

    QString currentFileName() const;
    void setCurrentFile(const QString& name);
    // The caption's modified mark follows the scene's flag (after every command and step).
    void updateModifiedMark() override;
    // StepsWindow
    void currentFileChanged() override { setCurrentFile(currentFileName()); }
    void cancelPendingOperation() override;
    // Reads a scene file; on success the file becomes the current file.
    bool loadScene(const QString& fileName, bool selective, bool reportErrors);
    // Tag 3 (`alwaysAsk` false) and Tag 4; true when the scene was written.
    bool saveScene(bool alwaysAsk);
    void saveReport();
    // "Експортувати зображення…": the options, a file name, then the picture as they say; false
    // when cancelled or not written.
    bool exportPicture();
    const ExportOptions& exportOptions() const { return m_exportOptions; }
    // "Друк…": the print dialog, then the picture on the page and the report when asked for;
    // false when cancelled or the printer failed.
    bool printPicture();
    // The picture field's figure for an export or print of `options`, `widthMm` wide.
    fig::Figure pictureFigure(const ExportOptions& options, double widthMm);
    void clearReport();
    // Scene files dropped on the window: one is loaded as F3 loads it (after the question about
    // unsaved objects), several are added to the scene when the user agrees.
    void openSceneFiles(const QStringList& names);
    // The scenes last opened or saved, newest first, as the "Файл" menu lists them.
    QStringList recentFiles() const;
    void openRecentFile(int index);
    void showNoObjectError() override;

    // The start-up step of the timer: the settings file, then the start-up scene.
    void loadSettings(const QString& commandLineFile) override;
    // False when the file could not be written; the previous file is then left as it was.
    bool saveSettings();
    // Copies the settings dialog into the settings; false (after message 14) on a bad number.
    bool applySettings();
    bool settingsLoaded() const override { return m_settingsLoaded; }

    // The language files of the program's folders; rebuilt by setProgramDir.
    void buildLanguageList();
    const QList<LanguageChoice>& languageList() const { return m_languages; }
    // Writes the current texts to "vorn3ukr.lng" in the data folder.
    bool exportLanguage();
    void applyLanguage(const QString& path);
    QString helpFileName() const { return QString::fromStdString(m_helpFile); }
    // The desktop's handler opens the help document; when it has none, the program's own help
    // window does, and when neither can, the status line says so.
    void openHelp();

    // LanguageCaption: the caption without the file name.
    QString languageCaption() const override { return m_baseCaption; }
    void setLanguageCaption(const QString& caption) override;

    // InteractionWindow: the window itself is the parent of the interaction's dialogs.
    QWidget* widget() override { return this; }

    // core::Host
    void addReportLine(const std::string& line) override;
    void setStatus(const std::string& text) override;
    void setHint(const std::string& text) override;
    void showMessage(core::BoxKind kind, const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    core::Answer askYesNoCancel(const std::string& text) override;
    bool selectObjects(core::LoadSelection& selection) override;
    void progressBegin(const std::string& text, int maximum) override;
    void progressStep(int position) override;
    void progressEnd() override;
    bool abortRequested() override;
    void processEvents() override;
    // core::SceneObserver
    void refreshObjectList() override;
    void redrawPicture() override;
    void applyTurnAngles(int horizontal, int vertical) override;
    bool halfToneActive() const override { return m_halfTone; }
    void switchHalfToneOff() override;
    void rebuildHalfTone() override;

    // The calculator window (created at start-up) and the half-tone panel (created the first
    // time the mode is switched on, and only where OpenGL can be had).
    TCalcFrm* calcFrm() const { return m_calcFrm; }
    // Picking, measuring, cutting, creating on the screen and transforming on the picture.
    PictureInteraction* interaction() const { return m_interaction; }
    // "Розгортка многогранника", created at start-up so that the language walk reaches it.
    TNetFrm* netFrm() const { return m_netFrm; }
    // Undo and redo: the step around each command that changes the scene.
    SceneSteps* steps() const override { return m_steps.get(); }
    // A command is running: the dispatcher has not returned, a modal window is up or a long
    // operation works.
    bool busy() const override;
    // The object list's selection handler, as a click on the list runs it.
    void objectListSelected() override { selectionChanged(); }
    pic::TGLBar* glBar() const { return m_glBar; }
    // After the half-tone flag changed: panes, command states, hint line, display lists.
    void ApplyHalfToneMode();
    // Command 61; false when the mode could not be switched on.
    bool toggleHalfTone();
    // Sets the hidden-line mode (core::kHiddenSolid..kHiddenRemoved) and checks its item.
    void setHiddenLines(int mode);
    void setOutlines(bool on);

    // Recovery files in `dir`: the modified scene is autosaved there every minute (or every
    // VORN3D_AUTOSAVE_MS), when the session ends and on SIGTERM or SIGHUP.
    void enableRecovery(const QString& dir);
    recovery::RecoveryStore* recoveryStore() const { return m_lesson.recoveryStore(); }
    // Writes the modified scene to this instance's recovery file, or removes that file when the
    // scene is not modified; false (nothing done) while a command runs.
    bool autosave();
    // At start: offers each recovery file a program that no longer runs left behind.
    void offerRecovery() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMenu* createPopupMenu() override;

  private:
    void buildMenus();
    void buildToolBars();
    void buildPanes();
    void commandTriggered(const CommandInfo& info);
    void newScene();
    void loadCommand(bool selective);
    // A relative name ("NoName.v3d") in the folder new scenes go to, made absolute and clean.
    QString resolvedFileName(const QString& name) const;
    // The caption names the current file when the settings say so.
    void updateCaption();
    void rememberFile(const QString& name);
    void rebuildRecentMenu();
    // The picture field's size in picture pixels.
    QSize pictureSize() const;
    // The name the export's file dialog starts with: the scene's name with `suffix`, in the
    // last export's folder.
    QString exportPreset(const QString& suffix) const;
    void toggleToolBar(int tag);
    void closeFloatingToolBar(FloatingToolBar* bar);
    void selectionChanged();
    void checksChanged();
    void updateCommandStates();
    bool handleKeyRelease(int key, Qt::KeyboardModifiers mods);
    void createEntryDialogs();
    void connectEntryDialogs();
    // Tags 10, 12 and 110..115; false for any other Tag.
    bool entryCommand(int tag);
    void halfToneViewChanged();
    // Deleting or adding an object while the half-tone picture is on renumbers its lists.
    void followObjectCount();
    void showSettings();
    void showOwnHelp(const QString& file);
    void readWindowSettings(const lang::IniFile& ini);
    void arrangeToolBars(const lang::IniFile& ini);
    void readColors(const lang::IniFile& ini);
    int rightPanelWidth() const;
    void setRightPanelWidth(int width);

    lang::MessageTable m_messages;
    lesson::Lesson m_lesson;
    std::unique_ptr<UserDialogs> m_dialogs;

    pic::PicturePanel* m_picture = nullptr;
    ListingPanel* m_listing = nullptr;
    InfoPanel* m_infoPanel = nullptr;
    StatLine* m_statLine = nullptr;
    TProgressFrm* m_progress = nullptr;
    TSetupFrm* m_setupFrm = nullptr;
    TCalcFrm* m_calcFrm = nullptr;
    PictureInteraction* m_interaction = nullptr;
    TNetFrm* m_netFrm = nullptr;
    entry::TPirEnter* m_pirEnter = nullptr;
    entry::TQPolyFrm* m_qpolyFrm = nullptr;
    entry::TStandObjFrm* m_standObjFrm = nullptr;
    pic::TGLBar* m_glBar = nullptr;
    bool m_halfTone = false;
    HelpWindow* m_helpWindow = nullptr;
    FileDialogText* m_openDialog = nullptr;
    FileDialogText* m_saveDialog = nullptr;
    FileDialogText* m_reportDialog = nullptr;
    FileDialogText* m_exportDialog = nullptr;
    ExportOptions m_exportOptions; // the last export's, for the next one
    QString m_exportDir;           // the last export's folder, kept in the settings file
    PrintOptions m_printOptions;   // the last print's choice
    WindowRegistry m_windows;
    QList<LanguageChoice> m_languages;
    PromptTable m_prompts;
    std::string m_helpFile = kHelpFile;
    std::map<std::string, QAction*> m_commands; // by name
    std::map<std::string, QMenu*> m_menus;      // by MenuInfo::key
    std::map<int, FloatingToolBar*> m_toolBars; // by the Tag that toggles it

    QString m_programDir;
    QString m_dataDir;
    QString m_baseCaption;
    bool m_settingsLoaded = false;
    bool m_selectionAdds = false; // the last selective load kept the objects it found
    bool m_addingAll = false;     // dropped files: every object is added, no selection dialog
    int m_dispatching = 0;        // commands in the dispatcher, nested ones counted
    // The "Файл" menu's items of the recent files and their separators.
    QList<QAction*> m_recentItems;
    std::unique_ptr<SceneSteps> m_steps;

    // vorn2frm_recovery.cpp
    void writeRecovery();
    bool restoreRecovery(const recovery::Recovered& found);
    QTimer* m_autosaveTimer = nullptr;
    int m_autosaveInterval = 60000;
};

} // namespace vorn::app
