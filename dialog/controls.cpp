#include "dialog/controls.h"

#include <QSet>
#include <algorithm>

#include <QCalendarWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <set>

#include "dialog/text_fit.h"

namespace dlg {

ListView::ListView(QWidget* parent, bool singleSelection, bool sorted) : QTreeWidget(parent), sorted_(sorted) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(singleSelection ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListView::onSelectionChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { emit rowDoubleClicked(indexOfTopLevelItem(item)); });
}

void ListView::insertColumn(int column, const QString& heading, int width) {
    QStringList labels;
    for (int i = 0; i < columnCount(); ++i) labels << headerItem()->text(i);
    labels.insert(qBound(0, column, static_cast<int>(labels.size())), heading);
    setColumnCount(static_cast<int>(labels.size()));
    setHeaderLabels(labels);
    // A column is at least as wide as its heading, so that no heading is cut.
    setColumnWidth(column, std::max(width, headerWidthFor(this, heading)));
}

void ListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Rows are chosen whole: bringing one into view moves the list up or down, never sideways
    // to the column clicked (which would hide the first columns).
    const int across = horizontalScrollBar()->value();
    QTreeWidget::scrollTo(index, hint);
    horizontalScrollBar()->setValue(across);
}

int ListView::insertItem(int row, const QString& text) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, Qt::UserRole, qint64(0));
    int at = qBound(0, row, itemCount());
    if (sorted_) {
        at = 0;
        while (at < itemCount() && QString::compare(topLevelItem(at)->text(0), text, Qt::CaseInsensitive) <= 0) ++at;
    }
    insertTopLevelItem(at, item);
    return at;
}

void ListView::insertRows(int row, const std::vector<Row>& rows) {
    if (sorted_) {
        for (const Row& r : rows) {
            const int at = insertItem(row, r.texts.value(0));
            setItemData(at, r.data);
            for (int c = 1; c < r.texts.size(); ++c) setItemText(at, c, r.texts[c]);
        }
        widenColumnsToContents();
        return;
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const Row& r : rows) {
        auto* item = new QTreeWidgetItem(r.texts);
        item->setData(0, Qt::UserRole, r.data);
        items.append(item);
    }
    const int at = qBound(0, row, itemCount());
    insertTopLevelItems(at, items);
    // Rows added in slices to a long list are measured once each, not with the whole list.
    widenColumnsToContents(at, at + static_cast<int>(items.size()));
}

void ListView::widenColumnsToContents() { widenColumnsToContents(0, itemCount()); }

void ListView::widenColumnsToContents(int from, int to) {
    // A column grows to show its texts whole (the list scrolls sideways for them); it never
    // shrinks below the width it was given. Measuring every row of a season's lists costs more
    // than filling them: the widest text is among the longest, so only the longest few distinct
    // texts of each column are measured.
    constexpr std::size_t kMeasured = 24;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    from = std::max(from, 0);
    to = std::min(to, itemCount());
    std::vector<std::pair<qsizetype, int>> byLength;
    byLength.reserve(static_cast<std::size_t>(std::max(to - from, 0)));
    for (int column = 0; column < columnCount(); ++column) {
        byLength.clear();
        for (int row = from; row < to; ++row) byLength.emplace_back(topLevelItem(row)->text(column).size(), row);
        const std::size_t candidates = std::min(byLength.size(), kMeasured * 4);
        std::partial_sort(byLength.begin(), byLength.begin() + static_cast<std::ptrdiff_t>(candidates), byLength.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        QSet<QString> measured;
        int needed = 0;
        for (std::size_t i = 0; i < candidates && static_cast<std::size_t>(measured.size()) < kMeasured; ++i) {
            const int row = byLength[i].second;
            const QString text = topLevelItem(row)->text(column);
            if (measured.contains(text)) continue;
            measured.insert(text);
            const QModelIndex index = model()->index(row, column);
            needed = std::max(needed, itemDelegateForIndex(index)->sizeHint(option, index).width());
        }
        if (needed > columnWidth(column)) setColumnWidth(column, needed);
    }
}

void ListView::setItemText(int row, int column, const QString& text) {
    if (auto* item = topLevelItem(row)) item->setText(column, text);
}

QString ListView::itemText(int row, int column) const {
    const auto* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

void ListView::setItemData(int row, qint64 value) {
    if (auto* item = topLevelItem(row)) item->setData(0, Qt::UserRole, value);
}

qint64 ListView::itemData(int row) const {
    const auto* item = topLevelItem(row);
    return item ? item->data(0, Qt::UserRole).toLongLong() : -1;
}

void ListView::deleteAllItems() {
    quiet_ = true;
    clear();
    quiet_ = false;
    selectionMark_ = -1;
}

void ListView::deleteItem(int row) {
    if (row < 0 || row >= itemCount()) return;
    quiet_ = true;
    delete takeTopLevelItem(row);
    quiet_ = false;
    if (selectionMark_ >= itemCount()) selectionMark_ = -1;
}

bool ListView::isSelected(int row) const {
    const auto* item = topLevelItem(row);
    return item && item->isSelected();
}

void ListView::setSelected(int row, bool selected) {
    auto* item = topLevelItem(row);
    if (!item) return;
    // A single-selection list view keeps one selected row: selecting another row deselects
    // the one before, with its own notification.
    if (selected && selectionMode() == QAbstractItemView::SingleSelection) {
        selectionModel()->select(indexFromItem(item), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    item->setSelected(selected);
}

// From the selection's ranges, not row by row: asking each item of a season's list whether it
// is selected was a pause of the window at every look at the selection.
int ListView::nextSelected(int from) const {
    int next = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.parent().isValid()) continue;
        const int candidate = std::max(range.top(), from + 1);
        if (candidate <= range.bottom() && candidate < itemCount() && (next < 0 || candidate < next)) next = candidate;
    }
    return next;
}

QList<int> ListView::selectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.parent().isValid()) continue;
        for (int row = range.top(); row <= range.bottom() && row < itemCount(); ++row) rows.insert(row);
    }
    return QList<int>(rows.begin(), rows.end());
}

