// What the picture's interaction and its modes need of the main window: its panes, its texts,
// its commands and the few things it does after they change the scene. The document itself
// (scene, settings, environment) they take from the lesson.
#pragma once

#include "core/host.h"

#include <string>

class QAction;
class QWidget;

namespace vorn::lang {
class MessageTable;
}
namespace vorn::pic {
class PicturePanel;
}

namespace vorn::app {

class InfoPanel;
class ListingPanel;
struct PromptTable;
class SceneSteps;
class StatLine;

class InteractionWindow {
  public:
    // The parent of the dialogs and child windows the interaction opens.
    virtual QWidget* widget() = 0;
    virtual pic::PicturePanel* picture() const = 0;
    virtual ListingPanel* listing() const = 0;
    virtual InfoPanel* infoPanel() const = 0;
    virtual StatLine* statLine() const = 0;
    virtual const PromptTable& prompts() const = 0;
    virtual const lang::MessageTable& messages() const = 0;
    // The menu item "m_<name>", or null.
    virtual QAction* command(const char* name) const = 0;
    virtual SceneSteps* steps() const = 0;

    virtual void addReportLine(const std::string& line) = 0;
    virtual void showMessage(core::BoxKind kind, const std::string& text) = 0;
    virtual void showNoObjectError() = 0;
    virtual void refreshObjectList() = 0;
    virtual void redrawPicture() = 0;
    // The object list's selection handler, as a click on the list runs it.
    virtual void objectListSelected() = 0;
    virtual bool halfToneActive() const = 0;
    virtual void rebuildHalfTone() = 0;

  protected:
    ~InteractionWindow() = default;
};

} // namespace vorn::app
