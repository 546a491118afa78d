// The worker's reading of the ticketing tables against the load on the program-wide
// connection: the same tables whole, and after any changes between two refreshes only the
// changed shows' rows read again, to the same tables.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "db/connections.h"
#include "db/own_connection.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "sales/ticketing_sync.h"
#include "tests/sales/sales_print.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

using sales::RefreshKind;
using sales::RefreshOutcome;
using sales::TicketingSync;

class TicketingSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        testdb::resetTicketing();
    }

    RefreshOutcome refresh(RefreshKind kind) { return sync.refresh(kind, link, db::ticketingSettings()); }

    // The tables the load of the program-wide connection reads now.
    static sales::TicketingData loadedNow() {
        sales::TicketingData data;
        sales::SalesIndex index;
        sales::load(data, index);
        return data;
    }

    void expectSameAsALoad(const char* when) {
        const sales::TicketingData today = loadedNow();
        const auto held = sync.tables();
        ASSERT_EQ(sales_testing::tablesDifference(held->data, today), "") << when;
        sales::SalesIndex index;
        index.build(today);
        EXPECT_EQ(held->index.aggregate(held->data, sales_testing::wholeRange()),
                  index.aggregate(today, sales_testing::wholeRange()))
            << when;
    }

    TicketingSync sync;
    db::OwnConnection link;
};

