// What the driver does inside a window it did not open itself: menus, modal windows, and any
// control of a window (typing, clicking, dragging, choosing).
#include "soak_driver.h"
#include "soak_helpers.h"

#include "app/progress_frm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <algorithm>

namespace vorn::soak {

namespace {

// Types any characters: QTest's own typing knows only ASCII.
void typeText(QWidget* w, const QString& text) {
    QPointer<QWidget> alive(w);
    for (const QChar c : text) {
        if (!alive) return;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The controls a user types into, clicks or drags; labels and plain frames are left out.
bool interactive(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QTabBar*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
        qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w))
        return true;
    // The program's own widgets (grids, key pads, pictures) take the mouse themselves.
    return w->metaObject()->className()[0] != 'Q';
}

} // namespace

void Driver::actPopup(QWidget* popup) {
    auto* menu = qobject_cast<QMenu*>(popup);
    std::vector<QAction*> actions;
    if (menu)
        for (QAction* a : menu->actions())
            if (a->isEnabled() && !a->isSeparator() && !a->menu()) actions.push_back(a);
    if (actions.empty() || chance(0.4)) {
        note("popup", "close " + describe(popup));
        popup->close();
        return;
    }
    QAction* a = pickOne(actions);
    note("popup", "choose " + str(a->text()));
    popup->close();
    a->trigger();
}

void Driver::actModal(QWidget* modal) {
    static QPointer<QWidget> last;
    static int count = 0, limit = 0;
    if (last != modal) {
        last = modal;
        count = 0;
        limit = 2 + pick(25);
        const QString name = QString::fromLatin1(modal->metaObject()->className());
        if (!m_stats.modalsSeen.contains(name)) m_stats.modalsSeen << name;
    }
    ++count;
    if (count > limit) {
        note("modal", "close " + describe(modal));
        closeModal(modal, count > limit + 20);
        return;
    }
    const double r = roll();
    if (r < 0.07) {
        note("modal", "escape in " + describe(modal));
        QTest::keyClick(modal, Qt::Key_Escape);
    } else if (r < 0.2) {
        // The button that confirms: its name or caption says so, or it is the default.
        std::vector<QAbstractButton*> ok;
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || !b->isEnabled()) continue;
            const QString n = b->objectName().toLower(), t = b->text();
            auto* push = qobject_cast<QPushButton*>(b);
            if (n.contains("ok") || n.contains("accept") || (push && push->isDefault()) ||
                t == "Виконати" || t == "Запам'ятати" || t == "Завантажити" || t == "OK" ||
                t == "Так" || t == "Згода")
                ok.push_back(b);
        }
        note("modal", "confirm " + describe(modal));
        if (ok.empty())
            QTest::keyClick(modal, Qt::Key_Return);
        else
            pickOne(ok)->click();
    } else {
        note("modal", "use " + describe(modal));
        actOnWindow(modal);
    }
}

void Driver::closeModal(QWidget* modal, bool force) {
    // The progress window goes when its operation ends; the user can only ask it to stop.
    if (auto* progress = qobject_cast<app::TProgressFrm*>(modal)) {
        if (progress->stopButton()->isEnabled()) progress->stopButton()->click();
        return;
    }
    // The surface-value question cannot be cancelled (it is asked again until a number is
    // given), so a number ends it.
    if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        input->setTextValue(QString::number(pick(5)));
        input->accept();
        return;
    }
    if (!force) {
        QTest::keyClick(modal, Qt::Key_Escape);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
    if (modal->isVisible()) modal->hide();
}

void Driver::actOnWindow(QWidget* window) {
    QList<QWidget*> candidates;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && w->window() == window && interactive(w))
            candidates << w;
    if (candidates.isEmpty()) return;
    actOnWidget(pickOne(candidates));
}

