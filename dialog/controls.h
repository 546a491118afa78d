// The controls the dialog templates name, with the small part of the Windows common
// controls' interface that the dialogs use: list views addressed by row index with item
// data, date pickers holding a date and a time of day, owner-drawn buttons.
#pragma once

#include <QDateTimeEdit>
#include <QTreeWidget>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

namespace dlg {

// A list view in report mode. Rows are addressed by index; each row carries an integer of
// item data (the record index of what it shows).
class ListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr, bool singleSelection = false, bool sorted = false);

    void insertColumn(int column, const QString& heading, int width);
    // Inserts a row at `row` (past the end appends; a sorted list finds its own place) and
    // returns its index.
    int insertItem(int row, const QString& text);
    // Inserts whole rows at `row` in one step, in the order given, each with its texts by
    // column and its item data (a sorted list places each row itself).
    struct Row {
        qint64 data;
        QStringList texts;
    };
    void insertRows(int row, const std::vector<Row>& rows);
    // Widens each column that its texts do not fit.
    void widenColumnsToContents();
    // The same for the rows [from, to) alone: the rows before them fit already.
    void widenColumnsToContents(int from, int to);
    void setItemText(int row, int column, const QString& text);
    QString itemText(int row, int column) const;
    void setItemData(int row, qint64 value);
    qint64 itemData(int row) const;  // -1 for a row that does not exist
    int itemCount() const { return topLevelItemCount(); }
    void deleteAllItems();
    void deleteItem(int row);

    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    // The first selected row at or after `from` + 1 (from -1: the first), or -1.
    int nextSelected(int from = -1) const;
    QList<int> selectedRows() const;
    void setSelectionMark(int row);
    int selectionMark() const { return selectionMark_; }
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // A row's state changed (selected or deselected): one signal per row concerned.
    void rowChanged(int row);
    void rowDoubleClicked(int row);

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    bool sorted_;
    bool quiet_ = false;
    int selectionMark_ = -1;
};

// The record a row of a record list stands for. Such a row shows its record's id in its
// first column and carries its record index as item data; the index is trusted only while
// the record there has that id. Records reloaded under an open list move, and a handler
// acting on a moved index would change another record: the row's id then finds the record
// (the first with that id). -1 when the row does not exist or no record has its id.
template <class Record>
int recordIndexOfRow(const ListView* list, int row, const std::vector<Record>& records) {
    if (row < 0 || row >= list->itemCount()) return -1;
    const QString id = list->itemText(row, 0);
    const qint64 index = list->itemData(row);
    if (index >= 0 && index < static_cast<qint64>(records.size()) && records[static_cast<std::size_t>(index)].id == id)
        return static_cast<int>(index);
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].id == id) return static_cast<int>(i);
    return -1;
}

// A list view column: its heading and width in pixels.
struct ColumnSpec {
    const char* heading;  // UTF-8
    int width;
};
template <std::size_t N>
void createColumns(ListView* list, const ColumnSpec (&columns)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        list->insertColumn(static_cast<int>(i), QString::fromUtf8(columns[i].heading), columns[i].width);
}

// A date-time picker. A date picker shows the date only (short or long date format) and
// keeps the time of day it was given; a time picker shows hours and minutes and keeps the
// date. The calendar drops down below the field, aligned left or right.
class DatePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    enum class Format { ShortDate, LongDate, Time };
    explicit DatePicker(QWidget* parent = nullptr, Format format = Format::LongDate, bool rightAligned = false);
    bool rightAligned() const { return rightAligned_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab leaves the picker, as on Windows; the arrows move between its fields.
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }

private:
    bool rightAligned_;
};

// An owner-drawn button: the dialog draws it through its DrawItem handler.
class OwnerDrawButton : public QWidget {
    Q_OBJECT
public:
    explicit OwnerDrawButton(QWidget* parent = nullptr);
    std::function<void(QPainter&, const QRect&)> drawHandler;
    // While drawHandler runs, the part of the control being painted: a change to part of a
    // drawing paints that part alone, and the handler may skip what lies outside it.
    const QRegion& paintedRegion() const { return painted_; }
    // A key pressed while the control has the focus; true when it was used.
    std::function<bool(int key)> keyHandler;
    // Where the last press or double-click happened, in the control's coordinates: the
    // handlers of clicked() and doubleClicked() hit-test at that point. As a push button, it
    // clicks when the left button is released inside it after a press inside it.
    QPoint lastPress;

    // Content taller than the control scrolls: a vertical scroll bar at the right edge (and
    // the mouse wheel) moves it, and the draw handler's rectangle leaves the bar out. A height
    // that fits, or 0, hides the bar and scrolls back to the top.
    // step: what one notch of the wheel or one arrow of the bar scrolls.
    void setContentHeight(int height, int step);
    int contentHeight() const { return contentHeight_; }
    int scrollOffset() const;
    // Scrolls to this offset (held within the content).
    void setScrollOffset(int offset);
    // Scrolls so that the content's rows from top to bottom are in view, if they are not.
    void scrollIntoView(int top, int bottom);
    // The part of the control the content is drawn in.
    QRect contentRect() const;

signals:
    void clicked();
    void doubleClicked();
    void scrolled();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRegion painted_;
    void placeScrollBar();
    bool pressed_ = false;
    int contentHeight_ = 0;
    int step_ = 20;
    class QScrollBar* scrollBar_ = nullptr;
};

}  // namespace dlg
