// The scripted dialogs and the window fixture.
#include "app_fixture.h"

#include "app/listing_panel.h"
#include "core/scene.h"
#include "core/scene_file.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QPrinter>

namespace vorn::test {

QString ScriptedDialogs::openFileName(const QString& title, const QString&, const QString&,
                                      const QString&) {
    openTitles << title;
    if (openNames.empty()) return {};
    QString name = openNames.front();
    openNames.pop_front();
    return name;
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& filter, const QString&,
                                      const QString& preset) {
    saveTitles << title;
    saveFilters << filter;
    savePresets << preset;
    if (saveNames.empty()) return {};
    QString name = saveNames.front();
    saveNames.pop_front();
    return name;
}

core::Answer ScriptedDialogs::messageBox(core::BoxKind kind, const QString& text,
                                         app::BoxButtons buttons) {
    boxes.emplace_back(kind, text);
    boxButtons.push_back(buttons);
    if (buttons == app::BoxButtons::Ok) return core::Answer::Yes;
    if (answers.empty()) return defaultAnswer;
    const core::Answer a = answers.front();
    answers.pop_front();
    return a;
}

bool ScriptedDialogs::selectObjects(core::LoadSelection& selection) {
    selectItems = selection.items;
    if (!selectAccept) return false;
    if (!selectChecks.empty()) selection.checked = selectChecks;
    selection.osiInfo = selectOsiInfo;
    selection.add = selectAdd;
    return true;
}

void ScriptedDialogs::openDocument(const QString& path, const std::function<void()>& failed) {
    documents << path;
    if (documentOpens) return;
    if (failsLater)
        lateFailure = failed;
    else
        failed();
}

bool ScriptedDialogs::exportOptions(
    app::ExportOptions& options, int,
    const std::function<fig::Figure(const app::ExportOptions&)>& preview) {
    exportOffered.push_back(options);
    if (exportChoices.empty()) return false;
    options = exportChoices.front();
    exportChoices.pop_front();
    if (preview) previews.push_back(preview(options));
    return true;
}

bool ScriptedDialogs::printSetup(QPrinter& printer, app::PrintOptions& options) {
    printOffered.push_back(options);
    if (printTo.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printTo);
    options = {printReport, printBlackWhite};
    return true;
}

QStringList ScriptedDialogs::boxTexts() const {
    QStringList texts;
    for (const auto& b : boxes)
        texts << b.second;
    return texts;
}

void WriteScene(const QString& path, const std::vector<FileObject>& objects, int turnH, int turnV) {
    core::Scene scene;
    float offset = 1;
    for (const FileObject& o : objects) {
        const int slot = core::AppendObject(scene, o.type);
        ASSERT_GT(slot, 0);
        core::SceneObject& rec = scene.object(slot);
        rec.name.setUtf8(o.name);
        for (int i = 1; i <= rec.vertexCount; ++i)
            rec.vertex(i).x += offset;
        offset += 1;
    }
    scene.header.turnHorizontal = static_cast<std::int8_t>(turnH);
    scene.header.turnVertical = static_cast<std::int8_t>(turnV);
    scene.header.zoomX = scene.header.zoomY = scene.header.zoomZ = 50;
    const std::vector<std::uint8_t> bytes = core::SerializeScene(scene);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void WindowTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    window = std::make_unique<app::TVorn2frm>();
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    window->setDialogs(std::move(scripted));
    window->setProgramDir(m_dir.path());
    window->setCurrentFile(QStringLiteral("NoName.v3d"));
    window->resize(1000, 700);
    window->show();
}

void WindowTest::TearDown() {
    // Nothing may stop the window from going away between tests.
    window->scene().sceneModified = false;
    window.reset();
}

void WindowTest::run(const char* name) {
    QAction* action = window->command(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

QStringList WindowTest::report() const {
    return window->listing()->answers();
}

QStringList WindowTest::objectList() const {
    QStringList items;
    QListWidget* list = window->listing()->objList();
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

void WindowTest::load(const QString& file) {
    dialogs->openNames.push_back(file);
    run("LoadFile");
}

} // namespace vorn::test
