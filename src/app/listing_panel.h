// ListingPanel: the right-hand panes — characteristics, object list and report.
#pragma once

#include "core/settings.h"
#include "lang/message_table.h"

#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QSplitter;

namespace vorn::app {

class ListingPanel : public QWidget {
    Q_OBJECT
  public:
    // The narrowest the panel starts at; it starts wider when the characteristics need it.
    static constexpr int kDefaultWidth = 200;
    // The characteristics and the report scroll sideways over this many pixels at least, so
    // that their lines are never cut short; a longer line takes its own width.
    static constexpr int kScrollExtent = 500;

    explicit ListingPanel(QWidget* parent = nullptr);

    QListWidget* reportBox() const { return m_reportBox; }
    QListWidget* objList() const { return m_objList; }
    QListWidget* answerBox() const { return m_answerBox; }

    // The panel width at which each of `lines` shows whole in the characteristics pane.
    int widthShowing(const QStringList& lines) const;
    // The width the panel takes when no saved width says otherwise.
    int firstWidth() const { return m_firstWidth; }
    void setFirstWidth(int width) { m_firstWidth = std::max(width, kDefaultWidth); }

    void setCharacteristics(const QStringList& lines);
    // AddReportLine: appends and selects the line, so the pane shows the end.
    void addAnswer(const QString& line);
    void clearAnswers();
    QStringList answers() const;

    // Refills the object list without firing its signals; `row` -1 selects nothing.
    void fillObjects(const QStringList& captions, const std::vector<bool>& checked, int row);
    int selectedObjectRow() const;
    std::vector<bool> objectChecks() const;

  Q_SIGNALS:
    void objectSelected();
    void objectChecksChanged();
    void objectDoubleClicked();

  private:
    int m_firstWidth = kDefaultWidth;
    QListWidget* m_reportBox;
    QListWidget* m_objList;
    QListWidget* m_answerBox;
};

// The characteristics of a plane in general position and of a polyhedron of many faces, with
// the given messages and digits: the lines the panel shows uncut from the first start.
QStringList SampleCharacteristics(const core::Settings& settings,
                                  const lang::MessageTable& messages);

} // namespace vorn::app
