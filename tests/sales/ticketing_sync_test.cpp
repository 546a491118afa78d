// The worker's reading of the ticketing tables against the load on the program-wide
// connection: the same tables whole, and after any changes between two refreshes only the
// changed shows' rows read again, to the same tables.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <thread>

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
        const char* file;        // a data set of the source tree, or none
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

// Random inserts, updates and deletes of reservations, shows and rooms between refreshes,
// the same edit to two rows at once, values swapped between two rows, and changes made
// between two statements of one refresh: after each, the tables held are those a load reads
// (after a refresh with changes made during it, once one more refresh has run), only the
// touched show ids were read again, and the server's general log shows the statements the
// refreshes say they sent and no table read whole.
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
        sql += (i ? ", (" : "(") + std::to_string(nextRes++) + ", " +
               std::to_string(*std::next(shows.begin(), pick(0, 59))) + ", " + std::to_string(seats) + ", " +
               priceList(seats) + ")";
    }
    testdb::exec(testdb::ticketingDb(), sql);
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    expectSameAsALoad("first load");
    testdb::exec("", "SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1; TRUNCATE TABLE mysql.general_log");
    struct GeneralLogOff {
        ~GeneralLogOff() { testdb::exec("", "SET GLOBAL general_log = 0"); }
    } logOff;

    int someReadAgain = 0;
    int sent = 0;
    int wholeLoads = 0;
    std::set<unsigned long> linkThreads;
    for (int round = 0; round < 40; ++round) {
        std::set<int32_t> touched;
        std::string changes;
        const auto resIds = testdb::query(testdb::ticketingDb(),
                                          "SELECT `id`, `show_id`, `seats`, `prices`, `tariffs`, `paid` FROM `res`");
        const auto anyRes = [&]() -> const testdb::Row& {
            return resIds[static_cast<std::size_t>(pick(0, static_cast<int>(resIds.size()) - 1))];
        };
        const int count = pick(0, 5);
        for (int k = 0; k < count; ++k) {
            const int target = showId();
            switch (pick(0, 9)) {
            case 0: {  // a new booking, sometimes with an id before the others
                const int seats = pick(1, 5);
                const int id = pick(0, 1) ? nextRes++ : pick(1, 1999);
                changes += "INSERT IGNORE INTO `res` VALUES (" + std::to_string(id) + ", " + std::to_string(target) +
                           ", " + std::to_string(seats) + ", " + priceList(seats) + ");";
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
                changes += "INSERT IGNORE INTO `shows` VALUES (" + std::to_string(target) +
                           ", 'Nouveau', '2025-07-11 18:00:00', 0, 90, 'RS:Plein');";
                touched.insert(target);
                break;
            case 5:  // a performance renamed, moved in time
                changes +=
                    "UPDATE `shows` SET `name` = CONCAT(`name`, ' bis'), `starts_at` = starts_at + INTERVAL 1 HOUR "
                    "WHERE `id` = " +
                    std::to_string(target) + ";";
                touched.insert(target);
                break;
            case 6:  // a performance removed, its bookings kept
                changes += "DELETE FROM `shows` WHERE `id` = " + std::to_string(target) + ";";
                touched.insert(target);
                break;
            case 7:
                changes += "UPDATE `salle` SET `last_sync` = NOW() + INTERVAL " + std::to_string(round) +
                           " MINUTE WHERE `id` = 0;";
                break;
            case 8: {  // the same edit to two bookings (a price corrected, both paid)
                const testdb::Row& a = anyRes();
                const testdb::Row& b = anyRes();
                changes += std::string(pick(0, 1) ? "UPDATE `res` SET `paid` = REPLACE(`paid`, '0', '1')"
                                                  : "UPDATE `res` SET `prices` = REPLACE(`prices`, '.50', '.00')") +
                           " WHERE `id` IN (" + a[0] + ", " + b[0] + ");";
                touched.insert(std::stoi(a[1]));
                touched.insert(std::stoi(b[1]));
                break;
            }
            case 9: {  // two bookings' seats swapped
                const testdb::Row& a = anyRes();
                const testdb::Row& b = anyRes();
                for (const auto& [to, from] : {std::pair{&a, &b}, std::pair{&b, &a}})
                    changes += "UPDATE `res` SET `seats` = " + (*from)[2] + ", `prices` = '" + (*from)[3] +
                               "', `tariffs` = '" + (*from)[4] + "', `paid` = '" + (*from)[5] +
                               "' WHERE `id` = " + (*to)[0] + ";";
                touched.insert(std::stoi(a[1]));
                touched.insert(std::stoi(b[1]));
                break;
            }
            }
        }
        // Every fourth round, the changes land between two statements of the refresh.
        const bool during = round % 4 == 3 && !changes.empty();
        const int landsBefore = pick(2, 4);
        int statement = 0;
        if (during) {
            sync.beforeEachStatement = [&](const std::string&) {
                if (++statement == landsBefore) testdb::exec(testdb::ticketingDb(), changes);
            };
        } else if (!changes.empty()) {
            testdb::exec(testdb::ticketingDb(), changes);
        }
        const std::string when = "round " + std::to_string(round);
        std::vector<RefreshOutcome> outcomes{refresh(RefreshKind::Changes)};
        sync.beforeEachStatement = nullptr;
        if (during) {
            if (statement < landsBefore) testdb::exec(testdb::ticketingDb(), changes);  // the refresh ended before
            outcomes.push_back(refresh(RefreshKind::Changes));
        }
        for (const RefreshOutcome& outcome : outcomes) {
            ASSERT_TRUE(outcome.reached) << when;
            ASSERT_TRUE(outcome.failures.empty()) << when << ": " << outcome.failures[0].errorText;
            // A booking moved while the refresh read can come twice: the next one reads all.
            if (!during) {
                EXPECT_FALSE(outcome.wholeLoad) << when;
            }
            for (int32_t id : outcome.rereadShowIds)
                EXPECT_TRUE(touched.count(id)) << when << ": show " << id << " read again";
            if (!outcome.rereadShowIds.empty()) ++someReadAgain;
            sent += outcome.statements;
            wholeLoads += outcome.wholeLoad ? 1 : 0;
        }
        linkThreads.insert(link.serverThreadId());
        expectSameAsALoad(when.c_str());
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(someReadAgain, 25);
    EXPECT_TRUE(testing_support::ui().messages.empty());

    // What the server recorded of the refreshes' connections.
    std::string threads;
    for (unsigned long id : linkThreads) threads += (threads.empty() ? "" : ", ") + std::to_string(id);
    // The session's SQL mode, set by each connect, is the connection's, not a refresh's.
    const auto logged =
        testdb::query("",
                      "SELECT COUNT(*), IFNULL(SUM(argument = 'SELECT * FROM res;'), 0) FROM mysql.general_log"
                      " WHERE command_type = 'Query' AND thread_id IN (" +
                          threads +
                          ")"
                          " AND argument <> \"" +
                          std::string(db::kSessionSqlMode) + "\"");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(std::stoi(logged[0][0]), sent) << "statements the refreshes counted against those the server ran";
    EXPECT_EQ(std::stoi(logged[0][1]), wholeLoads) << "reservations read whole";
    EXPECT_LE(wholeLoads, 2);
}

// Edits that a sum of CRC-32s could not see: the same edit to two bookings of one performance
// leaves that sum as it was (the server's own CRC32 shows it), and the next refresh still
// reads them again.
TEST_F(TicketingSyncTest, TheSameEditToTwoBookingsIsSeenAtTheNextRefresh) {
    const struct Pair {
        const char* rows;
        const char* edit;
        int32_t show;
    } pairs[] = {
        {"(199473, 10000256, 2, '15.50:15.50', '0:0', '0;0'), (199546, 10000256, 2, '15.50:15.50', '0:0', '0;0')",
         "UPDATE `res` SET `paid` = '1;1' WHERE `id` IN (199473, 199546)", 10000256},
        {"(266658, 20004280, 1, '15.50', '1', '1'), (242855, 20004280, 1, '15.50', '1', '1')",
         "UPDATE `res` SET `prices` = '12.00' WHERE `id` IN (266658, 242855)", 20004280},
    };
    const std::string crcSum =
        "SELECT SUM(CRC32(CONCAT_WS(CHAR(31), `id`, `show_id`, `seats`, `prices`, `tariffs`, `paid`))) FROM `res`";
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.edit);
        testdb::resetTicketing();
        testdb::exec(testdb::ticketingDb(),
                     "INSERT INTO `shows` VALUES (10000256, 'Un', '2025-07-10 20:00:00', 1, 90, 'Plein'),"
                     " (20004280, 'Deux', '2025-07-11 20:00:00', 2, 90, 'Plein');"
                     "INSERT INTO `res` VALUES (1, 10000256, 1, '9', '0', '0'), (2, 5, 1, '9', '0', '0'),"
                     " (3, 5, 1, '9', '0', '0'), (4, 5, 1, '9', '0', '0'), (5, 5, 1, '9', '0', '0'), " +
                         std::string(p.rows));
        ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
        const auto crcBefore = testdb::query(testdb::ticketingDb(), crcSum);
        testdb::exec(testdb::ticketingDb(), p.edit);
        EXPECT_EQ(testdb::query(testdb::ticketingDb(), crcSum), crcBefore) << "the pair cancels in a sum of CRC-32s";
        const RefreshOutcome outcome = refresh(RefreshKind::Changes);
        EXPECT_EQ(outcome.rereadShowIds, std::vector<int32_t>{p.show});
        expectSameAsALoad(p.edit);
    }
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

