// TVorn2frm: the main window — wires menus, tool bars and panes to the engine through the host.
#pragma once

#include "app/command_table.h"
#include "app/user_dialogs.h"
#include "core/host.h"
#include "core/scene.h"
#include "core/settings.h"
#include "entry/scene_loader.h"
#include "lang/message_table.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QAction;
class QMenu;

namespace vorn::pic {
class PicturePanel;
}

namespace vorn::app {

class FloatingToolBar;
class InfoPanel;
class ListingPanel;
class StatLine;
class TProgressFrm;

class TVorn2frm : public QMainWindow, public core::Host {
    Q_OBJECT
  public:
    static constexpr const char* kNoName = "NoName.v3d";
    static constexpr const char* kHelpFile = "vorn3ukr.chm";

    explicit TVorn2frm(QWidget* parent = nullptr);
    ~TVorn2frm() override;

    // Replaces the file dialogs and message boxes (the widget tests answer them).
    void setDialogs(std::unique_ptr<UserDialogs> dialogs);
    // Folder that relative names ("NoName.v3d", the help file) are taken from.
    void setProgramDir(const QString& dir);

    core::Scene& scene() { return m_scene; }
    core::Settings& settings() { return m_settings; }
    core::Env& env() { return m_env; }
    pic::PicturePanel* picture() const { return m_picture; }
    ListingPanel* listing() const { return m_listing; }
    InfoPanel* infoPanel() const { return m_infoPanel; }
    StatLine* statLine() const { return m_statLine; }
    TProgressFrm* progressFrm() const { return m_progress; }
    // The menu item "m_<name>"; its tool button, if any, is "k_<name>".
    QAction* command(const char* name) const;

    // The dispatcher by Tag; the view commands 1..7 have their own handler.
    void dispatch(int tag);
    void viewCommand(int tag);

    QString currentFileName() const { return m_currentFileName; }
    void setCurrentFile(const QString& name);
    // Reads a scene file; on success the file becomes the current file.
    bool loadScene(const QString& fileName, bool selective, bool reportErrors);
    // Tag 3 (`alwaysAsk` false) and Tag 4; true when the scene was written.
    bool saveScene(bool alwaysAsk);
    void saveReport();
    void clearReport();
    void showNoObjectError();

    // The start-up steps of the timer: settings (defaults for now), then the start-up scene.
    void loadSettings(const QString& commandLineFile);
    void applySettings();
    bool settingsLoaded() const { return m_settingsLoaded; }

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
    void refreshObjectList() override;
    void redrawPicture() override;
    void applyTurnAngles(int horizontal, int vertical) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QMenu* createPopupMenu() override;

  private:
    void buildMenus();
    void buildToolBars();
    void buildPanes();
    void commandTriggered(const CommandInfo& info);
    void newScene();
    void loadCommand(bool selective);
    void openHelp();
    void toggleToolBar(int tag);
    void closeFloatingToolBar(FloatingToolBar* bar);
    void selectionChanged();
    void checksChanged();
    void updateCommandStates();
    bool handleKeyRelease(int key, Qt::KeyboardModifiers mods);

    core::Scene m_scene;
    core::Settings m_settings;
    lang::MessageTable m_messages;
    core::Env m_env;
    entry::SceneLoader m_loader;
    std::unique_ptr<UserDialogs> m_dialogs;

    pic::PicturePanel* m_picture = nullptr;
    ListingPanel* m_listing = nullptr;
    InfoPanel* m_infoPanel = nullptr;
    StatLine* m_statLine = nullptr;
    TProgressFrm* m_progress = nullptr;
    std::map<std::string, QAction*> m_commands; // by name
    std::map<std::string, QMenu*> m_menus;      // by MenuInfo::key
    std::map<int, FloatingToolBar*> m_toolBars; // by the Tag that toggles it

    QString m_programDir;
    QString m_baseCaption;
    QString m_currentFileName;
    QString m_operationHeading; // heading of the pending interactive operation
    bool m_settingsLoaded = false;
    bool m_selectionAdds = false; // the last selective load kept the objects it found
};

} // namespace vorn::app
