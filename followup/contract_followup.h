// What a new contract writes into its group's follow-up plan: the return deadline as the
// deadline of "Contrat reçu par KQ", and the five cheque dates with their amount as the
// values of "Règlement 1" ... "Règlement 5". The values are read back from the stored extra
// text of the contract, where the dates are long French dates.
#pragma once

#include <QString>

namespace followup {

// "Mercredi 15 Juillet 2019" -> "15/7/2019": day, month (its place among the French month
// names, exact case; 0 for another word) and year, "%u/%u/%u". Empty when the text lacks
// the spaces between its four parts.
QString dayMonthYearOfLongDate(const QString& longDate);

inline constexpr const char* kContractBackItem = "Contrat reçu par KQ";
inline constexpr const char* kPaymentItemPrefix = "Règlement ";

// Each returns true when the plan is to be stored again: the return deadline when extra has
// one, the payments when it has an amount. An item the plan lacks, or that already has a
// value settodo refuses, is reported by settodo and left as it was.
bool writeReturnDeadline(QString& todo, const QString& extra);
bool writePayments(QString& todo, const QString& extra);

}  // namespace followup
