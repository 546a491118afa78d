#include "manager/manager_dlg.h"

#include "manager/account.h"
#include "resources/dialogs.h"

namespace {
constexpr const char* kCaption = "Manager 1.004";
}

manager::manager(QWidget* parent) : dlg::Dialog(res::kDialog129, parent) {}

bool manager::OnInitDialog() {
    setWindowTitle(QString::fromUtf8(kCaption) + QStringLiteral(" (") + account::name() + QStringLiteral(")"));
    return true;
}
