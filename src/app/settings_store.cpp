// Walk over the dialog's stored controls in creation order.
#include "app/settings_store.h"

#include "app/app_paths.h"
#include "app/radio_group.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>

#include <functional>

namespace vorn::app {

namespace {

const char* const kChecks = "Checks";
const char* const kValues = "Values";
const char* const kRecentFiles = "RecentFiles";

std::string recentKey(int i) {
    return "File" + std::to_string(i + 1);
}

struct Visitor {
    std::function<void(QCheckBox*, const std::string&)> check;
    std::function<void(QLineEdit*, const std::string&)> edit;
    std::function<void(RadioGroup*, const std::string&)> radio;
    std::function<void(QSpinBox*, const std::string&)> spin;
    std::function<void(QScrollBar*, const std::string&)> scroll;
};

void walk(const QWidget* dialog, const Visitor& v) {
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        // Unnamed parts and the toolkit's inner widgets (the spin box's edit) are not controls.
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))) continue;
        const std::string key = name.toStdString();
        if (auto* c = qobject_cast<QCheckBox*>(w))
            v.check(c, key);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            v.edit(e, key);
        else if (auto* r = qobject_cast<RadioGroup*>(w))
            v.radio(r, key);
        else if (auto* s = qobject_cast<QSpinBox*>(w))
            v.spin(s, key);
        else if (auto* b = qobject_cast<QScrollBar*>(w))
            v.scroll(b, key);
    }
}

} // namespace

void WriteDialogControls(lang::IniFile& ini, const QWidget* dialog) {
    auto number = [&ini](const std::string& key, int value) {
        ini.set(kValues, key, std::to_string(value));
    };
    walk(dialog, {[&ini](QCheckBox* c, const std::string& k) {
                      ini.set(kChecks, k, c->isChecked() ? "1" : "0");
                  },
                  [&ini](QLineEdit* e, const std::string& k) {
                      ini.set(kValues, k, e->text().toStdString());
                  },
                  [&](RadioGroup* r, const std::string& k) { number(k, r->itemIndex()); },
                  [&](QSpinBox* s, const std::string& k) { number(k, s->value()); },
                  [&](QScrollBar* b, const std::string& k) { number(k, b->value()); }});
}

void ReadDialogControls(const lang::IniFile& ini, QWidget* dialog) {
    walk(dialog, {[&ini](QCheckBox* c, const std::string& k) {
                      c->setChecked(ini.intValue(kChecks, k, c->isChecked() ? 1 : 0) != 0);
                  },
                  [&ini](QLineEdit* e, const std::string& k) {
                      if (auto v = ini.get(kValues, k)) e->setText(QString::fromStdString(*v));
                  },
                  [&ini](RadioGroup* r, const std::string& k) {
                      // An item the group lacks would leave none chosen, and be stored so again.
                      const int i = ini.intValue(kValues, k, r->itemIndex());
                      r->setItemIndex(i >= 0 && i < r->count() ? i : r->defaultIndex());
                  },
                  [&ini](QSpinBox* s, const std::string& k) {
                      s->setValue(ini.intValue(kValues, k, s->value()));
                  },
                  [&ini](QScrollBar* b, const std::string& k) {
                      b->setValue(ini.intValue(kValues, k, b->value()));
                  }});
}

QStringList WithRecentFile(QStringList list, const QString& path) {
    std::vector<std::string> names;
    for (const QString& name : std::as_const(list))
        names.push_back(LocalBytesOfPath(name));
    QStringList result;
    for (const std::string& name : lesson::WithRecentFile(std::move(names), LocalBytesOfPath(path)))
        result << PathFromLocalBytes(name);
    return result;
}

void WriteRecentFiles(lang::IniFile& ini, const QStringList& files) {
    for (int i = 0; i < kRecentFileCount; ++i)
        ini.set(kRecentFiles, recentKey(i), i < files.size() ? PathToStoredText(files[i]) : "");
}

QStringList ReadRecentFiles(const lang::IniFile& ini) {
    QStringList files;
    // Read backwards through WithRecentFile, so that a hand-edited file with repeated or
    // missing entries still gives a list the menu can show.
    for (int i = kRecentFileCount - 1; i >= 0; --i) {
        const std::string text = ini.value(kRecentFiles, recentKey(i), "");
        if (!text.empty()) files = WithRecentFile(files, PathFromStoredText(text));
    }
    return files;
}

} // namespace vorn::app
