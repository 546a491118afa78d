// Dialogs built from a template (resources/), with controls found by their ids and
// notifications sent to handlers through each dialog's own table of
// (notification, control id, handler).
#pragma once

#include <QDialog>
#include <QHash>
#include <QRect>
#include <functional>
#include <span>
#include <vector>

#include "dialog/dialog_units.h"
#include "platform/ui_services.h"
#include "resources/dialog_template.h"

class QComboBox;
class QPainter;
class QTimer;

namespace dlg {

class ListView;
class DatePicker;

enum class Notify {
    Clicked,         // a push button, check box or owner-drawn button was clicked
    DoubleClicked,   // an owner-drawn button was double-clicked
    RowDoubleClick,  // a row of a list view was double-clicked (row given)
    ItemChanged,     // a list view row changed state (row given)
    DateChanged,     // a date picker's value changed
    TextChanged,     // an edit's text changed
    SelChange,       // the user chose an entry of a combo box (not sent for a selection set by the program)
    DrawItem,        // an owner-drawn control must be drawn (painter and rectangle given)
    Timer,           // a window timer ticked (timer id given)
    Size,            // the window's size changed
    KeyDown,         // a key was pressed in an owner-drawn control (key given); binding it makes
                     // the control take the keyboard focus
};

struct Notification {
    int id = 0;
    int row = -1;
    int timerId = 0;
    int key = 0;  // KeyDown: the Qt::Key
    QPainter* painter = nullptr;
    QRect rect;
};

template <class D>
struct MessageEntry {
    Notify code;
    int id;  // control id; for Timer and Size, 0
    void (D::*handler)(const Notification&);
};

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(const res::DialogTemplate& tmpl, QWidget* parent = nullptr);
    ~Dialog() override;

    // Builds the window, runs the init handler and, unless the init ended the dialog, runs
    // the window modally. Returns the result given to EndDialog.
    int DoModal();
    void EndDialog(int result);

    QWidget* item(int id) const;
    ListView* listView(int id) const;
    DatePicker* datePicker(int id) const;
    QComboBox* comboBox(int id) const;
    QString itemText(int id) const;
    void setItemText(int id, const QString& text);
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    void enableItem(int id, bool enabled);

    void SetTimer(int timerId, int milliseconds);
    void KillTimer(int timerId);
    // Asks a control to be drawn again; `erase` says whether its background is erased first
    // (our owner-drawn controls paint every pixel, so both come to the same repaint).
    void redraw(int id, bool erase = false);

    // Dialog units to pixels, with the dialog font's average character width and height
    // (dialog/dialog_units.h).
    QRect dluToPixels(int x, int y, int w, int h) const;
    const res::DialogTemplate& dialogTemplate() const { return tmpl_; }

protected:
    // The init event; false when the handler has set the focus itself.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(platform::IDOK); }
    virtual void OnCancel() { EndDialog(platform::IDCANCEL); }

    template <class D>
    void bindMessages(std::span<const MessageEntry<D>> table) {
        for (const auto& entry : table) {
            auto handler = entry.handler;
            D* self = static_cast<D*>(this);
            handlers_.push_back(
                {entry.code, entry.id, [self, handler](const Notification& n) { (self->*handler)(n); }});
        }
    }

    // One handler bound to a notification of a control: a window that hands its controls to
    // parts wires each part's handler with it.
    void bindHandler(Notify code, int id, std::function<void(const Notification&)> call) {
        handlers_.push_back({code, id, std::move(call)});
    }

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override { OnCancel(); }
    void accept() override { OnOK(); }

private:
    struct Handler {
        Notify code;
        int id;
        std::function<void(const Notification&)> call;
    };
    void build();
    QWidget* createControl(const res::ControlTemplate& c);
    bool dispatch(Notify code, Notification n);
    bool handles(Notify code, int id) const;
    // Enter in a list view edits the current row, as a double-click does, when the dialog
    // binds one; true when it did.
    bool enterInList();
    void clickedButton(int id);

    const res::DialogTemplate& tmpl_;
    bool built_ = false;
    bool ended_ = false;
    bool running_ = false;
    int result_ = platform::IDCANCEL;
    BaseUnits base_;
    QHash<int, QWidget*> controls_;
    QHash<int, QTimer*> timers_;
    std::vector<Handler> handlers_;
};

}  // namespace dlg
