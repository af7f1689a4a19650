// ListingPanel: the right-hand panes — characteristics, object list and report.
#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

class QListWidget;
class QListWidgetItem;
class QSplitter;

namespace vorn::app {

class ListingPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 200;

    explicit ListingPanel(QWidget* parent = nullptr);

    QListWidget* reportBox() const { return m_reportBox; }
    QListWidget* objList() const { return m_objList; }
    QListWidget* answerBox() const { return m_answerBox; }

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
    QListWidget* m_reportBox;
    QListWidget* m_objList;
    QListWidget* m_answerBox;
};

} // namespace vorn::app