void Driver::actOnWidget(QWidget* w) {
    QPointer<QWidget> alive(w);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        note("widget", "click " + describe(b) + " \"" + str(b->text()) + "\"");
        b->click();
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString text = randomText();
        note("widget", "type into " + describe(e) + ": " + str(text.left(40)));
        e->setFocus();
        if (chance(0.6)) e->selectAll();
        if (text.size() > 60)
            e->insert(text);
        else
            typeText(e, text);
        if (alive && chance(0.35)) QTest::keyClick(e, Qt::Key_Return);
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        const int span = s->maximum() - s->minimum();
        const int v = chance(0.7) ? s->minimum() + pick(std::min(span, 20) + 1)
                                  : s->minimum() + pick(span + 1);
        note("widget", "set " + describe(s) + " to " + std::to_string(v));
        s->setValue(v);
    } else if (auto* d = qobject_cast<QDoubleSpinBox*>(w)) {
        note("widget", "set " + describe(d));
        d->setValue(d->minimum() + (d->maximum() - d->minimum()) * pick(1001) / 1000.0);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable() && chance(0.4)) {
            note("widget", "type into " + describe(c));
            c->setEditText(randomText());
        } else if (c->count() > 0) {
            note("widget", "choose in " + describe(c));
            c->setCurrentIndex(pick(c->count()));
        }
    } else if (auto* t = qobject_cast<QTabBar*>(w)) {
        note("widget", "tab of " + describe(t));
        if (t->count() > 0) t->setCurrentIndex(pick(t->count()));
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        if (table->rowCount() == 0 || table->columnCount() == 0) return;
        const int row = pick(table->rowCount()), col = pick(table->columnCount());
        if (chance(0.7)) {
            const QString text = randomText();
            note("widget", "cell " + std::to_string(row) + "," + std::to_string(col) + " of " +
                               describe(table) + ": " + str(text.left(40)));
            QTableWidgetItem* item = table->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(row, col, item);
            }
            if (item->flags() & Qt::ItemIsEditable) item->setText(text);
        } else {
            note("widget", "select a cell of " + describe(table));
            table->setCurrentCell(row, col);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (list->count() == 0) {
            note("widget", "click the empty " + describe(list));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            return;
        }
        QListWidgetItem* item = list->item(pick(list->count()));
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        const double r = roll();
        if (r < 0.45) {
            note("widget", "click an item of " + describe(list));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (r < 0.75 && (item->flags() & Qt::ItemIsUserCheckable)) {
            note("widget", "check an item of " + describe(list));
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        } else if (r < 0.85) {
            note("widget", "double click an item of " + describe(list));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (alive) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else {
            note("widget", "keys in " + describe(list));
            list->setFocus();
            QTest::keyClick(list, chance(0.5) ? Qt::Key_Down : Qt::Key_Up);
        }
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        note("widget", "click in " + describe(view));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, randomPoint(w));
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        note("widget", "move " + describe(slider));
        setAnywhere(slider);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        note("widget", "type into " + describe(text));
        if (!text->isReadOnly()) typeText(text, randomText().left(60));
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        note("widget", "scroll " + describe(rich));
        setAnywhere(rich->verticalScrollBar());
    } else {
        const double r = roll();
        if (r < 0.5) {
            note("widget", "click on " + describe(w));
            QTest::mouseClick(w, chance(0.8) ? Qt::LeftButton : Qt::RightButton, {},
                              randomPoint(w));
        } else if (r < 0.85) {
            note("widget", "drag on " + describe(w));
            QTest::mousePress(w, Qt::LeftButton, {}, randomPoint(w));
            for (int i = 0, n = 1 + pick(4); i < n && alive; ++i)
                QTest::mouseMove(w, randomPoint(w));
            if (alive) QTest::mouseRelease(w, Qt::LeftButton, {}, randomPoint(w));
        } else {
            note("widget", "double click on " + describe(w));
            QTest::mouseDClick(w, Qt::LeftButton, {}, randomPoint(w));
        }
    }
}

} // namespace vorn::soak
