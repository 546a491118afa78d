// Hostile input in every field a user types or a file brings: each value is either stored and
// read back exactly, or refused with a message naming what is wrong while the database stays
// as it was.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <fstream>
#include <map>

#include "contracts/contract_info.h"
#include "contracts/ct_dlg.h"
#include "contracts/editoneitem_dlg.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "dialog/controls.h"
#include "edits/edit_statements.h"
#include "followup/checklist.h"
#include "manager/ccomp_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/show_dlg.h"
#include "planning/ones_dlg.h"
#include "planning/ts_dlg.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/empty_programme.h"
#include "tests/support/files.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

struct HostileValue {
    const char* name;
    QString text;
};

const std::vector<HostileValue>& hostileValues() {
    static const std::vector<HostileValue> values = {
        {"double quotes", q("Le \"Petit\" Théâtre")},
        {"apostrophes", q("L'Été d'Ys")},
        {"backslashes", q("C:\\dossier\\fin\\")},
        {"sql", q("x\"); DROP TABLE comp; --'")},
        {"###", q("10###00")},
        {"ends #", q("fin#")},
        {"$$$", q("a$$$b")},
        {"ends $", q("prix en $")},
        {"=", q("a=b")},
        {":", q("a:b")},
        {")", q("a)b")},
        {"token", q("<<<NUM>>>")},
        {"1000 characters", QString(1000, QChar(0xE9))},
        {"empty", QString()},
        {"outside the code page", q("coché ✓ 𝄞")},
        {"CR LF", q("a\r\nb")},
        {"LF", q("a\nb")},
        {"CR", q("a\rb")},
    };
    return values;
}

enum class Expect { Stored, Refused, NotAccepted, NotApplicable };
struct Expectation {
    Expect expect;
    QString named;  // what a refusal's message must name
};

// What an attempt ended in: the messages shown, whether the dialog took the value, and what
// came back from the database (or from the window) when it did.
struct Outcome {
    QStringList messages;
    bool accepted = false;
    QString typed;   // the value as the control gave it (a multi-line edit keeps its own line breaks)
    QString stored;  // the value read back
};

struct Field {
    const char* name;
    bool multiLine;
    std::function<Outcome(const QString&)> attempt;
    std::function<void(const QString&)> prepare;    // what the database holds before each attempt
    std::map<std::string, Expectation> exceptions;  // by value name; the others are stored
};

QString ansiText(const std::string& ansi) { return db::fromAnsi(ansi); }

std::string checksum() {
    std::string all;
    for (const auto& row : rows("CHECKSUM TABLE `comp`, `showname`, `timeslot`, `contract`, `access`"))
        all += row.at(1) + "/";
    return all;
}

void runStatement(const std::string& statement) {
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(db::QueryRunner(statement, nullptr, nullptr), db::kQueryOk) << db::lastErrorText();
    db::closeProgramme();
}

QStringList takeMessages() {
    QStringList texts = testing_support::ui().messageTexts();
    testing_support::ui().messages.clear();
    return texts;
}

// A multi-line edit gives its lines ended by CR LF, whatever ends were typed.
QString lineBreaksAsCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

QString folderOfSurveys() { return QDir(platform::executableDir()).filePath(q("survey")); }

class HostileInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `comp` (`id`, `nom`) VALUES (0, 'Mouette');"
                     "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0);"
                     "INSERT INTO `salle` VALUES (0, 'Rouge', 'R', '100', 'la rouge');"
                     "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `showname`, `childof`, `room`) VALUES"
                     " (0, '2027-07-05', '20:30:00', '22:00:00', 0, -1, 0)");
        ASSERT_TRUE(root_.isValid());
    }
    void TearDown() override {
        db::closeProgramme();
        QFile::remove(QDir(folderOfSurveys()).filePath(q("hostile.txt")));
        programme::clearAll();
    }

    // The company dialog through the manager's "+": the value as the name, or in the other
    // single-line fields beside a plain name.
    Outcome addCompany(manager& window, const QString& value, bool asName) {
        Outcome out;
        const auto id = programme::companies().size();
        onNextModal([&](QDialog* d) {
            typeInto(d, ccomp::kNom, asName ? value : q("Compagnie %1").arg(id));
            for (int field : {ccomp::kEmail, ccomp::kContact1, ccomp::kContact2})
                typeInto(d, field, asName ? QString() : value);
            out.typed =
                d->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(asName ? ccomp::kNom : ccomp::kEmail))->text();
            testing_support::pressOkOrCancel(d);
        });
        clickButton(&window, manager::kAddCompany);
        out.messages = takeMessages();
        const auto stored =
            rows("SELECT `nom`, `email`, `contact1`, `contact2` FROM `comp` WHERE `id` = " + std::to_string(id));
        out.accepted = !stored.empty();
        if (!out.accepted) return out;
        const auto& r = stored[0];
        if (asName) {
            out.stored = ansiText(r[0]);
            // The placeholder show carries the name too, and the list shows it.
            EXPECT_EQ(ansiText(rows("SELECT `name` FROM `showname` WHERE `comp` = " + std::to_string(id)).at(0).at(0)),
                      q("<spectacle à définir (compagnie %1)>").arg(value));
            EXPECT_GE(testing_support::rowWithText(window.listView(manager::kCompanyList), value), 0);
        } else {
            EXPECT_EQ(r[1], r[2]);
            EXPECT_EQ(r[1], r[3]);
            out.stored = ansiText(r[1]);
        }
        return out;
    }

    // The address, stored by an edit of the first company.
    Outcome editAddress(manager& window, const QString& value) {
        Outcome out;
        onNextModal([&](QDialog* d) {
            auto* edit = d->findChild<QPlainTextEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kFullAddress));
            edit->setPlainText(value);
            out.typed = lineBreaksAsCrLf(edit->toPlainText());
            testing_support::pressOkOrCancel(d);
        });
        dlg::ListView* list = window.listView(manager::kCompanyList);
        emit list->rowDoubleClicked(testing_support::rowWithText(list, q("Mouette")));
        out.messages = takeMessages();
        out.stored = ansiText(rows("SELECT `fulladr` FROM `comp` WHERE `id` = 0").at(0).at(0));
        out.accepted = out.stored != q("avant");
        return out;
    }

    Outcome addShow(manager& window, const QString& value) {
        Outcome out;
        const auto id = programme::shows().size();
        onNextModal([&](QDialog* d) {
            typeInto(d, show::kName, value);
            out.typed = d->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(show::kName))->text();
            testing_support::pressOkOrCancel(d);
        });
        clickButton(&window, manager::kAddShow);
        out.messages = takeMessages();
        const auto stored = rows("SELECT `name` FROM `showname` WHERE `id` = " + std::to_string(id));
        out.accepted = !stored.empty();
        if (out.accepted) out.stored = ansiText(stored[0][0]);
        return out;
    }

    // One checklist item edited in the group editor: its goal or its achieved goal typed in
    // the item dialog; the texts the editor hands back are then stored as a group would be.
    Outcome editChecklistItem(const QString& value, bool achieved) {
        Outcome out;
        ts editor;
        editor.data.entries = {{5, 7, 2027, 20, 0, 21, 0}};
        editor.data.todo = q("Contrat envoyé par KQ$$$Règlement 1=1/9/2027$$$Stat");
        onNextModal([&](QDialog*) {
            onNextModal([&](QDialog* d) {
                if (achieved)
                    clickButton(d, ones::kDone);
                else
                    clickButton(d, ones::kHasGoal);
                const int edit = achieved ? ones::kAchieved : ones::kGoal;
                typeInto(d, edit, value);
                out.typed = d->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(edit))->text();
                testing_support::pressOkOrCancel(d);
            });
            emit editor.listView(ts::kChecklist)->rowDoubleClicked(1);
            clickButton(&editor, platform::IDOK);
        });
        EXPECT_EQ(editor.DoModal(), platform::IDOK);
        out.messages = takeMessages();
        if (!out.messages.isEmpty()) return out;  // refused in the item dialog: nothing to store
        storeGroup(editor.data);
        const auto stored = rows("SELECT `todo`, `done` FROM `timeslot` WHERE `id` = 1").at(0);
        const auto items = followup::ParseFollowUp(ansiText(stored[0]), ansiText(stored[1])).items;
        EXPECT_EQ(items.size(), 3u);
        if (items.size() < 2) return out;
        out.stored = achieved ? followup::achievedGoalOf(items[1].state) : items[1].goal;
        out.accepted = achieved ? !items[1].state.isEmpty() : !out.stored.isEmpty() || value.isEmpty();
        EXPECT_EQ(items[1].title, q("Règlement 1"));
        return out;
    }

    // A checklist template holding the value as one of its lines, chosen in the group editor.
    Outcome chooseTemplateWithLine(const QString& value) {
        Outcome out;
        testing_support::writeFile(
            QDir(folderOfSurveys()).filePath(q("hostile.txt")),
            QByteArray::fromStdString("Contrat envoy\xe9 par KQ\r\n" + db::toAnsi(value) + "\r\nStat\r\n"));
        ts editor;
        editor.data.entries = {{5, 7, 2027, 20, 0, 21, 0}};
        editor.data.survey = q("avant.txt");
        editor.data.todo = q("Avant");
        editor.data.done = q("Avant=Fait le 1/1/2027");
        onNextModal([&](QDialog*) {
            QComboBox* templates = editor.comboBox(ts::kTemplateCombo);
            const int index = templates->findText(q("hostile.txt"));
            ASSERT_GE(index, 0);
            templates->setCurrentIndex(index);
            emit templates->activated(index);
            clickButton(&editor, platform::IDOK);
        });
        EXPECT_EQ(editor.DoModal(), platform::IDOK);
        out.messages = takeMessages();
        out.typed = value;
        out.accepted = editor.data.survey == q("hostile.txt");
        if (!out.accepted) {
            // Refused: the group keeps its follow-up.
            EXPECT_EQ(editor.data.todo, q("Avant"));
            EXPECT_EQ(editor.data.done, q("Avant=Fait le 1/1/2027"));
            return out;
        }
        storeGroup(editor.data);
        const QString todo = ansiText(rows("SELECT `todo` FROM `timeslot` WHERE `id` = 1").at(0).at(0));
        const QString prefix = q("Contrat envoyé par KQ$$$"), suffix = q("$$$Stat");
        // An empty line is no item: its neighbours follow each other.
        if (value.isEmpty() && todo == q("Contrat envoyé par KQ$$$Stat"))
            out.stored = value;
        else if (todo.startsWith(prefix) && todo.endsWith(suffix))
            out.stored = todo.mid(prefix.size(), todo.size() - prefix.size() - suffix.size());
        return out;
    }

    void storeGroup(const planning::TimeslotEditorData& data) {
        testdb::exec(testdb::programmeDb(), "DELETE FROM `timeslot` WHERE `id` = 1");
        runStatement(edits::addGroupHeadStatement(1, data.entries.at(0), 0, 0, data.survey, data.todo, data.done));
    }

    // A contract value typed in the one-value editor, stored with its neighbours.
    Outcome typeContractValue(const QString& value) {
        Outcome out;
        editoneitem editor;
        editor.caption = q("Prix (TTC)");
        editor.text = q("avant");
        onNextModal([&](QDialog* d) {
            typeInto(d, editoneitem::kValue, value);
            out.typed = d->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(editoneitem::kValue))->text();
            testing_support::pressOkOrCancel(d);
        });
        out.accepted = editor.DoModal() == platform::IDOK;
        out.messages = takeMessages();
        if (!out.accepted) return out;
        contracts::ContractInfoList list;
        list.rows = {{q("Spectacle"), q("Nuit")}, {q("Prix (TTC)"), editor.text}, {q("Suite"), q("#$")}};
        testdb::exec(testdb::programmeDb(), "DELETE FROM `contract` WHERE `id` = 1");
        out.stored = storeContract(list, 1);
        return out;
    }

    // A field list holding the value as a label: a new contract generated and accepted.
    Outcome contractLabel(const QString& value) {
        Outcome out;
        static int attempt = 0;
        const QDir dir(QDir(root_.path()).filePath(QString::number(++attempt)));
        for (const char* sub : {"models", "generated", "shared"}) dir.mkpath(q(sub));
        ct dialog;
        dialog.model.folders = {dir.filePath(q("models")), dir.filePath(q("generated")), dir.filePath(q("shared"))};
        dialog.model.timeslotId = 0;
        dialog.model.draw = [] { return 1; };
        testing_support::writeFile(QDir(dialog.model.folders.models).filePath(q("h.rtf")), "{\\rtf1 <<<NUM>>>}");
        testing_support::writeFile(
            QDir(dialog.model.folders.models).filePath(q("h.txt")),
            QByteArray::fromStdString("Spectacle\r\n" + db::toAnsi(value) + "\r\nNum\xe9ro de contrat\r\n"));
        testing_support::ui().fileAnswers = {QDir(dialog.model.folders.models).filePath(q("h.rtf"))};
        onNextModal([&](QDialog*) {
            clickButton(&dialog, ct::kGenerate);
            clickButton(&dialog, dialog.item(platform::IDOK)->isEnabled() ? platform::IDOK : platform::IDCANCEL);
        });
        out.typed = value;
        out.accepted = dialog.DoModal() == platform::IDOK;
        out.messages = takeMessages();
        if (!out.accepted) {
            EXPECT_TRUE(QDir(dialog.model.folders.generated).isEmpty()) << "a document was made from refused rows";
            return out;
        }
        testdb::exec(testdb::programmeDb(), "DELETE FROM `contract` WHERE `id` = 2");
        const contracts::ContractInfoList back = contracts::parseExtra(ansiText(storeRaw(dialog.model.extra, 2)));
        EXPECT_EQ(back.rows.size(), 3u);
        if (back.rows.size() == 3) out.stored = back.rows[1].label;
        return out;
    }

    std::string storeRaw(const QString& extra, unsigned id) {
        runStatement(edits::addContractStatement(id, 0, extra, q("h.rtf")));
        return rows("SELECT `extra` FROM `contract` WHERE `id` = " + std::to_string(id)).at(0).at(0);
    }

    // The rows stored and read back; the value of the middle one when every row came back.
    QString storeContract(const contracts::ContractInfoList& list, unsigned id) {
        const auto back = contracts::parseExtra(ansiText(storeRaw(contracts::serialiseExtra(list), id)));
        EXPECT_EQ(back.rows.size(), list.rows.size());
        for (std::size_t i = 0; i < std::min(back.rows.size(), list.rows.size()); ++i)
            if (i != 1) {
                EXPECT_EQ(back.rows[i].value, list.rows[i].value);
            }
        return back.rows.size() == list.rows.size() ? back.rows[1].value : QString();
    }

    // The login: an account of that name and password, then the same typed.
    static void addAccount(const QString& value) {
        const std::string ansi = db::toAnsi(value);
        std::string quoted;
        for (char c : ansi) {
            if (c == '\'' || c == '\\') quoted += '\\';
            quoted += c;
        }
        testdb::exec(testdb::programmeDb(),
                     "DELETE FROM `access`; INSERT INTO `access` (`name`, `password`, `rights`)"
                     " VALUES ('" +
                         quoted + "', '" + quoted + "', 'all')");
    }

    Outcome logIn(const QString& value) {
        Outcome out;
        account::resetForTests();
        out.typed = value;
        out.accepted = account::attemptLogin(value, value) == account::LoginResult::Ok;
        out.messages = takeMessages();
        if (out.accepted) out.stored = account::name();
        // A near miss never logs in.
        EXPECT_NE(account::attemptLogin(value, value + q("x")), account::LoginResult::Ok);
        takeMessages();
        account::setForTests(q("Demo"), q("all"));
        return out;
    }

    QTemporaryDir root_;
};

