#include <gtest/gtest.h>

#include <mysql.h>

#include <QStringList>
#include <chrono>
#include <memory>
#include <thread>

#include "db/connections.h"
#include "db/query_runner.h"
#include "programme/date_texts.h"
#include "programme/programme_data.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using programme::ProgrammeTable;

// Stands for the manager window's lists: remembers what the loads told them and, at each
// table loaded, the records then loaded.
class RecordingLists final : public programme::LoadHooks {
public:
    void loading(ProgrammeTable table) override { calls << QStringLiteral("empty ") + name(table); }
    void loaded(ProgrammeTable table) override {
        calls << QStringLiteral("fill %1 %2").arg(name(table)).arg(count(table));
    }
    static std::size_t count(ProgrammeTable table) {
        switch (table) {
        case ProgrammeTable::Rooms: return programme::rooms().size();
        case ProgrammeTable::Companies: return programme::companies().size();
        case ProgrammeTable::Shows: return programme::shows().size();
        case ProgrammeTable::Timeslots: return programme::timeslots().size();
        case ProgrammeTable::Contracts: return programme::contracts().size();
        }
        return 0;
    }

    static QString name(ProgrammeTable table) {
        switch (table) {
        case ProgrammeTable::Rooms: return QStringLiteral("rooms");
        case ProgrammeTable::Companies: return QStringLiteral("companies");
        case ProgrammeTable::Shows: return QStringLiteral("shows");
        case ProgrammeTable::Timeslots: return QStringLiteral("timeslots");
        case ProgrammeTable::Contracts: return QStringLiteral("contracts");
        }
        return QString();
    }
    QStringList calls;
};

class ProgrammeDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        programme::clearAll();
        testdb::resetProgramme();
        // Windows-1252 bytes, as the programme database holds them.
        testdb::exec(
            testdb::programmeDb(),
            "INSERT INTO `comp` VALUES (0, '<compagnie \xE0 d\xE9"
            "finir>', '', '', '', 0, ''),"
            " (1, 'Th\xE9\xE2tre du Pont', 'pont@example.org', 'Anne', 'Luc', 0, '3 rue Haute\r\n84000 Avignon'),"
            " (2, 'Arlequin', '', '', '', 1, '');"
            "INSERT INTO `showname` VALUES (0, 'Zazie', 1, 0), (7, 'Ubu', 2, 0), (2, 'Antigone', 1, 1);"
            "INSERT INTO `salle` VALUES (1, 'Grande salle', 'GS', '220 places', 'la Grande Salle du KQ'),"
            " (0, 'Petite salle', 'PS', '49', 'la Petite Salle');"
            "INSERT INTO `timeslot` VALUES"
            " (0, '2019-07-06', '21:00:00', '22:30:00', 0, 0, -1, 1, 'A$$$B', 'A=Fait le 1/6/2019', 'base.txt'),"
            " (1, '2019-07-05', '19:00:00', '20:00:00', 0, 0, 0, 1, '', '', ''),"
            " (2, '2019-07-05', '09:05:00', '10:00:00', 1, 7, 0, 0, '', '', ''),"
            " (3, '2019-07-08', '10:00:00', '11:00:00', 0, 7, -1, 0, '', '', '');"
            "INSERT INTO `contract` VALUES (0, 0, '2019-05-01 10:00:00', 'a$$$b', 0, 'contrat.rtf'),"
            " (1, 3, '2019-05-03 10:00:00', '', 1, ''), (2, 0, '2019-05-02 10:00:00', '', 0, '')");
    }
    void TearDown() override {
        db::closeProgramme();
        programme::clearAll();
    }
};

