#include "followup/contract_followup.h"

#include <array>

#include "contracts/contract_info.h"
#include "followup/followup.h"
#include "programme/programme_data.h"

namespace followup {

namespace {

unsigned leadingUnsigned(QStringView text) {
    unsigned value = 0;
    for (qsizetype i = 0; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value > 100000000u) break;
        value = value * 10 + static_cast<unsigned>(text[i].unicode() - u'0');
    }
    return value;
}

unsigned frenchMonthNumber(QStringView word) {
    static const std::array<QString, 12> kMonths = {
        QStringLiteral("Janvier"),   QStringLiteral("Février"), QStringLiteral("Mars"),     QStringLiteral("Avril"),
        QStringLiteral("Mai"),       QStringLiteral("Juin"),    QStringLiteral("Juillet"),  QStringLiteral("Août"),
        QStringLiteral("Septembre"), QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre")};
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (word == kMonths[i]) return static_cast<unsigned>(i + 1);
    return 0;
}

}  // namespace

QString dayMonthYearOfLongDate(const QString& longDate) {
    QStringView rest(longDate);
    qsizetype space = rest.indexOf(u' ');
    if (space < 0) return QString();
    rest = rest.mid(space + 1);
    const unsigned day = leadingUnsigned(rest);
    space = rest.indexOf(u' ');
    if (space < 0) return QString();
    rest = rest.mid(space + 1);
    space = rest.indexOf(u' ');
    const unsigned month = frenchMonthNumber(space < 0 ? rest : rest.left(space));
    if (space < 0) return QString();
    const unsigned year = leadingUnsigned(rest.mid(space + 1));
    return QString::asprintf("%u/%u/%u", day, month, year);
}

bool writeReturnDeadline(QString& todo, const QString& extra) {
    const QString deadline = contracts::valueInExtra(extra, contracts::labels::kReturnDeadline);
    if (deadline.isEmpty()) return false;
    SetItemValue(todo, QString::fromUtf8(kContractBackItem), dayMonthYearOfLongDate(deadline));
    return true;
}

bool writePayments(QString& todo, const QString& extra) {
    const QString amount = contracts::valueInExtra(extra, contracts::labels::kChequeAmount);
    if (amount.isEmpty()) return false;
    for (int n = 1; n <= 5; ++n) {
        const QString date = contracts::valueInExtra(extra, contracts::labels::kChequeDate(n));
        SetItemValue(todo, QString::fromUtf8(kPaymentItemPrefix) + QString::number(n),
                     dayMonthYearOfLongDate(date) + u':' + amount);
    }
    return true;
}

}  // namespace followup
