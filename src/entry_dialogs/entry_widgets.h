// Controls shared by the entry dialogs: expression fields with history, point grids, colours,
// keypad.
#pragma once

#include <QComboBox>
#include <QTableWidget>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace vorn::entry {

// Tags that select how a field is checked.
namespace field {
inline constexpr int Name = -1;
inline constexpr int Number = 1;
inline constexpr int RevolutionNumber = 69; // also redraws the preview
inline constexpr int PartFormula = 71;
inline constexpr int PartSystem = 72;
inline constexpr int Generatrix = 73;
inline constexpr int Generatrix2 = 74;
} // namespace field

// Gives the window's unnamed captions the names Label1, Label2... and its unnamed tab pages
// TabPage1, TabPage2... in the order of the window's children, so that language files can key
// them like every other control.
void NameCaptions(QWidget* window);

// The first field of a window in Tab order: the first enabled, shown control that Tab reaches,
// other than push and tool buttons, tab bars and scroll bars. Null when there is none.
QWidget* FirstField(QWidget* window);
// Every time `window` is shown its first field takes the focus, so that typing starts there.
void FocusFirstFieldOnShow(QWidget* window);

// A number read the way a grid cell or a left field is read: decimal with "." and an optional
// exponent, nothing else around it.
std::optional<double> ReadPlainNumber(const QString& text);
// 15 significant digits, as every number the dialogs write.
QString FullNumber(long double value);
// A value the record keeps in single precision, in the fewest digits that give it back.
QString StoredNumber(float value);
// The width, in `w`'s font, of the widest number FullNumber writes in fixed notation.
int FullNumberWidth(const QWidget* w);
// Widens a line edit so that any number FullNumber writes in fixed notation shows whole.
void FitNumberEdit(QLineEdit* edit);
// Replaces the variable `from` by `to` where it stands alone (no letter or digit beside it).
QString RenameVariable(const QString& text, QChar from, QChar to);

// An editable drop-down field whose list is the history of accepted texts.
class EntryCombo : public QComboBox {
    Q_OBJECT
  public:
    EntryCombo(const QString& name, int tag, QWidget* parent = nullptr);
    int tag() const { return m_tag; }
    QString text() const { return currentText(); }
    // Sets the text without reporting an edit.
    void setText(const QString& text);
    void setRed(bool red);
    bool isRed() const { return m_red; }
    // Upper-cased at the top of the history, once.
    void addHistory(const QString& text);
    // The whole text when the field is too narrow to show it, else empty: the field's tool tip.
    QString cutText() const;

  Q_SIGNALS:
    void edited(vorn::entry::EntryCombo* field); // keystroke, keypad press or history pick
    void left(vorn::entry::EntryCombo* field);   // focus went elsewhere
    void focused(vorn::entry::EntryCombo* field);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void fitWidth();

    int m_tag;
    bool m_red = false;
};

// A grid of points, one row per point. Enter walks the cells; "+", "-" and "Очистити таблицю"
// keep the row count within its limits.
class EntryGrid : public QTableWidget {
    Q_OBJECT
  public:
    EntryGrid(const QString& name, const QStringList& columns, int minRows, int maxRows,
              bool appendOnEnter, QWidget* parent = nullptr);
    void setMaxRows(int rows) { m_maxRows = rows; }
    int maxRows() const { return m_maxRows; }
    int minRows() const { return m_minRows; }
    // Replace all rows without reporting a change; values[row][column] written with FullNumber,
    // or texts[row][column] as they are.
    void setValues(const std::vector<std::vector<double>>& values);
    void setTexts(const std::vector<QStringList>& texts);
    void setRows(int rows);
    // Reads row `row`; false when a cell is not a plain number.
    bool readRow(int row, double* out) const;
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);

    bool addRow();    // "+": an empty row at the current one
    bool deleteRow(); // "-": the current row
    void clearCells();

  Q_SIGNALS:
    void changed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void moveNext();
    void renumber();
    // The columns share the grid's width but never get narrower than the widest cell or title.
    void fitColumns();

    int m_minRows, m_maxRows;
    bool m_appendOnEnter;
    bool m_quiet = false;
};

// The 16 palette colours as a grid of cells filling the widget, one of them chosen by a click
// or, when the grid takes the focus, by the arrow keys: two rows of eight in the entry dialog,
// four of four on the settings page.
class ColorGrid : public QWidget {
    Q_OBJECT
  public:
    // `columns` divides 16; `cell` is the side of a cell in the size hint.
    ColorGrid(const QString& name, int columns, int cell, QWidget* parent = nullptr);
    int index() const { return m_index; }
    void setIndex(int index); // no signal; kept within the palette
    // The palette index under a point of the widget, -1 outside the cells.
    int indexAt(const QPoint& p) const;
    QRect cellRect(int index) const;
    QSize sizeHint() const override;

  Q_SIGNALS:
    void chosen(int index); // by the user, when the choice changed

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void choose(int index);
    int m_columns, m_rows, m_cell;
    int m_index = 0;
};

// A key's place on the keypad: digits in a 3 x 3 block with 0 below, the operators, brackets and
// variables in columns of their own, the erasing keys at the right, the functions in rows beneath.
struct KeyPlace {
    const char* caption;
    int row, column, columnSpan;
};
// The keypad's keys, "T" included only where the parameter t is a variable.
std::vector<KeyPlace> KeypadLayout(bool withT);

// The on-screen keypad; its buttons never take the focus from the field they type into. The
// entry dialogs' keypad is compact tool buttons with "T"; the calculator's is push buttons
// without "T", named Key_<caption> so that language files reach them.
class Keypad : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Entry, Calculator };
    explicit Keypad(Kind kind = Kind::Entry, QWidget* parent = nullptr);
    static const QStringList& Captions();
    // The key with this caption as the layout gives it; none when the keypad has no such key.
    QAbstractButton* key(const QString& caption) const;

  Q_SIGNALS:
    void typed(const QString& key); // the key's caption, "BS" or "Del"
};

// Applies one keypad press to a text with its caret and selection; the result is cut to
// `limit` characters. Returns the new caret position.
int ApplyKeypad(QString& text, int caret, int selStart, int selLength, const QString& key,
                int limit);

} // namespace vorn::entry
