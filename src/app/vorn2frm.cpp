// The main window: builds its menus, tool bars and panes and routes every command by its Tag.
#include "app/vorn2frm.h"

#include "app/app_paths.h"
#include "app/calc_frm.h"
#include "app/check_frm.h"
#include "app/command_state.h"
#include "app/file_dialog_text.h"
#include "app/icons.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/load_frm.h"
#include "app/mod_frm.h"
#include "app/net_frm.h"
#include "app/picture_interaction.h"
#include "app/progress_frm.h"
#include "app/qt_translation.h"
#include "app/scene_steps.h"
#include "app/setup_frm.h"
#include "app/stat_line.h"
#include "app/tool_bar.h"
#include "core/object_report.h"
#include "core/scene_file.h"
#include "lang/ini_file.h"
#include "lang/message_ids.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace vorn::app {

namespace {

const char* const kSceneFilter = "Об'єкти у форматі VORN-3D|*.v3d|Всі файли|*.*";
const char* const kReportFilter = "Текстові файли|*.txt|Всі файли|*.*";
const char* const kExportFilter = "Зображення PNG|*.png|Креслення SVG|*.svg|Документ PDF|*.pdf|"
                                  "TikZ для LaTeX|*.tex|Всі файли|*.*";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TVorn2frm::TVorn2frm(QWidget* parent)
    : QMainWindow(parent), m_lesson(m_messages, *this),
      m_dialogs(std::make_unique<WidgetDialogs>(this, m_messages)),
      m_programDir(QCoreApplication::applicationDirPath()) {
    setObjectName("Vorn2frm");
    setWindowTitle(QStringLiteral("VORN-3D"));
    scene().setObserver(this);
    m_steps = std::make_unique<SceneSteps>(*this, m_lesson);
    // The lesson decides when unsaved work is at stake; the window asks with its own buttons.
    // The question holds the file name as the file system's bytes.
    m_lesson.setSaveQuestion(
        [this](const std::string& question) {
            return m_dialogs->messageBox(core::BoxKind::Confirmation, PathFromLocalBytes(question),
                                         BoxButtons::SaveDiscardCancel);
        },
        [this] { return saveScene(false); });
    // Qt's own dialogs speak the built-in language until a language file names another.
    UseQtTranslation(QString::fromLatin1(kBuiltinLocale));
    m_baseCaption = windowTitle().left(100);
    m_dataDir = WritableDataDir(m_programDir, UserConfigDir());
    m_openDialog = new FileDialogText("OpenDialog1", QStringLiteral("Завантаження об'єктів"),
                                      QString::fromUtf8(kSceneFilter), this);
    m_saveDialog = new FileDialogText("SaveDialog1", QStringLiteral("Збереження об'єктів"),
                                      QString::fromUtf8(kSceneFilter), this);
    m_reportDialog = new FileDialogText("SaveDialog2", QStringLiteral("Збереження звіту"),
                                        QString::fromUtf8(kReportFilter), this);
    m_exportDialog = new FileDialogText("SaveDialog3", QStringLiteral("Експорт зображення"),
                                        QString::fromUtf8(kExportFilter), this);

    buildPanes();
    setAcceptDrops(true); // scene files dropped anywhere on the window
    buildMenus();
    buildToolBars();
    m_steps->attachCommands();
    m_progress = new TProgressFrm(this, [this] {
        return m_dialogs->messageBox(core::BoxKind::Confirmation,
                                     qs(m_messages.text(lang::msg::kAskStopComputation)),
                                     BoxButtons::YesNo) == core::Answer::Yes;
    });

    setCurrentFile(QString::fromLatin1(kNoName));
    selectionChanged();

    // The other windows, in creation order; the settings dialog comes last.
    registerWindow(this);
    createEntryDialogs();
    m_calcFrm = new TCalcFrm(env(), this);
    registerWindow(m_calcFrm);
    registerWindow(m_progress);
    if (auto* widgets = dynamic_cast<WidgetDialogs*>(m_dialogs.get())) {
        registerWindow(widgets->loadFrm());
        registerWindow(widgets->exportFrm());
        registerWindow(widgets->printFrm());
    }
    m_interaction = new PictureInteraction(*this, m_lesson);
    registerWindow(m_interaction->checkFrm());
    registerWindow(m_interaction->modFrm());
    m_netFrm = new TNetFrm(
        env(), [this]() -> UserDialogs& { return *m_dialogs; }, this);
    registerWindow(m_netFrm);
    m_setupFrm = new TSetupFrm([this] { return settings(); }, this);
    m_setupFrm->setApplier([this] { return applySettings(); });
    registerWindow(m_setupFrm);
    connectEntryDialogs();
    buildLanguageList();

    // The window sees keys before its controls.
    qApp->installEventFilter(this);
    // Every window exists from here on, so the picture may draw.
    m_picture->setReady(true);
}

TVorn2frm::~TVorn2frm() {
    qApp->removeEventFilter(this);
    // The picture interaction unhooks itself from the picture: as a child it would go only
    // after the picture, with this window already half destroyed.
    delete m_interaction;
    m_interaction = nullptr;
}

void TVorn2frm::setDialogs(std::unique_ptr<UserDialogs> dialogs) {
    m_dialogs = std::move(dialogs);
}

void TVorn2frm::setProgramDir(const QString& dir) {
    m_programDir = dir;
    m_dataDir = WritableDataDir(m_programDir, UserConfigDir());
    buildLanguageList();
}

QString TVorn2frm::settingsFile() const {
    return QDir(m_dataDir).filePath(QString::fromLatin1(kSettingsFileName));
}

QAction* TVorn2frm::command(const char* name) const {
    const auto it = m_commands.find(name);
    return it == m_commands.end() ? nullptr : it->second;
}

// ---- construction ------------------------------------------------------------------------

void TVorn2frm::buildPanes() {
    auto* central = new QWidget(this);
    central->setObjectName("MainPanel");
    m_infoPanel = new InfoPanel(central);
    m_infoPanel->hide(); // shown once the settings are loaded
    m_picture = new pic::PicturePanel(env(), central);
    m_listing = new ListingPanel(central);
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName("Splitter1");
    splitter->addWidget(m_picture);
    splitter->addWidget(m_listing);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    m_listing->setFirstWidth(
        m_listing->widthShowing(SampleCharacteristics(settings(), m_messages)));
    splitter->setSizes({800, m_listing->firstWidth()});
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_infoPanel);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    m_picture->place()->setToolTip(QStringLiteral("Поле зображення"));
    m_picture->place()->setStatusTip(QStringLiteral("Поле зображення"));
    for (QScrollBar* bar : {m_picture->scrollBarHor(), m_picture->scrollBarVer()})
        bar->setStatusTip(QStringLiteral("Смуга повороту зображення"));

