// The one door between the engine and the window: everything the engine needs from the user.
// What the window merely mirrors of the scene goes to the scene's observer instead.
#pragma once

#include <string>
#include <vector>

namespace vorn::core {

enum class BoxKind { Warning, Error, Information, Confirmation };
enum class Answer { Yes, No, Cancel };

// What the object-selection dialog of a selective load shows and returns.
struct LoadSelection {
    std::string caption;            // the file name
    std::vector<std::string> items; // "1. Точка", ...
    std::vector<bool> checked;      // all true when shown; the user's marks on return
    bool osiInfo = true;            // "параметри з файлу"
    bool add = false;               // "додати до вже створених"
};

class Host {
  public:
    virtual ~Host() = default;

    virtual void addReportLine(const std::string& line) = 0;
    virtual void setStatus(const std::string& text) = 0;
    virtual void setHint(const std::string& text) = 0;

    // Modal boxes; the text comes from the message table, title and buttons are the host's.
    virtual void showMessage(BoxKind kind, const std::string& text) = 0;
    virtual bool askYesNo(const std::string& text) = 0;
    virtual Answer askYesNoCancel(const std::string& text) = 0;

    // Selective load; false when the user did not press "Завантажити".
    virtual bool selectObjects(LoadSelection& selection) = 0;

    // Progress window with its stop button; shown by callers only for long loops.
    virtual void progressBegin(const std::string& text, int maximum) = 0;
    virtual void progressStep(int position) = 0;
    virtual void progressEnd() = 0;
    virtual bool abortRequested() = 0;
    // Lets pending window messages run inside long loops.
    virtual void processEvents() = 0;
};

} // namespace vorn::core
