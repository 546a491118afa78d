// The database failing under the open program: the server stopped, the program's connection
// killed in the middle of a statement, one statement of a multi-statement save refused. Each
// time the program says what happened, crashes nothing, keeps its lists, writes nothing it
// does not report, and works again once the server does.
#include <gtest/gtest.h>

#include <mysql.h>

#include <QLineEdit>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "contracts/contract_model.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "dialog/controls.h"
#include "edits/audit_log.h"
#include "edits/save_token.h"
#include "manager/ccomp_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/show_dlg.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "tests/support/empty_programme.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/files.h"
#include "tests/support/manager_fixture.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

// Everything the manager's five lists show.
QStringList listTexts(manager& window) {
    QStringList texts;
    for (int id : {manager::kRoomList, manager::kCompanyList, manager::kShowList, manager::kTimeslotList,
                   manager::kContractList}) {
        dlg::ListView* list = window.listView(id);
        for (int r = 0; r < list->itemCount(); ++r)
            for (int c = 0; c < list->columnCount(); ++c) texts << list->itemText(r, c);
        texts << QStringLiteral("--");
    }
    return texts;
}

int rowOf(manager& window, int list, const QString& text, int column = 1) {
    return testing_support::rowWithText(window.listView(list), text, column);
}

void selectOnly(manager& window, int list, int row) {
    window.listView(list)->clearSelection();
    window.listView(list)->setSelected(row, true);
    window.lists().updateDeleteButtons();
}

// The ids of a table, as the database holds them and as the program's records do.
std::vector<std::string> storedIds(const char* table) {
    std::vector<std::string> ids;
    for (const auto& r : rows(std::string("SELECT `id` FROM `") + table + "` ORDER BY `id`")) ids.push_back(r[0]);
    return ids;
}
template <class Record>
std::vector<std::string> loadedIds(const std::vector<Record>& records) {
    std::vector<std::string> ids;
    for (const auto& r : records) ids.push_back(r.id.toStdString());
    std::sort(ids.begin(), ids.end(), [](const auto& a, const auto& b) { return std::stoll(a) < std::stoll(b); });
    return ids;
}

// Kills the program's connection each time one of its statements waits for a table that a
// session of the test holds locked, up to `times` kills, then lets the table go. It also
// lets it go when the action ends first (the program gave up resending).
class ConnectionKiller {
public:
    ConnectionKiller(const char* table, int times) : lock_(testdb::programmeDb()) {
        lock_.exec(std::string("LOCK TABLES `") + table + "` WRITE");
        thread_ = std::thread([this, times] {
            mysql_thread_init();
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            const std::string waiting = "SELECT ID FROM information_schema.PROCESSLIST WHERE USER = '" +
                                        std::string(db::programmeSettings().user) +
                                        "' AND STATE LIKE 'Waiting for table%'";
            while (!done_ && kills_ < times && std::chrono::steady_clock::now() < until) {
                for (const auto& row : testdb::query("", waiting)) {
                    testdb::killConnection(std::stoul(row[0]));
                    ++kills_;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            lock_.exec("UNLOCK TABLES");
            mysql_thread_end();
        });
    }
    // Ends the killing; the number of statements killed.
    int finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return kills_;
    }
    ~ConnectionKiller() { finish(); }

private:
    testdb::Session lock_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<int> kills_{0};
};

class FailingServerTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return "INSERT INTO `access` (`name`, `password`, `rights`) VALUES ('Demo', 'brelo', 'all');"
               "INSERT INTO `comp` (`id`, `nom`) VALUES (0, 'Mouette'), (1, 'Zebre');"
               "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0), (1, 'Le Saut', 1, 0);"
               "INSERT INTO `salle` VALUES (0, 'Rouge', 'R', '100', 'la rouge');"
               "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `showname`, `childof`, `room`, `todo`) VALUES"
               " (0, '2027-07-05', '20:30:00', '22:00:00', 0, -1, 0, 'Contrat re\xe7u par KQ$$$R\xe8glement 1'),"
               " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, '');"
               "INSERT INTO `contract` (`id`, `ts`, `extra`, `rtf`) VALUES (0, 0, 'Prix (TTC)$$$900', "
               "'contrat_simple.rtf')";
    }
    void TearDown() override {
        ManagerTest::TearDown();
        testdb::serveAgain();  // whatever became of the test, the next ones have their server
    }

    // The error boxes shown since the last call; the questions asked before anything reached
    // the database are counted apart.
    static QStringList takeMessages(int* questions = nullptr) {
        QStringList texts = testing_support::ui().errorTexts();
        if (questions)
            *questions = static_cast<int>(testing_support::ui().messages.size()) - static_cast<int>(texts.size());
        testing_support::ui().messages.clear();
        return texts;
    }
};

