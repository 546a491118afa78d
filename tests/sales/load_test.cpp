#include <gtest/gtest.h>

#include "db/connections.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "tests/sales/sales_print.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

class SalesLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        testdb::resetTicketing();
    }
    static void fillTables() {
        // Latin-1 bytes, as the ticketing database holds them.
        testdb::exec(testdb::ticketingDb(),
                     "INSERT INTO `salle` VALUES (0, 'Le Kiosque', '2025-07-10 18:02:03'), (1, 'Th\xE9\xE2tre', NULL);"
                     "INSERT INTO `shows` VALUES"
                     " (20000005, 'L''\xC9t\xE9 en sc\xE8ne', '2025-07-10 21:00:00', 1, 100, 'Plein:R\xE9"
                     "duit:Diner'),"
                     " (45, 'Contes', '2025-07-10 11:00:00', 2, 50, 'RS:Plein');"
                     "INSERT INTO `res` VALUES (1, 20000005, 3, '10:12:8.5', '2:0:2', '1;0;1'),"
                     " (2, 45, 2, '9:9', '0:1', '1;1'), (3, 777, 5, '1:1:1:1:1', '', '');");
    }
};

TEST_F(SalesLoadTest, ReadsTheThreeTablesByPositionAndConvertsTheTexts) {
    fillTables();
    sales::TicketingData data;
    sales::SalesIndex index;
    data.addRoom(q("reste d'un chargement"), {});
    sales::load(data, index);
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();

    ASSERT_EQ(data.rooms().size(), 2u);
    EXPECT_EQ(data.rooms()[0].name, q("Le Kiosque"));
    EXPECT_EQ(data.rooms()[0].last_sync, q("2025-07-10 18:02:03"));
    EXPECT_EQ(data.rooms()[1].name, q("Théâtre"));
    EXPECT_EQ(data.rooms()[1].last_sync, QString());

    ASSERT_EQ(data.shows().size(), 2u);
    const sales::TicketingShow& ete = data.shows()[0].id == 20000005 ? data.shows()[0] : data.shows()[1];
    EXPECT_EQ(ete.name, q("L'Été en scène"));
    EXPECT_EQ(ete.starts_at, q("2025-07-10 21:00:00"));
    EXPECT_EQ(ete.room_number, 2);  // from the id, not from column 3
    EXPECT_EQ(ete.tariffs, q("Plein:Réduit:Diner"));

    ASSERT_EQ(data.reservations().size(), 3u);
    EXPECT_EQ(data.reservations()[0].show_id, 20000005);
    EXPECT_EQ(data.reservations()[0].seats, 3);
    EXPECT_EQ(data.text(data.reservations()[0].prices), "10:12:8.5");
    EXPECT_EQ(data.text(data.reservations()[0].tariff_indexes), "2:0:2");
    EXPECT_EQ(data.text(data.reservations()[0].paid_flags), "1;0;1");

    // The index was built by the load.
    const sales::AggregateResult r = index.aggregate(data, sales_testing::wholeRange());
    EXPECT_EQ(r, sales::aggregateByScan(data, sales_testing::wholeRange()));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[1].reserved, q("3/30.50€/10.17€"));
    EXPECT_EQ(r.rows[1].meal, q("2"));
    EXPECT_EQ(r.rows[0].meal, q("1"));
    EXPECT_EQ(r.reservedTotal, q("5/48.50€/9.70€"));
    EXPECT_EQ(r.paidTotal, q("4/36.50€/9.12€"));
    EXPECT_EQ(r.mealTotal, q("3"));

    // A second load replaces everything.
    testdb::exec(testdb::ticketingDb(), "DELETE FROM `res` WHERE `id` > 1; DELETE FROM `salle` WHERE `id` = 1");
    sales::load(data, index);
    EXPECT_EQ(data.rooms().size(), 1u);
    EXPECT_EQ(data.reservations().size(), 1u);
    EXPECT_EQ(index.aggregate(data, sales_testing::wholeRange()).reservedTotal, q("3/30.50€/10.17€"));
    EXPECT_FALSE(testing_support::ui().waitCursorShown);
}

TEST_F(SalesLoadTest, ARefusedShowsTableStillLoadsRoomsAndReservations) {
    fillTables();
    testdb::exec(testdb::ticketingDb(), "DROP TABLE `shows`");
    sales::TicketingData data;
    sales::SalesIndex index;
    sales::load(data, index);
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_EQ(testing_support::ui().messages[0].text,
              q("Erreur : db_exec (SELECT * FROM shows) : Table '%1.shows' doesn't exist")
                  .arg(QString::fromStdString(testdb::ticketingDb())));
    EXPECT_EQ(testing_support::ui().messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(data.rooms().size(), 2u);
    EXPECT_TRUE(data.shows().empty());
    EXPECT_EQ(data.reservations().size(), 3u);
    const sales::AggregateResult r = index.aggregate(data, sales_testing::wholeRange());
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.reservedTotal, q("0/0.00€/0.00€"));
    EXPECT_EQ(r.paidTotal, q("0/0.00€/0.00€"));
    EXPECT_EQ(r.mealTotal, QString());
}

TEST_F(SalesLoadTest, AnUnreachableServerLeavesTheTablesEmpty) {
    fillTables();
    sales::TicketingData data;
    sales::SalesIndex index;
    data.addShow(1, q("ancien"), q("2025-07-10 20:00:00"), {});
    index.build(data);
    db::ConnectionSettings& settings = db::ticketingSettings();
    const unsigned port = settings.port;
    settings.port = 1;  // nothing listens there
    sales::load(data, index);
    settings.port = port;
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : mysql_real_connect : ")));
    EXPECT_TRUE(data.rooms().empty());
    EXPECT_TRUE(data.shows().empty());
    EXPECT_TRUE(index.aggregate(data, sales_testing::wholeRange()).rows.empty());
    EXPECT_EQ(db::ticketingConnection(), nullptr);
}

}  // namespace
