// The three panes of the listing panel and the object check list.
#include "app/listing_panel.h"

#include "app/language_walk.h"
#include "core/object_report.h"
#include "core/scene.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace vorn::app {

namespace {

QWidget* titled(const QString& title, const char* labelName, QWidget* body, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* label = new QLabel(title, box);
    label->setObjectName(labelName);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(label);
    layout->addWidget(body, 1);
    return box;
}

// Every line as wide as the pane's scroll extent, or as its own text when that is wider: the
// lines are never elided, and the pane scrolls over the extent even when they are short.
class ExtentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::max(size.width(), ListingPanel::kScrollExtent));
        return size;
    }
};

QListWidget* textPane(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new ExtentDelegate(list));
    return list;
}

} // namespace

ListingPanel::ListingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ListingPanel");
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName("ListSplitter");
    m_reportBox = textPane("ReportBox", this);
    m_objList = new QListWidget(this);
    m_objList->setObjectName("ObjList");
    m_answerBox = textPane("AnswerBox", this);
    // Their lines are the program's output, not interface texts.
    for (QListWidget* pane : {m_reportBox, m_objList, m_answerBox})
        ExcludeFromLanguage(pane);
    splitter->addWidget(
        titled(QStringLiteral("Характеристики об'єкта:"), "ReportLabel", m_reportBox, splitter));
    splitter->addWidget(
        titled(QStringLiteral("Перелік об'єктів:"), "ObjListLabel", m_objList, splitter));
    splitter->addWidget(titled(QStringLiteral("Звіт:"), "AnswerLabel", m_answerBox, splitter));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_objList, &QListWidget::currentRowChanged, this, [this] { Q_EMIT objectSelected(); });
    connect(m_objList, &QListWidget::itemChanged, this, [this] { Q_EMIT objectChecksChanged(); });
    connect(m_objList, &QListWidget::itemDoubleClicked, this,
            [this] { Q_EMIT objectDoubleClicked(); });
}

int ListingPanel::widthShowing(const QStringList& lines) const {
    const QFontMetrics fm = m_reportBox->fontMetrics();
    int text = 0;
    for (const QString& line : lines)
        text = std::max(text, fm.horizontalAdvance(line));
    // A line keeps a margin either side of its text; the pane adds its frame and, once its
    // lines outgrow its height, a vertical scroll bar.
    const QStyle* style = m_reportBox->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_reportBox) + 1;
    const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_reportBox);
    const QMargins outside = contentsMargins();
    return text + 2 * margin + 2 * m_reportBox->frameWidth() + bar + outside.left() +
           outside.right();
}

void ListingPanel::setCharacteristics(const QStringList& lines) {
    m_reportBox->clear();
    m_reportBox->addItems(lines);
}

void ListingPanel::addAnswer(const QString& line) {
    m_answerBox->addItem(line);
    m_answerBox->setCurrentRow(m_answerBox->count() - 1);
    m_answerBox->scrollToBottom();
}

void ListingPanel::clearAnswers() {
    m_answerBox->clear();
}

QStringList ListingPanel::answers() const {
    QStringList lines;
    for (int i = 0; i < m_answerBox->count(); ++i)
        lines << m_answerBox->item(i)->text();
    return lines;
}

void ListingPanel::fillObjects(const QStringList& captions, const std::vector<bool>& checked,
                               int row) {
    const QSignalBlocker block(m_objList);
    m_objList->clear();
    for (int i = 0; i < captions.size(); ++i) {
        auto* item = new QListWidgetItem(captions[i], m_objList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const auto k = static_cast<std::size_t>(i);
        item->setCheckState(k < checked.size() && checked[k] ? Qt::Checked : Qt::Unchecked);
    }
    m_objList->setCurrentRow(row);
}

int ListingPanel::selectedObjectRow() const {
    const int row = m_objList->currentRow();
    return row >= 0 && row < m_objList->count() ? row : -1;
}

std::vector<bool> ListingPanel::objectChecks() const {
    std::vector<bool> marks;
    for (int i = 0; i < m_objList->count(); ++i)
        marks.push_back(m_objList->item(i)->checkState() == Qt::Checked);
    return marks;
}

QStringList SampleCharacteristics(const core::Settings& settings,
                                  const lang::MessageTable& messages) {
    const auto scene = std::make_unique<core::Scene>();
    const int plane = core::AppendObject(*scene, core::ObjectType::Plane);
    core::SceneObject& p = scene->object(plane);
    p.vertexCount = 3;
    p.vertex(1) = {-3.7f, 1.2f, 2.9f};
    p.vertex(2) = {2.3f, -4.1f, 1.7f};
    p.vertex(3) = {1.9f, 2.6f, -5.3f};
    p.minX = p.minY = p.minZ = -123.456789;
    const int solid = core::AppendObject(*scene, core::ObjectType::Polyhedron);
    core::SceneObject& s = scene->object(solid);
    s.vertexCount = core::kMaxVertices;
    s.faceCount = core::kMaxFaces;
    s.face(1).area = 12345.6789f;
    s.volume = -12345.6789;
    QStringList lines;
    for (const int slot : {plane, solid})
        for (const std::string& line : core::ShowObjectReport(*scene, settings, messages, slot))
            lines << QString::fromStdString(line);
    return lines;
}

} // namespace vorn::app
