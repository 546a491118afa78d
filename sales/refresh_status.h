// What the sales overview says about its refreshes: which failure messages it shows, and the
// line that marks figures as stale when the ticketing server cannot be reached.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace sales {

inline constexpr const char* kLoadingText = "Chargement des ventes…";
inline constexpr const char* kUnreachableSuffix = " — serveur de billetterie injoignable";
inline constexpr const char* kNoAnswerSuffix = " — serveur de billetterie sans réponse";
inline constexpr const char* kCutSuffix = " — lecture des ventes interrompue";

// Why the figures shown are not the server's of now.
enum class StaleReason {
    Unreachable,  // the server could not be reached, or the link broke
    NoAnswer,     // a refresh outlived a period of the timer, or its read timed out
    Cut,          // a table was not read to its end: the previous figures stay
};

// "Données de 14:05 — serveur de billetterie injoignable" for figures last known good today;
// with the date when they are older; "Aucune donnée — …" when none ever arrived.
QString staleText(const QDateTime& lastGood, const QDateTime& now, StaleReason reason = StaleReason::Unreachable);

// Which of a refresh's messages are shown. A refresh the user asked for shows them all. On the
// timer, a server that cannot be reached is reported once per outage, and a statement the
// server refuses once for as long as it goes on refusing it, not every ten seconds.
class RefreshNotices {
public:
    QStringList select(bool reached, const QStringList& messages, bool userAsked);

private:
    bool outage_ = false;
    QStringList refusals_;  // those of the last refresh that reached the server
};

}  // namespace sales
