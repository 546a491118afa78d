// One checklist item (137): whether it has a goal and which, whether it has a deadline and
// which, whether it is done and when, and the goal reached. Its caption is the item's title.
#pragma once

#include <QString>

#include "platform/date_time.h"
#include "dialog/dialog.h"

class ones : public dlg::Dialog {
    Q_OBJECT
public:
    explicit ones(QWidget* parent = nullptr);

    static constexpr int kDone = 1041;
    static constexpr int kCompletionDate = 1042;
    static constexpr int kDeadlineDate = 1043;
    static constexpr int kDeadlineLabel = 1044;
    static constexpr int kHasDeadline = 1045;
    static constexpr int kGoal = 1046;
    static constexpr int kHasGoal = 1047;
    static constexpr int kCompletionLabel = 1048;
    static constexpr int kAchievedLabel = 1049;
    static constexpr int kAchieved = 1050;

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
