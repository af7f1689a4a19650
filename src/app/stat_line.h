// StatLine: the status line, one text or five fields (coordinates, object, edge length).
#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

namespace vorn::app {

class StatLine : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr int kFieldCount = 5;

    explicit StatLine(QWidget* parent = nullptr);

    // Single-field mode.
    void setSingleText(const QString& text);
    // Five-field mode; each field is as wide as its text plus 10 pixels.
    void setFields(const std::array<QString, kFieldCount>& fields);

    bool fieldMode() const { return m_fieldMode; }
    QString singleText() const;
    QString field(int i) const;

  private:
    QLabel* m_single;
    std::array<QLabel*, kFieldCount> m_fields{};
    bool m_fieldMode = false;
};

} // namespace vorn::app
