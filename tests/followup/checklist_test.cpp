#include <gtest/gtest.h>

#include "tests/support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "followup/checklist.h"
#include "followup/followup_status.h"
#include "tests/support/text.h"

namespace {

using namespace followup;
using platform::DateTime;

using testing_support::writeFile;
QStringList titles(const std::vector<ChecklistRow>& rows) {
    QStringList out;
    for (const auto& row : rows) out << row.title;
    return out;
}

TEST(Checklist, TemplateNamesAreTheTextFilesOfTheFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QDir dir(folder.path());
    writeFile(dir.filePath(q("b.txt")), "B\r\n");
    writeFile(dir.filePath(q("A.TXT")), "A\r\n");
    writeFile(dir.filePath(q("notes.md")), "N\r\n");
    writeFile(dir.filePath(q("Accueil compagnie.txt")), "C\r\n");
    ASSERT_TRUE(dir.mkdir(q("old.txt")));
    EXPECT_EQ(templateNames(folder.path()), (QStringList{q("A.TXT"), q("Accueil compagnie.txt"), q("b.txt")}));
    EXPECT_TRUE(templateNames(dir.filePath(q("missing"))).isEmpty());
}

TEST(Checklist, TemplateLinesBecomePlanItems) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray of1022(1022, 'x'), of5000(5000, 'y');
    const QStringList payments{q("Contrat envoyé par KQ"), q("Règlement 1"), q("Stat")};
    struct Case {
        const char* name;
        QByteArray bytes;
        QString todo;
        QStringList listed;
    } cases[] = {
        {"no break after the last line", "A\r\nB\r\nC", q("A$$$B$$$C"), {q("A"), q("B"), q("C")}},
        {"break after the last line", "A\r\nB\r\n", q("A$$$B"), {q("A"), q("B")}},
        {"plain LF", "A\nB\n", q("A$$$B"), {q("A"), q("B")}},
        // A blank line spaces the text: it is no item, and hides none after it.
        {"blank middle lines", "A\r\n\r\n  \r\nB\r\n", q("A$$$B"), {q("A"), q("B")}},
        {"empty first line", "\r\nA\r\n", q("A"), {q("A")}},
        {"Windows-1252", "R\xe8glement 1=1/9/2019:350\r\n", q("Règlement 1=1/9/2019:350"), {q("Règlement 1")}},
        {"UTF-8", "Contrat envoy\xc3\xa9 par KQ\r\nR\xc3\xa8glement 1=1/9/2019:350\r\nStat",
         q("Contrat envoyé par KQ$$$Règlement 1=1/9/2019:350$$$Stat"), payments},
        {"UTF-8 with its mark, LF",
         "\xef\xbb\xbf"
         "Contrat envoy\xc3\xa9 par KQ\nR\xc3\xa8glement 1\nStat\n",
         q("Contrat envoyé par KQ$$$Règlement 1$$$Stat"), payments},
        {"empty file", "", QString(), {}},
        {"a line of exactly 1022 bytes",
         of1022 + "\r\nZ\r\n",
         QString::fromLatin1(of1022) + q("$$$Z"),
         {QString::fromLatin1(of1022), q("Z")}},
        {"a line of 5000 bytes",
         of5000 + "\r\nZ",
         QString::fromLatin1(of5000) + q("$$$Z"),
         {QString::fromLatin1(of5000), q("Z")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(folder.path()).filePath(QString::fromUtf8(c.name) + q(".txt"));
        writeFile(path, c.bytes);
        bool opened = false;
        QString problem;
        const QString todo = readTemplate(path, &opened, &problem);
        EXPECT_TRUE(opened);
        EXPECT_EQ(problem, QString());
        EXPECT_EQ(todo, c.todo);
        EXPECT_EQ(titles(checklistRows(todo, QString())), c.listed);
    }
}

TEST(Checklist, TemplatesThePlanCannotKeepAreRefusedNamingTheLine) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const struct {
        const char* name;
        QByteArray bytes;
        QString problem;
    } cases[] = {
        // Blank lines count: the author finds the line by its number in the editor.
        {"sep.txt", "A\r\n\r\nB$$$C\r\n",
         q("« Ligne 3 du modèle sep.txt » ne peut pas contenir « $$$ » : ces caractères séparent les éléments "
           "enregistrés.")},
        {"dollar.txt", "A\r\nprix en $\r\n",
         q("« Ligne 2 du modèle dollar.txt » ne peut pas finir par « $ » : ce caractère se confondrait avec le "
           "séparateur qui suit.")},
        // UTF-8 can hold what the database's code page cannot.
        {"coche.txt", "Fait \xe2\x9c\x93\r\n",
         q("« Ligne 1 du modèle coche.txt » contient des caractères que la base ne peut pas garder : ✓")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(folder.path()).filePath(q(c.name));
        writeFile(path, c.bytes);
        QString problem;
        readTemplate(path, nullptr, &problem);
        EXPECT_EQ(problem, c.problem);
    }
    bool opened = true;
    QString problem;
    EXPECT_TRUE(readTemplate(QDir(folder.path()).filePath(q("absent.txt")), &opened, &problem).isEmpty());
    EXPECT_FALSE(opened);
    EXPECT_EQ(problem, q(kTemplateUnreadable).arg(q("absent.txt"), QDir::toNativeSeparators(folder.path())));
}

TEST(Checklist, RowsShowDeadlineGoalAndState) {
    const auto rows = checklistRows(q("Contrat envoyé par KQ$$$Règlement 1=1/9/2019:350$$$Stat:10$$$Visuel=2/2/2020"),
                                    q("Règlement 1=Fait le 3/7/2019 (350)$$$Stat=Fait le 1/1/2020"));
    ASSERT_EQ(rows.size(), 4u);
    const ChecklistRow expected[] = {
        {q("Contrat envoyé par KQ"), {}, {}, {}},
        {q("Règlement 1"), q("1/9/2019"), q("350"), q("Fait le 3/7/2019 (350)")},
        {q("Stat"), {}, q("10"), q("Fait le 1/1/2020")},
        {q("Visuel"), q("2/2/2020"), {}, {}},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].title, expected[i].title);
        EXPECT_EQ(rows[i].deadline, expected[i].deadline);
        EXPECT_EQ(rows[i].goal, expected[i].goal);
        EXPECT_EQ(rows[i].state, expected[i].state);
    }
}

