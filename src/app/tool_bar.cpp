// Floating tool bars get a close button, since the toolkit's floating frame has none.
#include "app/tool_bar.h"

#include <QAction>
#include <QEvent>
#include <QStyle>

namespace vorn::app {

FloatingToolBar::FloatingToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setFloatable(true);
    setMovable(true);
    m_close = new QAction(style()->standardIcon(QStyle::SP_TitleBarCloseButton),
                          QStringLiteral("Закрити"), this);
    m_close->setObjectName("CloseFloating");
    m_close->setVisible(false);
    connect(m_close, &QAction::triggered, this, [this] { Q_EMIT floatingClosed(); });
    connect(this, &QToolBar::topLevelChanged, m_close, &QAction::setVisible);
}

void FloatingToolBar::addCloseButton() {
    addAction(m_close);
}

bool FloatingToolBar::event(QEvent* e) {
    // A window manager may still offer to close the floating frame.
    if (e->type() == QEvent::Close && isFloating()) {
        e->ignore();
        Q_EMIT floatingClosed();
        return true;
    }
    return QToolBar::event(e);
}

} // namespace vorn::app
