// Shared set-up of the dialog tests: a scene with a scripted host, the dialogs, typing helpers.
#pragma once

#include "core/scene.h"
#include "entry_dialogs/entry_widgets.h"
#include "entry_dialogs/pir_enter.h"
#include "entry_dialogs/qpoly_frm.h"
#include "entry_dialogs/stand_obj_frm.h"
#include "env_fixture.h"
#include "fake_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vorn::test {

class DialogTest : public ::testing::Test, public vorn::test::EnvFixture {
  protected:
    void SetUp() override { dialog.setPolyFrm(&polyFrm); }
    void TearDown() override { dialog.hide(); }

    template <class T> T* find(QWidget* in, const char* name) {
        T* w = in->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    entry::EntryCombo* field(const char* name) { return find<entry::EntryCombo>(&dialog, name); }

    // A new object of `kind` with the dialog shown on it, as a creation command leaves it.
    int open(core::ObjectType kind) {
        const int slot = core::AppendObject(scene, kind);
        dialog.load(slot);
        dialog.show();
        return slot;
    }
    // Replaces a field's text keystroke by keystroke, as the user types it.
    void type(const char* name, const QString& text) {
        QLineEdit* edit = field(name)->lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void leave(const char* name) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field(name)->lineEdit(), &out);
    }
    void click(QWidget* in, const char* button) {
        QTest::mouseClick(find<QAbstractButton>(in, button), Qt::LeftButton);
    }
    // Runs `action` as soon as `window` is shown modally; a test never hangs on a dialog.
    static void whenShown(QWidget* window, std::function<void()> action) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, window, action] {
            if (!window->isVisible()) return;
            timer->stop();
            timer->deleteLater();
            action();
            // A dialog that the action could not close fails the test instead of hanging it.
            QTimer::singleShot(3000, window, [window] {
                if (!window->isVisible()) return;
                ADD_FAILURE() << "dialog left open";
                window->close();
            });
        });
        timer->start(5);
    }

    entry::TQPolyFrm polyFrm{env};
    entry::TPirEnter dialog{env};
};

} // namespace vorn::test