void answerCompany(const QString& nom) {
    onNextModal([=](QDialog* d) {
        typeInto(d, ccomp::kNom, nom);
        clickButton(d, platform::IDOK);
    });
}

// Every action of the program that reaches the database, with the server stopped while the
// manager is open: each shows the connection message first, then only statement messages;
// the lists keep what they held. Started again, the server serves the next action.
TEST_F(FailingServerTest, TheServerStoppedUnderTheOpenManager) {
    testing_support::FakeDialogs dialogs;
    dialogs.contractExtra = q("Prix (TTC)$$$1000");
    dialogs.contractRtf = q("contrat_simple.rtf");
    manager window(dialogs);
    dialogs.edit = [](planning::TimeslotEditorData& data) {
        if (data.entries.empty()) data.entries = {{1, 9, 2027, 19, 0, 20, 0}};
        data.entries[0].startHour = 18;
    };
    int faults = 0;
    testing_support::runModal(window, [&] {
        const QStringList before = listTexts(window);
        ASSERT_GE(rowOf(window, manager::kCompanyList, q("Mouette")), 0);

        // The server goes while the company dialog is open; the user then presses OK.
        onNextModal([](QDialog* d) {
            testdb::stopServer();
            typeInto(d, ccomp::kEmail, q("a@b.example"));
            clickButton(d, platform::IDOK);
        });
        emit window.listView(manager::kCompanyList)
            ->rowDoubleClicked(rowOf(window, manager::kCompanyList, q("Mouette")));
        const QStringList first = takeMessages();
        ASSERT_EQ(first.size(), 1) << first.join(u'\n').toStdString();  // the connection's; nothing was sent
        EXPECT_TRUE(first[0].startsWith(q("Erreur : mysql_real_connect : "))) << first[0].toStdString();
        EXPECT_EQ(listTexts(window), before);
        ++faults;

        // Each with the number of boxes it shows: the connection's (a save whose connection is
        // refused runs nothing); a save that reloads after it tries to connect once more, and
        // says so. A delete asks first.
        struct Action {
            const char* name;
            int boxes;
            std::function<void()> run;
            int questions = 0;
        };
        const std::vector<Action> actions = {
            {"reload all", 1, [&] { window.reloadAll(); }},
            {"login", 1, [&] { EXPECT_NE(account::attemptLogin(q("Demo"), q("brelo")), account::LoginResult::Ok); }},
            {"audit line", 1, [&] { EXPECT_NE(audit::writeAuditLine("essai"), 0); }},
            {"add company", 1,
             [&] {
                 answerCompany(q("Alpha"));
                 clickButton(&window, manager::kAddCompany);
             }},
            {"delete company", 1,
             [&] {
                 selectOnly(window, manager::kCompanyList, rowOf(window, manager::kCompanyList, q("Zebre")));
                 clickButton(&window, manager::kDeleteCompany);
             },
             1},
            {"add show", 1,
             [&] {
                 onNextModal([](QDialog* d) {
                     typeInto(d, show::kName, q("Solo"));
                     clickButton(d, platform::IDOK);
                 });
                 clickButton(&window, manager::kAddShow);
             }},
            {"edit show", 1,
             [&] {
                 onNextModal([](QDialog* d) { clickButton(d, platform::IDOK); });
                 emit window.listView(manager::kShowList)
                     ->rowDoubleClicked(rowOf(window, manager::kShowList, q("Nuit")));
             }},
            {"delete show", 1,
             [&] {
                 selectOnly(window, manager::kShowList, rowOf(window, manager::kShowList, q("Nuit")));
                 clickButton(&window, manager::kDeleteShow);
             },
             1},
            {"add group", 2, [&] { clickButton(&window, manager::kAddTimeslotGroup); }},
            {"edit group", 1, [&] { emit window.listView(manager::kTimeslotList)->rowDoubleClicked(0); }},
            {"delete group", 1,
             [&] {
                 selectOnly(window, manager::kTimeslotList, 0);
                 clickButton(&window, manager::kDeleteTimeslotGroup);
             },
             1},
            {"new contract", 1,
             [&] {
                 selectOnly(window, manager::kTimeslotList, 0);
                 clickButton(&window, manager::kNewContract);
             }},
            {"edit contract", 1, [&] { emit window.listView(manager::kContractList)->rowDoubleClicked(0); }},
            {"delete contract", 1,
             [&] {
                 selectOnly(window, manager::kContractList, 0);
                 clickButton(&window, manager::kDeleteContract);
             },
             1},
            {"sales load", 1,
             [&] {
                 sales::TicketingData data;
                 sales::SalesIndex index;
                 sales::load(data, index);
                 EXPECT_TRUE(data.shows().empty());
             }},
        };
        for (const auto& [name, boxes, action, asked] : actions) {
            SCOPED_TRACE(name);
            action();
            ++faults;
            int questions = 0;
            const QStringList messages = takeMessages(&questions);
            EXPECT_EQ(questions, asked);
            ASSERT_EQ(messages.size(), boxes) << messages.join(u'\n').toStdString();
            EXPECT_TRUE(messages[0].startsWith(q("Erreur : mysql_real_connect : "))) << messages[0].toStdString();
            for (const QString& m : messages)
                EXPECT_TRUE(m.startsWith(q("Erreur : db_exec (")) || m.startsWith(q("Erreur : mysql_real_connect : ")))
                    << m.toStdString();
            EXPECT_EQ(listTexts(window), before);
            EXPECT_FALSE(db::programmeConnected());
        }

        // Back: the next action works, and nothing was written meanwhile.
        testdb::serveAgain();
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `comp`").at(0).at(0), "2");
        EXPECT_EQ(rows("SELECT `email` FROM `comp` WHERE `id` = 0").at(0).at(0), "");
        EXPECT_EQ(window.reloadAll(), 0);
        EXPECT_EQ(listTexts(window), before);
        answerCompany(q("Alpha"));
        clickButton(&window, manager::kAddCompany);
        EXPECT_GE(rowOf(window, manager::kCompanyList, q("Alpha")), 0);
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(account::attemptLogin(q("Demo"), q("brelo")), account::LoginResult::Ok);
    });
    std::ofstream(testing_support::figuresPath("faults-server-stopped.txt"))
        << "server stopped under the program: " << faults << " actions, each reported, none crashed or lost a list\n";
}

