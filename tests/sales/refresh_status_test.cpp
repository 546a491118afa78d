#include <gtest/gtest.h>

#include "sales/refresh_status.h"
#include "tests/support/text.h"

namespace {

TEST(SalesStaleText, SaysWhenTheFiguresWereLastGood) {
    const QDateTime now(QDate(2025, 7, 12), QTime(14, 30, 5));
    struct Case {
        QDateTime lastGood;
        const char* expected;
        sales::StaleReason reason = sales::StaleReason::Unreachable;
    };
    const Case cases[] = {
        {QDateTime(QDate(2025, 7, 12), QTime(14, 5, 59)), "Données de 14:05 — serveur de billetterie injoignable"},
        {QDateTime(QDate(2025, 7, 12), QTime(0, 0)), "Données de 00:00 — serveur de billetterie injoignable"},
        {QDateTime(QDate(2025, 7, 11), QTime(23, 58)),
         "Données du 11/07/2025 à 23:58 — serveur de billetterie injoignable"},
        {QDateTime(), "Aucune donnée — serveur de billetterie injoignable"},
        {QDateTime(QDate(2025, 7, 12), QTime(14, 5)), "Données de 14:05 — serveur de billetterie sans réponse",
         sales::StaleReason::NoAnswer},
        {QDateTime(), "Aucune donnée — lecture des ventes interrompue", sales::StaleReason::Cut},
    };
    for (const Case& c : cases) EXPECT_EQ(sales::staleText(c.lastGood, now, c.reason), q(c.expected)) << c.expected;
}

// Each step: whether the server was reached, the messages of the refresh, whether the user
// asked for it, and the messages shown.
TEST(SalesRefreshNotices, OneMessagePerOutageOnTheTimerEveryOneWhenAsked) {
    struct Step {
        bool reached;
        QStringList messages;
        bool userAsked;
        QStringList shown;
    };
    const QString down = q("Erreur : mysql_real_connect : Can't connect");
    const QString downOtherwise = q("Erreur : mysql_real_connect : Lost connection");
    const QString refused = q("Erreur : db_exec (SELECT * FROM shows) : Table doesn't exist");
    const Step steps[] = {
        {true, {}, false, {}},
        {false, {down}, false, {down}},       // an outage begins
        {false, {down}, false, {}},           // ... and goes on, in silence
        {false, {downOtherwise}, false, {}},  // whatever the library says meanwhile
        {false, {down}, true, {down}},        // the user asked: told again
        {false, {down}, false, {}},
        {true, {}, false, {}},                // back
        {false, {down}, false, {down}},       // a new outage
        {true, {refused}, false, {refused}},  // the server answers but refuses a table
        {true, {refused}, false, {}},         // ... every ten seconds: said once
        {true, {refused}, true, {refused}},   // asked for: said
        {true, {}, false, {}},                // mended
        {true, {refused}, false, {refused}},  // refused anew: said anew
    };
    sales::RefreshNotices notices;
    int n = 0;
    for (const Step& s : steps)
        EXPECT_EQ(notices.select(s.reached, s.messages, s.userAsked), s.shown) << "step " << n++;
}

}  // namespace