TEST_F(ProgrammeDataTest, ReloadAllReadsEveryTableInItsOrderAndRefillsEachList) {
    RecordingLists lists;
    EXPECT_EQ(programme::reloadAll(&lists), 0);
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
    EXPECT_FALSE(db::programmeConnected());
    EXPECT_EQ(lists.calls, QStringList({"empty rooms", "fill rooms 2", "empty companies", "fill companies 3",
                                        "empty shows", "fill shows 3", "empty timeslots", "fill timeslots 4",
                                        "empty contracts", "fill contracts 3"}));

    // Names descending, with the server's own collation ("<" sorts before letters).
    const auto& companies = programme::companies();
    ASSERT_EQ(companies.size(), 3u);
    EXPECT_EQ(companies[0].nom, q("Théâtre du Pont"));
    EXPECT_EQ(companies[1].nom, q("Arlequin"));
    EXPECT_EQ(companies[2].nom, q("<compagnie à définir>"));
    EXPECT_EQ(companies[0].id, q("1"));
    EXPECT_EQ(companies[0].email, q("pont@example.org"));
    EXPECT_EQ(companies[0].contact1, q("Anne"));
    EXPECT_EQ(companies[0].contact2, q("Luc"));
    EXPECT_EQ(companies[0].fulladr, q("3 rue Haute\r\n84000 Avignon"));
    EXPECT_EQ(companies[1].deleted, q("1"));  // deleted records are held like the others

    const auto& shows = programme::shows();
    ASSERT_EQ(shows.size(), 3u);
    EXPECT_EQ(shows[0].name, q("Zazie"));
    EXPECT_EQ(shows[1].name, q("Ubu"));
    EXPECT_EQ(shows[1].comp, q("2"));
    EXPECT_EQ(shows[2].name, q("Antigone"));
    EXPECT_EQ(shows[2].deleted, q("1"));

    // Column 2 of salle is skipped.
    const auto& rooms = programme::rooms();
    ASSERT_EQ(rooms.size(), 2u);
    const programme::Room& big = rooms[0].id == q("1") ? rooms[0] : rooms[1];
    EXPECT_EQ(big.name, q("Grande salle"));
    EXPECT_EQ(big.capacity, q("220 places"));
    EXPECT_EQ(big.contract_name, q("la Grande Salle du KQ"));

    const auto& loaded = programme::timeslots();
    ASSERT_EQ(loaded.size(), 4u);
    QStringList order;
    for (const auto& s : loaded) order << s.id;
    EXPECT_EQ(order, QStringList({"2", "1", "0", "3"}));  // by date, then start
    EXPECT_EQ(loaded[2].date, q("2019-07-06"));
    EXPECT_EQ(loaded[2].start, q("21:00:00"));
    EXPECT_EQ(loaded[2].end, q("22:30:00"));
    EXPECT_EQ(loaded[2].childof, q("-1"));
    EXPECT_EQ(loaded[2].room, q("1"));
    EXPECT_EQ(loaded[2].todo, q("A$$$B"));
    EXPECT_EQ(loaded[2].done, q("A=Fait le 1/6/2019"));
    EXPECT_EQ(loaded[2].survey, q("base.txt"));
    EXPECT_EQ(loaded[0].showname, q("7"));
    EXPECT_EQ(loaded[0].deleted, q("1"));

    const auto& contracts = programme::contracts();
    ASSERT_EQ(contracts.size(), 3u);
    EXPECT_EQ(contracts[0].id, q("1"));  // newest first
    EXPECT_EQ(contracts[1].id, q("2"));
    EXPECT_EQ(contracts[2].id, q("0"));
    EXPECT_EQ(contracts[2].ts, q("0"));
    EXPECT_EQ(contracts[2].created, q("2019-05-01 10:00:00"));
    EXPECT_EQ(contracts[2].extra, q("a$$$b"));
    EXPECT_EQ(contracts[2].rtf, q("contrat.rtf"));
    EXPECT_EQ(contracts[0].deleted, q("1"));
}

TEST_F(ProgrammeDataTest, ARefusedStatementEmptiesOnlyItsTableAndTheOthersStillLoad) {
    EXPECT_EQ(programme::reloadAll(nullptr), 0);
    testdb::exec(testdb::programmeDb(), "DROP TABLE `showname`");
    RecordingLists lists;
    EXPECT_EQ(programme::reloadAll(&lists), -1);

    const QStringList messages = testing_support::ui().messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (SELECT * FROM showname ORDER BY `name` DESC) : ")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(q("showname")));
    EXPECT_TRUE(programme::shows().empty());
    EXPECT_EQ(programme::companies().size(), 3u);
    EXPECT_EQ(programme::timeslots().size(), 4u);
    EXPECT_EQ(programme::contracts().size(), 3u);
    // The show list was emptied and left so.
    EXPECT_TRUE(lists.calls.contains(q("empty shows")));
    EXPECT_FALSE(lists.calls.join(u',').contains(q("fill shows")));
    EXPECT_TRUE(lists.calls.contains(q("fill contracts 3")));
    EXPECT_FALSE(db::programmeConnected());
}

TEST_F(ProgrammeDataTest, RecordsOutliveAReloadThatCannotConnect) {
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    ASSERT_EQ(programme::companies().size(), 3u);

    testdb::exec(testdb::programmeDb(), "DELETE FROM `comp`");
    const std::string password = db::programmeSettings().password;
    db::programmeSettings().password = "not the password";
    RecordingLists lists;
    EXPECT_EQ(programme::reloadAll(&lists), -1);
    db::programmeSettings().password = password;
    EXPECT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(lists.calls.isEmpty());
    EXPECT_EQ(programme::companies().size(), 3u);  // nothing was replaced
}