// A connection killed while its statement waits: a load's statement is sent again on a new
// connection and goes through without a message; a save's is not (it would land outside its
// transaction): the save runs again whole on a new connection.
TEST_F(FailingServerTest, AConnectionKilledDuringALoadIsResentAndDuringASaveRolledBack) {
    manager window;
    testing_support::runModal(window, [&] {
        const QStringList before = listTexts(window);
        {
            ConnectionKiller killer("timeslot", 1);
            EXPECT_EQ(window.reloadAll(), 0);
            EXPECT_EQ(killer.finish(), 1);
        }
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(listTexts(window), before);

        const auto editMouette = [&](const char* email) {
            onNextModal([=](QDialog* d) {
                typeInto(d, ccomp::kEmail, q(email));
                clickButton(d, platform::IDOK);
            });
            emit window.listView(manager::kCompanyList)
                ->rowDoubleClicked(rowOf(window, manager::kCompanyList, q("Mouette")));
        };
        // Killed twice while its checks wait: nothing of it was written yet, so it runs again
        // whole on a new connection, and is stored once, without a message.
        {
            ConnectionKiller killer("comp", 2);
            editMouette("perdu@example.org");
            EXPECT_EQ(killer.finish(), 2);
        }
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(rows("SELECT `email` FROM `comp` WHERE `id` = 0").at(0).at(0), "perdu@example.org");
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `logs` WHERE `log` LIKE '%Mouette%e-mail%'").at(0).at(0), "1");
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `save_tokens`").at(0).at(0), "1");

        editMouette("mouette@example.org");
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(rows("SELECT `email` FROM `comp` WHERE `id` = 0").at(0).at(0), "mouette@example.org");
        EXPECT_EQ(programme::companies().size(), 2u);  // reloaded after the edit
    });
    std::ofstream(testing_support::figuresPath("faults-killed-once.txt"))
        << "connection killed mid-statement: 1 kill in a load (resent) and 2 in a save (run again whole, stored once), "
           "each survived\n";
}

