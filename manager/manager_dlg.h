// The programme manager (dialog 129).
#pragma once

#include "app/dialog.h"

class manager : public dlg::Dialog {
    Q_OBJECT
public:
    explicit manager(QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
};
