// Expression fields, point grids, the colour grid and the keypad of the entry dialogs.
#include "entry_dialogs/entry_widgets.h"

#include "core/format.h"
#include "core/scene_object.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>

#include <charconv>
#include <cmath>
#include <functional>

namespace vorn::entry {

namespace {
// The longest text of FullNumber in fixed notation: a sign, "0.000" and fifteen digits.
const char* const kWidestNumber = "-0.000888888888888888";
// A line edit keeps this many pixels clear of its text on either side.
constexpr int kEditTextMargin = 2;

bool showTip(QEvent* event, const QString& whole, QWidget* over) {
    if (whole.isEmpty()) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), whole, over);
    return true;
}
} // namespace

std::optional<double> ReadPlainNumber(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    if (s.empty()) return std::nullopt;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    // from_chars takes no "+"; a sign of its own is all it lacks.
    if (*first == '+') ++first;
    double v = 0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString FullNumber(long double value) {
    return QString::fromStdString(core::FormatNumber(true, value));
}

QString StoredNumber(float value) {
    return QString::fromStdString(core::ShortestFloatText(value));
}

int FullNumberWidth(const QWidget* w) {
    return w->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestNumber));
}

void FitNumberEdit(QLineEdit* edit) {
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.state |= QStyle::State_Sunken;
    const QMargins tm = edit->textMargins();
    // One pixel more for the caret after the last digit.
    const QSize text(FullNumberWidth(edit) + 2 * kEditTextMargin + tm.left() + tm.right() + 1,
                     edit->fontMetrics().height());
    edit->setMinimumWidth(
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, text, edit).width());
}

QString RenameVariable(const QString& text, QChar from, QChar to) {
    QString out = text;
    auto word = [&](int i) {
        if (i < 0 || i >= text.size()) return false;
        const QChar c = text[i].toUpper();
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    for (int i = 0; i < text.size(); ++i) {
        if (text[i].toUpper() != from.toUpper() || word(i - 1) || word(i + 1)) continue;
        out[i] = text[i].isLower() ? to.toLower() : to.toUpper();
    }
    return out;
}

// ---- EntryCombo ----------------------------------------------------------------------------

EntryCombo::EntryCombo(const QString& name, int tag, QWidget* parent)
    : QComboBox(parent), m_tag(tag) {
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fitWidth();
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { Q_EMIT edited(this); });
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT edited(this); });
}

void EntryCombo::setText(const QString& text) {
    const QSignalBlocker block(this);
    setEditText(text);
}

void EntryCombo::setRed(bool red) {
    m_red = red;
    QPalette p = lineEdit()->palette();
    p.setColor(QPalette::Text, red ? Qt::red : palette().color(QPalette::WindowText));
    lineEdit()->setPalette(p);
}

void EntryCombo::addHistory(const QString& text) {
    const QString upper = text.toUpper();
    if (findText(upper, Qt::MatchExactly) >= 0) return;
    const QString current = currentText();
    const QSignalBlocker block(this);
    insertItem(0, upper);
    setEditText(current);
}

void EntryCombo::fitWidth() {
    // The contents length counts in widths of "X"; one more leaves room for the caret and the
    // line edit's margins.
    const int x = std::max(fontMetrics().horizontalAdvance(QLatin1Char('X')), 1);
    setMinimumContentsLength((FullNumberWidth(this) + x - 1) / x + 1);
}

void EntryCombo::changeEvent(QEvent* event) {
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitWidth();
}

QString EntryCombo::cutText() const {
    const QLineEdit* edit = lineEdit();
    const QMargins tm = edit->textMargins();
    const int room = edit->contentsRect().width() - tm.left() - tm.right() - 2 * kEditTextMargin;
    const QString text = edit->text();
    return edit->fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool EntryCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::ToolTip &&
        showTip(event, cutText(), lineEdit()))
        return true;
    if (watched == lineEdit() && event->type() == QEvent::FocusIn) Q_EMIT focused(this);
    if (watched == lineEdit() && event->type() == QEvent::FocusOut) {
        // A popup of the own history is not leaving the field.
        const auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() != Qt::PopupFocusReason) Q_EMIT left(this);
    }
    return QComboBox::eventFilter(watched, event);
}

// The focus may sit on the combo box or on its line edit, depending on the platform.
void EntryCombo::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    Q_EMIT focused(this);
}

void EntryCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) Q_EMIT left(this);
}

// ---- EntryGrid -----------------------------------------------------------------------------

namespace {

// Enter in an open cell editor commits the cell and closes the editor at once. The standard
// delegate does both later, from a queued call, and lets the key reach the grid as well: the
// grid then moved on twice, or the late call met an editor the grid had already closed.
class CellDelegate : public QStyledItemDelegate {
  public:
    CellDelegate(std::function<void()> enter, QObject* parent)
        : QStyledItemDelegate(parent), m_enter(std::move(enter)) {}

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Q_EMIT commitData(editor);
                Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
                m_enter();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    std::function<void()> m_enter;
};

} // namespace

EntryGrid::EntryGrid(const QString& name, const QStringList& columns, int minRows, int maxRows,
                     bool appendOnEnter, QWidget* parent)
    : QTableWidget(0, static_cast<int>(columns.size()), parent), m_minRows(minRows),
      m_maxRows(maxRows), m_appendOnEnter(appendOnEnter) {
    setObjectName(name);
    setHorizontalHeaderLabels(columns);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(20);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new CellDelegate([this] { moveNext(); }, this));
    connect(this, &QTableWidget::cellChanged, this, [this] {
        if (m_quiet) return;
        fitColumns();
        Q_EMIT changed();
    });
}

void EntryGrid::setValues(const std::vector<std::vector<double>>& values) {
    std::vector<QStringList> texts;
    for (const std::vector<double>& row : values) {
        QStringList cells;
        for (const double v : row)
            cells << FullNumber(v);
        texts.push_back(cells);
    }
    setTexts(texts);
}

void EntryGrid::setTexts(const std::vector<QStringList>& texts) {
    m_quiet = true;
    setRowCount(static_cast<int>(texts.size()));
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setItem(r, c, new QTableWidgetItem(texts[static_cast<std::size_t>(r)].value(c)));
    renumber();
    m_quiet = false;
    fitColumns();
}

void EntryGrid::fitColumns() {
    QHeaderView* header = horizontalHeader();
    // A section's own size hint never goes below the minimum: start again from the style's.
    header->setMinimumSectionSize(-1);
    int width = 0;
    for (int c = 0; c < columnCount(); ++c)
        width = std::max({width, sizeHintForColumn(c), header->sectionSizeHint(c)});
    header->setMinimumSectionSize(width);
}

void EntryGrid::setRows(int rows) {
    m_quiet = true;
    const int old = rowCount();
    setRowCount(std::max(rows, 0));
    for (int r = old; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setItem(r, c, new QTableWidgetItem(QStringLiteral("0")));
    renumber();
    m_quiet = false;
    fitColumns();
}

QString EntryGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void EntryGrid::setCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* it = item(row, column))
        it->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
}

bool EntryGrid::readRow(int row, double* out) const {
    for (int c = 0; c < columnCount(); ++c) {
        const std::optional<double> v = ReadPlainNumber(cellText(row, c));
        if (!v) return false;
        out[c] = *v;
    }
    return true;
}

bool EntryGrid::addRow() {
    if (rowCount() >= m_maxRows) return false;
    const int at = std::max(currentRow(), 0);
    m_quiet = true;
    insertRow(at);
    for (int c = 0; c < columnCount(); ++c)
        setItem(at, c, new QTableWidgetItem());
    renumber();
    m_quiet = false;
    setCurrentCell(at, 0);
    Q_EMIT changed();
    return true;
}

bool EntryGrid::deleteRow() {
    if (rowCount() <= m_minRows) return false;
    const int at = currentRow() >= 0 ? currentRow() : rowCount() - 1;
    m_quiet = true;
    removeRow(at);
    renumber();
    m_quiet = false;
    fitColumns();
    Q_EMIT changed();
    return true;
}

void EntryGrid::clearCells() {
    m_quiet = true;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCellText(r, c, QString());
    m_quiet = false;
    fitColumns();
    Q_EMIT changed();
}

void EntryGrid::renumber() {
    QStringList labels;
    for (int r = 1; r <= rowCount(); ++r)
        labels << QString::number(r);
    setVerticalHeaderLabels(labels);
}