TEST_F(HostileInputTest, EveryFieldStoresExactlyOrRefusesNamingTheCharacters) {
    const Expectation outside{Expect::Refused, q("✓𝄞")};
    const Expectation tooLong{Expect::Refused, q("1000")};
    const Expectation notAccepted{Expect::NotAccepted, {}};
    const Expectation na{Expect::NotApplicable, {}};
    // A file's lines are its own structure, and its bytes are all of the code page.
    const std::map<std::string, Expectation> fileBrought = {
        {"CR LF", na}, {"LF", na}, {"CR", na}, {"outside the code page", na}};
    auto with = [](std::map<std::string, Expectation> base, std::map<std::string, Expectation> more) {
        for (auto& [k, v] : more) base[k] = v;
        return base;
    };
    manager window;
    std::vector<Field> fields;
    fields.push_back({"company name",
                      false,
                      [&](const QString& v) { return addCompany(window, v, true); },
                      {},
                      {{"outside the code page", outside}, {"1000 characters", tooLong}, {"empty", notAccepted}}});
    fields.push_back({"company e-mail and contacts",
                      false,
                      [&](const QString& v) { return addCompany(window, v, false); },
                      {},
                      {{"outside the code page", outside}, {"1000 characters", tooLong}}});
    fields.push_back({"company address",
                      true,
                      [&](const QString& v) { return editAddress(window, v); },
                      [&](const QString&) {
                          testdb::exec(testdb::programmeDb(), "UPDATE `comp` SET `fulladr` = 'avant' WHERE `id` = 0");
                          window.reloadAll();
                      },
                      {{"outside the code page", outside}}});
    fields.push_back({"show name",
                      false,
                      [&](const QString& v) { return addShow(window, v); },
                      {},
                      {{"outside the code page", outside}, {"1000 characters", tooLong}, {"empty", notAccepted}}});
    fields.push_back({"checklist goal",
                      false,
                      [&](const QString& v) { return editChecklistItem(v, false); },
                      {},
                      {{"outside the code page", outside},
                       {"$$$", {Expect::Refused, q("$$$")}},
                       {"ends $", {Expect::Refused, q("$")}}}});
    fields.push_back({"checklist achieved goal",
                      false,
                      [&](const QString& v) { return editChecklistItem(v, true); },
                      {},
                      {{"outside the code page", outside},
                       {"$$$", {Expect::Refused, q("$$$")}},
                       {")", {Expect::Refused, q(")")}},
                       {"sql", {Expect::Refused, q(")")}}}});
    fields.push_back(
        {"checklist template line",
         false,
         [&](const QString& v) { return chooseTemplateWithLine(v); },
         {},
         with(fileBrought, {{"$$$", {Expect::Refused, q("$$$")}}, {"ends $", {Expect::Refused, q("$")}}})});
    fields.push_back({"contract value",
                      false,
                      [&](const QString& v) { return typeContractValue(v); },
                      {},
                      {{"outside the code page", outside},
                       {"###", {Expect::Refused, q("###")}},
                       {"ends #", {Expect::Refused, q("#")}}}});
    fields.push_back({"contract field list label",
                      false,
                      [&](const QString& v) { return contractLabel(v); },
                      {},
                      with(fileBrought, {{"###", {Expect::Refused, q("###")}},
                                         {"$$$", {Expect::Refused, q("$$$")}},
                                         {"ends $", {Expect::Refused, q("$")}}})});
    fields.push_back({"login name and password",
                      false,
                      [&](const QString& v) { return logIn(v); },
                      &addAccount,
                      {{"outside the code page", {Expect::NotAccepted, {}}}, {"1000 characters", na}}});

    int tried = 0, lost = 0;
    testing_support::runModal(window, [&] {
        for (const Field& field : fields) {
            for (const HostileValue& value : hostileValues()) {
                const auto found = field.exceptions.find(value.name);
                const Expectation expectation =
                    found == field.exceptions.end() ? Expectation{Expect::Stored, {}} : found->second;
                if (expectation.expect == Expect::NotApplicable) continue;
                SCOPED_TRACE(std::string(field.name) + " / " + value.name);
                ++tried;
                if (field.prepare) field.prepare(value.text);
                const std::string before = checksum();
                const Outcome out = field.attempt(value.text);
                const bool asExpected = [&] {
                    switch (expectation.expect) {
                    case Expect::Stored:
                        EXPECT_TRUE(out.accepted);
                        EXPECT_EQ(out.stored, out.typed);
                        // A multi-line edit keeps its own line breaks; nothing else may change.
                        EXPECT_EQ(field.multiLine ? lineBreaksAsCrLf(value.text) : value.text, out.typed);
                        EXPECT_TRUE(out.messages.isEmpty()) << out.messages.join(u'\n').toStdString();
                        return out.accepted && out.stored == out.typed;
                    case Expect::Refused:
                        EXPECT_FALSE(out.accepted);
                        EXPECT_EQ(out.messages.size(), 1) << out.messages.join(u'\n').toStdString();
                        for (const QString& m : out.messages)
                            for (QChar c : expectation.named)
                                if (!c.isSurrogate()) {
                                    EXPECT_TRUE(m.contains(c))
                                        << m.toStdString() << " does not name " << QString(c).toStdString();
                                }
                        return !out.accepted;
                    case Expect::NotAccepted: EXPECT_FALSE(out.accepted); return !out.accepted;
                    case Expect::NotApplicable: break;
                    }
                    return true;
                }();
                if (expectation.expect != Expect::Stored) {
                    EXPECT_EQ(checksum(), before) << "a refused value changed the database";
                }
                if (!asExpected) ++lost;
            }
        }
    });
    EXPECT_EQ(lost, 0);
    std::ofstream(testing_support::figuresPath("hostile-input.txt"))
        << "hostile inputs: " << tried << " tried over " << fields.size() << " fields (" << hostileValues().size()
        << " values each where they apply), " << lost << " lost or corrupted\n";
}

