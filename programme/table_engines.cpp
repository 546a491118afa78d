#include "programme/table_engines.h"

#include "db/codepage.h"
#include "db/query_runner.h"
#include "platform/ui_services.h"

namespace programme {

namespace {

int32_t collect(void* context, int32_t columns, char** values, void*) {
    if (columns >= 2 && values[0] && values[1])
        static_cast<QStringList*>(context)->append(
            QStringLiteral("%1 (%2)").arg(db::fromAnsi(values[0]), db::fromAnsi(values[1])));
    return 0;
}

}  // namespace

QString engineWarning(const QStringList& tablesWithEngines) {
    if (tablesWithEngines.isEmpty()) return {};
    return QStringLiteral(
               "Attention : dans la base du programme, les tables %1 ne gèrent pas les transactions. "
               "Une modification interrompue (serveur arrêté, connexion coupée) pourrait y rester à moitié écrite, "
               "et deux postes qui enregistrent en même temps ne seraient pas protégés l'un de l'autre.\n\n"
               "Demandez à l'administrateur du serveur de les convertir en InnoDB "
               "(ALTER TABLE … ENGINE=InnoDB).")
        .arg(tablesWithEngines.join(QStringLiteral(", ")));
}

namespace {
bool asked = false;
}

void askEnginesAgainForTests() { asked = false; }

void warnOnceWithoutTransactions() {
    if (asked) return;
    asked = true;
    QStringList tables;
    if (db::QueryRunner(kEngineStatement, &collect, &tables) != db::kQueryOk) return;
    if (const QString warning = engineWarning(tables); !warning.isEmpty())
        platform::ui().messageBox(warning, platform::MessageIcon::Warning, platform::MessageButtons::Ok);
}

}  // namespace programme
