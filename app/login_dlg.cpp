#include "app/login_dlg.h"

#include "programme/account.h"
#include "resources/dialogs.h"

login::login(QWidget* parent) : dlg::Dialog(res::kDialog134, parent) {}

void login::OnOK() {
    switch (account::attemptLogin(itemText(kNameEdit), itemText(kPasswordEdit))) {
    case account::LoginResult::Ok: EndDialog(platform::IDOK); break;
    case account::LoginResult::Cancel: EndDialog(platform::IDCANCEL); break;
    case account::LoginResult::NoMatch: break;  // the box stays open for another try
    }
}
