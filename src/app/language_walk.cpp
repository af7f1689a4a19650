// One walk over windows, components and messages, used in both directions.
#include "app/language_walk.h"

#include "app/file_dialog_text.h"
#include "app/icons.h"
#include "app/qt_translation.h"
#include "app/radio_group.h"
#include "lang/language_file.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <climits>

#include <functional>

namespace vorn::app {

namespace {

const char* const kExcluded = "vornNoLanguage";

class Walk {
  public:
    Walk(const lang::IniFile* in, lang::IniFile* out) : m_in(in), m_out(out) {}

    void setSection(const QString& section) { m_section = section.toStdString(); }

    // One text: exported as it is, or replaced by the file's value when the key is there.
    void text(const std::string& section, const QString& key, const QString& current,
              const std::function<void(const QString&)>& set) {
        const std::string k = key.toStdString();
        std::string value = current.toStdString();
        if (m_out) {
            lang::exportText(*m_out, section, k, value);
            return;
        }
        const std::string before = value;
        lang::applyText(*m_in, section, k, value);
        if (value != before) set(QString::fromStdString(value));
    }
    void text(const QString& key, const QString& current,
              const std::function<void(const QString&)>& set) {
        text(m_section, key, current, set);
    }

    void window(QWidget* w) {
        setSection(w->objectName());
        const QString name = w->objectName();
        if (auto* c = dynamic_cast<LanguageCaption*>(w))
            text("INFO", name, c->languageCaption(),
                 [c](const QString& v) { c->setLanguageCaption(v); });
        else
            text("INFO", name, w->windowTitle(), [w](const QString& v) { w->setWindowTitle(v); });
        children(w);
    }

  private:
    void children(QObject* parent) {
        QObjectList list = parent->children();
        // Pages of a tab control go in the order of their tabs.
        if (auto* stack = qobject_cast<QStackedWidget*>(parent))
            std::stable_sort(list.begin(), list.end(), [stack](QObject* a, QObject* b) {
                auto index = [stack](QObject* o) {
                    auto* w = qobject_cast<QWidget*>(o);
                    const int i = w ? stack->indexOf(w) : -1;
                    return i < 0 ? INT_MAX : i;
                };
                return index(a) < index(b);
            });
        for (QObject* child : list) {
            auto* widget = qobject_cast<QWidget*>(child);
            // Other windows have their own sections; a menu's popup belongs to its owner.
            if (widget && widget->isWindow() && !qobject_cast<QMenu*>(widget)) continue;
            component(child);
            children(child);
        }
    }