// A statement that stops while its rows come (here a row the server cannot give; KILL QUERY
// and max_statement_time do the same): the tables held stay, whatever the refresh.
TEST_F(TicketingSyncTest, ATableCutOffWhileItsRowsComeLeavesTheTablesHeld) {
    testdb::execFile(testdb::ticketingDb(), testdb::sourcePath("demo/ticketing.sql"));
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    const auto held = sync.tables();
    testdb::exec(testdb::ticketingDb(),
                 "RENAME TABLE `res` TO `res_rows`;"
                 "CREATE FUNCTION `res_cut`(`n` INT) RETURNS INT DETERMINISTIC BEGIN"
                 " IF `n` > 5 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'coupure'; END IF; RETURN `n`; END;"
                 "CREATE VIEW `res` AS SELECT `res_cut`(`id`) AS `id`, `show_id`, `seats`, `prices`, `tariffs`, `paid`"
                 " FROM `res_rows` ORDER BY `id`");
    for (RefreshKind kind : {RefreshKind::Whole, RefreshKind::Changes}) {
        const RefreshOutcome outcome = refresh(kind);
        EXPECT_TRUE(outcome.reached);
        EXPECT_TRUE(outcome.partial);
        EXPECT_FALSE(outcome.tables);
        EXPECT_EQ(sync.tables(), held);
        ASSERT_EQ(outcome.failures.size(), 1u);
        // On the timer, the check itself is what the server cuts off.
        if (kind == RefreshKind::Whole) {
            EXPECT_EQ(outcome.failures[0].statement, "SELECT * FROM res");
        }
        EXPECT_EQ(outcome.failures[0].errorText, "coupure");
    }
    testdb::exec(testdb::ticketingDb(), "DROP VIEW `res`; RENAME TABLE `res_rows` TO `res`");
    const RefreshOutcome mended = refresh(RefreshKind::Changes);
    EXPECT_FALSE(mended.partial);
    EXPECT_TRUE(mended.failures.empty());
    expectSameAsALoad("once the table gives all its rows");
}

