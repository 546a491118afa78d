// The "Suivi" report: one row per group of the range, late ones first, and its CSV lines.
#include <gtest/gtest.h>

#include "followup/followup_report.h"
#include "followup/followup_status.h"
#include "planning/planning_draw.h"
#include "platform/csv.h"
#include "programme/programme_data.h"
#include "tests/support/qt_print.h"

namespace {

using platform::DateTime;

programme::Timeslot slot(const char* id, const char* date, const char* childof, const char* room, const char* todo = "",
                         const char* done = "", const char* deleted = "0") {
    programme::Timeslot t;
    t.id = QString::fromUtf8(id);
    t.date = QString::fromUtf8(date);
    t.start = QStringLiteral("20:30:00");
    t.end = QStringLiteral("22:00:00");
    t.deleted = QString::fromUtf8(deleted);
    t.showname = QStringLiteral("5");
    t.childof = QString::fromUtf8(childof);
    t.room = QString::fromUtf8(room);
    t.todo = QString::fromUtf8(todo);
    t.done = QString::fromUtf8(done);
    return t;
}

class FollowUpReport : public ::testing::Test {
protected:
    void SetUp() override {
        programme::clearAll();
        programme::rooms() = {{"10", "Grande salle", "", ""}, {"20", "Studio", "", ""}};
        programme::companies() = {{"1", "Cie du Pont", "", "", "", "0", ""}};
        programme::shows() = {{"5", "Le Grand Saut", "1", "0"}};
        // In date order, as loaded.
        programme::timeslots() = {
            slot("7", "2019-06-01", "-1", "20",
                 "Contrat envoyé par KQ$$$Stat envoyé par KQ à la compagnie"),  // over, stat due
            slot("5", "2019-07-03", "-1", "20", "Contrat envoyé par KQ"),       // contract to send
            slot("1", "2019-07-05", "-1", "10", "Contrat envoyé par KQ$$$Contrat reçu par KQ=1/6/2019",
                 "Contrat envoyé par KQ=Fait le 20/5/2019"),                        // return deadline passed
            slot("2", "2019-07-06", "-1", "10"),                                    // no follow-up
            slot("3", "2019-07-07", "2", "10"),                                     // its second slot
            slot("4", "2019-08-15", "2", "10"),                                     // its third, after the range
            slot("6", "2019-08-20", "-1", "10", "Contrat envoyé par KQ"),           // after the range
            slot("8", "2019-07-04", "-1", "10", "Contrat envoyé par KQ", "", "1"),  // deleted
        };
    }
    void TearDown() override { programme::clearAll(); }

    planning::PlanningView range() const {
        return {DateTime::fromParts(2019, 5, 30), DateTime::fromParts(2019, 7, 31), {}};
    }
    const DateTime now = DateTime::fromParts(2019, 6, 10, 12, 0, 0);
};

TEST_F(FollowUpReport, ListsEachGroupOfTheRangeOnceLateOnesFirst) {
    const auto rows = followup::followUpReport(planning::visibleTimeslots(range()), now);
    struct Expected {
        int head;
        const char* date;
        int slotCount;
        bool late;
        followup::COLORREF colour;
        const char* statusStart;
    };
    const Expected expected[] = {
        {0, "Samedi 01 Juin 2019", 1, true, followup::kOrange, ", Stat à envoyer"},
        {2, "Vendredi 05 Juillet 2019", 1, true, followup::kRed, "Attente retour contrat"},
        {1, "Mercredi 03 Juillet 2019", 1, false, followup::kOrange, "Contrat à envoyer"},
        {3, "Samedi 06 Juillet 2019", 2, false, followup::kGrey, "Pas de surveillance"},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& e = expected[i];
        EXPECT_EQ(rows[i].head, e.head) << i;
        EXPECT_EQ(rows[i].date, QString::fromUtf8(e.date)) << i;
        EXPECT_EQ(rows[i].slotCount, e.slotCount) << i;
        EXPECT_EQ(rows[i].late, e.late) << i;
        EXPECT_EQ(rows[i].colour, e.colour) << i;
        EXPECT_TRUE(rows[i].status.startsWith(QString::fromUtf8(e.statusStart))) << rows[i].status.toStdString();
        EXPECT_EQ(rows[i].show, QStringLiteral("Le Grand Saut"));
        EXPECT_EQ(rows[i].company, QStringLiteral("Cie du Pont"));
        EXPECT_EQ(rows[i].time, QStringLiteral("20:30"));
    }
    EXPECT_EQ(rows[0].room, QStringLiteral("Studio"));

    // The room filter of the planning holds for the report too.
    planning::PlanningView studio = range();
    studio.rooms.add(20);
    const auto studioRows = followup::followUpReport(planning::visibleTimeslots(studio), now);
    ASSERT_EQ(studioRows.size(), 2u);
    EXPECT_EQ(studioRows[0].head, 0);
    EXPECT_EQ(studioRows[1].head, 1);

    // A group whose later slot alone is in the range is listed from that slot.
    const planning::PlanningView july7{DateTime::fromParts(2019, 7, 7), DateTime::fromParts(2019, 7, 7), {}};
    const auto one = followup::followUpReport(planning::visibleTimeslots(july7), now);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].head, 3);
    EXPECT_EQ(one[0].date, QStringLiteral("Dimanche 07 Juillet 2019"));

    // From tonight at any hour: the group playing tonight is there from tonight, both slots.
    for (int hour : {0, 12, 21, 23}) {
        const planning::PlanningView tonight{
            DateTime::fromParts(2019, 7, 6, hour, 30, 0), DateTime::fromParts(2019, 7, 7, 9, 0, 0), {}};
        const auto fromTonight = followup::followUpReport(planning::visibleTimeslots(tonight), now);
        ASSERT_EQ(fromTonight.size(), 1u) << hour;
        EXPECT_EQ(fromTonight[0].date, QStringLiteral("Samedi 06 Juillet 2019")) << hour;
        EXPECT_EQ(fromTonight[0].slotCount, 2) << hour;
    }
}

