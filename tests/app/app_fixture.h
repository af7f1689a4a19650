// Shared set-up of the window tests: scripted dialogs, a temporary folder, scene files.
#pragma once

#include "app/export_frm.h"
#include "app/user_dialogs.h"
#include "app/vorn2frm.h"
#include "core/scene_object.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace vorn::test {

// Answers the window's questions from a script and records what was asked.
class ScriptedDialogs : public app::UserDialogs {
  public:
    std::deque<QString> openNames, saveNames; // an empty name cancels the dialog
    QStringList openTitles, saveTitles;
    QStringList saveFilters, savePresets; // of every save dialog, in order
    std::deque<core::Answer> answers;     // for Yes/No and Yes/No/Cancel boxes
    core::Answer defaultAnswer = core::Answer::No;
    std::vector<std::pair<core::BoxKind, QString>> boxes; // every box, questions too
    std::vector<app::BoxButtons> boxButtons;              // the buttons of each box

    bool selectAccept = true;
    std::vector<bool> selectChecks; // replaces the marks when not empty
    bool selectOsiInfo = true, selectAdd = false;
    std::vector<std::string> selectItems; // the items the dialog was shown

    QString openFileName(const QString& title, const QString&, const QString&,
                         const QString&) override;
    QString saveFileName(const QString& title, const QString& filter, const QString&,
                         const QString& preset) override;
    core::Answer messageBox(core::BoxKind kind, const QString& text,
                            app::BoxButtons buttons) override;
    bool selectObjects(core::LoadSelection& selection) override;
    // Records the document; without a desktop handler the failure comes at once, or, with
    // `failsLater`, is kept for the test to deliver as xdg-open's exit would.
    void openDocument(const QString& path, const std::function<void()>& failed) override;
    QStringList documents;
    bool documentOpens = false, failsLater = false;
    std::function<void()> lateFailure;
    // Each export takes the next options; none left cancels it. The preview's figure of the
    // chosen options is kept.
    bool
    exportOptions(app::ExportOptions& options, int pictureWidth,
                  const std::function<fig::Figure(const app::ExportOptions&)>& preview) override;
    std::deque<app::ExportOptions> exportChoices;
    std::vector<app::ExportOptions> exportOffered; // what each export window was opened with
    std::vector<fig::Figure> previews;
    // A print goes to this PDF file without a dialog; empty cancels it.
    bool printSetup(QPrinter& printer, app::PrintOptions& options) override;
    QString printTo;
    bool printReport = true, printBlackWhite = false;
    std::vector<app::PrintOptions> printOffered; // what each print dialog was opened with

    QStringList boxTexts() const;
};

struct FileObject {
    core::ObjectType type;
    const char* name;
};

// A scene file made by the engine's serializer: objects with distinct coordinates.
void WriteScene(const QString& path, const std::vector<FileObject>& objects, int turnH = 27,
                int turnV = 49);

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Triggers the menu item m_<name>; a disabled item does nothing.
    void run(const char* name);
    QString path(const QString& file) const { return m_dir.filePath(file); }
    QStringList report() const;
    QStringList objectList() const;
    // Loads `file` as F3 does, answering the open dialog.
    void load(const QString& file);

    QTemporaryDir m_dir;
    std::unique_ptr<app::TVorn2frm> window;
    ScriptedDialogs* dialogs = nullptr;
};

} // namespace vorn::test