void EntryGrid::moveNext() {
    int r = currentRow(), c = currentColumn() + 1;
    if (r < 0) r = 0;
    if (c >= columnCount()) {
        c = 0;
        ++r;
    }
    if (r >= rowCount()) {
        if (!m_appendOnEnter || rowCount() >= m_maxRows) return;
        m_quiet = true;
        insertRow(r);
        for (int k = 0; k < columnCount(); ++k)
            setItem(r, k, new QTableWidgetItem());
        renumber();
        m_quiet = false;
        Q_EMIT changed();
    }
    setCurrentCell(r, c);
}

void EntryGrid::keyPressEvent(QKeyEvent* event) {
    // An open editor takes Enter through the delegate; this is Enter on a cell not being edited.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        moveNext();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// ---- ColorGrid -----------------------------------------------------------------------------

namespace {
constexpr int kPaletteSize = static_cast<int>(core::kPalette.size());
QColor paletteColor(int i) {
    const std::uint32_t bgr = core::kPalette[static_cast<std::size_t>(i)];
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
} // namespace

ColorGrid::ColorGrid(const QString& name, int columns, int cell, QWidget* parent)
    : QWidget(parent), m_columns(columns), m_rows(kPaletteSize / columns), m_cell(cell) {
    setObjectName(name);
}

QSize ColorGrid::sizeHint() const {
    return {m_columns * m_cell + 1, m_rows * m_cell + 1};
}

void ColorGrid::setIndex(int index) {
    m_index = std::clamp(index, 0, kPaletteSize - 1);
    update();
}

QRect ColorGrid::cellRect(int index) const {
    const int w = width() / m_columns, h = height() / m_rows;
    return {(index % m_columns) * w, (index / m_columns) * h, w, h};
}

int ColorGrid::indexAt(const QPoint& p) const {
    const int w = width() / m_columns, h = height() / m_rows;
    if (w <= 0 || h <= 0 || p.x() < 0 || p.y() < 0) return -1;
    const int col = p.x() / w, row = p.y() / h;
    return col < m_columns && row < m_rows ? row * m_columns + col : -1;
}

void ColorGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int i = 0; i < kPaletteSize; ++i) {
        const QRect r = cellRect(i).adjusted(2, 2, -2, -2);
        p.fillRect(r, paletteColor(i));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    // The chosen cell: a double frame that shows on light and dark colours alike.
    const QRect c = cellRect(m_index);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(c.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(c.adjusted(3, 3, -4, -4));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(c.adjusted(0, 0, -1, -1));
    }
}

void ColorGrid::mousePressEvent(QMouseEvent* event) {
    const int i = indexAt(event->position().toPoint());
    if (i >= 0) choose(i);
}

void ColorGrid::keyPressEvent(QKeyEvent* event) {
    int i = m_index;
    switch (event->key()) {
    case Qt::Key_Left:
        i = i % m_columns > 0 ? i - 1 : i;
        break;
    case Qt::Key_Right:
        i = i % m_columns < m_columns - 1 ? i + 1 : i;
        break;
    case Qt::Key_Up:
        i = i >= m_columns ? i - m_columns : i;
        break;
    case Qt::Key_Down:
        i = i + m_columns < kPaletteSize ? i + m_columns : i;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    choose(i);
}

void ColorGrid::choose(int index) {
    if (index == m_index) return;
    setIndex(index);
    Q_EMIT chosen(index);
}

// ---- Keypad --------------------------------------------------------------------------------

std::vector<KeyPlace> KeypadLayout(bool withT) {
    std::vector<KeyPlace> keys = {
        {"7", 0, 0, 1},     {"8", 0, 1, 1},    {"9", 0, 2, 1},     {"/", 0, 3, 1},
        {"(", 0, 4, 1},     {"X", 0, 5, 1},    {"BS", 0, 6, 1},    {"4", 1, 0, 1},
        {"5", 1, 1, 1},     {"6", 1, 2, 1},    {"*", 1, 3, 1},     {")", 1, 4, 1},
        {"Y", 1, 5, 1},     {"Del", 1, 6, 1},  {"1", 2, 0, 1},     {"2", 2, 1, 1},
        {"3", 2, 2, 1},     {"-", 2, 3, 1},    {"^", 2, 4, 1},     {"Z", 2, 5, 1},
        {"0", 3, 0, 2},     {".", 3, 2, 1},    {"+", 3, 3, 1},     {"Pi", 3, 4, 1},
        {"Sin(", 4, 0, 1},  {"Cos(", 4, 1, 1}, {"Tg(", 4, 2, 1},   {"CTg(", 4, 3, 1},
        {"Exp(", 4, 4, 1},  {"Ln(", 4, 5, 1},  {"Lg(", 4, 6, 1},   {"ASin(", 5, 0, 1},
        {"ACos(", 5, 1, 1}, {"ATg(", 5, 2, 1}, {"ACTg(", 5, 3, 1}, {"Sqrt(", 5, 4, 1},
        {"Abs(", 5, 5, 1},  {"Int(", 5, 6, 1}};
    if (withT) keys.push_back({"T", 3, 5, 1});
    return keys;
}

const QStringList& Keypad::Captions() {
    static const QStringList captions = [] {
        QStringList all;
        for (const KeyPlace& k : KeypadLayout(true))
            all << QString::fromLatin1(k.caption);
        return all;
    }();
    return captions;
}

Keypad::Keypad(Kind kind, QWidget* parent) : QWidget(parent) {
    const bool calculator = kind == Kind::Calculator;
    setObjectName(calculator ? QStringLiteral("KeyPanel") : QStringLiteral("Keypad"));
    auto* grid = new QGridLayout(this);
    if (calculator) {
        grid->setSpacing(2);
    } else {
        grid->setSpacing(1);
        grid->setContentsMargins(0, 0, 0, 0);
    }
    for (const KeyPlace& k : KeypadLayout(!calculator)) {
        const QString caption = QString::fromLatin1(k.caption);
        QAbstractButton* b = nullptr;
        if (calculator) {
            b = new QPushButton(caption, this);
            b->setObjectName(QStringLiteral("Key_") + caption);
        } else {
            b = new QToolButton(this);
            b->setText(caption);
            b->setMinimumWidth(34);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        }
        b->setProperty("keyCaption", caption);
        b->setFocusPolicy(Qt::NoFocus);
        // The button's text: a language file may name the calculator's keys otherwise.
        connect(b, &QAbstractButton::clicked, this, [this, b] { Q_EMIT typed(b->text()); });
        grid->addWidget(b, k.row, k.column, 1, k.columnSpan);
    }
}

QAbstractButton* Keypad::key(const QString& caption) const {
    for (QAbstractButton* b : findChildren<QAbstractButton*>())
        if (b->property("keyCaption").toString() == caption) return b;
    return nullptr;
}

int ApplyKeypad(QString& text, int caret, int selStart, int selLength, const QString& key,
                int limit) {
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    const bool erase = key == QLatin1String("BS") || key == QLatin1String("Del");
    if (selLength > 0) {
        text.remove(selStart, selLength);
        caret = selStart;
    } else if (key == QLatin1String("BS")) {
        if (caret > 0) text.remove(--caret, 1);
    } else if (key == QLatin1String("Del")) {
        if (caret < text.size()) text.remove(caret, 1);
    }
    if (!erase) {
        text.insert(caret, key);
        caret += static_cast<int>(key.size());
    }
    // The keypad's field holds no more than `limit` characters, whatever was typed before.
    if (text.size() > limit) text.truncate(limit);
    return std::min(caret, static_cast<int>(text.size()));
}

void NameCaptions(QWidget* window) {
    int n = 0;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->objectName().isEmpty()) label->setObjectName(QStringLiteral("Label%1").arg(++n));
    // A tab's text is keyed by its page.
    int pages = 0;
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->objectName().isEmpty())
                tabs->widget(i)->setObjectName(QStringLiteral("TabPage%1").arg(++pages));
}

QWidget* FirstField(QWidget* window) {
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w->focusProxy() || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() ||
            !w->isVisibleTo(window) || w->window() != window)
            continue;
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w) ||
            qobject_cast<QTabBar*>(w) || qobject_cast<QScrollBar*>(w))
            continue;
        return w;
    }
    return nullptr;
}

namespace {

class FirstFieldFocus : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent())
            if (QWidget* first = FirstField(static_cast<QWidget*>(watched)))
                first->setFocus(Qt::OtherFocusReason);
        return false;
    }
};

} // namespace

void FocusFirstFieldOnShow(QWidget* window) {
    window->installEventFilter(new FirstFieldFocus(window));
}

} // namespace vorn::entry