// The server stops while a save waits half way (its token and its row written, its audit line
// waiting for the rows of `logs` a second session holds FOR UPDATE): its writes had left, the
// server cannot be asked what became of them, so the user is told the outcome is unknown, once;
// back, the database holds nothing of it (the server's going rolled it back) and the next save
// goes through. The server is stopped once its own list of transactions shows that wait: a lock
// of the whole table would hold the manager's change watch too, which reads `logs` when the
// window becomes active again (on a loaded machine, after the dialog closed and before the save
// connected), and a server stopped there had been sent nothing of the save.
TEST_F(FailingServerTest, TheServerStoppedInTheMiddleOfASave) {
    manager window;
    testing_support::runModal(window, [&] {
        const QStringList before = listTexts(window);
        {
            testdb::Session lock(testdb::programmeDb());
            lock.exec("START TRANSACTION; SELECT `id` FROM `logs` FOR UPDATE");
            std::vector<testdb::Row> waiting;
            std::thread stopper([&waiting] {
                const char* saveWaits =
                    "SELECT `trx_rows_modified` FROM information_schema.INNODB_TRX "
                    "WHERE `trx_state` = 'LOCK WAIT' AND `trx_query` LIKE 'INSERT INTO `logs`%'";
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                // The list is read anew only when nobody read it for a tenth of a second.
                while ((waiting = testdb::query("", saveWaits)).empty() && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                testdb::stopServer();
            });
            // The watch reads through that lock, whenever it runs.
            EXPECT_FALSE(window.reloadIfChangedElsewhere());
            onNextModal([](QDialog* d) {
                typeInto(d, ccomp::kEmail, q("perdu@example.org"));
                clickButton(d, platform::IDOK);
            });
            emit window.listView(manager::kCompanyList)
                ->rowDoubleClicked(rowOf(window, manager::kCompanyList, q("Mouette")));
            stopper.join();
            // What had reached the server: the token and the company's row.
            ASSERT_EQ(waiting.size(), 1u);
            EXPECT_EQ(waiting[0][0], "2");
        }
        // A warning, not an error: nothing says the save failed.
        EXPECT_TRUE(testing_support::ui().errorTexts().isEmpty())
            << testing_support::ui().errorTexts().join(u'\n').toStdString();
        const QStringList messages = testing_support::ui().messageTexts();
        testing_support::ui().messages.clear();
        ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
        EXPECT_EQ(messages[0], q(edits::kOutcomeUnknownMessage));
        EXPECT_EQ(listTexts(window), before);
        EXPECT_FALSE(db::programmeConnected());

        testdb::serveAgain();
        EXPECT_EQ(rows("SELECT `email` FROM `comp` WHERE `id` = 0").at(0).at(0), "");
        EXPECT_EQ(window.reloadAll(), 0);
        EXPECT_EQ(listTexts(window), before);
        EXPECT_EQ(loadedIds(programme::companies()), storedIds("comp"));
        onNextModal([](QDialog* d) {
            typeInto(d, ccomp::kEmail, q("mouette@example.org"));
            clickButton(d, platform::IDOK);
        });
        emit window.listView(manager::kCompanyList)
            ->rowDoubleClicked(rowOf(window, manager::kCompanyList, q("Mouette")));
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(rows("SELECT `email` FROM `comp` WHERE `id` = 0").at(0).at(0), "mouette@example.org");
    });
    std::ofstream(testing_support::figuresPath("faults-stopped-mid-save.txt"))
        << "server stopped in the middle of a save: outcome said unknown once, nothing of it stored, the next save "
           "stored\n";
}

// Killed on every resend: the program gives up, that load's list stays empty while the
// others load; the next action works.
TEST_F(FailingServerTest, AConnectionKilledOnEveryResendFailsOnlyThatStatement) {
    manager window;
    testing_support::runModal(window, [&] {
        {
            ConnectionKiller killer("timeslot", 100);
            EXPECT_NE(window.reloadAll(), 0);
            EXPECT_EQ(killer.finish(), db::kLostConnectionResends + 1);
        }
        const QStringList messages = takeMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (SELECT * FROM timeslot"))) << messages[0].toStdString();
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemCount(), 0);
        EXPECT_TRUE(programme::timeslots().empty());
        EXPECT_EQ(window.listView(manager::kContractList)->itemCount(), 1);  // the next table loaded
        EXPECT_EQ(programme::companies().size(), 2u);

        EXPECT_EQ(window.reloadAll(), 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemCount(), 1);
        EXPECT_TRUE(takeMessages().isEmpty());
    });
    std::ofstream(testing_support::figuresPath("faults-killed-always.txt"))
        << "connection killed on every resend: " << db::kLostConnectionResends + 1
        << " kills in a load, reported, the other tables loaded\n";
}

// A second session takes the ids the program chose, in the middle of three saves: each runs
// again as a whole with the next free ids, nobody is asked, and what the program holds
// afterwards is what the database holds. A statement refused for another reason takes the
// whole save back with it.
TEST_F(FailingServerTest, AnIdTakenOrAStatementRefusedInTheMiddleOfASave) {
    testing_support::FakeDialogs dialogs;
    dialogs.contractExtra = q("Prix (TTC)$$$1000");
    dialogs.contractRtf = q("contrat_simple.rtf");
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        // A company: the id of its placeholder show is taken.
        testdb::exec(testdb::programmeDb(), "INSERT INTO `showname` VALUES (2, 'Ailleurs', 0, 0)");
        answerCompany(q("Alpha"));
        clickButton(&window, manager::kAddCompany);
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(rows("SELECT `id` FROM `comp` WHERE `nom` = 'Alpha'").at(0).at(0), "2");
        EXPECT_EQ(rows("SELECT `comp` FROM `showname` WHERE `id` = 3").at(0).at(0), "2");
        EXPECT_EQ(loadedIds(programme::companies()), storedIds("comp"));
        EXPECT_EQ(loadedIds(programme::shows()), storedIds("showname"));

        // A group of three: the second child's id is taken; the whole group takes the ids after.
        const auto base = programme::timeslots().size();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `timeslot` (`id`, `date`, `showname`, `childof`, `room`, `deleted`) VALUES (" +
                         std::to_string(base + 2) + ", '2020-01-01', 0, -1, 0, 1)");
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries = {{1, 9, 2027, 19, 0, 20, 0}, {2, 9, 2027, 19, 0, 20, 0}, {3, 9, 2027, 19, 0, 20, 0}};
        };
        clickButton(&window, manager::kAddTimeslotGroup);
        EXPECT_TRUE(takeMessages().isEmpty());
        const std::string head = std::to_string(base + 3);
        EXPECT_EQ(rows("SELECT `id`, `childof` FROM `timeslot` WHERE `date` >= '2027-09-01' ORDER BY `id`"),
                  (std::vector<testdb::Row>{
                      {head, "-1"}, {std::to_string(base + 4), head}, {std::to_string(base + 5), head}}));
        EXPECT_EQ(loadedIds(programme::timeslots()), storedIds("timeslot"));

        // Editing it to add a slot: the record count names a row taken already (the ids have a
        // gap now), and the slot takes the next free id.
        ASSERT_GE(std::stoul(storedIds("timeslot").back()), programme::timeslots().size());
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries[0].startHour = 17;
            data.entries.push_back({4, 9, 2027, 19, 0, 20, 0});
        };
        emit window.listView(manager::kTimeslotList)
            ->rowDoubleClicked(rowOf(window, manager::kTimeslotList, QString::fromStdString(head), 0));
        EXPECT_TRUE(takeMessages().isEmpty());
        EXPECT_EQ(rows("SELECT `start` FROM `timeslot` WHERE `id` = " + head).at(0).at(0), "17:00:00");
        EXPECT_EQ(rows("SELECT `childof` FROM `timeslot` WHERE `date` = '2027-09-04'").at(0).at(0), head);
        EXPECT_EQ(loadedIds(programme::timeslots()), storedIds("timeslot"));

        // Refused outright (a trigger on the children): nothing of the new group stays.
        testdb::exec(testdb::programmeDb(),
                     "CREATE TRIGGER `refuse` BEFORE INSERT ON `timeslot` FOR EACH ROW "
                     "IF NEW.`childof` <> -1 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'; END IF");
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries = {{1, 10, 2027, 19, 0, 20, 0}, {2, 10, 2027, 19, 0, 20, 0}};
        };
        clickButton(&window, manager::kAddTimeslotGroup);
        const QStringList messages = takeMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (INSERT INTO `timeslot`"))) << messages[0].toStdString();
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `timeslot` WHERE `date` >= '2027-10-01'").at(0).at(0), "0");
        EXPECT_EQ(loadedIds(programme::timeslots()), storedIds("timeslot"));
        testdb::exec(testdb::programmeDb(), "DROP TRIGGER `refuse`");
    });
    std::ofstream(testing_support::figuresPath("faults-refused-statements.txt"))
        << "ids taken or a statement refused in the middle of a save: 4 saves (company, new group, edited group, "
           "refused group), each run again whole or rolled back, memory equal to the database\n";
}

