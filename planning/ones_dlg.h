// One checklist item (137): whether it has a goal and which, whether it has a deadline and
// which, whether it is done and when, and the goal reached. Its caption is the item's title.
#pragma once

#include <QString>

#include "dialog/dialog.h"
#include "platform/date_time.h"
#include "resources/control_ids.h"

class ones : public dlg::Dialog, public res::ChecklistItemControls {
    Q_OBJECT
public:
    explicit ones(QWidget* parent = nullptr);

    // In: the row's texts; out after OK: the item's new texts (the title never changes).
    QString title;
    QString deadline;
    QString goal;
    QString state;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    static const dlg::MessageEntry<ones> kMessages[];
    void OnCheck(const dlg::Notification&);
    void OnDoneClicked(const dlg::Notification&);
    void applyVisibility();

    platform::DateTime deadlineDate_;
    platform::DateTime completionDate_;
    bool hasDeadline_ = false;
    bool done_ = false;
};
