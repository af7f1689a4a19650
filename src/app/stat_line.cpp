// The status line and its two modes.
#include "app/stat_line.h"

#include "app/language_walk.h"

#include <QLabel>

namespace vorn::app {

StatLine::StatLine(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatLine");
    m_single = new QLabel(this);
    m_single->setObjectName("StatText");
    ExcludeFromLanguage(m_single); // hints and progress texts, already translated
    addWidget(m_single, 1);
    for (int i = 0; i < kFieldCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatField%1").arg(i + 1));
        ExcludeFromLanguage(label);
        label->setFrameShape(QFrame::StyledPanel);
        label->hide();
        addWidget(label);
        m_fields[static_cast<std::size_t>(i)] = label;
    }
}

void StatLine::setSingleText(const QString& text) {
    if (m_fieldMode) {
        for (QLabel* f : m_fields)
            f->hide();
        m_single->show();
        m_fieldMode = false;
    }
    m_single->setText(text);
}

void StatLine::setFields(const std::array<QString, kFieldCount>& fields) {
    m_single->hide();
    for (int i = 0; i < kFieldCount; ++i) {
        QLabel* f = m_fields[static_cast<std::size_t>(i)];
        f->setText(fields[static_cast<std::size_t>(i)]);
        f->setFixedWidth(f->fontMetrics().horizontalAdvance(f->text()) + 10);
        f->show();
    }
    m_fieldMode = true;
}

QString StatLine::singleText() const {
    return m_single->text();
}

QString StatLine::field(int i) const {
    return m_fields.at(static_cast<std::size_t>(i))->text();
}

} // namespace vorn::app