// A new contract whose follow-up UPDATE is refused: the contract goes back with it, the plan
// in the database is unchanged, and the program's record of it is the stored one too.
TEST_F(FailingServerTest, ARefusedPlanUpdateAfterANewContract) {
    testdb::exec(testdb::programmeDb(),
                 "CREATE TRIGGER `refuse_plans` BEFORE UPDATE ON `timeslot` FOR EACH ROW "
                 "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'plan refused'");
    testing_support::FakeDialogs dialogs;
    dialogs.contractExtra = q("Prix (TTC)$$$1000");
    dialogs.contractRtf = q("contrat_simple.rtf");
    manager window(dialogs);
    dialogs.contractExtra = q("Date de retour du contrat avant nullité$$$Mardi 02 Février 2027###Prix (TTC)$$$1000");
    testing_support::runModal(window, [&] {
        const QString plan = programme::timeslots().at(0).todo;
        selectOnly(window, manager::kTimeslotList, 0);
        clickButton(&window, manager::kNewContract);
        const QStringList messages = takeMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (UPDATE `timeslot` SET `todo`")))
            << messages[0].toStdString();
        EXPECT_TRUE(messages[0].endsWith(q("plan refused")));
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `contract` WHERE `id` = 1").at(0).at(0), "0");
        EXPECT_EQ(db::fromAnsi(rows("SELECT `todo` FROM `timeslot` WHERE `id` = 0").at(0).at(0)), plan);
        EXPECT_EQ(programme::timeslots().at(0).todo, plan);
    });
    testdb::exec(testdb::programmeDb(), "DROP TRIGGER `refuse_plans`");
    std::ofstream(testing_support::figuresPath("faults-refused-plan.txt"))
        << "follow-up update refused after a new contract: reported, the contract row kept, memory equal to the "
           "database\n";
}

}  // namespace
