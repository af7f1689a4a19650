// Qt's catalogues ("qt_uk.qm" and the like) loaded from where Qt keeps its translations.
#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace vorn::app {

namespace {

struct State {
    QPointer<QTranslator> translator;
    QString locale = QString::fromLatin1(kBuiltinLocale);
    bool translated = false;
};

State& state() {
    static State s;
    return s;
}

} // namespace

bool UseQtTranslation(const QString& locale) {
    State& s = state();
    s.locale = locale;
    delete s.translator; // a translator leaves the application when it is destroyed
    s.translated = QLocale(locale).language() == QLocale::English;
    if (s.translated || !QCoreApplication::instance()) return s.translated;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // "qt_<lang>.qm" gathers the catalogues of Qt's modules.
    if (translator->load(QLocale(locale), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        s.translator = translator;
        s.translated = true;
    } else {
        delete translator;
    }
    return s.translated;
}

QString QtTranslationLocale() {
    return state().locale;
}

bool QtTextsTranslated() {
    return state().translated;
}

} // namespace vorn::app
