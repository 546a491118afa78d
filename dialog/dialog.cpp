#include "dialog/dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "dialog/controls.h"
#include "dialog/dialog_units.h"

namespace dlg {

using res::ControlKind;

Dialog::Dialog(const res::DialogTemplate& tmpl, QWidget* parent) : QDialog(parent), tmpl_(tmpl) {
    QFont font(QString::fromUtf8(tmpl.fontFamily), tmpl.fontPointSize);
    setFont(font);
    base_ = dialogBaseUnits(QFontMetricsF(font));
    setWindowTitle(QString::fromUtf8(tmpl.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (tmpl.style & res::kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (tmpl.style & res::kMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    setObjectName(QStringLiteral("dialog_%1").arg(tmpl.id));
}

Dialog::~Dialog() = default;

QRect Dialog::dluToPixels(int x, int y, int w, int h) const { return dialogUnitsToPixels(base_, x, y, w, h); }

void Dialog::build() {
    if (built_) return;
    built_ = true;
    const QRect client = dluToPixels(0, 0, tmpl_.width, tmpl_.height);
    if (tmpl_.style & res::kSizingBorder) {
        resize(client.size());
    } else if (tmpl_.style & res::kMaximizeBox) {
        // No sizing border, but the maximise box works: the window cannot be made smaller
        // than its template, and on Windows its border does not size it.
        resize(client.size());
        setMinimumSize(client.size());
        setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    } else {
        setFixedSize(client.size());
    }
    int labelIndex = 0;
    for (const auto& c : tmpl_.controls) {
        QWidget* w = createControl(c);
        QRect geometry = dluToPixels(c.x, c.y, c.w, c.h);
        // A drop-down list's template height is that of its open list; the field itself has
        // the standard height.
        if (c.kind == ControlKind::ComboBox) {
            auto* combo = static_cast<QComboBox*>(w);
            combo->setMaxVisibleItems(
                qMax(1, (geometry.height() - w->sizeHint().height()) / w->fontMetrics().height()));
            geometry.setHeight(w->sizeHint().height());
        }
        w->setGeometry(geometry);
        if (c.style & res::kDisabled) w->setEnabled(false);
        if (c.style & res::kHidden) w->setVisible(false);
        if (c.id >= 0) {
            w->setObjectName(QStringLiteral("ctl_%1").arg(c.id));
            controls_.insert(c.id, w);
        } else {
            w->setObjectName(QStringLiteral("label_%1").arg(labelIndex++));
        }
        if (c.accessibleName) w->setAccessibleName(QString::fromUtf8(c.accessibleName));
        if (c.kind == ControlKind::GroupBox) w->lower();
    }
    // The keyboard walks the controls in the order of the template, which lays them out
    // column by column and line by line, as on Windows.
    QWidget* previous = nullptr;
    for (const auto& c : tmpl_.controls) {
        QWidget* w = c.id >= 0 ? controls_.value(c.id) : nullptr;
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }
}

namespace {

// A multi-line edit gives its lines ended by CR LF, as the Windows edit control did: stored
// addresses and the other tools of the office use them. Given a text, it shows it, and gives
// it back exactly as given (whatever its line ends) as long as the user changed nothing, so
// that an untouched field never reads as changed.
constexpr const char* kGivenText = "breloGivenText";

QString shownLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void setMultiLineText(QPlainTextEdit* edit, const QString& text) {
    edit->setProperty(kGivenText, text);
    edit->setPlainText(shownLines(text));
}

QString multiLineText(const QPlainTextEdit* edit) {
    const QString shown = edit->toPlainText();
    const QString given = edit->property(kGivenText).toString();
    if (shown == shownLines(given)) return given;
    QString text = shown;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

}  // namespace

QWidget* Dialog::createControl(const res::ControlTemplate& c) {
    const QString text = QString::fromUtf8(c.text);
    const int id = c.id;
    switch (c.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Edit: {
        if (c.style & res::kMultiline) {
            auto* edit = new QPlainTextEdit(this);
            edit->setReadOnly(c.style & res::kReadOnly);
            // As a Windows edit: Tab goes to the next control rather than into the text.
            edit->setTabChangesFocus(true);
            setMultiLineText(edit, text);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, id] { dispatch(Notify::TextChanged, {id}); });
            return edit;
        }
        auto* edit = new QLineEdit(text, this);
        edit->setReadOnly(c.style & res::kReadOnly);
        if (c.style & res::kPassword) edit->setEchoMode(QLineEdit::Password);
        connect(edit, &QLineEdit::textChanged, this, [this, id] { dispatch(Notify::TextChanged, {id}); });
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        button->setDefault(c.kind == ControlKind::DefPushButton);
        connect(button, &QPushButton::clicked, this, [this, id] { clickedButton(id); });
        return button;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, id] { dispatch(Notify::Clicked, {id}); });
        return box;
    }
    case ControlKind::PushLikeCheckBox: {
        auto* button = new QPushButton(text, this);
        button->setCheckable(true);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id] { dispatch(Notify::Clicked, {id}); });
        return button;
    }
    case ControlKind::ListView: {
        auto* list = new ListView(this, c.style & res::kSingleSel, c.style & res::kSortAscending);
        connect(list, &ListView::rowChanged, this, [this, id](int row) {
            Notification n{id};
            n.row = row;
            dispatch(Notify::ItemChanged, n);
        });
        connect(list, &ListView::rowDoubleClicked, this, [this, id](int row) {
            Notification n{id};
            n.row = row;
            dispatch(Notify::RowDoubleClick, n);
        });
        return list;
    }
    case ControlKind::DatePicker: {
        const auto format = (c.style & res::kTimeFormat) ? DatePicker::Format::Time
                            : (c.style & res::kLongDate) ? DatePicker::Format::LongDate
                                                         : DatePicker::Format::ShortDate;
        auto* picker = new DatePicker(this, format, c.style & res::kRightAlign);
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, id] { dispatch(Notify::DateChanged, {id}); });
        return picker;
    }
    case ControlKind::OwnerDrawButton: {
        auto* button = new OwnerDrawButton(this);
        button->drawHandler = [this, id](QPainter& painter, const QRect& rect) {
            Notification n{id};
            n.painter = &painter;
            n.rect = rect;
            dispatch(Notify::DrawItem, n);
        };
        connect(button, &OwnerDrawButton::clicked, this, [this, id] { dispatch(Notify::Clicked, {id}); });
        connect(button, &OwnerDrawButton::doubleClicked, this, [this, id] { dispatch(Notify::DoubleClicked, {id}); });
        if (handles(Notify::KeyDown, id)) {
            button->setFocusPolicy(Qt::StrongFocus);
            button->keyHandler = [this, id](int key) {
                // Only the keys that act on a drawing: Tab, Escape and the others keep their
                // meaning for the dialog.
                static const int kDrawingKeys[] = {Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Left,
                                                   Qt::Key_Right,  Qt::Key_Home,  Qt::Key_End,
                                                   Qt::Key_Return, Qt::Key_Enter, Qt::Key_Delete};
                if (std::find(std::begin(kDrawingKeys), std::end(kDrawingKeys), key) == std::end(kDrawingKeys))
                    return false;
                Notification n{id};
                n.key = key;
                return dispatch(Notify::KeyDown, n);
            };
        }
        return button;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(this);
        // As its Windows counterpart, the notification follows the user's choice (the same entry
        // chosen again included), never a selection the program sets.
        connect(combo, &QComboBox::activated, this, [this, id] { dispatch(Notify::SelChange, {id}); });
        return combo;
    }
    case ControlKind::GroupBox: return new QGroupBox(text, this);
    }
    return new QWidget(this);
}