TEST(Checklist, RebuildKeepsThePlanAndRecordsOnlyStates) {
    struct Case {
        const char* name;
        std::vector<ChecklistRow> rows;
        const char* todo;
        const char* done;
    } cases[] = {
        {"no rows", {}, "", ""},
        {"bare and full items, empty state leaves no trace",
         {{q("A"), {}, {}, {}},
          {q("Règlement 1"), q("1/9/2019"), q("350"), q("Fait le 3/7/2019 (350)")},
          {q("C"), {}, q("5"), {}},
          {q("D"), q("1/1/2020"), {}, q("Fait le 2/1/2020")}},
         "A$$$Règlement 1=1/9/2019:350$$$C:5$$$D=1/1/2020",
         "Règlement 1=Fait le 3/7/2019 (350)$$$D=Fait le 2/1/2020"},
        {"a state without a date", {{q("A"), {}, {}, q(" (12)")}}, "A", "A= (12)"},
        {"a title holding = is cut in the record",
         {{q("T=x"), {}, {}, q("Fait le 1/1/2020")}},
         "T=x",
         "T=Fait le 1/1/2020"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString todo = q("old"), done = q("old");
        rebuildFollowUp(c.rows, todo, done);
        EXPECT_EQ(todo, q(c.todo));
        EXPECT_EQ(done, q(c.done));
    }

    // What the editor lists and rebuilds untouched comes back as it was stored.
    const QString todo = q("A$$$Règlement 1=1/9/2019:350$$$C:5");
    const QString done = q("Règlement 1=Fait le 3/7/2019 (350)");
    QString todo2, done2;
    rebuildFollowUp(checklistRows(todo, done), todo2, done2);
    EXPECT_EQ(todo2, todo);
    EXPECT_EQ(done2, done);
}

TEST(Checklist, ItemDialogReadsAndWritesItsTexts) {
    const DateTime today = DateTime::fromParts(2026, 12, 9);
    struct Read {
        const char* text;
        int day, month, year;  // the completion date read; today when the state has none
        const char* achieved;
    } reads[] = {
        {"Fait le 3/7/2019 (350)", 3, 7, 2019, "350"},
        {"Fait le 3/7/2019", 3, 7, 2019, ""},
        {" (350)", 9, 12, 2026, "350"},
        {"Fait le 31/2/2019", 9, 12, 2026, ""},
        {"Fait le hier (a) (b)", 9, 12, 2026, "a"},
        {"(open", 9, 12, 2026, ""},
    };
    for (const Read& r : reads) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(completionDateOf(q(r.text), today), DateTime::fromParts(r.year, r.month, r.day));
        EXPECT_EQ(achievedGoalOf(q(r.text)), q(r.achieved));
    }
    EXPECT_EQ(dateOfDayMonthYear(q("1/9/2019"), today), DateTime::fromParts(2019, 9, 1));
    EXPECT_EQ(dateOfDayMonthYear(q("1-9-2019"), today), today);

    const DateTime july3 = DateTime::fromParts(2019, 7, 3, 15, 20);
    struct Write {
        bool done;
        const char* achieved;
        const char* state;
    } writes[] = {
        {true, "350", "Fait le 3/7/2019 (350)"},
        {true, "", "Fait le 3/7/2019"},
        {false, "350", " (350)"},
        {false, "", ""},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.state);
        EXPECT_EQ(stateText(w.done, july3, q(w.achieved)), q(w.state));
    }
    EXPECT_EQ(deadlineText(true, DateTime::fromParts(2019, 9, 1)), q("1/9/2019"));
    EXPECT_EQ(deadlineText(false, DateTime::fromParts(2019, 9, 1)), QString());
}

