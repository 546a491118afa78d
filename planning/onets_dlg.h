// One slot of a group (133 "Créneau"): its day, its start and its end time.
#pragma once

#include "dialog/dialog.h"
#include "platform/date_time.h"
#include "resources/control_ids.h"

class onets : public dlg::Dialog, public res::SlotControls {
    Q_OBJECT
public:
    explicit onets(QWidget* parent = nullptr);

    // In: the pickers' values at opening (all now by default); out after OK: what they hold.
    platform::DateTime date;
    platform::DateTime from;
    platform::DateTime to;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