TEST_F(FollowUpReport, LateMeansADeadlinePassedAndSaysWhich) {
    struct Case {
        followup::COLORREF colour;
        const char* status;
        bool over;
        bool followed;
        const char* steps;  // what is late, joined by " ; "
    };
    const Case cases[] = {
        {followup::kRed, "Attente retour contrat ,envoi ... : 2 jours de retard", false, true, "retour du contrat"},
        {followup::kDarkRed, "Contrat ok, Paiement non réalisé (dû 10.00, payé 0.00)", false, true, "paiement"},
        {followup::kOrange, ", Tout paiement à jour (dû 0.00, payé 0.00), Stat à envoyer à la compagnie", true, true,
         "clôture : stat à envoyer à la compagnie"},
        // Over with a payment missing: the closing colour, both said.
        {followup::kBlue,
         ", Paiement non réalisé (dû 10.00, payé 0.00), Attente facture et attestation TVA de la compagnie", true, true,
         "paiement ; clôture : attente facture et attestation TVA de la compagnie"},
        {followup::kGreen, ", Tout paiement à jour (dû 0.00, payé 0.00), Clôturé", true, true, ""},
        {followup::kOrange, "Contrat à envoyer", false, true, ""},
        {followup::kGrey, "Pas de surveillance", true, false, ""},
    };
    for (const Case& c : cases) {
        const QStringList steps = followup::lateSteps(c.colour, QString::fromUtf8(c.status), c.over, c.followed);
        EXPECT_EQ(steps.join(QStringLiteral(" ; ")), QString::fromUtf8(c.steps)) << c.status;
        EXPECT_EQ(followup::isLate(c.colour, QString::fromUtf8(c.status), c.over, c.followed), !steps.isEmpty())
            << c.status;
    }
}

TEST_F(FollowUpReport, CsvLinesHaveAHeaderAndOneLinePerGroup) {
    const auto lines =
        followup::followUpReportLines(followup::followUpReport(planning::visibleTimeslots(range()), now));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], QString::fromUtf8(
                            "Date;Jour;Heure;Salle;Spectacle;Compagnie;Créneaux;En retard;Ce qui est en retard;Suivi")
                            .split(u';'));
    EXPECT_EQ(lines[2].mid(0, 9),
              QString::fromUtf8("2019-07-05;Vendredi 05 Juillet 2019;20:30;Grande salle;Le Grand Saut;"
                                "Cie du Pont;1;oui;retour du contrat")
                  .split(u';'));
    EXPECT_TRUE(lines[2][9].contains(QStringLiteral("jours de retard")));
    EXPECT_EQ(lines[1][8], QString::fromUtf8("clôture : stat à envoyer à la compagnie"));
    EXPECT_EQ(lines[4][6], QStringLiteral("2"));
    EXPECT_EQ(lines[4][7], QString());
    EXPECT_EQ(followup::followUpReportLines({}).size(), 1u);
    // Each line's day as a date a spreadsheet sorts (the late ones first, as printed).
    QStringList dates;
    for (std::size_t i = 1; i < lines.size(); ++i) dates << lines[i][0];
    EXPECT_EQ(dates, QStringList({"2019-06-01", "2019-07-05", "2019-07-03", "2019-07-06"}));

    // Names from the database never run as formulas in the spreadsheet.
    programme::shows()[0].name = QStringLiteral("=HYPERLINK(\"x\")");
    programme::companies()[0].nom = QStringLiteral("\t+1");
    const QString document = QString::fromUtf8(platform::csvDocument(
        followup::followUpReportLines(followup::followUpReport(planning::visibleTimeslots(range()), now))));
    EXPECT_TRUE(document.contains(QStringLiteral(";\"'=HYPERLINK(\"\"x\"\")\";'\t+1;"))) << document.toStdString();
}

}  // namespace