// The longest name the dialog takes is one whose placeholder show still fits its column.
TEST_F(HostileInputTest, TheLongestNameStillFitsItsPlaceholderShow) {
    manager window;
    testing_support::runModal(window, [&] {
        const QString longest(ccomp::maxNameChars(), u'n');
        const Outcome fits = addCompany(window, longest, true);
        EXPECT_TRUE(fits.accepted);
        EXPECT_EQ(fits.stored, longest);
        const Outcome over = addCompany(window, longest + u'n', true);
        EXPECT_FALSE(over.accepted);
        EXPECT_EQ(over.messages.size(), 1);
    });
}

}  // namespace

// An audit line is text anyone with the right to write one chose: the rows its tail names are
// read again by a statement built from numbers only, whatever the tail holds.
TEST(HostileAuditLines, OnlyNumbersFromATailReachTheStatementThatReadsItsRowsAgain) {
    using programme::ProgrammeTable;
    struct Case {
        const char* log;
        std::map<ProgrammeTable, QStringList> named;
    };
    const Case cases[] = {
        {"Anne : compagnie 2 [comp=2 showname=2,3]",
         {{ProgrammeTable::Companies, {"2"}}, {ProgrammeTable::Shows, {"2", "3"}}}},
        {"Anne : contrat 4 supprimé [contract=4 plan=12]",
         {{ProgrammeTable::Contracts, {"4"}}, {ProgrammeTable::Timeslots, {"12"}}}},
        {"x [comp=1) OR (1=1]", {}},
        {"x [comp=1;DROP TABLE comp showname=007,7]", {}},
        {"x [timeslot=1`,2 access=1 logs=3]", {}},
        {"x [comp=abc,3]", {}},
        {"x [comp=3 showname=007,7 access=1]", {{ProgrammeTable::Companies, {"3"}}, {ProgrammeTable::Shows, {"7"}}}},
        {"manager started", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        const manager_load::Asked asked = manager_load::rowsNamed({QString::fromUtf8(c.log)});
        EXPECT_EQ(asked, c.named);
        const std::string statement = manager_load::rowsStatement(asked, {5, 7, 4, 11, 6});
        for (char ch : statement) EXPECT_TRUE(ch != ';' && ch != '\'' && ch != '"') << statement;
    }
    // Every table in one statement, each row tagged with its table, padded to the widest.
    EXPECT_EQ(manager_load::rowsStatement({{ProgrammeTable::Companies, {"2"}}, {ProgrammeTable::Timeslots, {"5", "6"}}},
                                          {5, 7, 4, 11, 6}),
              "SELECT 1, `comp`.*, NULL, NULL, NULL, NULL FROM `comp` WHERE `id` IN (2) UNION ALL "
              "SELECT 3, `timeslot`.* FROM `timeslot` WHERE `id` IN (5,6)");
}