// A template saved as UTF-8 names the items the status line knows.
TEST(Checklist, AUtf8TemplatesPaymentsCountInTheStatusLine) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = QDir(folder.path()).filePath(q("utf8.txt"));
    QByteArray lines;
    for (int i = 1; i <= 5; ++i)
        lines += "R\xc3\xa8glement " + QByteArray::number(i) + "=1/" + QByteArray::number(i) + "/2019:350\r\n";
    writeFile(path, lines);
    const QString todo = readTemplate(path);
    QString text;
    FollowUpStatus(todo, QString(), DateTime::fromParts(2019, 2, 15, 12), DateTime::fromParts(2019, 1, 1), text);
    EXPECT_TRUE(text.startsWith(q(", Paiement non réalisé (dû 700.00, payé 0.00)"))) << text.toStdString();
}

TEST(Checklist, AnAchievedPaymentCountsAsPaid) {
    QString todo, done;
    std::vector<ChecklistRow> rows;
    for (int i = 1; i <= 5; ++i) rows.push_back({q("Règlement %1").arg(i), q("1/%1/2019").arg(i), q("350"), {}});
    rows[0].state = stateText(true, DateTime::fromParts(2019, 7, 3), q("350"));
    rebuildFollowUp(rows, todo, done);
    EXPECT_EQ(done, q("Règlement 1=Fait le 3/7/2019 (350)"));
    QString text;
    const DateTime now = DateTime::fromParts(2019, 2, 15, 12);
    const DateTime before = DateTime::fromParts(2019, 1, 1);
    FollowUpStatus(todo, done, now, before, text);
    EXPECT_TRUE(text.startsWith(q(", Paiement non réalisé (dû 700.00, payé 350.00)"))) << text.toStdString();
}

}  // namespace
