// The hint bar: bold Arial, light yellow on dark violet.
#include "app/info_panel.h"

#include "app/language_walk.h"

namespace vorn::app {

InfoPanel::InfoPanel(QWidget* parent) : QLabel(parent) {
    setObjectName("InfoPanel");
    ExcludeFromLanguage(this); // shows the pending operation's prompt
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    setFont(f);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(64, 0, 128));
    p.setColor(QPalette::WindowText, QColor(255, 255, 128));
    setPalette(p);
    setContentsMargins(2, 2, 2, 2);
    setInfo({});
}

void InfoPanel::setInfo(const QString& text, const QString& heading) {
    const QString blanks = QStringLiteral("  ");
    setText(!heading.isEmpty() && text == heading ? blanks : blanks + text);
}

} // namespace vorn::app
