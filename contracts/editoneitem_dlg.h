// One info value (136) in a single-line editor; its caption is the row's label.
#pragma once

#include <QString>

#include "dialog/dialog.h"

class editoneitem : public dlg::Dialog {
    Q_OBJECT
public:
    explicit editoneitem(QWidget* parent = nullptr);

    static constexpr int kValue = 1038;

    QString caption;
    QString text;  // in: the row's value; out after OK: the edited value

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
