// What a delete takes with it, what it asks, and what its save writes; the Corbeille's rows,
// order and restores. All from records filled here, without a database.
#include <gtest/gtest.h>

#include "db/connections.h"
#include "edits/corbeille.h"
#include "edits/deletes.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/qt_print.h"
#include "tests/support/text.h"

namespace {

using edits::ChangedRows;
using edits::DeleteChoice;
using edits::RecordKind;
using edits::RecordRef;

constexpr const char* kPlan =
    "Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1=1/6/2027:350$$$Règlement 2=1/7/2027:350$$$"
    "Règlement 3$$$Stat envoyé par KQ à la compagnie";

// Companies 1 Mouette (a show, a group with a contract, and its placeholder show) and 2 Zèbre
// (its placeholder alone); 3 Effacée, deleted. Group 10 has slots 10, 11 (live) and 12
// (removed earlier); group 20 is deleted with its slot 21.
class DeletesTest : public ::testing::Test {
protected:
    void SetUp() override {
        db::closeProgramme();
        account::setForTests(q("Demo"), q("all"));
        programme::clearAll();
        programme::companies() = {{q("2"), q("Zèbre"), {}, {}, {}, q("0"), {}},
                                  {q("1"), q("Mouette"), {}, {}, {}, q("0"), {}},
                                  {q("3"), q("Effacée"), {}, {}, {}, q("1"), {}}};
        programme::shows() = {{q("5"), q("Nuit"), q("1"), q("0")},
                              {q("6"), q("<spectacle à définir (compagnie Mouette)>"), q("1"), q("0")},
                              {q("7"), q("<spectacle à définir (compagnie Zèbre)>"), q("2"), q("0")},
                              {q("8"), q("Vieux"), q("3"), q("1")}};
        programme::rooms() = {{q("1"), q("Rouge"), q("100"), q("la rouge")}};
        programme::timeslots() = {
            {q("10"), q("2027-07-05"), q("20:30:00"), q("22:00:00"), q("0"), q("5"), q("-1"), q("1"), q(kPlan),
             q("Règlement 1=Fait le 2/6/2027 (350)"), q("a.txt")},
            {q("11"), q("2027-07-06"), q("20:30:00"), q("22:00:00"), q("0"), q("5"), q("10"), q("1"), {}, {}, {}},
            {q("12"), q("2027-07-07"), q("20:30:00"), q("22:00:00"), q("1"), q("5"), q("10"), q("1"), {}, {}, {}},
            {q("20"), q("2027-08-01"), q("18:00:00"), q("19:00:00"), q("1"), q("8"), q("-1"), q("1"), {}, {}, {}},
            {q("21"), q("2027-08-02"), q("18:00:00"), q("19:00:00"), q("1"), q("8"), q("20"), q("1"), {}, {}, {}}};
        programme::contracts() = {{q("4"), q("10"), q("2027-01-01 10:00:00"),
                                   q("Date de retour du contrat avant nullité$$$Samedi 15 Mai 2027###Montant de chacun "
                                     "des 5 chèques$$$350###Date encaissement du chèque numéro 1$$$Mardi 01 Juin 2027"),
                                   q("0"), q("contrat_simple.rtf")}};
        programme::recordsChanged();
    }
    void TearDown() override { programme::clearAll(); }
};

TEST_F(DeletesTest, EachKindTakesItsLiveDependantsAndAsksAccordingly) {
    const struct {
        const char* name;
        RecordRef target;
        std::vector<RecordRef> dependants;
        std::vector<RecordRef> companions;
        QStringList answers;
        const char* inQuestion;
    } cases[] = {
        {"company with a show, its group and contract",
         {RecordKind::Company, q("1")},
         {{RecordKind::Show, q("5")}, {RecordKind::Group, q("10")}, {RecordKind::Contract, q("4")}},
         {{RecordKind::Show, q("6")}},
         {q("Tout supprimer"), q("Seulement la compagnie"), q("Non")},
         "Elle a encore 1 spectacle, 1 groupe de créneaux et 1 contrat."},
        {"company with only its placeholder",
         {RecordKind::Company, q("2")},
         {},
         {{RecordKind::Show, q("7")}},
         {q("Oui"), q("Non")},
         "Supprimer la compagnie « Zèbre » ?"},
        {"show with a group",
         {RecordKind::Show, q("5")},
         {{RecordKind::Group, q("10")}, {RecordKind::Contract, q("4")}},
         {},
         {q("Tout supprimer"), q("Seulement le spectacle"), q("Non")},
         "Il a encore 1 groupe de créneaux et 1 contrat."},
        {"group with a contract",
         {RecordKind::Group, q("10")},
         {{RecordKind::Contract, q("4")}},
         {},
         {q("Tout supprimer"), q("Seulement le groupe"), q("Non")},
         "Supprimer le groupe de créneaux « Nuit », Rouge, Lundi 05 Juillet 2027 à 20:30 ?"},
        {"contract whose plan items are not done",
         {RecordKind::Contract, q("4")},
         {},
         {},
         {q("Supprimer et retirer du suivi"), q("Seulement le contrat"), q("Non")},
         "Sa date de retour et 1 règlement non fait sont dans le suivi du groupe 10."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const edits::DeletePlan plan = edits::planDelete(c.target);
        EXPECT_EQ(plan.dependants, c.dependants);
        EXPECT_EQ(plan.companions, c.companions);
        const edits::DeleteQuestion question = edits::deleteQuestion(plan);
        EXPECT_EQ(question.answers, c.answers);
        EXPECT_TRUE(question.text.contains(q(c.inQuestion))) << question.text.toStdString();
        EXPECT_TRUE(question.text.endsWith(q("La Corbeille permet de revenir en arrière.")));
        // The last answer, the default, deletes nothing.
        EXPECT_EQ(edits::deleteChoice(plan, static_cast<int>(c.answers.size()) - 1), DeleteChoice::Nothing);
        EXPECT_TRUE(edits::deleteSave(plan, DeleteChoice::Nothing).statements.empty());
    }
}

TEST_F(DeletesTest, TheSaveWritesTheSoftDeletesAndSaysWhichRowsWentTogether) {
    const edits::DeletePlan company = edits::planDelete({RecordKind::Company, q("1")});
    const edits::SaveText all = edits::deleteSave(company, DeleteChoice::All);
    EXPECT_EQ(all.statements, (std::vector<std::string>{
                                  "UPDATE `comp` SET `deleted` = \"1\" WHERE `id` = 1",
                                  "UPDATE `showname` SET `deleted` = \"1\" WHERE `id` = 6",
                                  "UPDATE `showname` SET `deleted` = \"1\" WHERE `id` = 5",
                                  "UPDATE `timeslot` SET `deleted` = \"1\" WHERE `id` = 10 or `childof` = 10",
                                  "UPDATE `contract` SET `deleted` = \"1\" WHERE `id` = 4",
                              }));
    // The slot removed earlier (12) is not among the rows this delete took.
    EXPECT_EQ(all.auditMessage,
              q("compagnie 1 \"Mouette\" : supprimée avec 1 spectacle, 1 groupe de créneaux et 1 contrat "
                "[comp=1 showname=6,5 timeslot=10,11 contract=4]"));

    // Alone: the placeholder show still goes with its company, the rest stays.
    const edits::SaveText alone = edits::deleteSave(company, DeleteChoice::TargetOnly);
    EXPECT_EQ(alone.statements.size(), 2u);
    EXPECT_EQ(alone.auditMessage, q("compagnie 1 \"Mouette\" : supprimée [comp=1 showname=6]"));

    // A contract that takes its deadline and unpaid payments out of the plan: the paid first
    // payment and the items without values stay as they are.
    const edits::DeletePlan contract = edits::planDelete({RecordKind::Contract, q("4")});
    EXPECT_EQ(contract.plan, q("Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1=1/6/2027:350$$$Règlement 2$$$"
                               "Règlement 3$$$Stat envoyé par KQ à la compagnie"));
    const edits::SaveText cleaned = edits::deleteSave(contract, DeleteChoice::All);
    ASSERT_EQ(cleaned.statements.size(), 2u);
    EXPECT_EQ(cleaned.statements[1].rfind("UPDATE `timeslot` SET `todo` = \"Contrat envoy", 0), 0u);
    EXPECT_TRUE(cleaned.auditMessage.endsWith(q("[contract=4 plan=10]")));
    EXPECT_EQ(edits::deleteSave(contract, DeleteChoice::TargetOnly).statements.size(), 1u);
}

TEST_F(DeletesTest, AContractLeavesThePlanAloneWhenAnotherContractOfItsGroupStandsOrNothingIsPending) {
    // A second live contract of the same group wrote the same items.
    programme::contracts().push_back({q("9"), q("10"), {}, {}, q("0"), {}});
    programme::recordsChanged();
    EXPECT_TRUE(edits::planDelete({RecordKind::Contract, q("4")}).planGroup.isEmpty());
    programme::contracts().pop_back();

    // Everything done: nothing to take out, a plain yes/no.
    programme::timeslots()[0].done =
        q("Contrat reçu par KQ=Fait le 1/5/2027$$$Règlement 1=Fait le 2/6/2027 (350)$$$"
          "Règlement 2=Fait le 2/7/2027 (350)");
    const edits::DeletePlan plan = edits::planDelete({RecordKind::Contract, q("4")});
    EXPECT_TRUE(plan.planGroup.isEmpty());
    EXPECT_EQ(edits::deleteQuestion(plan).answers, QStringList({q("Oui"), q("Non")}));
}

TEST(ChangedRows, TailsReadBackAndForeignTextIsNoTail) {
    ChangedRows rows;
    rows.add(q("comp"), q("3"));
    rows.add(q("timeslot"), QStringList{q("12"), q("13")});
    rows.add(q("comp"), q("3"));  // once only
    EXPECT_EQ(rows.tail(), q(" [comp=3 timeslot=12,13]"));
    const ChangedRows back = ChangedRows::parse(q("Demo : compagnie 3 \"A [b]\" : supprimée") + rows.tail());
    EXPECT_EQ(back.ids(q("timeslot")), QStringList({q("12"), q("13")}));
    EXPECT_TRUE(back.contains(q("comp"), q("3")));

    const char* notTails[] = {"Demo : manager started",
                              "Demo : compagnie 3 \"A [b]\"",
                              "x [comp=3 timeslot=a]",
                              "x [comp]",
                              "x [=3]",
                              "x [comp=3"};
    for (const char* text : notTails) EXPECT_TRUE(ChangedRows::parse(q(text)).empty()) << text;

    const edits::AuditLine line =
        edits::parseAuditLine(q("2027-01-02 03:04:05"), q("Demo : groupe 10 : supprimé [timeslot=10]"));
    EXPECT_EQ(line.account, q("Demo"));
    EXPECT_EQ(line.message, q("groupe 10 : supprimé [timeslot=10]"));
    EXPECT_EQ(line.utc.toUTC().toString(Qt::ISODate), q("2027-01-02T03:04:05Z"));
}

TEST_F(DeletesTest, TheCorbeilleListsNewestDeleteFirstAndRestoresWhatWentTogether) {
    // Mouette deleted with everything, at 10:00 by Anne; group 20 and show 8 and company 3
    // deleted long ago, without a trail.
    programme::companies()[1].deleted = q("1");
    programme::shows()[0].deleted = q("1");
    programme::shows()[1].deleted = q("1");
    programme::timeslots()[0].deleted = q("1");
    programme::timeslots()[1].deleted = q("1");
    programme::contracts()[0].deleted = q("1");
    programme::recordsChanged();
    const std::vector<edits::AuditLine> lines = {
        edits::parseAuditLine(q("2027-03-01 10:00:00"), q("Anne : compagnie 1 \"Mouette\" : supprimée avec 1 spectacle "
                                                          "[comp=1 showname=6,5 timeslot=10,11 contract=4 plan=10]")),
        edits::parseAuditLine(q("2027-02-01 09:00:00"), q("Paul : compagnie 9 \"Autre\" : supprimée [comp=9]")),
    };
    const std::vector<edits::CorbeilleEntry> entries = edits::corbeilleEntries(lines);
    QStringList order;
    for (const auto& e : entries) order << e.kindName + u' ' + e.ref.id;
    // The trail's delete first, its records together, then those without a trail.
    EXPECT_EQ(order, QStringList({q("Compagnie 1"), q("Spectacle 6"), q("Spectacle 5"), q("Groupe 10"), q("Contrat 4"),
                                  q("Compagnie 3"), q("Spectacle 8"), q("Groupe 20")}));
    EXPECT_EQ(entries[0].deletedBy, q("Anne"));
    EXPECT_FALSE(entries[5].deletedAt.isValid());
    EXPECT_EQ(entries[2].attachedTo, q("compagnie « Mouette »"));

    const auto entry = [&](const char* label) {
        return *std::find_if(entries.begin(), entries.end(),
                             [&](const edits::CorbeilleEntry& e) { return e.kindName + u' ' + e.ref.id == q(label); });
    };
    // The group alone: its parents (show 5, company 1) are offered; its slots come back but
    // not the one removed before the delete.
    edits::RestorePlan group = edits::planRestore({entry("Groupe 10")}, entries);
    ASSERT_EQ(group.parents.size(), 2u);
    EXPECT_EQ(group.parents[0].ref, (RecordRef{RecordKind::Show, q("5")}));
    EXPECT_EQ(group.parents[1].ref, (RecordRef{RecordKind::Company, q("1")}));
    EXPECT_EQ(edits::restoreQuestion(group).answers.size(), 3u);
    EXPECT_EQ(edits::restoreSave(group, false).statements,
              (std::vector<std::string>{"UPDATE `timeslot` SET `deleted` = \"0\" WHERE `id` IN (10, 11)"}));
    const edits::SaveText withParents = edits::restoreSave(group, true);
    EXPECT_EQ(withParents.statements,
              (std::vector<std::string>{"UPDATE `comp` SET `deleted` = \"0\" WHERE `id` IN (1)",
                                        "UPDATE `showname` SET `deleted` = \"0\" WHERE `id` IN (5, 6)",
                                        "UPDATE `timeslot` SET `deleted` = \"0\" WHERE `id` IN (10, 11)"}));
    EXPECT_EQ(withParents.auditMessage,
              q("restauration de groupe 10 \"Nuit\", spectacle 5 \"Nuit\", compagnie 1 \"Mouette\" "
                "[timeslot=10,11 showname=5,6 comp=1]"));

    // Without a trail a group comes back with all its deleted slots.
    EXPECT_EQ(edits::restoreSave(edits::planRestore({entry("Groupe 20")}, entries), false).statements.front(),
              "UPDATE `timeslot` SET `deleted` = \"0\" WHERE `id` IN (20, 21)");

    // A contract whose delete cleaned its group's plan writes its deadline and payments back.
    const edits::SaveText contract = edits::restoreSave(edits::planRestore({entry("Contrat 4")}, entries), false);
    ASSERT_EQ(contract.statements.size(), 2u);
    EXPECT_NE(contract.statements[1].find("Contrat re\xE7u par KQ=15/5/2027"), std::string::npos);
    EXPECT_EQ(contract.auditMessage, q("contrat 4 : restauré [contract=4 plan=10]"));
}

}  // namespace