TEST_F(TicketingSyncTest, AWholeLoadReadsWhatTheLoadReadsWithTheSameStatementsAndMessages) {
    struct Case {
        const char* name;
        const char* file;       // a data set of the source tree, or none
        const char* statements;  // more, run after it
        const char* refused;     // the statement refused, if any
    };
    const Case cases[] = {
        {"demo season", "demo/ticketing.sql", "", nullptr},
        {"Windows-1252 bytes and NULLs", nullptr,
         "INSERT INTO `salle` VALUES (0, 'Le Kiosque', '2025-07-10 18:02:03'), (1, 'Th\xE9\xE2tre', NULL);"
         "INSERT INTO `shows` VALUES (20000005, 'L''\xC9t\xE9', '2025-07-10 21:00:00', 1, 100, 'Plein:Diner'),"
         " (45, 'Contes', '2025-07-10 11:00:00', 2, 50, 'RS:Plein');"
         "INSERT INTO `res` VALUES (1, 20000005, 3, '10:12:8.5', '2:0:2', '1;0;1'), (2, 45, 2, '9:9', '0:1', '1;1'),"
         " (3, 777, 5, '1:1:1:1:1', '', '')",
         nullptr},
        {"a table the server refuses", "demo/ticketing.sql", "DROP TABLE `shows`", "SELECT * FROM shows"},
        {"empty tables", nullptr, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testdb::resetTicketing();
        if (c.file) testdb::execFile(testdb::ticketingDb(), testdb::sourcePath(c.file));
        if (*c.statements) testdb::exec(testdb::ticketingDb(), c.statements);
        testing_support::ui().clear();
        const sales::TicketingData today = loadedNow();
        const QStringList todaysMessages = testing_support::ui().messageTexts();

        TicketingSync fresh;
        const RefreshOutcome outcome = fresh.refresh(RefreshKind::Whole, link, db::ticketingSettings());
        EXPECT_TRUE(outcome.reached);
        EXPECT_TRUE(outcome.wholeLoad);
        ASSERT_TRUE(outcome.tables);
        EXPECT_EQ(sales_testing::tablesDifference(outcome.tables->data, today), "");
        ASSERT_EQ(outcome.failures.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(outcome.failures[0].statement, c.refused);
            // The message the load showed, once the worker's refusal is recorded.
            db::setLastErrorText(outcome.failures[0].errorText);
            EXPECT_EQ(QStringList{db::dbExecMessage(c.refused)}, todaysMessages);
        }
        // Only tables read whole, in the order of their ids, let the timer read changes only.
        EXPECT_EQ(fresh.readsChangesOnly(), c.refused == nullptr);
    }
}

TEST_F(TicketingSyncTest, NothingChangedCostsOneStatementAndNoTable) {
    testdb::execFile(testdb::ticketingDb(), testdb::sourcePath("demo/ticketing.sql"));
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    for (int tick = 0; tick < 3; ++tick) {
        const RefreshOutcome outcome = refresh(RefreshKind::Changes);
        EXPECT_EQ(outcome.statements, 1);
        EXPECT_TRUE(outcome.reached);
        EXPECT_FALSE(outcome.tables);
        EXPECT_FALSE(outcome.wholeLoad);
        EXPECT_TRUE(outcome.rereadShowIds.empty());
    }
    // A room's synchronisation time alone: the rooms read again, nothing else.
    testdb::exec(testdb::ticketingDb(), "UPDATE `salle` SET `last_sync` = '2030-01-01 00:00:00' WHERE `id` = 1");
    const RefreshOutcome rooms = refresh(RefreshKind::Changes);
    ASSERT_TRUE(rooms.tables);
    EXPECT_TRUE(rooms.rereadShowIds.empty());
    EXPECT_FALSE(rooms.wholeLoad);
    EXPECT_EQ(rooms.statements, 2) << "the check, then the rooms";
    expectSameAsALoad("after a room's synchronisation");
}

// Random inserts, updates and deletes of reservations, shows and rooms between refreshes:
// after each, the tables held are those a load reads, and only the touched show ids were
// read again.
TEST_F(TicketingSyncTest, AfterRandomChangesTheTablesHeldAreThoseOfAWholeLoad) {
    std::mt19937 rng(18);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto showId = [&] { return pick(0, 2) * 10000000 + pick(0, 300); };
    auto priceList = [&](int seats) {
        std::string prices, tariffs, paid;
        for (int k = 0; k < seats; ++k) {
            prices += (k ? ":" : "") + std::to_string(pick(5, 40)) + (pick(0, 3) ? ".50" : "");
            tariffs += (k ? ":" : "") + std::to_string(pick(0, 3));
            paid += (k ? ";" : "") + std::to_string(pick(0, 1));
        }
        return "'" + prices + "', '" + tariffs + "', '" + paid + "'";
    };
    std::set<int> shows;
    std::string sql = "INSERT INTO `salle` VALUES (0, 'KQ', NOW()), (1, 'ZOD', NOW()), (2, 'ZAZ', NULL);";
    for (int i = 0; i < 60; ++i) shows.insert(showId());
    sql += "INSERT INTO `shows` VALUES ";
    for (int id : shows)
        sql += (id == *shows.begin() ? "(" : ", (") + std::to_string(id) + ", 'Spectacle " + std::to_string(id) +
               "', '2025-07-1" + std::to_string(pick(0, 3)) + " 20:00:00', 0, 90, 'Plein:Diner')";
    sql += ";INSERT INTO `res` VALUES ";
    int nextRes = 2000;  // ids below stay free, for insertions that land before older rows
    for (int i = 0; i < 600; ++i) {
        const int seats = pick(1, 6);
        sql += (i ? ", (" : "(") + std::to_string(nextRes++) + ", " + std::to_string(*std::next(shows.begin(), pick(0, 59))) +
               ", " + std::to_string(seats) + ", " + priceList(seats) + ")";
    }
    testdb::exec(testdb::ticketingDb(), sql);
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    expectSameAsALoad("first load");

    int readChangesOnly = 0;
    int someReadAgain = 0;
    for (int round = 0; round < 40; ++round) {
        std::set<int32_t> touched;
        std::string changes;
        const auto resIds = testdb::query(testdb::ticketingDb(), "SELECT `id`, `show_id` FROM `res`");
        const auto anyRes = [&]() -> const testdb::Row& { return resIds[static_cast<std::size_t>(pick(0, static_cast<int>(resIds.size()) - 1))]; };
        const int count = pick(0, 5);
        for (int k = 0; k < count; ++k) {
            const int target = showId();
            switch (pick(0, 7)) {
            case 0: {  // a new booking, sometimes with an id before the others
                const int seats = pick(1, 5);
                const int id = pick(0, 1) ? nextRes++ : pick(1, 1999);
                changes += "INSERT IGNORE INTO `res` VALUES (" + std::to_string(id) + ", " + std::to_string(target) + ", " +
                           std::to_string(seats) + ", " + priceList(seats) + ");";
                touched.insert(target);
                break;
            }
            case 1: {  // a booking paid
                const testdb::Row& r = anyRes();
                changes += "UPDATE `res` SET `paid` = REPLACE(`paid`, '0', '1') WHERE `id` = " + r[0] + ";";
                touched.insert(std::stoi(r[1]));
                break;
            }
            case 2: {  // a booking moved to another performance
                const testdb::Row& r = anyRes();
                changes += "UPDATE `res` SET `show_id` = " + std::to_string(target) + " WHERE `id` = " + r[0] + ";";
                touched.insert(std::stoi(r[1]));
                touched.insert(target);
                break;
            }
            case 3: {  // a booking cancelled
                const testdb::Row& r = anyRes();
                changes += "DELETE FROM `res` WHERE `id` = " + r[0] + ";";
                touched.insert(std::stoi(r[1]));
                break;
            }
            case 4:  // a performance added
                changes += "INSERT IGNORE INTO `shows` VALUES (" + std::to_string(target) + ", 'Nouveau', '2025-07-11 18:00:00', 0, 90, 'RS:Plein');";
                touched.insert(target);
                break;
            case 5:  // a performance renamed, moved in time
                changes += "UPDATE `shows` SET `name` = CONCAT(`name`, ' bis'), `starts_at` = starts_at + INTERVAL 1 HOUR WHERE `id` = " +
                           std::to_string(target) + ";";
                touched.insert(target);
                break;
            case 6:  // a performance removed, its bookings kept
                changes += "DELETE FROM `shows` WHERE `id` = " + std::to_string(target) + ";";
                touched.insert(target);
                break;
            case 7:
                changes += "UPDATE `salle` SET `last_sync` = NOW() + INTERVAL " + std::to_string(round) + " MINUTE WHERE `id` = 0;";
                break;
            }
        }
        if (!changes.empty()) testdb::exec(testdb::ticketingDb(), changes);
        const RefreshOutcome outcome = refresh(RefreshKind::Changes);
        ASSERT_TRUE(outcome.reached) << "round " << round;
        ASSERT_TRUE(outcome.failures.empty()) << "round " << round << ": " << outcome.failures[0].errorText;
        EXPECT_FALSE(outcome.wholeLoad) << "round " << round;
        for (int32_t id : outcome.rereadShowIds) EXPECT_TRUE(touched.count(id)) << "round " << round << ": show " << id << " read again";
        if (!outcome.wholeLoad) ++readChangesOnly;
        if (!outcome.rereadShowIds.empty()) ++someReadAgain;
        expectSameAsALoad(("round " + std::to_string(round)).c_str());
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(readChangesOnly, 40);
    EXPECT_GT(someReadAgain, 25);
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(TicketingSyncTest, ABrokenLinkIsSaidAndTheTablesHeldStay) {
    testdb::execFile(testdb::ticketingDb(), testdb::sourcePath("demo/ticketing.sql"));
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    const auto held = sync.tables();

    // The server drops the kept connection: the refresh opens a new one and goes on.
    ASSERT_TRUE(link.isOpen());
    testdb::killConnection(link.serverThreadId());
    testdb::exec(testdb::ticketingDb(), "UPDATE `res` SET `seats` = `seats` + 1 WHERE `id` = 1");
    RefreshOutcome outcome = refresh(RefreshKind::Changes);
    EXPECT_TRUE(outcome.reached);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_TRUE(outcome.tables);
    expectSameAsALoad("after the connection was killed");

    // Nobody answers: nothing replaces the tables held, and the message is the load's.
    const auto before = sync.tables();
    db::ConnectionSettings nowhere = db::ticketingSettings();
    nowhere.port = 1;
    link.close();
    for (RefreshKind kind : {RefreshKind::Changes, RefreshKind::Whole}) {
        outcome = sync.refresh(kind, link, nowhere);
        EXPECT_FALSE(outcome.reached);
        EXPECT_FALSE(outcome.tables);
        EXPECT_TRUE(outcome.openFailure.startsWith(QStringLiteral("Erreur : mysql_real_connect : ")))
            << outcome.openFailure.toStdString();
        EXPECT_FALSE(link.isOpen());
        EXPECT_EQ(sync.tables(), before);
    }
    EXPECT_TRUE(testing_support::ui().messages.empty()) << "the worker shows nothing itself";
}

TEST_F(TicketingSyncTest, TablesNotInTheOrderOfTheirIdsAreReadWholeEveryTime) {
    // A table whose rows come in another order than their ids' (not the clustered index of
    // the tables served): changes could not be put in their place, so every refresh reads all.
    testdb::exec(testdb::ticketingDb(),
                 "ALTER TABLE `res` DROP PRIMARY KEY, ENGINE = MyISAM;"
                 "INSERT INTO `shows` VALUES (1, 'Un', '2025-07-10 20:00:00', 0, 90, 'Plein');"
                 "INSERT INTO `res` VALUES (5, 1, 1, '10', '0', '1'), (3, 1, 1, '12', '0', '1')");
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    EXPECT_FALSE(sync.readsChangesOnly());
    testdb::exec(testdb::ticketingDb(), "INSERT INTO `res` VALUES (4, 1, 1, '7', '0', '0')");
    const RefreshOutcome outcome = refresh(RefreshKind::Changes);
    EXPECT_TRUE(outcome.wholeLoad);
    expectSameAsALoad("out of order");
}

TEST(TicketingChecks, ChecksAndStatementsAgreeWithTheServersForm) {
    EXPECT_EQ(sales::crc32(""), 0u);
    EXPECT_EQ(sales::crc32("123456789"), 0xCBF43926u);  // the CRC-32 check value
    char a[] = "1";
    char b[] = "";
    char c[] = "x";
    char* row[] = {a, b, c};
    EXPECT_EQ(sales::rowCheck(3, row), sales::crc32("1\x1F\x1Fx"));
    char* missing[] = {a, nullptr};  // a column whose copy could not be made reads as empty
    EXPECT_EQ(sales::rowCheck(2, missing), sales::crc32("1\x1F"));

    sales::Check check;
    EXPECT_TRUE(sales::parseCheck("3 12884901888", check));
    EXPECT_EQ(check, (sales::Check{3, 12884901888u}));
    for (const char* bad : {"", "3", "3 ", " 3", "3 x", "3 1 2", "-1 4"}) EXPECT_FALSE(sales::parseCheck(bad, check)) << bad;

    // Buckets divide as the server's DIV does, towards zero.
    EXPECT_EQ(sales::bucketOf(63), 0);
    EXPECT_EQ(sales::bucketOf(64), 1);
    EXPECT_EQ(sales::bucketOf(-63), 0);
    EXPECT_EQ(sales::bucketOf(-64), -1);
    EXPECT_EQ(sales::bucketOf(20000005), 312500);

    const std::map<int32_t, sales::Check> held{{1, {1, 5}}, {2, {2, 9}}, {4, {1, 1}}};
    const std::map<int32_t, sales::Check> server{{1, {1, 5}}, {2, {2, 8}}, {3, {1, 1}}};
    EXPECT_EQ(sales::differingKeys(held, server), (std::vector<int32_t>{2, 3, 4}));

    // Column names come from the server and are quoted as names.
    const sales::TableColumns names[sales::kTableCount] = {{"id", "name"}, {"id", "a`b"}, {"id", "show_id"}};
    const std::string fine = sales::showIdsStatement(names, {0, -2}, {});
    EXPECT_NE(fine.find("`id` BETWEEN -63 AND 63 OR `id` BETWEEN -191 AND -128"), std::string::npos) << fine;
    EXPECT_NE(sales::totalsStatement(names).find("IFNULL(`a``b`, '')"), std::string::npos);
    EXPECT_EQ(sales::reservationsOfIdsStatement(names[2], {7, 9}),
              "SELECT * FROM `res` WHERE `show_id` IN (7, 9) ORDER BY `id`");
}

}  // namespace
