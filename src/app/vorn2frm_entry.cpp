// The main window's side of object entry: the three dialogs, their commands and who may use them.
#include "app/calc_frm.h"
#include "app/listing_panel.h"
#include "app/picture_interaction.h"
#include "app/scene_steps.h"
#include "app/vorn2frm.h"

#include "entry_dialogs/entry_commands.h"
#include "entry_dialogs/pir_enter.h"
#include "entry_dialogs/qpoly_frm.h"
#include "entry_dialogs/stand_obj_frm.h"

#include <QListWidget>

namespace vorn::app {

void TVorn2frm::createEntryDialogs() {
    m_pirEnter = new entry::TPirEnter(env(), this);
    m_qpolyFrm = new entry::TQPolyFrm(env(), this);
    m_standObjFrm = new entry::TStandObjFrm(env(), this);
    m_pirEnter->setPolyFrm(m_qpolyFrm);
    registerWindow(m_pirEnter);
    registerWindow(m_qpolyFrm);
    registerWindow(m_standObjFrm);
    connect(m_listing, &ListingPanel::objectDoubleClicked, this, [this] {
        // A double click on the empty list does nothing.
        if (m_listing->selectedObjectRow() >= 0 && scene().isUserSlot(scene().currentObject))
            entryCommand(tag::Edit);
    });
}

void TVorn2frm::connectEntryDialogs() {
    m_interaction->setObjectEditor(
        [this](int slot) { return m_pirEnter->EditObject(slot, false); });
    m_calcFrm->setPolyDrawer([this](PolyDrawRequest& r) {
        std::vector<entry::PolyPoint> points;
        for (const QPointF& p : r.points)
            points.push_back({p.x(), p.y()});
        const QString axes = r.axisLetters.size() >= 2 ? r.axisLetters : QStringLiteral("xy");
        m_qpolyFrm->setup(points, r.capacity, true, r.closed, axes[0], axes[1], r.title);
        if (r.xFrom && r.xTo && r.yFrom && r.yTo)
            m_qpolyFrm->setRange({*r.xFrom, *r.xTo, *r.yFrom, *r.yTo});
        else
            m_qpolyFrm->setup({}, r.capacity, true, r.closed, axes[0], axes[1], r.title);
        if (!m_qpolyFrm->run()) return false;
        r.points.clear();
        for (const entry::PolyPoint& p : m_qpolyFrm->points())
            r.points.emplace_back(p.x, p.y);
        return true;
    });
}

bool TVorn2frm::entryCommand(int t) {
    const SceneSteps::Step step(m_steps.get(), t); // also for a double click on the list
    const int before = scene().objectCount();
    bool created = false;
    if (t >= tag::FirstCreate && t <= tag::LastCreate) {
        created = entry::CreateObject(env(), *m_pirEnter,
                                      static_cast<core::ObjectType>(t - tag::FirstCreate + 1));
    } else if (t == tag::StandObj) {
        created = entry::CreateStandardObject(env(), *m_standObjFrm, *m_pirEnter);
    } else if (t == tag::Edit) {
        if (entry::EditExistingObject(env(), *m_pirEnter, scene().currentObject))
            selectionChanged(); // the characteristics of the edited object
        return true;
    } else {
        return false;
    }
    // The new object becomes the current one.
    if (created && scene().objectCount() > before)
        m_listing->objList()->setCurrentRow(scene().objectCount() - 2);
    return true;
}

} // namespace vorn::app
