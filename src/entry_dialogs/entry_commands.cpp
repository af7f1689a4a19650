// Creating and editing objects through the entry dialogs, as the main window's commands do.
#include "entry_dialogs/entry_commands.h"

#include "entry_dialogs/pir_enter.h"
#include "entry_dialogs/stand_obj_frm.h"
#include "lang/message_ids.h"
#include "surfaces/standard_objects.h"

namespace vorn::entry {

namespace {

// The dialog on a slot just appended: kept and reported when confirmed, else given back.
bool confirmNewObject(core::Env& env, TPirEnter& dialog, int slot) {
    const bool created = dialog.EditObject(slot, false);
    if (created) {
        env.host.addReportLine(env.msg(lang::msg::kCreatedObject) +
                               core::DisplayName(env.scene, slot) + "\"");
    } else {
        core::DropLastObject(env.scene);
    }
    env.scene.observer().refreshObjectList();
    env.scene.observer().redrawPicture();
    return created;
}

} // namespace

bool CreateObject(core::Env& env, TPirEnter& dialog, core::ObjectType kind) {
    const int slot = core::AppendObject(env.scene, kind);
    if (slot == 0) return false;
    TPirEnter::SetNewObjectDefaults(env.scene.object(slot));
    return confirmNewObject(env, dialog, slot);
}

bool EditExistingObject(core::Env& env, TPirEnter& dialog, int slot) {
    if (!env.scene.isUserSlot(slot)) {
        env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kSelectObjectFirst));
        return false;
    }
    const bool edited = dialog.EditObject(slot, false);
    env.scene.observer().refreshObjectList();
    return edited;
}

bool CreateStandardObject(core::Env& env, TStandObjFrm& standard, TPirEnter& dialog) {
    expr::ExpressionEngine engine;
    while (!env.scene.isFull()) {
        if (standard.exec() != QDialog::Accepted) return false;
        surf::StandardMeasures measures;
        if (!standard.measures(measures)) {
            env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kBadNumberOrExpression));
            continue;
        }
        const int slot =
            surf::CreateStandardObject(env, engine, measures, standard.pageCaption().toStdString());
        if (slot == 0) continue; // the engine has shown message 14 and given the slot back
        return confirmNewObject(env, dialog, slot);
    }
    return false;
}

} // namespace vorn::entry
