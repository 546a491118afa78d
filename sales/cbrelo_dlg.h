// The sales overview (dialog 102), the program's main window.
#pragma once

#include "app/dialog.h"

class CBreloDlg : public dlg::Dialog {
    Q_OBJECT
public:
    explicit CBreloDlg(QWidget* parent = nullptr);

    static constexpr int kManagerButton = 1012;

protected:
    bool OnInitDialog() override;

private:
    static const dlg::MessageEntry<CBreloDlg> kMessages[];
    void OnManager(const dlg::Notification&);
};
