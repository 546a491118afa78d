// The login box (dialog 134): name and password, checked against the accounts table.
#pragma once

#include "dialog/dialog.h"
#include "resources/control_ids.h"

class login : public dlg::Dialog, public res::LoginControls {
    Q_OBJECT
public:
    explicit login(QWidget* parent = nullptr);

protected:
    void OnOK() override;
};