bool Dialog::dispatch(Notify code, Notification n) {
    bool handled = false;
    for (const auto& h : handlers_) {
        if (h.code == code && h.id == n.id) {
            h.call(n);
            handled = true;
        }
    }
    return handled;
}

bool Dialog::handles(Notify code, int id) const {
    return std::any_of(handlers_.begin(), handlers_.end(),
                       [&](const Handler& h) { return h.code == code && h.id == id; });
}

bool Dialog::enterInList() {
    auto* list = qobject_cast<ListView*>(focusWidget());
    if (!list) return false;
    const int id = controls_.key(list, -1);
    const int row = list->currentIndex().isValid() ? list->currentIndex().row() : -1;
    if (row < 0 || !handles(Notify::RowDoubleClick, id)) return false;
    Notification n{id};
    n.row = row;
    return dispatch(Notify::RowDoubleClick, n);
}

void Dialog::clickedButton(int id) {
    if (dispatch(Notify::Clicked, {id})) return;
    if (id == platform::IDOK)
        OnOK();
    else if (id == platform::IDCANCEL)
        OnCancel();
}

int Dialog::DoModal() {
    build();
    ended_ = false;
    result_ = platform::IDCANCEL;
    const bool defaultFocus = OnInitDialog();
    if (ended_) return result_;
    if (defaultFocus) {
        for (const auto& c : tmpl_.controls) {
            QWidget* w = c.id >= 0 ? controls_.value(c.id) : nullptr;
            if (w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus && c.kind != ControlKind::Label) {
                w->setFocus();
                break;
            }
        }
    }
    running_ = true;
    exec();
    running_ = false;
    for (QTimer* t : std::as_const(timers_)) t->stop();
    return result_;
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (running_) done(result);
}

