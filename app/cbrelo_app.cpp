#include "app/cbrelo_app.h"

#include <QApplication>
#include <QFont>
#include <memory>

#include "app/cbrelo_dlg.h"
#include "db/settings_file.h"
#include "platform/ui_services.h"

bool CBreloApp::InitInstance() {
    // The dialog font of the templates; on systems without it, the closest sans-serif faces.
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                               {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    QCoreApplication::setOrganizationName(QStringLiteral("Applications locales générées par AppWizard"));
    QCoreApplication::setApplicationName(QStringLiteral("Brelo"));
    // Without its servers' settings the program has nothing to show: it says which file to mend.
    if (const QString problem = db::loadSettings(platform::executableDir()); !problem.isEmpty()) {
        platform::showError(problem);
        return false;
    }
    {
        CBreloDlg dlg;
        dlg.DoModal();
    }
    return false;
}
