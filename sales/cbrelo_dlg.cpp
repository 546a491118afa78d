#include "sales/cbrelo_dlg.h"

#include "manager/login_dlg.h"
#include "manager/manager_dlg.h"
#include "resources/dialogs.h"

using N = dlg::Notify;
const dlg::MessageEntry<CBreloDlg> CBreloDlg::kMessages[] = {
    {N::Clicked, kManagerButton, &CBreloDlg::OnManager},
};

CBreloDlg::CBreloDlg(QWidget* parent) : dlg::Dialog(res::kDialog102, parent) { bindMessages<CBreloDlg>(kMessages); }

bool CBreloDlg::OnInitDialog() {
    {
        login box(this);
        if (box.DoModal() != platform::IDOK) {
            EndDialog(platform::IDCANCEL);
            return true;
        }
    }
    return true;
}

void CBreloDlg::OnManager(const dlg::Notification&) {
    manager window(this);
    window.DoModal();
}
