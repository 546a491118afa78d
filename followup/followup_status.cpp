#include "followup/followup_status.h"

#include <cmath>

#include "followup/followup.h"
#include "platform/utf8.h"
#include "programme/programme_data.h"

namespace followup {

namespace {

using platform::DateTime;

// The item titles the status reads, as the checklist files write them (including the
// misspelt "retouné", which stored records carry).
const char* const kContractSent = "Contrat envoyé par KQ";
const char* const kContractReceived = "Contrat reçu par KQ";
const char* const kContractReturned = "Contrat retouné à la compagnie par KQ";
const char* const kVisualsRequested = "Visuel et affiches demandés";
const char* const kVisualsReceived = "Visuel et affiches reçus";
const char* const kPaymentPrefix = "Règlement ";
const char* const kStatsSent = "Stat envoyé par KQ à la compagnie";
const char* const kInvoiceReceived = "Facture et attestation TVA de la compagnie reçues par KQ";
const char* const kCompanyPaid = "Paiement de la compagnie fait par KQ";
constexpr int kPayments = 5;

using platform::u8;

// The number right after the first occurrence of marker, or 0.
double numberAfter(const QString& text, QChar marker) {
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? 0.0 : programme::leadingDecimal(QStringView(text).mid(at + 1));
}

DateTime dateOf(const QString& dayMonthYear, bool& parsed) {
    unsigned day = 0;
    unsigned month = 0;
    unsigned year = 0;
    parsed = ParseDate(dayMonthYear, day, month, year) == 0;
    return DateTime::fromParts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

// The contract is out and not back yet: the return countdown, or just the sending date when
// there is no usable deadline.
COLORREF contractReturnStatus(const QString& sent, const QString& plannedReturn, const DateTime& now, QString& text) {
    const QString waiting = u8("Attente retour contrat (envoi %1)").arg(sent);
    if (plannedReturn.isEmpty()) {
        text = waiting;
        return kBlue;
    }
    const QString deadlineText = plannedReturn.mid(1);
    bool deadlineParsed = false;
    bool sentParsed = false;
    const DateTime deadline = dateOf(deadlineText, deadlineParsed);
    const DateTime sentDate = dateOf(sent.mid(8), sentParsed);
    // Without both dates the count would be meaningless.
    if (!deadlineParsed || !sentParsed || !deadline.isValid() || !sentDate.isValid()) {
        text = waiting;
        return kBlue;
    }
    const long long remaining = platform::wholeDays(deadline, now);
    const long long total = platform::wholeDays(deadline, sentDate);
    const double x = static_cast<double>(remaining) / static_cast<double>(total);
    if (remaining < 0) {
        text = u8("Attente retour contrat ,envoi %1, date limite retour %2 : %3 jours de retard")
                   .arg(sent, deadlineText, QString::number(-remaining));
        return kRed;
    }
    text = u8("Attente retour contrat ,envoi %1, date limite retour %2 : %3 jours restants")
               .arg(sent, deadlineText, QString::number(remaining));
    return gradient(x);
}

}  // namespace

COLORREF gradient(double x) {
    if (std::isnan(x) || x < 0.0) x = 0.0;
    if (x > 1.0) x = 1.0;
    const auto channel = [](double v) { return static_cast<unsigned>(static_cast<int>(255.0 * v)) & 0xFFu; };
    return rgb(channel(1.0 - x), 0, channel(x));
}

COLORREF FollowUpStatus(int index, const DateTime& now, const DateTime& slotDate, QString& text) {
    const auto& records = programme::timeslots();
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) {
        text.clear();
        return kGrey;
    }
    const programme::Timeslot& head = records[static_cast<std::size_t>(index)];
    return FollowUpStatus(head.todo, head.done, now, slotDate, text);
}

COLORREF FollowUpStatus(const QString& todo, const QString& done, const DateTime& now, const DateTime& slotDate,
                        QString& text) {
    text.clear();
    COLORREF colour = kGrey;
    if (todo.isEmpty()) {
        text = u8("Pas de surveillance");
        return kGrey;
    }

    // On the slot's own day now is already past 00:00, so the slot counts as past.
    if (platform::notAfter(now, slotDate)) {
        const QString sent = ItemValue(done, u8(kContractSent));
        if (sent.isEmpty()) {
            text = u8("Contrat à envoyer");
            return kOrange;
        }
        const QString plannedReturn = PlanValue(todo, u8(kContractReceived));
        if (ItemValue(done, u8(kContractReceived)).isEmpty())
            return contractReturnStatus(sent, plannedReturn, now, text);

        if (ItemValue(done, u8(kContractReturned)).isEmpty()) {
            text = u8("Contrat à retourner");
            colour = kOrange;
        } else {
            text = u8("Contrat ok");
            colour = kGreen;
        }
        if (ItemValue(done, u8(kVisualsRequested)).isEmpty()) {
            text += u8(", Visuels et affiches à demander");
            colour = kOrange;
        } else if (ItemValue(done, u8(kVisualsReceived)).isEmpty()) {
            text += u8(", Attente visuel et affiches");
            if (colour != kOrange) colour = kBlue;
        } else {
            text += u8(", Visuels et affiches ok");
            if (colour != kOrange) colour = kGreen;
        }
    }

    QString planned[kPayments];
    QString paidText[kPayments];
    bool allPlanned = true;
    for (int i = 0; i < kPayments; ++i) {
        const QString key = u8(kPaymentPrefix) + QString::number(i + 1);
        planned[i] = PlanValue(todo, key);
        paidText[i] = ItemValue(done, key);
        if (planned[i].isEmpty()) allPlanned = false;
    }
    if (allPlanned) {
        double due = 0.0;
        double paid = 0.0;
        for (int i = 0; i < kPayments; ++i) {
            if (paidText[i].contains(u'(')) paid += numberAfter(paidText[i], u'(');
            bool parsed = false;
            const DateTime deadline = dateOf(planned[i].mid(1), parsed);
            if (deadline.isValid() && platform::notAfter(deadline, now) && planned[i].contains(u':'))
                due += numberAfter(planned[i], u':');
        }
        const QString amounts = QString::asprintf(" (dû %.2f, payé %.2f)", due, paid);
        if (due <= paid) {
            text += u8(", Tout paiement à jour") + amounts;
            colour = kGreen;
        } else {
            text += u8(", Paiement non réalisé") + amounts;
            colour = kDarkRed;
        }
    }

    if (platform::before(slotDate, now)) {
        if (ItemValue(done, u8(kStatsSent)).isEmpty()) {
            text += u8(", Stat à envoyer à la compagnie");
            return kOrange;
        }
        if (ItemValue(done, u8(kInvoiceReceived)).isEmpty()) {
            text += u8(", Attente facture et attestation TVA de la compagnie");
            return kBlue;
        }
        if (ItemValue(done, u8(kCompanyPaid)).isEmpty()) {
            text += u8(", Paiement de la compagnie à faire");
            return kOrange;
        }
        text += u8(", Clôturé");
        return kGreen;
    }
    return colour;
}

}  // namespace followup
