// The main window's ways to a scene file besides the open dialog: files dropped on the window
// and the "Файл" menu's list of the scenes last opened or saved.
#include "app/app_paths.h"
#include "app/settings_store.h"
#include "app/vorn2frm.h"

#include "lang/message_ids.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

namespace vorn::app {

namespace {

// The local scene files among dropped URLs. A file manager percent-encodes the name's bytes,
// which are taken as they are: decoding them as UTF-8 would change a name that is not.
QStringList DroppedSceneFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        const QString name = PathFromLocalBytes(std::string_view(bytes.constData(), bytes.size()));
        if (name.endsWith(QStringLiteral(".v3d"), Qt::CaseInsensitive)) files << name;
    }
    return files;
}

// A menu item's text shows '&' as it is and puts the shortcut digit in front.
QString RecentCaption(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace

void TVorn2frm::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy() && !DroppedSceneFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TVorn2frm::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedSceneFiles(event->mimeData());
    if (busy() || files.isEmpty()) return;
    event->acceptProposedAction();
    // The dragging program waits until the drop returns: the question must not keep it waiting.
    QTimer::singleShot(0, this, [this, files] { openSceneFiles(files); });
}

void TVorn2frm::openSceneFiles(const QStringList& names) {
    if (names.isEmpty()) return;
    ++m_dispatching;
    const auto leave = qScopeGuard([this] { --m_dispatching; });
    // One file takes the scene's place; several are added to it, which loses nothing.
    if (names.size() == 1) {
        if (m_lesson.mayDiscardWork()) loadScene(names.front(), false, true);
    } else if (askYesNo(m_messages.format(lang::msg::kAskAddDroppedFiles,
                                          {std::to_string(names.size())}))) {
        // Each file goes the way of a selective load that keeps every object and adds it.
        m_addingAll = true;
        const auto done = qScopeGuard([this] { m_addingAll = false; });
        for (const QString& name : names)
            loadScene(name, true, true);
    }
    updateModifiedMark();
    m_picture->redrawPicture();
}

QStringList TVorn2frm::recentFiles() const {
    QStringList files;
    for (const std::string& name : m_lesson.recentFiles())
        files << PathFromLocalBytes(name);
    return files;
}

void TVorn2frm::openRecentFile(int index) {
    const QStringList files = recentFiles();
    if (index < 0 || index >= files.size()) return;
    // The list changes as the file loads.
    const QString name = files[index];
    ++m_dispatching;
    const auto leave = qScopeGuard([this] { --m_dispatching; });
    if (m_lesson.mayDiscardWork()) loadScene(name, false, true);
    updateModifiedMark();
    m_picture->redrawPicture();
}

void TVorn2frm::rememberFile(const QString& name) {
    m_lesson.rememberFile(LocalBytesOfPath(name));
    rebuildRecentMenu();
}

void TVorn2frm::rebuildRecentMenu() {
    QMenu* file = m_menus.at("File");
    // An item may be the one whose click is being handled, so it goes only later.
    for (QAction* item : std::as_const(m_recentItems)) {
        file->removeAction(item);
        item->deleteLater();
    }
    m_recentItems.clear();
    const QStringList files = recentFiles();
    if (files.isEmpty()) return;
    QAction* exit = command("Exit");
    m_recentItems << file->insertSeparator(exit);
    // The items have no name: the language files leave file names alone.
    for (int i = 0; i < files.size(); ++i) {
        auto* item = new QAction(RecentCaption(i, files[i]), file);
        item->setStatusTip(QDir::toNativeSeparators(files[i]));
        connect(item, &QAction::triggered, this, [this, i] { openRecentFile(i); });
        file->insertAction(exit, item);
        m_recentItems << item;
    }
    m_recentItems << file->insertSeparator(exit);
}

} // namespace vorn::app