QWidget* Dialog::item(int id) const { return controls_.value(id); }

ListView* Dialog::listView(int id) const { return qobject_cast<ListView*>(item(id)); }

DatePicker* Dialog::datePicker(int id) const { return qobject_cast<DatePicker*>(item(id)); }

QComboBox* Dialog::comboBox(int id) const { return qobject_cast<QComboBox*>(item(id)); }

QString Dialog::itemText(int id) const {
    QWidget* w = item(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return multiLineText(p);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    return {};
}

void Dialog::setItemText(int id, const QString& text) {
    QWidget* w = item(id);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        setMultiLineText(p, text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

bool Dialog::isChecked(int id) const {
    auto* b = qobject_cast<QAbstractButton*>(item(id));
    return b && b->isChecked();
}

void Dialog::setChecked(int id, bool checked) {
    if (auto* b = qobject_cast<QAbstractButton*>(item(id))) b->setChecked(checked);
}

void Dialog::enableItem(int id, bool enabled) {
    if (QWidget* w = item(id)) w->setEnabled(enabled);
}

void Dialog::SetTimer(int timerId, int milliseconds) {
    QTimer*& timer = timers_[timerId];
    if (!timer) {
        timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("timer_%1").arg(timerId));
        connect(timer, &QTimer::timeout, this, [this, timerId] {
            Notification n;
            n.timerId = timerId;
            dispatch(Notify::Timer, n);
        });
    }
    timer->start(milliseconds);
}

void Dialog::KillTimer(int timerId) {
    if (QTimer* t = timers_.value(timerId)) t->stop();
}

void Dialog::redraw(int id, bool) {
    if (QWidget* w = item(id)) w->update();
}

void Dialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // As in a Windows dialog: a focused push button takes Enter; otherwise the default
        // push button does; without one, Enter means OK. In a list whose rows open with a
        // double-click, Enter opens the current row.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused && !focused->isCheckable()) {
            focused->click();
            return;
        }
        if (enterInList()) return;
        for (const auto& c : tmpl_.controls) {
            if (c.kind == ControlKind::DefPushButton) {
                if (auto* b = qobject_cast<QPushButton*>(item(c.id)); b && b->isEnabled()) b->click();
                return;
            }
        }
        OnOK();
        return;
    }
    case Qt::Key_Escape: OnCancel(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void Dialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (built_) dispatch(Notify::Size, {0});
}

}  // namespace dlg
