// The soak's answers to the program's questions.
#pragma once

#include "soak_driver.h"
#include "soak_helpers.h"

#include "app/user_dialogs.h"
#include "app/vorn2frm.h"
#include "lang/message_ids.h"

#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <functional>

namespace vorn::soak {

// File names come from the driver; message boxes and the object selection are answered at
// random, sometimes by the real windows (which the driver then works like any modal window).
class SoakDialogs : public app::UserDialogs {
  public:
    SoakDialogs(Driver& driver, app::TVorn2frm& window)
        : m_driver(driver), m_window(window), m_real(&window, window.messages()) {}

    QString openFileName(const QString&, const QString&, const QString&, const QString&) override {
        if (m_driver.chance(0.08)) return {};
        return m_driver.nextInput();
    }
    QString saveFileName(const QString&, const QString&, const QString& suffix,
                         const QString&) override {
        ++saveDialogs;
        if (m_driver.chance(0.08)) {
            saveCancelled = true;
            return {};
        }
        return m_driver.nextSaveName(suffix == QLatin1String("txt"));
    }
    core::Answer messageBox(core::BoxKind kind, const QString& text,
                            app::BoxButtons buttons) override {
        checkWriteFailure(text);
        if (!scriptedOnly && m_driver.chance(0.2)) {
            ++m_driver.m_stats.realBoxes;
            return m_real.messageBox(kind, text, buttons);
        }
        ++m_driver.m_stats.scriptedBoxes;
        if (buttons == app::BoxButtons::Ok) return core::Answer::Yes;
        switch (m_driver.pick(buttons == app::BoxButtons::YesNo ? 2 : 3)) {
        case 0:
            return core::Answer::Yes;
        case 1:
            return core::Answer::No;
        default:
            return core::Answer::Cancel;
        }
    }
    bool selectObjects(core::LoadSelection& selection) override {
        if (!scriptedOnly && m_driver.chance(0.3)) return m_real.selectObjects(selection);
        if (m_driver.chance(0.1)) return false;
        for (std::size_t i = 0; i < selection.checked.size(); ++i)
            selection.checked[i] = m_driver.chance(0.7);
        selection.osiInfo = m_driver.chance(0.5);
        selection.add = m_driver.chance(0.5);
        return true;
    }
    // Never the desktop: the run must not start other programs.
    void openDocument(const QString&, const std::function<void()>& failed) override {
        if (m_driver.chance(0.5)) failed();
    }

    bool scriptedOnly = false;
    long saveDialogs = 0;
    bool saveCancelled = false;
    long writeFailures = 0;

  private:
    // Message 142 names a file that could not be written: only the driver's broken names may.
    void checkWriteFailure(const QString& text) {
        const QString pattern =
            QString::fromStdString(m_window.messages().text(lang::msg::kWriteFailed));
        const qsizetype hole = pattern.indexOf(QLatin1String("%s"));
        if (hole < 0) return;
        const QString head = pattern.left(hole), tail = pattern.mid(hole + 2);
        if (!text.startsWith(head) || !text.endsWith(tail)) return;
        ++writeFailures;
        const QString path = text.mid(head.size(), text.size() - head.size() - tail.size());
        if (path.contains(QLatin1String("/missing/")) || QFileInfo(path).isDir()) {
            ++m_driver.m_stats.writeFailuresExpected;
            return;
        }
        m_driver.fail("a save into the run's folder failed: " + str(text));
    }

    Driver& m_driver;
    app::TVorn2frm& m_window;
    app::WidgetDialogs m_real;
};

} // namespace vorn::soak
