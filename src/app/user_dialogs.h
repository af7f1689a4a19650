// The questions the main window puts to the user: file names, message boxes, object selection.
#pragma once

#include "core/host.h"
#include "lang/message_table.h"

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace vorn::app {
class TLoadFrm;
class TExportFrm;
class TPrintFrm;
struct ExportOptions;
struct PrintOptions;
} // namespace vorn::app

namespace vorn::fig {
struct Figure;
} // namespace vorn::fig

namespace vorn::app {

// SaveDiscardCancel answers Yes for Save and No for Discard.
enum class BoxButtons { Ok, YesNo, YesNoCancel, SaveDiscardCancel };

// A message's text as a box shows it: a question or exclamation mark set off by a blank keeps
// to its word, so it never wraps onto a line of its own.
QString BoxText(const QString& text);

// The seam between the window's commands and modal windows; tests answer through their own.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;
    // Empty when the user cancels. `filter` is in the Qt form "Name (*.ext);;...".
    virtual QString openFileName(const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& preset) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& preset) = 0;
    // For an Ok box the answer is Yes.
    virtual core::Answer messageBox(core::BoxKind kind, const QString& text,
                                    BoxButtons buttons) = 0;
    // The object-selection dialog of a selective load; false unless "Завантажити" was pressed.
    virtual bool selectObjects(core::LoadSelection& selection) = 0;
    // Opens a document with the desktop's handler; `failed` runs, at once or once the desktop
    // gives up, when no handler takes it.
    virtual void openDocument(const QString& path, const std::function<void()>& failed);
    // The format and size of an exported picture, shown by `preview` as the options change;
    // false when cancelled. Without a window of its own the options stay as given.
    virtual bool exportOptions(ExportOptions& options, int pictureWidth,
                               const std::function<fig::Figure(const ExportOptions&)>& preview);
    // The file an export of `options` is written to, asked with the save dialog: its name
    // takes the format's extension (WithExportSuffix); empty when cancelled.
    virtual QString exportFileName(const QString& title, const QString& filter,
                                   const ExportOptions& options, const QString& preset);
    // The printer, whether the report follows the picture and black and white; false when
    // cancelled. Without a window of its own the printer stays as given, and printing goes on
    // only into a file.
    virtual bool printSetup(QPrinter& printer, PrintOptions& options);
};

// An input box whose buttons are those of the message table; false when cancelled, with `text`
// then as it was.
bool InputBox(QWidget* parent, const lang::MessageTable& messages, const QString& title,
              const QString& prompt, QString& text);

// The real windows: file dialogs, localized message boxes and TLoadFrm.
class WidgetDialogs : public UserDialogs {
  public:
    WidgetDialogs(QWidget* parent, const lang::MessageTable& messages);
    QString openFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                         const QString& preset) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& defaultSuffix,
                         const QString& preset) override;
    core::Answer messageBox(core::BoxKind kind, const QString& text, BoxButtons buttons) override;
    bool selectObjects(core::LoadSelection& selection) override;
    // Through xdg-open where there is one, whose exit code tells whether a handler took the
    // document: Qt counts a started xdg-open as success.
    void openDocument(const QString& path, const std::function<void()>& failed) override;
    bool exportOptions(ExportOptions& options, int pictureWidth,
                       const std::function<fig::Figure(const ExportOptions&)>& preview) override;
    // The dialog puts the extension right as the name is accepted, before it asks whether to
    // replace an existing file, so that the question names the file that will be written.
    QString exportFileName(const QString& title, const QString& filter,
                           const ExportOptions& options, const QString& preset) override;
    bool printSetup(QPrinter& printer, PrintOptions& options) override;
    TLoadFrm* loadFrm() const { return m_loadFrm; }
    TExportFrm* exportFrm() const { return m_exportFrm; }
    TPrintFrm* printFrm() const { return m_printFrm; }

  private:
    QWidget* m_parent;
    const lang::MessageTable& m_messages;
    TLoadFrm* m_loadFrm; // created with the window, as the other dialogs are
    TExportFrm* m_exportFrm;
    TPrintFrm* m_printFrm;
};

} // namespace vorn::app
