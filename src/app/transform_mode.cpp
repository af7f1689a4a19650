// A transformation by dragging: the mode names it; the drags themselves are DragMode's.
#include "app/transform_mode.h"

#include "app/command_table.h"
#include "app/picture_interaction.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"

namespace vorn::app {

TransformMode::TransformMode(PictureInteraction& part, int transformation)
    : InteractionMode(part), m_transformation(transformation) {
    m_heading = CommandCaption(part.window().command(command())) + ": ";
}

const char* TransformMode::command() const {
    return CommandName(tag::FirstMode + m_transformation - 1);
}

QString TransformMode::prompt() const {
    return QString::fromStdString(m_part.window().messages().text(lang::msg::kDragObject));
}

PictureCursor TransformMode::cursorOver(const pic::Pick& pick) const {
    return m_transformation != 4 || pick.vertex2 == 0 ? PictureCursor::Drag : PictureCursor::Target;
}

} // namespace vorn::app
