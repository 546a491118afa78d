#include <gtest/gtest.h>

#include <map>

#include "db/connections.h"
#include "followup/followup_status.h"
#include "programme/programme_data.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using namespace followup;

// The demo season must show every state of the status line whatever day it is loaded on.
TEST(DemoSeason, EveryGroupHeadShowsItsIntendedStatus) {
    testing_support::ui().clear();
    testdb::resetProgramme();
    testdb::execFile(testdb::programmeDb(), testdb::sourcePath("demo/programme.sql"));
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    EXPECT_TRUE(testing_support::ui().messages.empty());

    // Accented letters arrive as Windows-1252 bytes and read back through the code page.
    EXPECT_EQ(programme::showLookup(q("8")), q("Cœur de pierre"));
    QString company;
    EXPECT_EQ(programme::showLookup(q("1"), &company), q("L'Été en scène"));
    EXPECT_EQ(company, q("Théâtre du Pont-Neuf"));
    QString contractName;
    EXPECT_EQ(programme::roomLookup(q("0"), &contractName), q("Grande salle"));
    EXPECT_EQ(contractName, q("la Grande Salle du Kiosque (KQ), 12 rue des Teinturiers"));
    const auto raw = testdb::query(testdb::programmeDb(), "SELECT `nom` FROM `comp` WHERE `id` = 6");
    ASSERT_EQ(raw.size(), 1u);
    EXPECT_EQ(raw[0][0],
              "Cie \x8C"
              "il de B\x9C"
              "uf");

    const platform::DateTime now = platform::DateTime::fromQDateTime(QDateTime(QDate::currentDate(), QTime(15, 0)));
    std::map<QString, std::pair<COLORREF, QString>> seen;
    const auto& records = programme::timeslots();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const programme::Timeslot& slot = records[i];
        if (!programme::isGroupHead(slot) || programme::isDeleted(slot.deleted)) continue;
        const QDate d = QDate::fromString(slot.date, Qt::ISODate);
        const platform::DateTime slotDate = platform::DateTime::fromParts(d.year(), d.month(), d.day());
        QString text;
        const COLORREF colour = FollowUpStatus(static_cast<int>(i), now, slotDate, text);
        seen[slot.id] = {colour, text};
    }
    const auto expect = [&](const char* id, COLORREF colour, const char* start) {
        const auto it = seen.find(q(id));
        ASSERT_NE(it, seen.end()) << id;
        EXPECT_EQ(it->second.first, colour) << id << ": " << it->second.second.toStdString();
        EXPECT_TRUE(it->second.second.startsWith(q(start))) << id << ": " << it->second.second.toStdString();
    };
    expect("0", kGrey, "Pas de surveillance");
    expect("2", kOrange, "Contrat à envoyer");
    expect("5", gradient(0.5), "Attente retour contrat ,envoi Fait le ");
    EXPECT_TRUE(seen[q("5")].second.endsWith(q(" : 5 jours restants")));
    expect("7", kRed, "Attente retour contrat ,envoi Fait le ");
    EXPECT_TRUE(seen[q("7")].second.endsWith(q(" : 3 jours de retard")));
    expect("10", kBlue, "Attente retour contrat (envoi Fait le ");
    expect("11", kOrange, "Contrat à retourner, Visuels et affiches à demander");
    expect("13", kDarkRed, "Contrat ok, Attente visuel et affiches, Paiement non réalisé (dû 700.00, payé 350.00)");
    expect("16", kGreen, "Contrat ok, Visuels et affiches ok, Tout paiement à jour (dû 700.00, payé 700.00)");
    expect("19", kOrange, ", Paiement non réalisé (dû 1050.00, payé 700.00), Stat à envoyer à la compagnie");
    expect("21", kBlue, ", Tout paiement à jour (dû 1050.00, payé 1050.00), Attente facture et attestation TVA");
    expect("24", kOrange, ", Paiement de la compagnie à faire");
    expect("25", kGreen, ", Clôturé");
    expect("27", kGrey, "Pas de surveillance");
    EXPECT_EQ(seen.count(q("28")), 0u);
    EXPECT_EQ(programme::countChildren(q("16")), 2u);  // both deleted, still counted
    programme::clearAll();
}

}  // namespace