    m_statLine = new StatLine(this);
    setStatusBar(m_statLine);

    connect(m_listing, &ListingPanel::objectSelected, this, &TVorn2frm::selectionChanged);
    connect(m_listing, &ListingPanel::objectChecksChanged, this, &TVorn2frm::checksChanged);
}

void TVorn2frm::buildMenus() {
    for (const MenuInfo& m : Menus()) {
        QMenu* menu = nullptr;
        const QString caption = QString::fromUtf8(m.caption);
        if (m.parent)
            menu = m_menus.at(m.parent)->addMenu(caption);
        else
            menu = menuBar()->addMenu(caption);
        menu->setObjectName(m.name);
        menu->menuAction()->setObjectName(m.name);
        m_menus[m.key] = menu;
    }
    for (const CommandInfo& c : Commands()) {
        auto* action = new QAction(QString::fromUtf8(c.caption), this);
        action->setObjectName(QStringLiteral("m_") + QString::fromLatin1(c.name));
        action->setProperty("Tag", c.tag);
        action->setStatusTip(QString::fromUtf8(c.hint));
        action->setToolTip(QString::fromUtf8(c.hint));
        action->setCheckable(c.checkable);
        if (*c.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
        if (c.bar != Bar::None) action->setIcon(CommandIcon(c.name));
        connect(action, &QAction::triggered, this, [this, &c] { commandTriggered(c); });
        m_commands[c.name] = action;
        if (c.menu) {
            m_menus.at(c.menu)->addAction(action);
        } else {
            addAction(action); // its shortcut works window-wide
        }
    }
    for (const char* name : {"TbFile", "TbView", "TbCalc", "TbMode", "TbObjs", "Hint"})
        m_commands.at(name)->setChecked(true);
    auto* hidden = new QActionGroup(this); // one of the three at a time
    for (const char* name : {"HiddenSolid", "HiddenDashed", "HiddenRemoved"})
        hidden->addAction(m_commands.at(name));
    setHiddenLines(settings().hiddenLines);
    // The outline choice stands apart from the three, after a line.
    m_menus.at("Hidden")->insertSeparator(command("Outlines"));
    setOutlines(settings().outlines);

    // The report pane's context menu: clear (the menu's own item) and save as text.
    QListWidget* answers = m_listing->answerBox();
    answers->setContextMenuPolicy(Qt::ActionsContextMenu);
    answers->addAction(command("ClearReport"));
    answers->addAction(command("SaveReport"));
}

void TVorn2frm::buildToolBars() {
    for (const ToolBarInfo& t : ToolBars()) {
        auto* bar = new FloatingToolBar(QString::fromUtf8(t.caption), this);
        bar->setObjectName(t.name);
        bar->setIconSize(QSize(24, 24));
        addToolBar(Qt::TopToolBarArea, bar);
        m_toolBars[t.toggleTag] = bar;
        for (const CommandInfo& c : Commands()) {
            if (c.bar != t.bar) continue;
            QAction* action = m_commands.at(c.name);
            bar->addAction(action);
            if (QWidget* button = bar->widgetForAction(action))
                button->setObjectName(QStringLiteral("k_") + QString::fromLatin1(c.name));
        }
        bar->addCloseButton();
        connect(bar, &FloatingToolBar::floatingClosed, this,
                [this, bar] { closeFloatingToolBar(bar); });
    }
}

QMenu* TVorn2frm::createPopupMenu() {
    // The tool-bar area's menu uses the same checked items as "Панель інструментів".
    auto* menu = new QMenu(this);
    menu->addActions(m_menus.at("ToolBars")->actions());
    return menu;
}

// ---- dispatch ------------------------------------------------------------------------------

void TVorn2frm::commandTriggered(const CommandInfo& info) {
    if (info.handler == Handler::View)
        viewCommand(info.tag);
    else
        dispatch(info.tag);
}

void TVorn2frm::viewCommand(int tag) {
    m_picture->viewCommand(tag);
}

void TVorn2frm::dispatch(int t) {
    ++m_dispatching;
    const auto leave = qScopeGuard([this] {
        --m_dispatching;
        updateModifiedMark();
    });
    const SceneSteps::Step step(m_steps.get(), t);
    switch (t) {
    case tag::Exit:
        close();
        return;
    case tag::NewFile:
        newScene();
        break;
    case tag::LoadFile:
        loadCommand(false);
        break;
    case tag::LoadSel:
        loadCommand(true);
        break;
    case tag::SaveFile:
        saveScene(false);
        break;
    case tag::SaveAs:
        saveScene(true);
        break;
    case tag::Delete:
        if (!scene().isUserSlot(scene().currentObject))
            showNoObjectError();
        else
            core::DeleteObject(env(), scene().currentObject, true);
        break;
    case tag::Hint:
        m_infoPanel->setVisible(command("Hint")->isChecked());
        break;
    case tag::ClearReport:
        clearReport();
        break;
    case tag::SaveReport:
        saveReport();
        break;
    case tag::ExportPicture:
        exportPicture();
        break;
    case tag::Print:
        printPicture();
        break;
    case tag::HelpTopics:
        openHelp();
        break;
    case tag::Settings:
        showSettings();
        break;
    case tag::Calculator:
    case tag::Integral:
    case tag::DoubleIntegral:
        m_calcFrm->showPage(t - tag::Calculator);
        break;
    case tag::Undo:
        m_steps->undo();
        break;
    case tag::Redo:
        m_steps->redo();
        break;
    case tag::HalfTone:
        toggleHalfTone();
        break;
    case tag::Unfold:
        if (!m_netFrm->open(scene().currentObject))
            showMessage(core::BoxKind::Error, m_messages.text(lang::msg::kNetNotUnfoldable));
        break;
    case tag::FirstHiddenLines:
    case tag::FirstHiddenLines + 1:
    case tag::LastHiddenLines:
        setHiddenLines(t - tag::FirstHiddenLines);
        break;
    case tag::Outlines:
        setOutlines(command("Outlines")->isChecked());
        break;
    default:
        if (entryCommand(t)) break;
        if (m_interaction->dispatch(t)) break;
        if (t >= tag::FirstToolBar && t <= tag::LastToolBar) toggleToolBar(t);
        // The other commands stay disabled until their windows exist.
        break;
    }
    m_picture->redrawPicture();
}

void TVorn2frm::setHiddenLines(int mode) {
    if (mode < core::kHiddenSolid || mode > core::kHiddenRemoved) mode = core::kHiddenSolid;
    settings().hiddenLines = mode;
    for (QAction* item : m_menus.at("Hidden")->actions())
        if (item->property("Tag").toInt() == tag::FirstHiddenLines + mode) item->setChecked(true);
}

void TVorn2frm::setOutlines(bool on) {
    settings().outlines = on;
    command("Outlines")->setChecked(on);
}

bool TVorn2frm::busy() const {
    return m_dispatching > 0 || QApplication::activeModalWidget() ||
           (m_progress && m_progress->running());
}

void TVorn2frm::newScene() {
    if (!m_lesson.mayDiscardWork()) return;
    // The step starts after the question, whose save it undoes back to.
    const SceneSteps::Step step(m_steps.get(), history::StepKind::New, scene().currentObject);
    m_lesson.clear(LocalBytesOfPath(resolvedFileName(QString::fromLatin1(kNoName))));
    updateCaption();
    m_interaction->finishPendingOperation();
    clearReport();
    switchHalfToneOff();
    m_picture->fitPicture();
    refreshObjectList();
}

void TVorn2frm::loadCommand(bool selective) {
    // Replacing a scene that holds unsaved objects asks first, before the open dialog; a
    // selective load asks once the dialog tells whether the objects are added or replaced.
    if (!selective && !m_lesson.mayDiscardWork()) return;
    const QString name = m_dialogs->openFileName(m_openDialog->title, m_openDialog->qtFilter(),
                                                 QStringLiteral("v3d"), currentFileName());
    if (name.isEmpty()) return;
    loadScene(name, selective, true);
}

bool TVorn2frm::loadScene(const QString& fileName, bool selective, bool reportErrors) {
    // Objects added to the scene are one step; a scene read in its place starts a new history.
    const SceneSteps::Step step(selective ? m_steps.get() : nullptr,
                                history::StepKind::AddFromFile);
    const int before = scene().objectCount();
    m_selectionAdds = false;
    bool cancelled = false;
    const int result =
        m_lesson.read(LocalBytesOfPath(fileName), selective, reportErrors, &cancelled);
    if (result < 0 || cancelled) return false;
    rememberFile(fileName);
    if (halfToneActive()) rebuildHalfTone();
    if (m_selectionAdds && before > 1) {
        // Objects added to a scene belong to no file yet: keep the name and the question.
        scene().sceneModified = true;
        return true;
    }
    m_lesson.opened(LocalBytesOfPath(resolvedFileName(fileName)));
    m_steps->updateCommands();
    updateCaption();
    return true;
}

bool TVorn2frm::saveScene(bool alwaysAsk) {
    QString name = currentFileName();
    const bool unnamed =
        QFileInfo(name).fileName().compare(QString::fromLatin1(kNoName), Qt::CaseInsensitive) == 0;
    if (alwaysAsk || unnamed) {
        name = m_dialogs->saveFileName(m_saveDialog->title, m_saveDialog->qtFilter(),
                                       QStringLiteral("v3d"), currentFileName());
        if (name.isEmpty()) return false;
    }
    if (!m_lesson.save(LocalBytesOfPath(name))) return false;
    // The recent list has the name as chosen; the caption, the name made absolute.
    setCurrentFile(name);
    rebuildRecentMenu();
    return true;
}

void TVorn2frm::saveReport() {
    const QString name = m_dialogs->saveFileName(m_reportDialog->title, m_reportDialog->qtFilter(),
                                                 QStringLiteral("txt"), {});
    if (name.isEmpty()) return;
    // The same atomic writer as the other files: QSaveFile reports success when the bytes it
    // buffered could not be written, and the old report is then lost.
    QByteArray text;
    for (const QString& line : m_listing->answers())
        text += (line + '\n').toUtf8();
    if (!lang::writeFileAtomically(
            name.toStdString(),
            std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
        showMessage(core::BoxKind::Error,
                    m_messages.format(lang::msg::kWriteFailed, {name.toStdString()}));
}

QSize TVorn2frm::pictureSize() const {
    const QImage& shown = m_picture->image();
    return {static_cast<int>(std::lround(shown.width() / shown.devicePixelRatio())),
            static_cast<int>(std::lround(shown.height() / shown.devicePixelRatio()))};
}

fig::Figure TVorn2frm::pictureFigure(const ExportOptions& options, double widthMm) {
    // The picture field's view and shape, in its "Невидимі лінії" mode.
    const QSize size = pictureSize();
    return fig::BuildFigure(scene(), settings(), m_picture->view(), size.width(), size.height(),
                            FigureOptionsFor(options, settings().hiddenLines, widthMm));
}

QString TVorn2frm::exportPreset(const QString& suffix) const {
    const QString name = QFileInfo(currentFileName()).completeBaseName() + '.' + suffix;
    // The last export's folder, else the scene's own.
    QString folder = m_exportDir;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        const QFileInfo scene(currentFileName());
        folder =
            scene.isAbsolute() && scene.absoluteDir().exists() ? scene.absolutePath() : QString();
    }
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

bool TVorn2frm::exportPicture() {
    const QSize size = pictureSize();
    if (size.isEmpty()) return false;
    const auto figure = [this, size](const ExportOptions& o) {
        return pictureFigure(o, ExportWidthMm(o, size.width()));
    };
    // Figures draw surfaces by their outlines unless the last export chose the mesh.
    ExportOptions options = m_exportOptions;
    if (!m_dialogs->exportOptions(options, size.width(), figure)) return false;
    const QString name = m_dialogs->exportFileName(
        m_exportDialog->title, ExportFilterFor(m_exportDialog->filter, options.format), options,
        exportPreset(ExportSuffix(options.format)));
    if (name.isEmpty()) return false;
    m_exportOptions = options;
    if (WriteFigure(name, figure(options), options)) {
        m_exportDir = QFileInfo(name).absolutePath();
        return true;
    }
    showMessage(core::BoxKind::Error,
                m_messages.format(lang::msg::kWriteFailed, {name.toStdString()}));
    return false;
}

bool TVorn2frm::printPicture() {
    QPrinter printer(QPrinter::HighResolution);
    PrintOptions options = m_printOptions;
    // The print dialog keeps the program's page behind its options: a black and white print
    // is chosen there each time, never carried over unseen.
    options.blackWhite = false;
    if (!m_dialogs->printSetup(printer, options)) return false;
    m_printOptions = options;
    if (pictureSize().isEmpty()) return false;
    ExportOptions look;
    look.blackWhite = options.blackWhite;
    // A printed figure draws round solids and surfaces as a textbook does.
    look.style = hidden::LineStyle::Outline;
    const auto figure = [this, &look](double widthMm) { return pictureFigure(look, widthMm); };
    if (PrintFigure(printer, figure, options.report ? m_listing->answers() : QStringList()))
        return true;
    showMessage(core::BoxKind::Error, m_messages.format(lang::msg::kWriteFailed,
                                                        {printer.outputFileName().toStdString()}));
    return false;
}

void TVorn2frm::clearReport() {
    m_listing->clearAnswers();
}

void TVorn2frm::cancelPendingOperation() {
    m_interaction->CancelPendingOperation();
}

void TVorn2frm::showNoObjectError() {
    showMessage(core::BoxKind::Error, m_messages.text(lang::msg::kSelectObjectFirst));
}

void TVorn2frm::toggleToolBar(int t) {
    const auto it = m_toolBars.find(t);
    if (it == m_toolBars.end()) return;
    const QAction* item = m_menus.at("ToolBars")->actions().value(t - tag::FirstToolBar);
    it->second->setVisible(item && item->isChecked());
}

void TVorn2frm::closeFloatingToolBar(FloatingToolBar* bar) {
    for (auto& [t, b] : m_toolBars) {
        if (b != bar) continue;
        if (QAction* item = m_menus.at("ToolBars")->actions().value(t - tag::FirstToolBar))
            item->setChecked(false);
    }
    addToolBar(Qt::TopToolBarArea, bar); // docks it back
    bar->closeAction()->setVisible(false);
    bar->hide();
}

// ---- current file and caption -------------------------------------------------------------

QString TVorn2frm::currentFileName() const {
    return PathFromLocalBytes(m_lesson.currentFile());
}

QString TVorn2frm::resolvedFileName(const QString& name) const {
    // A portable copy keeps its scenes beside it; an installed one cannot write there, so a new
    // scene is named in the user's documents.
    QString base = m_programDir;
    if (QDir(m_dataDir) != QDir(m_programDir)) {
        base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (base.isEmpty() || !QDir(base).exists()) base = QDir::homePath();
    }
    return QDir::cleanPath(QDir(base).absoluteFilePath(name));
}

void TVorn2frm::setCurrentFile(const QString& name) {
    m_lesson.setCurrentFile(LocalBytesOfPath(resolvedFileName(name)));
    updateCaption();
}

void TVorn2frm::updateCaption() {
    // "[*]" is where the modified mark goes; one in the file name is shown as it is.
    QString shown = currentFileName();
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(settings().DrawFName ? shown + QStringLiteral("[*] - ") + m_baseCaption
                                        : m_baseCaption + QStringLiteral("[*]"));
    updateModifiedMark();
}

void TVorn2frm::updateModifiedMark() {
    setWindowModified(scene().sceneModified);
}

// ---- object list ---------------------------------------------------------------------------

void TVorn2frm::refreshObjectList() {
    int row = m_listing->selectedObjectRow();
    if (row < 0) row = 0;
    QStringList captions;
    std::vector<bool> checks;
    for (int k = 2; k <= scene().objectCount(); ++k) {
        captions << qs(core::ListCaption(scene(), k));
        checks.push_back(scene().object(k).visible != 0);
    }
    if (captions.isEmpty())
        row = -1;
    else if (row >= captions.size())
        row = static_cast<int>(captions.size()) - 1;
    m_listing->fillObjects(captions, checks, row);
    followObjectCount();
    selectionChanged();
    updateModifiedMark();
}

void TVorn2frm::selectionChanged() {
    const int row = m_listing->selectedObjectRow();
    if (row < 0) {
        scene().currentObject = -1;
        m_listing->setCharacteristics({});
    } else {
        scene().currentObject = row + 2;
        QStringList lines;
        for (const std::string& line :
             core::ShowObjectReport(scene(), settings(), m_messages, scene().currentObject))
            lines << qs(line);
        m_listing->setCharacteristics(lines);
    }
    updateCommandStates();
    if (m_interaction) m_interaction->currentObjectChanged();
    m_picture->redrawPicture();
}

void TVorn2frm::checksChanged() {
    const SceneSteps::Step step(m_steps.get(), history::StepKind::Visibility);
    const std::vector<bool> marks = m_listing->objectChecks();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const int slot = static_cast<int>(i) + 2;
        if (scene().isUserSlot(slot)) scene().object(slot).visible = marks[i] ? 1 : 0;
    }
    if (halfToneActive()) rebuildHalfTone();
    m_picture->redrawPicture();
}

void TVorn2frm::updateCommandStates() {
    WindowState state;
    state.listHasItems = scene().objectCount() > 1;
    if (scene().isUserSlot(scene().currentObject)) {
        state.currentType = scene().object(scene().currentObject).type;
        state.unfoldable = TNetFrm::CanUnfold(scene().object(scene().currentObject));
    }
    state.sceneFull = scene().isFull();
    state.halfTone = halfToneActive();
    state.degenerateAxis = m_picture->degenerateAxis();
    for (const CommandInfo& c : Commands())
        m_commands.at(c.name)->setEnabled(CommandEnabled(c, state));
    for (const MenuInfo& m : Menus())
        m_menus.at(m.key)->menuAction()->setEnabled(MenuEnabled(m, state));
    m_steps->updateCommands();
}

// ---- closing and keys ----------------------------------------------------------------------

void TVorn2frm::closeEvent(QCloseEvent* event) {
    // A clean exit leaves no recovery file, and autosaves no more.
    const auto cleanExit = qScopeGuard([this, event] {
        if (!event->isAccepted()) return;
        m_lesson.discardRecovery();
        m_lesson.disableRecovery();
    });
    if (!m_lesson.mayDiscardWork()) {
        event->ignore();
        return;
    }
    event->accept();
    saveSettings();
}

bool TVorn2frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_interaction && widget && widget->window() == this) m_interaction->keyReleased();
        if (widget && widget->window() == this && !key->isAutoRepeat() &&
            handleKeyRelease(key->key(), key->modifiers()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TVorn2frm::handleKeyRelease(int key, Qt::KeyboardModifiers mods) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        m_picture->scrollBarHor()->setFocus();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_picture->scrollBarVer()->setFocus();
        return true;
    case Qt::Key_Delete:
        if (m_listing->selectedObjectRow() >= 0 && scene().isUserSlot(scene().currentObject)) {
            const SceneSteps::Step step(m_steps.get(), tag::Delete);
            core::DeleteObject(env(), scene().currentObject, true);
        }
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (!(mods & Qt::KeypadModifier)) return false;
        viewCommand(key == Qt::Key_Plus ? 5 : 6);
        return true;
    default:
        return false;
    }
}

// ---- host ----------------------------------------------------------------------------------

void TVorn2frm::addReportLine(const std::string& line) {
    m_listing->addAnswer(qs(line));
}

void TVorn2frm::setStatus(const std::string& text) {
    m_statLine->setSingleText(qs(text));
}

void TVorn2frm::setHint(const std::string& text) {
    m_infoPanel->setInfo(qs(text));
}

void TVorn2frm::showMessage(core::BoxKind kind, const std::string& text) {
    m_dialogs->messageBox(kind, qs(text), BoxButtons::Ok);
}

bool TVorn2frm::askYesNo(const std::string& text) {
    return m_dialogs->messageBox(core::BoxKind::Confirmation, qs(text), BoxButtons::YesNo) ==
           core::Answer::Yes;
}

core::Answer TVorn2frm::askYesNoCancel(const std::string& text) {
    return m_dialogs->messageBox(core::BoxKind::Confirmation, qs(text), BoxButtons::YesNoCancel);
}

bool TVorn2frm::selectObjects(core::LoadSelection& selection) {
    if (m_addingAll) {
        selection.add = true;
        selection.osiInfo = false;
    } else if (!m_dialogs->selectObjects(selection)) {
        return false;
    }
    m_selectionAdds = selection.add;
    return selection.add || m_lesson.mayDiscardWork();
}

void TVorn2frm::progressBegin(const std::string& text, int maximum) {
    m_progress->begin(qs(text), maximum);
}

void TVorn2frm::progressStep(int position) {
    m_progress->step(position);
}

void TVorn2frm::progressEnd() {
    m_progress->end();
}

bool TVorn2frm::abortRequested() {
    return m_progress->abortRequested();
}

void TVorn2frm::processEvents() {
    // A long operation takes no other input while it runs (its window is modal while shown).
    QApplication::processEvents(m_progress->running() ? QEventLoop::ExcludeUserInputEvents
                                                      : QEventLoop::AllEvents);
}

void TVorn2frm::redrawPicture() {
    m_picture->redrawPicture();
}

void TVorn2frm::applyTurnAngles(int horizontal, int vertical) {
    m_picture->setTurnAngles(horizontal, vertical);
}

} // namespace vorn::app
