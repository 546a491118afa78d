// The login box (dialog 134): name and password, checked against the accounts table.
#pragma once

#include "dialog/dialog.h"

class login : public dlg::Dialog {
    Q_OBJECT
public:
    explicit login(QWidget* parent = nullptr);

    static constexpr int kNameEdit = 1018;
    static constexpr int kPasswordEdit = 1019;

protected:
    void OnOK() override;
};
