// A non-modal window with a text browser over the HTML help document.
#include "app/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vorn::app {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent, Qt::Window) {
    setObjectName("HelpWindow");
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("HelpBrowser");
    m_browser->setOpenExternalLinks(true);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(m_browser->documentTitle()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(820, 640);
}

bool HelpWindow::openFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return false;
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    setWindowTitle(m_browser->documentTitle());
    return true;
}

} // namespace vorn::app