// Rows whose check the server computes otherwise (a table restored in another character set)
// turn the quick refresh off; a whole load that agrees with the server's checks turns it on.
TEST_F(TicketingSyncTest, TheQuickRefreshComesBackOnceAWholeLoadAgreesWithTheServer) {
    testdb::exec(testdb::ticketingDb(),
                 "INSERT INTO `shows` VALUES (1, '\xC9t\xE9', '2025-07-10 20:00:00', 0, 90, 'Plein'),"
                 " (2, 'Deux', '2025-07-10 21:00:00', 0, 90, 'Plein');"
                 "INSERT INTO `res` VALUES (1, 1, 1, '10', '0', '1'), (2, 2, 1, '12', '0', '0')");
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    testdb::exec(testdb::ticketingDb(), "ALTER TABLE `shows` CONVERT TO CHARACTER SET utf8mb4");
    for (int tick = 0; tick < 4; ++tick) refresh(RefreshKind::Changes);
    EXPECT_FALSE(sync.readsChangesOnly());
    EXPECT_TRUE(refresh(RefreshKind::Changes).wholeLoad);
    EXPECT_FALSE(sync.readsChangesOnly()) << "the server still computes otherwise";

    testdb::exec(testdb::ticketingDb(), "ALTER TABLE `shows` CONVERT TO CHARACTER SET latin1");
    EXPECT_TRUE(refresh(RefreshKind::Changes).wholeLoad);
    EXPECT_TRUE(sync.readsChangesOnly());
    testdb::exec(testdb::ticketingDb(), "UPDATE `res` SET `paid` = '1' WHERE `id` = 2");
    const RefreshOutcome quick = refresh(RefreshKind::Changes);
    EXPECT_FALSE(quick.wholeLoad);
    EXPECT_EQ(quick.rereadShowIds, std::vector<int32_t>{2});
    expectSameAsALoad("back to reading changes");
}

