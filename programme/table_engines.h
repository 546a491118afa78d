// The programme tables the saves write must take transactions: a save is all of its
// statements or none of them only on an engine that can roll back (InnoDB). Old hosted
// servers kept them in MyISAM; the login says so once.
#pragma once

#include <QString>
#include <QStringList>

namespace programme {

// The written tables whose engine takes no transactions, with their engine.
inline constexpr const char* kEngineStatement =
    "SELECT t.`TABLE_NAME`, t.`ENGINE` FROM `information_schema`.`TABLES` t JOIN `information_schema`.`ENGINES` e "
    "ON e.`ENGINE` = t.`ENGINE` WHERE t.`TABLE_SCHEMA` = DATABASE() AND t.`TABLE_NAME` IN "
    "('comp', 'showname', 'timeslot', 'contract', 'logs', 'save_tokens') AND e.`TRANSACTIONS` <> 'YES' ORDER BY "
    "t.`TABLE_NAME`";

// The warning for those tables ("comp (MyISAM)", ...); empty when there are none.
QString engineWarning(const QStringList& tablesWithEngines);

// Runs the statement on the open programme connection and shows the warning, once in the
// life of the program. A server that cannot answer the question is not asked again.
void warnOnceWithoutTransactions();
// The next login asks again (tests).
void askEnginesAgainForTests();

}  // namespace programme
