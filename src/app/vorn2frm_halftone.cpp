// The main window's half-tone mode: switching, rebuilding and the view it follows.
#include "app/picture_interaction.h"
#include "app/vorn2frm.h"

#include "lang/message_ids.h"
#include "picture/gl_bar.h"
#include "view/halftone_scene.h"
#include "view/halftone_view.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QGridLayout>

namespace vorn::app {

bool TVorn2frm::toggleHalfTone() {
    if (!m_halfTone && !m_glBar) {
        // Created only where a context can be had: elsewhere the widget itself would crash.
        QString why;
        if (!pic::HalfToneOpenGLAvailable(&why)) {
            showMessage(core::BoxKind::Error, m_messages.text(lang::msg::kNoOpenGL));
            command("HalfTone")->setChecked(false);
            return false;
        }
        m_glBar = new pic::TGLBar(m_picture);
        m_glBar->hide();
        // It takes the place of the wire-frame field, between the two scroll bars.
        if (auto* grid = qobject_cast<QGridLayout*>(m_picture->layout()))
            grid->addWidget(m_glBar, 0, 0);
        connect(m_picture, &pic::PicturePanel::viewChanged, this, &TVorn2frm::halfToneViewChanged);
    }
    m_halfTone = !m_halfTone;
    ApplyHalfToneMode();
    return true;
}

void TVorn2frm::switchHalfToneOff() {
    if (!m_halfTone) return;
    m_halfTone = false;
    ApplyHalfToneMode();
}

void TVorn2frm::ApplyHalfToneMode() {
    if (m_interaction) m_interaction->CancelPendingOperation();
    m_picture->place()->setVisible(!m_halfTone);
    if (m_glBar) m_glBar->setVisible(m_halfTone);
    command("HalfTone")->setChecked(m_halfTone);
    updateCommandStates();
    if (m_halfTone) {
        setHint(m_messages.text(lang::msg::kHalftoneReturnHint));
        rebuildHalfTone();
    } else {
        setHint({});
    }
    m_picture->redrawPicture();
}

void TVorn2frm::rebuildHalfTone() {
    if (!m_halfTone || !m_glBar) return;
    const auto& p = settings().lightPosition;
    m_glBar->Lighting1().setPosition(float(p[0]), float(p[1]), float(p[2]));
    m_glBar->Lighting2().setPosition(float(p[3]), float(p[4]), float(p[5]));
    expr::ExpressionEngine engine;
    // The surfaces' loops let events run behind the progress window. Disabling the whole window
    // instead would re-enable every submenu afterwards, the measuring ones too.
    pic::HalfToneScene scene = pic::BuildHalfToneScene(env(), engine);
    if (scene.stopped) {
        // "Припинити" on a surface: its half-built list is not shown, the wire-frame is.
        addReportLine(m_messages.text(lang::msg::kOperationNotFinished));
        switchHalfToneOff();
        return;
    }
    m_glBar->setScene(std::move(scene));
    halfToneViewChanged();
}

void TVorn2frm::halfToneViewChanged() {
    if (!m_halfTone || !m_glBar) return;
    pic::HalfToneTransform t = m_glBar->transform();
    pic::HalfToneView(m_picture->view(), t);
    m_glBar->setTransform(t);
}

void TVorn2frm::followObjectCount() {
    if (m_halfTone && m_glBar && m_glBar->CountObjects() != scene().objectCount())
        rebuildHalfTone();
}

} // namespace vorn::app