// A table locked on the server (maintenance): the check gives up after its timeout, once,
// and the statement it left there is ended, not left waiting for the lock.
TEST_F(TicketingSyncTest, ALockedTableTimesOutOnceAndLeavesNothingWaitingOnTheServer) {
    testdb::execFile(testdb::ticketingDb(), testdb::sourcePath("demo/ticketing.sql"));
    ASSERT_TRUE(refresh(RefreshKind::Whole).tables);
    const auto held = sync.tables();
    db::ConnectionSettings quick = db::ticketingSettings();
    quick.timeout = 1;
    const std::string waiting = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE `USER` = '" +
                                db::ticketingSettings().user + "' AND `STATE` LIKE 'Waiting for table%'";
    {
        testdb::TableLock lock(testdb::ticketingDb(), "res", std::chrono::seconds(8));
        const auto start = std::chrono::steady_clock::now();
        const RefreshOutcome outcome = sync.refresh(RefreshKind::Changes, link, quick);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_FALSE(outcome.reached);
        EXPECT_TRUE(outcome.timedOut);
        EXPECT_GE(seconds, 0.9);
        EXPECT_LT(seconds, 1.9) << "sent once, not again on a new connection";
        EXPECT_EQ(sync.tables(), held);
        // The server ends a killed statement a moment after it is told to.
        const auto left = [&] { return testdb::query("", waiting).at(0).at(0); };
        for (int i = 0; i < 20 && left() != "0"; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(left(), "0") << "statements still waiting for the table";
    }
    // Verifying every bucket costs the check values alone when nothing differs.
    const RefreshOutcome verified = sync.refresh(RefreshKind::Verify, link, quick);
    EXPECT_TRUE(verified.reached);
    EXPECT_FALSE(verified.tables);
    EXPECT_EQ(verified.statements, 2) << "the totals, then every bucket";
    testdb::exec(testdb::ticketingDb(), "UPDATE `res` SET `paid` = '1;1;1;1;1;1;1;1' WHERE `id` = 3");
    EXPECT_EQ(sync.refresh(RefreshKind::Verify, link, quick).rereadShowIds.size(), 1u);
    expectSameAsALoad("after a verification");
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
    // MD5 of the row's texts joined by 0x1F, as the server's MD5() gives it: the digest of
    // "12345" and "6789" is that of "12345\x1F6789"; of one column "123456789", the MD5 test
    // value 25f9e794323b453885f5181f1b624d0b.
    char nine[] = "123456789";
    char* one[] = {nine};
    EXPECT_EQ(sales::rowDigest(1, one), (sales::RowDigest{0x25f9e794323b4538u, 0x85f5181f1b624d0bu}));
    const auto serverDigests = testdb::query("",
                                             "SELECT CONV(LEFT(MD5(CONCAT_WS(CHAR(31), '1', '', 'x')), 16), 16, 10),"
                                             " CONV(RIGHT(MD5(CONCAT_WS(CHAR(31), '1', '')), 16), 16, 10)");
    char a[] = "1";
    char b[] = "";
    char c[] = "x";
    char* row[] = {a, b, c};
    EXPECT_EQ(std::to_string(sales::rowDigest(3, row).high), serverDigests.at(0).at(0));
    char* missing[] = {a, nullptr};  // a column whose copy could not be made reads as empty
    EXPECT_EQ(std::to_string(sales::rowDigest(2, missing).low), serverDigests.at(0).at(1));

    sales::Check check;
    EXPECT_TRUE(sales::parseCheck("3 18446744073709551615", check));
    EXPECT_EQ(check, (sales::Check{3, 18446744073709551615u}));
    for (const char* bad : {"", "3", "3 ", " 3", "3 x", "3 1 2", "-1 4", "3 18446744073709551616"})
        EXPECT_FALSE(sales::parseCheck(bad, check)) << bad;

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
    EXPECT_NE(fine.find("SUM(CAST(CONV(LEFT(MD5("), std::string::npos) << fine;
    EXPECT_NE(fine.find("MOD 18446744073709551616"), std::string::npos) << "sums kept to 64 bits, as the program adds";
    const std::string verification = sales::showIdsStatement(names, {0}, {}, sales::DigestHalf::Low);
    EXPECT_NE(verification.find("SUM(CAST(CONV(RIGHT(MD5("), std::string::npos) << verification;
    EXPECT_EQ(sales::reservationsOfIdsStatement(names[2], {7, 9}),
              "SELECT * FROM `res` WHERE `show_id` IN (7, 9) ORDER BY `id`");
}

}  // namespace
