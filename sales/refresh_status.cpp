#include "sales/refresh_status.h"

namespace sales {

QString staleText(const QDateTime& lastGood, const QDateTime& now, StaleReason reason) {
    QString head;
    if (!lastGood.isValid())
        head = QStringLiteral("Aucune donnée");
    else if (lastGood.date() == now.date())
        head = QStringLiteral("Données de ") + lastGood.toString(QStringLiteral("HH:mm"));
    else
        head = lastGood.toString(QStringLiteral("'Données du 'dd/MM/yyyy' à 'HH:mm"));
    switch (reason) {
    case StaleReason::NoAnswer: return head + QString::fromUtf8(kNoAnswerSuffix);
    case StaleReason::Cut: return head + QString::fromUtf8(kCutSuffix);
    case StaleReason::Unreachable: break;
    }
    return head + QString::fromUtf8(kUnreachableSuffix);
}

QStringList RefreshNotices::select(bool reached, const QStringList& messages, bool userAsked) {
    if (!reached) {
        const bool show = userAsked || !outage_;
        outage_ = true;
        return show ? messages : QStringList();
    }
    outage_ = false;
    QStringList shown;
    for (const QString& m : messages) {
        if (userAsked || !refusals_.contains(m)) shown << m;
    }
    refusals_ = messages;
    return shown;
}

}  // namespace sales