// The server goes away with the reload's connection open: before the reload starts, or while
// it waits to read the shows. One message; the tables not reached keep their records and lists.
TEST_F(ProgrammeDataTest, AServerGoneOutOfReachIsReportedOnceAndTheTablesLeftKeepTheirRecords) {
    const struct {
        const char* when;
        const char* lockedTable;  // the reload waits for it; the server stops meanwhile
        const char* message;
        QStringList calls;
        std::size_t companies, shows, timeslots, contracts;
    } cases[] = {
        {"before", nullptr, programme::kChangeStampStatement, {}, 3, 3, 4, 3},
        {"while the shows load",
         "showname",
         "SELECT * FROM showname ORDER BY `name` DESC",
         {"empty rooms", "fill rooms 2", "empty companies", "fill companies 2", "empty shows"},
         2,
         0,
         4,
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        testing_support::ui().clear();
        ASSERT_EQ(programme::reloadAll(nullptr), 0);
        testdb::exec(testdb::programmeDb(), "DELETE FROM `comp` WHERE `id` = 2");  // a reload reaching it would show it
        std::thread stopper;
        if (c.lockedTable) {
            auto lock = std::make_shared<testdb::Session>(testdb::programmeDb());
            lock->exec(std::string("LOCK TABLES `") + c.lockedTable + "` WRITE");
            stopper = std::thread([lock] {
                mysql_thread_init();
                const std::string waiting =
                    "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE STATE LIKE 'Waiting for table%'";
                for (int i = 0; i < 2000 && testdb::query("", waiting).at(0).at(0) == "0"; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                testdb::stopServer();
                mysql_thread_end();
            });
        } else {
            ASSERT_EQ(db::connectProgramme(), 0);
            testdb::stopServer();
        }
        RecordingLists lists;
        EXPECT_EQ(programme::reloadAll(&lists), -1);
        if (stopper.joinable()) stopper.join();
        testdb::serveAgain();

        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Erreur : db_exec (%1) : ").arg(q(c.message))))
            << messages[0].toStdString();
        EXPECT_EQ(lists.calls, c.calls);
        EXPECT_EQ(programme::companies().size(), c.companies);
        EXPECT_EQ(programme::shows().size(), c.shows);
        EXPECT_EQ(programme::timeslots().size(), c.timeslots);
        EXPECT_EQ(programme::contracts().size(), c.contracts);
        EXPECT_FALSE(db::programmeConnected());
        testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` VALUES (2, 'Arlequin', '', '', '', 1, '')");
    }
}

// Rows read again by id and put in place give the tables a whole load gives after the same
// change: the server's own order is the oracle, its ORDER BY the place of each row.
TEST_F(ProgrammeDataTest, RowsReadAgainByIdLandWhereAWholeLoadPutsThem) {
    struct Case {
        const char* change;
        ProgrammeTable table;
        QStringList ids;
    };
    const Case cases[] = {
        {"UPDATE `comp` SET `email` = 'new@example.org' WHERE `id` = 1", ProgrammeTable::Companies, {"1"}},
        {"UPDATE `comp` SET `nom` = 'Zut' WHERE `id` = 2", ProgrammeTable::Companies, {"2"}},  // moves to the top
        {"INSERT INTO `comp` VALUES (9, 'Bal', '', '', '', 0, '')", ProgrammeTable::Companies, {"9"}},
        {"DELETE FROM `comp` WHERE `id` = 1", ProgrammeTable::Companies, {"1"}},
        {"UPDATE `showname` SET `name` = 'Aa', `comp` = 0 WHERE `id` = 0", ProgrammeTable::Shows, {"0"}},
        {"UPDATE `timeslot` SET `date` = '2019-07-07', `todo` = 'X' WHERE `id` = 2;"
         "INSERT INTO `timeslot` VALUES (5, '2019-07-05', '19:30:00', '20:00:00', 0, 0, 0, 1, '', '', '')",
         ProgrammeTable::Timeslots,
         {"2", "5", "44"}},  // 44: asked for, never there
        {"UPDATE `contract` SET `created` = '2019-06-01 00:00:00' WHERE `id` = 0", ProgrammeTable::Contracts, {"0"}},
        {"UPDATE `salle` SET `name` = 'Studio' WHERE `id` = 0", ProgrammeTable::Rooms, {"0"}},
        // Another day, the same number of records: the runs of one date move.
        {"UPDATE `timeslot` SET `date` = '2019-07-09' WHERE `id` = 2", ProgrammeTable::Timeslots, {"2"}},
        // In place, but what the groups are counted on changed.
        {"UPDATE `timeslot` SET `childof` = 3 WHERE `id` = 2", ProgrammeTable::Timeslots, {"2"}},
        {"UPDATE `timeslot` SET `deleted` = 1 WHERE `id` = 2", ProgrammeTable::Timeslots, {"2"}},
        {"DELETE FROM `showname` WHERE `id` = 0", ProgrammeTable::Shows, {"0"}},
        // One slot past another of its day: the lookups follow the move, the runs hold.
        {"UPDATE `timeslot` SET `start` = '20:00:00' WHERE `id` = 2", ProgrammeTable::Timeslots, {"2"}},
        {"UPDATE `timeslot` SET `start` = '20:00:00' WHERE `id` = 2; UPDATE `timeslot` SET `date` = '2019-07-01' "
         "WHERE `id` = 3",
         ProgrammeTable::Timeslots,
         {"2", "3"}},
        // A contract given to another group, in place.
        {"UPDATE `contract` SET `ts` = 3 WHERE `id` = 2", ProgrammeTable::Contracts, {"2"}},
    };
    // The lookups answer from indexes built before the change: they must follow the rows put
    // in place as a scan of the records does.
    const auto lookupsAsScanned = [] {
        for (const auto& r : programme::timeslots()) {
            EXPECT_EQ(programme::timeslotIndexById(r.id), programme::scan::timeslotIndexById(r.id))
                << r.id.toStdString();
            EXPECT_EQ(programme::countChildren(r.id), programme::scan::countChildren(r.id)) << r.id.toStdString();
            EXPECT_EQ(programme::countLiveChildren(r.id), programme::scan::countLiveChildren(r.id))
                << r.id.toStdString();
            std::vector<int> contracts;
            for (std::size_t i = 0; i < programme::contracts().size(); ++i)
                if (programme::contracts()[i].ts == r.id) contracts.push_back(static_cast<int>(i));
            EXPECT_EQ(programme::contractsOfTimeslot(r.id), contracts) << r.id.toStdString();
        }
        // The runs of one date, the days the planning walks, follow them too.
        const auto& records = programme::timeslots();
        QStringList runs, walked;
        for (const programme::DateRun& run : programme::timeslotDateRuns())
            runs << QStringLiteral("%1-%2 %3").arg(run.first).arg(run.end).arg(run.day.days());
        for (std::size_t i = 0; i < records.size(); ++i) {
            std::size_t end = i + 1;
            while (end < records.size() && records[end].date == records[i].date) ++end;
            walked << QStringLiteral("%1-%2 %3").arg(i).arg(end).arg(programme::dayOfIsoDate(records[i].date).days());
            i = end - 1;
        }
        EXPECT_EQ(runs, walked);
        for (const QString& id : {q("0"), q("1"), q("2"), q("9")}) {
            QString company, scanned;
            EXPECT_EQ(programme::showLookup(id, &company), programme::scan::showLookup(id, &scanned));
            EXPECT_EQ(company, scanned);
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        SetUp();
        ASSERT_EQ(programme::reloadAll(nullptr), 0);
        lookupsAsScanned();
        testdb::exec(testdb::programmeDb(), c.change);
        programme::Tables fresh;
        programme::RowSink sink(fresh, c.table);
        const std::string byId = std::string("SELECT * FROM `") + programme::tableName(c.table) + "` WHERE `id` IN (" +
                                 c.ids.join(u',').toStdString() + ")";
        ASSERT_EQ(db::connectProgramme(), 0);
        ASSERT_EQ(db::QueryRunner(byId, &programme::RowSink::append, &sink), db::kQueryOk);
        db::closeProgramme();
        programme::applyRows(c.table, c.ids, fresh);
        const auto held = [] {
            QStringList out;
            for (const auto& r : programme::rooms()) out << r.id + u':' + r.name;
            for (const auto& r : programme::companies()) out << r.id + u':' + r.nom + u':' + r.email;
            for (const auto& r : programme::shows()) out << r.id + u':' + r.name + u':' + r.comp;
            for (const auto& r : programme::timeslots()) out << r.id + u':' + r.date + u':' + r.start + u':' + r.todo;
            for (const auto& r : programme::contracts()) out << r.id + u':' + r.created;
            return out;
        };
        const QStringList applied = held();
        lookupsAsScanned();
        ASSERT_EQ(programme::reloadAll(nullptr), 0);
        EXPECT_EQ(applied, held());
    }
}

TEST_F(ProgrammeDataTest, GroupsCountDeletedChildren) {
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    EXPECT_EQ(programme::countChildren(q("0")), 2u);  // one of them deleted
    EXPECT_EQ(programme::countChildren(q("3")), 0u);
    const int head = programme::timeslotIndexById(q("0"));
    const int child = programme::timeslotIndexById(q("2"));
    EXPECT_EQ(head, 2);
    EXPECT_TRUE(programme::isGroupHead(programme::timeslots()[2]));
    EXPECT_FALSE(programme::isGroupHead(programme::timeslots()[child]));
    EXPECT_EQ(programme::groupHeadIndex(child), head);
    EXPECT_EQ(programme::groupHeadIndex(head), head);
    EXPECT_EQ(programme::groupHeadIndex(4), -1);
    EXPECT_EQ(programme::groupHeadIndex(-1), -1);
}

TEST(ProgrammeLookups, IdsAreComparedAsTexts) {
    programme::clearAll();
    EXPECT_EQ(programme::showLookup(q("7")), q("(inconnu"));
    EXPECT_EQ(programme::roomLookup(q("1")), q("(inconnu"));
    EXPECT_EQ(programme::roomOfTimeslot(q("1")), QString());

    programme::companies() = {{q("2"), q("Premier"), {}, {}, {}, q("0"), {}},
                              {q("2"), q("Dernier"), {}, {}, {}, q("1"), {}}};
    programme::shows() = {{q("7"), q("Ubu"), q("2"), q("1")},
                          {q("7"), q("Second Ubu"), q("3"), q("0")},
                          {q("8"), q("Sans compagnie"), q("9"), q("0")}};
    programme::rooms() = {{q("1"), q("Grande salle"), q("220"), q("la Grande Salle")}};
    programme::Timeslot slot;
    slot.id = q("5");
    slot.room = q("1");
    programme::timeslots() = {slot};

    QString company = q("avant");
    EXPECT_EQ(programme::showLookup(q("07"), &company), q("(inconnu"));
    EXPECT_EQ(company, q("avant"));
    EXPECT_EQ(programme::showLookup(q("7"), &company), q("Ubu"));  // the first match, deleted or not
    EXPECT_EQ(company, q("Dernier"));                              // the last matching company
    company = q("avant");
    EXPECT_EQ(programme::showLookup(q("8"), &company), q("Sans compagnie"));
    EXPECT_EQ(company, q("avant"));

    QString contractName = q("x");
    QString capacity = q("y");
    EXPECT_EQ(programme::roomLookup(q(" 1"), &contractName, &capacity), q("(inconnu"));
    EXPECT_EQ(contractName, q("x"));
    EXPECT_EQ(programme::roomOfTimeslot(q("5"), &contractName, &capacity), q("Grande salle"));
    EXPECT_EQ(contractName, q("la Grande Salle"));
    EXPECT_EQ(capacity, q("220"));
    EXPECT_EQ(programme::roomOfTimeslot(q("6")), QString());
    programme::clearAll();
}

TEST(ProgrammeLookups, LeadingIntegerReadsOfIdsAndFlags) {
    EXPECT_EQ(programme::leadingInteger(q("12abc")), 12);
    EXPECT_EQ(programme::leadingInteger(q("-1")), -1);
    EXPECT_EQ(programme::leadingInteger(q("abc")), 0);
    EXPECT_EQ(programme::leadingInteger(QString()), 0);
    EXPECT_TRUE(programme::isDeleted(q("1")));
    EXPECT_TRUE(programme::isDeleted(q("01")));
    EXPECT_FALSE(programme::isDeleted(q("11")));
    EXPECT_FALSE(programme::isDeleted(QString()));
}

}  // namespace

// Only -1 makes a record its own head; another negative childof names a head by id.
TEST(ProgrammeGroups, OnlyMinusOneIsItsOwnHead) {
    programme::clearAll();
    auto& records = programme::timeslots();
    auto slot = [](const char* id, const char* childof) {
        programme::Timeslot t;
        t.id = QString::fromLatin1(id);
        t.childof = QString::fromLatin1(childof);
        return t;
    };
    records = {slot("5", "-1"), slot("6", "-2"), slot("-2", "5"), slot("7", "-1x"), slot("8", "5")};
    EXPECT_EQ(programme::groupHeadIndex(0), 0);
    EXPECT_EQ(programme::groupHeadIndex(1), 2);  // the record whose id text is "-2"
    EXPECT_EQ(programme::groupHeadIndex(3), 3);  // reads as -1
    EXPECT_EQ(programme::groupHeadIndex(4), 0);
    records.erase(records.begin() + 2);
    EXPECT_EQ(programme::groupHeadIndex(1), -1);
    programme::clearAll();
}
