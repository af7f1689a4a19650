// Qt's catalogues ("qt_uk.qm" and the like) loaded from where Qt keeps its translations, and
// the program's own texts for what they lack.
#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <cstring>
#include <string_view>

namespace vorn::app {

namespace {

struct GapText {
    const char* source;
    const char* text;
};

// Texts of Qt's print dialog that came with Qt 6 and that older catalogues (Debian's of Qt 6.4
// among them) do not have, so that "Pages" and "Double Sided Printing" stood in English among
// Ukrainian ones. They are Qt's source texts, whichever of the dialog's parts asks.
constexpr GapText kUkrainian[] = {
    {"Pages", "Сторінки"},
    {"Specify pages or ranges separated by commas. Ranges are specified by two numbers separated "
     "by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Сторінки або діапазони через кому; діапазон — два числа через дефіс. Напр.: 3,5-7,9 "
     "друкує сторінки 3, 5, 6, 7 і 9."},
    {"Double Sided Printing", "Двосторонній друк"},
    {"Off", "Вимкнено"},
    {"Long side binding", "Зшивання по довгому краю"},
    {"Short side binding", "Зшивання по короткому краю"},
    {"Advanced", "Додатково"},
    {"There are conflicts in some options. Please fix them.",
     "Деякі параметри суперечать одне одному. Виправте їх."},
    {"Invalid Pages Definition", "Неправильно вказано сторінки"},
    {"%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to "
     "define ranges and make sure ranges do not intersect with each other.",
     "%1 записано неправильно. Відокремлюйте сторінки й діапазони комою «,», діапазон "
     "задавайте дефісом «-», і діапазони не мають перетинатися."},
    {"Page Setup Conflicts", "Суперечності в параметрах сторінки"},
    {"There are conflicts in page setup options. Do you want to fix them?",
     "Параметри сторінки суперечать одне одному. Виправити їх?"},
    {"Advanced Option Conflicts", "Суперечності в додаткових параметрах"},
    {"There are conflicts in some advanced options. Do you want to fix them?",
     "Деякі додаткові параметри суперечать одне одному. Виправити їх?"},
    {"Duplex Settings Conflicts", "Суперечності в параметрах двостороннього друку"},
    {"There are conflicts in duplex settings. Do you want to fix them?",
     "Параметри двостороннього друку суперечать одне одному. Виправити їх?"},
};

// The parts of the print dialog whose texts the table holds.
bool printDialogContext(std::string_view context) {
    return context.starts_with("QPrint") || context.starts_with("QPageSetup") ||
           context.starts_with("QCups") || context.starts_with("QUnixPrint");
}

// Answers from the table; installed before Qt's catalogue, so that Qt's is asked first and the
// table only fills its gaps.
class GapTranslator : public QTranslator {
  public:
    explicit GapTranslator(QString locale, QObject* parent)
        : QTranslator(parent), m_locale(std::move(locale)) {}
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        (void)disambiguation;
        (void)n;
        return QtGapText(m_locale, context, source);
    }
    bool isEmpty() const override { return false; }

  private:
    QString m_locale;
};

struct State {
    QPointer<QTranslator> translator;
    QPointer<QTranslator> gaps;
    QString locale = QString::fromLatin1(kBuiltinLocale);
    bool translated = false;
};

State& state() {
    static State s;
    return s;
}

} // namespace

QString QtGapText(const QString& locale, const char* context, const char* source) {
    if (!context || !source || !printDialogContext(context)) return {};
    if (QLocale(locale).language() != QLocale::Ukrainian) return {};
    for (const GapText& g : kUkrainian)
        if (std::strcmp(g.source, source) == 0) return QString::fromUtf8(g.text);
    return {};
}

bool UseQtTranslation(const QString& locale) {
    State& s = state();
    s.locale = locale;
    // A translator leaves the application when it is destroyed.
    delete s.translator;
    delete s.gaps;
    s.translated = QLocale(locale).language() == QLocale::English;
    if (s.translated || !QCoreApplication::instance()) return s.translated;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // "qt_<lang>.qm" gathers the catalogues of Qt's modules.
    if (!translator->load(QLocale(locale), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    // The gaps of a catalogue are filled only where there is one: without it Qt's texts stay
    // English, not a mixture. Installed first, the table is asked after Qt's catalogue.
    if (QLocale(locale).language() == QLocale::Ukrainian) {
        auto* gaps = new GapTranslator(locale, QCoreApplication::instance());
        if (QCoreApplication::installTranslator(gaps))
            s.gaps = gaps;
        else
            delete gaps;
    }
    if (QCoreApplication::installTranslator(translator)) {
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