void ListView::setSelectionMark(int row) {
    selectionMark_ = row;
    if (auto* item = topLevelItem(row)) {
        // Moving the current item must not disturb the selection of the other rows.
        selectionModel()->setCurrentIndex(indexFromItem(item), QItemSelectionModel::NoUpdate);
    }
}

void ListView::onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (quiet_) return;
    std::set<int> off;
    std::set<int> on;
    for (const QModelIndex& index : deselected.indexes()) off.insert(index.row());
    for (const QModelIndex& index : selected.indexes()) on.insert(index.row());
    for (int row : off) emit rowChanged(row);
    for (int row : on) emit rowChanged(row);
}

DatePicker::DatePicker(QWidget* parent, Format format, bool rightAligned)
    : QDateTimeEdit(parent), rightAligned_(rightAligned) {
    const QLocale french(QLocale::French, QLocale::France);
    setLocale(french);
    switch (format) {
    case Format::ShortDate: setDisplayFormat(QStringLiteral("dd/MM/yyyy")); break;
    case Format::LongDate: setDisplayFormat(french.dateFormat(QLocale::LongFormat)); break;
    case Format::Time: setDisplayFormat(QStringLiteral("HH:mm")); break;
    }
    setCalendarPopup(format != Format::Time);
    setDateTimeRange(QDateTime(QDate(1601, 1, 1), QTime(0, 0)), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
    if (format != Format::Time && rightAligned_) {
        // The calendar is a popup window of its own: line its right edge up with the field's
        // each time it is shown.
        if (QCalendarWidget* calendar = calendarWidget()) calendar->window()->installEventFilter(this);
    }
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && rightAligned_) {
        if (auto* popup = qobject_cast<QWidget*>(watched); popup && popup->isWindow()) {
            const QPoint bottomRight = mapToGlobal(QPoint(width(), height()));
            popup->move(bottomRight.x() - popup->width(), popup->y());
        }
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

OwnerDrawButton::OwnerDrawButton(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void OwnerDrawButton::paintEvent(QPaintEvent* event) {
    painted_ = event->region();
    QPainter painter(this);
    if (drawHandler) drawHandler(painter, contentRect());
    if (hasFocus()) {
        // The keyboard is here: a dotted frame round the drawing, as a focused button shows.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(contentRect().adjusted(0, 0, -1, -1));
    }
}

void OwnerDrawButton::keyPressEvent(QKeyEvent* event) {
    if (keyHandler && keyHandler(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OwnerDrawButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void OwnerDrawButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

QRect OwnerDrawButton::contentRect() const {
    QRect area = rect();
    if (scrollBar_ && scrollBar_->isVisibleTo(this)) area.setRight(area.right() - scrollBar_->width());
    return area;
}

void OwnerDrawButton::setContentHeight(int height, int step) {
    if (height == contentHeight_ && step == step_) return;
    contentHeight_ = height;
    step_ = qMax(1, step);
    if (!scrollBar_) {
        if (height <= this->height()) return;
        scrollBar_ = new QScrollBar(Qt::Vertical, this);
        connect(scrollBar_, &QScrollBar::valueChanged, this, [this] {
            update();
            emit scrolled();
        });
    }
    placeScrollBar();
}

void OwnerDrawButton::placeScrollBar() {
    if (!scrollBar_) return;
    const bool scrolls = contentHeight_ > height();
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, scrolls ? contentHeight_ - height() : 0);
    scrollBar_->setPageStep(height());
    scrollBar_->setSingleStep(step_);
    const int width = scrollBar_->sizeHint().width();
    scrollBar_->setGeometry(this->width() - width, 0, width, height());
    scrollBar_->setVisible(scrolls);
    update();
}

int OwnerDrawButton::scrollOffset() const {
    return scrollBar_ && scrollBar_->isVisibleTo(this) ? scrollBar_->value() : 0;
}

void OwnerDrawButton::setScrollOffset(int offset) {
    if (scrollBar_) scrollBar_->setValue(offset);
}

void OwnerDrawButton::scrollIntoView(int top, int bottom) {
    if (!scrollBar_ || !scrollBar_->isVisibleTo(this)) return;
    const int offset = scrollBar_->value();
    if (top < offset)
        scrollBar_->setValue(top);
    else if (bottom > offset + height())
        scrollBar_->setValue(bottom - height());
}

void OwnerDrawButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeScrollBar();
}

void OwnerDrawButton::wheelEvent(QWheelEvent* event) {
    if (!scrollBar_ || !scrollBar_->isVisibleTo(this)) return QWidget::wheelEvent(event);
    // A notch of the wheel is 120 eighths of a degree; touchpads send parts of one.
    const int delta = event->angleDelta().y();
    scrollBar_->setValue(scrollBar_->value() - delta * step_ / 120);
    event->accept();
}

void OwnerDrawButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    lastPress = event->position().toPoint();
    pressed_ = true;
}

void OwnerDrawButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (rect().contains(event->position().toPoint())) emit clicked();
}

void OwnerDrawButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    lastPress = event->position().toPoint();
    pressed_ = true;  // the release that follows clicks, as after a press
    emit doubleClicked();
}

}  // namespace dlg
