// The language walk over the program's windows: exporting the texts and applying a file.
#pragma once

#include "lang/ini_file.h"
#include "lang/message_table.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <string>

namespace vorn::app {

// Window names (the class name without its T: TVorn2frm is the section [Vorn2frm]) and component
// object names ("TabSheet1", "Label1", "Ugol3p", "IsCuted" and the like) are the keys of the
// language files. Files users have depend on them, so they keep their old names however unlike
// the house style they look.

// The windows in creation order; each is one section of a language file.
inline constexpr std::array<const char*, 11> kWindowOrder = {
    "PresFrm", "Vorn2frm", "PirEnter", "StandObjFrm", "CalcFrm", "ProgressFrm",
    "LoadFrm", "QPolyFrm", "CheckFrm", "ModFrm",      "SetupFrm"};

// A window whose language-file caption is not simply its title (the main window puts the file
// name in front of it).
class LanguageCaption {
  public:
    virtual ~LanguageCaption() = default;
    virtual QString languageCaption() const = 0;
    virtual void setLanguageCaption(const QString& caption) = 0;
};

// Marks a component whose text is the program's output (panes, status fields), not interface
// text; its children are still walked.
void ExcludeFromLanguage(QObject* component);

// The top-level windows the walk visits. A window that was never registered or has been
// destroyed is skipped.
class WindowRegistry {
  public:
    void add(QWidget* window);
    // The living windows: the names of kWindowOrder in that order, then any other in the order
    // of registration.
    QList<QWidget*> windows() const;

  private:
    QList<QPointer<QWidget>> m_windows;
};

// Writes INFO/Language and AppName, Msg, one section per window and InternalResources.
void ExportLanguage(lang::IniFile& ini, const QList<QWidget*>& windows,
                    const lang::MessageTable& messages);
// Replaces every text that the file has a key for; `helpFile` takes INFO/HelpFile.
void ApplyLanguage(const lang::IniFile& ini, const QList<QWidget*>& windows,
                   lang::MessageTable& messages, std::string& helpFile);

} // namespace vorn::app
