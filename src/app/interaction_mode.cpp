// What every mode of the picture shares: a left press starts a drag where one may start.
#include "app/interaction_mode.h"

#include "app/command_table.h"
#include "app/picture_interaction.h"

#include <QAction>

namespace vorn::app {

void InteractionMode::pressed(Qt::MouseButton button) {
    if (button == Qt::LeftButton) m_part.startDrag();
}

const char* CommandName(int tag) {
    for (const CommandInfo& c : Commands())
        if (c.tag == tag) return c.name;
    return nullptr;
}

QString CommandCaption(const QAction* action) {
    QString text = action ? action->text() : QString();
    text.remove(QLatin1Char('&'));
    return text;
}

} // namespace vorn::app