    void component(QObject* o) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) ||
            o->property(kExcluded).toBool())
            return;
        const QString dot = name + QLatin1Char('.');
        if (auto* action = qobject_cast<QAction*>(o)) {
            text(dot + "caption", action->text(),
                 [action](const QString& v) { action->setText(v); });
            text(dot + "hint", action->statusTip(), [action](const QString& v) {
                action->setStatusTip(v);
                action->setToolTip(v);
            });
            return;
        }
        if (auto* dialog = qobject_cast<FileDialogText*>(o)) {
            text(dot + "caption", dialog->title, [dialog](const QString& v) { dialog->title = v; });
            text(dot + "Filter", dialog->filter,
                 [dialog](const QString& v) { dialog->filter = v; });
            return;
        }
        auto* w = qobject_cast<QWidget*>(o);
        // A menu's texts are those of its menu item, a child of the menu.
        if (!w || qobject_cast<QMenu*>(w)) return;
        // A floating tool bar shows its title.
        if (auto* bar = qobject_cast<QToolBar*>(w))
            text(dot + "caption", bar->windowTitle(),
                 [bar](const QString& v) { bar->setWindowTitle(v); });
        caption(w, dot);
        const QString hint = w->toolTip().isEmpty() ? w->statusTip() : w->toolTip();
        text(dot + "hint", hint, [w](const QString& v) {
            w->setToolTip(v);
            w->setStatusTip(v);
        });
        // The letters drawn on a tool button's picture.
        if (auto* button = qobject_cast<QToolButton*>(w))
            if (QAction* a = button->defaultAction(); a && HasIconLetters(a))
                text(dot + "icon", IconLetters(a), [a](const QString& v) { SetIconLetters(a, v); });
        items(w, dot);
    }

    void caption(QWidget* w, const QString& dot) {
        const QString key = dot + "caption";
        if (auto* page = tabPage(w)) {
            const int i = page->indexOf(w);
            text(key, page->tabText(i), [page, i](const QString& v) { page->setTabText(i, v); });
            // A tab sheet's hint is the hint of its tab.
            if (!page->tabToolTip(i).isEmpty())
                text(dot + "hint", page->tabToolTip(i),
                     [page, i](const QString& v) { page->setTabToolTip(i, v); });
        } else if (auto* b = qobject_cast<QAbstractButton*>(w);
                   b && !qobject_cast<QToolButton*>(w)) {
            text(key, b->text(), [b](const QString& v) { b->setText(v); });
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            text(key, l->text(), [l](const QString& v) { l->setText(v); });
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            text(key, g->title(), [g](const QString& v) { g->setTitle(v); });
        }
    }

    void items(QWidget* w, const QString& dot) {
        if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i) {
                QListWidgetItem* item = list->item(i);
                text(dot + QString::number(i + 1), item->text(),
                     [item](const QString& v) { item->setText(v); });
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                text(dot + QString::number(i + 1), combo->itemText(i),
                     [combo, i](const QString& v) { combo->setItemText(i, v); });
        } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
            for (int i = 0; i < group->count(); ++i)
                text(dot + QString::number(i + 1), group->itemText(i),
                     [group, i](const QString& v) { group->setItemText(i, v); });
        }
    }

    static QTabWidget* tabPage(QWidget* w) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        return tabs && tabs->indexOf(w) >= 0 ? tabs : nullptr;
    }

    const lang::IniFile* m_in;
    lang::IniFile* m_out;
    std::string m_section;
};

} // namespace

void ExcludeFromLanguage(QObject* component) {
    component->setProperty(kExcluded, true);
}

void WindowRegistry::add(QWidget* window) {
    m_windows.removeAll(QPointer<QWidget>());
    if (!m_windows.contains(window)) m_windows << window;
}

QList<QWidget*> WindowRegistry::windows() const {
    QList<QWidget*> known, others;
    for (const char* name : kWindowOrder)
        for (const QPointer<QWidget>& w : m_windows)
            if (w && w->objectName() == QLatin1String(name)) known << w.data();
    for (const QPointer<QWidget>& w : m_windows)
        if (w && !known.contains(w.data())) others << w.data();
    return known + others;
}

void ExportLanguage(lang::IniFile& ini, const QList<QWidget*>& windows,
                    const lang::MessageTable& messages) {
    lang::exportHeader(ini);
    lang::exportText(ini, "INFO", kLocaleKey, QtTranslationLocale().toStdString());
    lang::exportButtonsAndCaptions(ini, messages);
    Walk walk(nullptr, &ini);
    for (QWidget* w : windows)
        walk.window(w);
    lang::exportMessages(ini, messages);
}

void ApplyLanguage(const lang::IniFile& ini, const QList<QWidget*>& windows,
                   lang::MessageTable& messages, std::string& helpFile) {
    helpFile = ini.value("INFO", "HelpFile", helpFile);
    // Qt's own dialogs follow; a file that names no language leaves them as they are.
    if (const auto locale = ini.get("INFO", kLocaleKey); locale && !locale->empty())
        UseQtTranslation(QString::fromStdString(*locale));
    lang::applyButtonsAndCaptions(ini, messages);
    Walk walk(&ini, nullptr);
    for (QWidget* w : windows)
        walk.window(w);
    lang::applyMessages(ini, messages);
}

} // namespace vorn::app
