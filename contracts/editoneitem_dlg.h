// One info value (136) in a single-line editor; its caption is the row's label.
#pragma once

#include <QString>

#include "dialog/dialog.h"
#include "resources/control_ids.h"

class editoneitem : public dlg::Dialog, public res::InfoValueControls {
    Q_OBJECT
public:
    explicit editoneitem(QWidget* parent = nullptr);

    QString caption;
    QString text;  // in: the row's value; out after OK: the edited value

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
