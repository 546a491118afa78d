// The info rows of a contract without a window: the stored extra form, the field list, the
// defaults a new contract gets from the loaded programme, and what a new contract writes
// into its group's follow-up plan.
#include <gtest/gtest.h>

#include "tests/support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "contracts/contract_info.h"
#include "followup/contract_followup.h"
#include "tests/support/files.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

namespace {

using namespace contracts;
using namespace followup;
using platform::DateTime;

ContractInfoList rowsOf(std::initializer_list<std::pair<const char*, const char*>> rows) {
    ContractInfoList list;
    for (const auto& [label, value] : rows) list.rows.push_back({q(label), q(value)});
    return list;
}

QString joined(const ContractInfoList& list) {
    QStringList out;
    for (const auto& row : list.rows) out << row.label + u'|' + row.value;
    return out.join(u';');
}

TEST(ContractInfo, ExtraParsesAndSerialisesWithoutEscapes) {
    const struct {
        const char* extra;
        const char* rows;  // label|value joined by ";"
    } parses[] = {
        {"", ""},
        {"A$$$1", "A|1"},
        {"A$$$1###B", "A|1"},           // the record B has no "$$$"
        {"A$$$x$$$y", "A|x$$$y"},       // further "$$$" stay in the value
        {"A$$$1######B$$$", "A|1;B|"},  // an empty record between two "###" is skipped
        {"Salle$$$Studio###Prix (TTC)$$$1200", "Salle|Studio;Prix (TTC)|1200"},
        {"$$$v###L$$$", "|v;L|"},
    };
    for (const auto& c : parses) EXPECT_EQ(joined(parseExtra(q(c.extra))), q(c.rows)) << c.extra;

    EXPECT_EQ(serialiseExtra(rowsOf({{"L", ""}})), q("L$$$"));
    EXPECT_EQ(serialiseExtra(rowsOf({{"Salle", "Studio"}, {"Prix (TTC)", "1200"}})),
              q("Salle$$$Studio###Prix (TTC)$$$1200"));
    EXPECT_EQ(serialiseExtra({}), QString());
    const QString accented = q("Représentant légal$$$Zoé Œuvre###Ville$$$Nîmes");
    EXPECT_EQ(serialiseExtra(parseExtra(accented)), accented);
}

TEST(ContractInfo, LookupsTellAbsentFromEmptyAndStoredTextMatchesInsideLabels) {
    const ContractInfoList list = rowsOf({{"Prix (TTC)", ""}, {"Salle", "A"}, {"Salle", "B"}});
    EXPECT_EQ(list.find(q("Prix (TTC)")), std::optional<QString>(QString()));
    EXPECT_FALSE(list.find(q("Siret")).has_value());
    EXPECT_EQ(list.value(q("Salle")), q("A"));

    ContractInfoList edited = list;
    edited.setValue(q("Salle"), q("C"));
    edited.setValue(q("Absent"), q("x"));
    EXPECT_EQ(joined(edited), q("Prix (TTC)|;Salle|C;Salle|B"));

    const QString stored = q("Contenance Salle$$$100###Salle$$$Studio");
    EXPECT_EQ(valueInExtra(stored, q("Salle")), q("100"));
    EXPECT_EQ(valueInExtra(stored, q("Contenance Salle")), q("100"));
    EXPECT_EQ(valueInExtra(q("A$$$1###B$$$2"), q("B")), q("2"));
    EXPECT_EQ(valueInExtra(stored, q("Prix")), QString());
}

TEST(ContractInfo, FieldListIsReadBesideTheTemplate) {
    QTemporaryDir models;
    ASSERT_TRUE(models.isValid());
    QFile file(QDir(models.path()).filePath(q("contrat.type.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Salle\r\n\r\nPrix (TTC)\r\nCapacit\xe9 maximmale\r\n" + QByteArray(1030, 'x'));
    file.close();

    EXPECT_EQ(fieldListName(q("contrat.type.rtf")), q("contrat.type.txt"));
    EXPECT_EQ(fieldListName(q("sans extension")), q("sans extension.txt"));
    const ContractInfoList list = readFieldList(models.path(), q("contrat.type.rtf"));
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[1].label, QString());  // a blank line is a row
    EXPECT_EQ(list.rows[3].label, q("Capacité maximmale"));
    EXPECT_EQ(list.rows[4].label.size(), kFieldListPiece);  // a long line arrives in pieces
    EXPECT_EQ(list.rows[5].label, QString(1030 - kFieldListPiece, u'x'));
    EXPECT_TRUE(readFieldList(models.path(), q("absent.rtf")).rows.empty());
    // A typed template name is a file name of the models folder, never a path out of it.
    const QString outside = QFileInfo(models.path()).fileName() + q(".rtf");
    testing_support::writeFile(QDir(models.path()).filePath(q("../") + QFileInfo(models.path()).fileName() + q(".txt")),
                               "Secret\r\n");
    EXPECT_TRUE(readFieldList(models.path(), q("../") + outside).rows.empty());
    EXPECT_TRUE(readFieldList(models.path(), models.path() + q("/../") + outside).rows.empty());
    QFile::remove(QDir(models.path()).filePath(q("../") + QFileInfo(models.path()).fileName() + q(".txt")));
}

TEST(ContractInfo, ContractNumberKeepsAsciiLettersAndDrawsInReverse) {
    std::vector<int> draws{0x1a2b, 0x0003, 0x7fff};
    std::size_t next = 0;
    const auto draw = [&] { return draws[next++ % 3]; };
    EXPECT_EQ(contractNumber(q("L'Avare (reprise)"), draw), q("LAvarereprise_7fff_0003_1a2b"));
    EXPECT_EQ(contractNumber(q("Été 2019 à l'œil"), draw).left(6), q("tlil_7"));
    EXPECT_EQ(contractNumber(q("Éà 42"), draw), q("_7fff_0003_1a2b"));

    // The users' run-time generator: the same start gives the same numbers everywhere.
    CrtRandom random(1);
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
}

TEST(ContractInfo, ChequeDatesReachTheSeasonEndInQuarters) {
    const DateTime march15 = DateTime::fromParts(2019, 3, 15, 10, 0);
    EXPECT_EQ(longDate(chequeDate(1, march15)), q("Vendredi 15 Mars 2019"));
    EXPECT_EQ(longDate(chequeDate(3, march15)), q("Lundi 06 Mai 2019"));  // step 107 / 4 = 26
    EXPECT_EQ(longDate(chequeDate(5, march15)), q("Jeudi 27 Juin 2019"));
    // From August on the season ends next July; in July every cheque is today.
    EXPECT_EQ(longDate(chequeDate(5, DateTime::fromParts(2019, 8, 1))), q("Dimanche 28 Juin 2020"));
    EXPECT_EQ(longDate(chequeDate(5, DateTime::fromParts(2019, 7, 10))), q("Mercredi 10 Juillet 2019"));
}

class ContractDefaults : public ::testing::Test {
protected:
    void SetUp() override {
        programme::clearAll();
        programme::companies() = {{q("3"), q("Les Arlequins"), {}, {}, {}, q("0"), {}}};
        programme::shows() = {{q("7"), q("L'Avare (reprise)"), q("3"), q("0")},
                              {q("8"), q("Sans troupe"), q("99"), q("0")}};
        programme::rooms() = {{q("2"), q("Chapelle"), q("90 places"), q("la Chapelle du Kiosque")}};
        auto slot = [](const char* id, const char* date, const char* start, const char* end, const char* show,
                       const char* childof, const char* room) {
            return programme::Timeslot{q(id),      q(date), q(start), q(end), q("0"), q(show),
                                       q(childof), q(room), {},       {},     {}};
        };
        programme::timeslots() = {slot("10", "2019-07-08", "20:30:00", "21:55:00", "7", "-1", "2"),
                                  slot("11", "2019-07-11", "15:00:00", "16:25:00", "7", "10", "2"),
                                  slot("12", "2019-07-09", "20:30:00", "21:55:00", "7", "10", "2"),
                                  slot("13", "2019-07-10", "20:30:00", "21:55:00", "7", "10", "2"),
                                  slot("20", "2019-07-12", "00:02:00", "23:50:00", "66", "-1", "5"),
                                  slot("21", "2019-07-13", "23:30:00", "00:45:00", "8", "-1", "2")};
    }
    void TearDown() override { programme::clearAll(); }

    static ContractInfoList filled(int32_t timeslotId, std::initializer_list<const char*> labelTexts) {
        ContractInfoList list;
        for (const char* label : labelTexts) list.rows.push_back({q(label), {}});
        DefaultSources sources;
        sources.timeslotId = timeslotId;
        sources.userName = q("Demo");
        sources.now = DateTime::fromParts(2019, 3, 15, 10, 0);
        sources.draw = [] { return 0x10; };
        fillDefaults(list, sources);
        return list;
    }
};

TEST_F(ContractDefaults, EveryDefaultFromTheGroupItsShowRoomAndAccount) {
    const ContractInfoList list =
        filled(10, {"Créneau(x)", "Spectacle", "Compagnie", "Salle", "Contenance salle", "Capacité maximmale", "Auteur",
                    "Heure du créneau (début spectacle)", "Heure de début (accès à la salle)", "Durée en minutes",
                    "Heure de fin (libération de la salle)", "Numéro de contrat", "Créé par",
                    "Date de signature du contrat", "Date de retour du contrat avant nullité",
                    "Date encaissement du chèque numéro 2", "Date encaissement du chèque numéro 0", "Siret"});
    const QStringList expected = {
        q("les Lundi 08 Juillet 2019,Mardi 09 Juillet 2019 et Mercredi 10 Juillet 2019 à 20:30 et le Jeudi 11 Juillet "
          "2019 à 15:00"),
        q("L'Avare (reprise)"),
        q("Les Arlequins"),
        q("la Chapelle du Kiosque"),
        q("90 places"),
        q("90 places"),
        q("(Auteur non défini)"),
        q("20:30"),
        q("20:25"),
        q("85"),
        q("22:00"),
        q("LAvarereprise_0010_0010_0010"),
        q("Demo"),
        q("Vendredi 15 Mars 2019"),
        q("Samedi 30 Mars 2019"),
        q("Mercredi 10 Avril 2019"),
        QString(),  // cheque 0 names no cheque
        QString()};
    ASSERT_EQ(list.rows.size(), static_cast<std::size_t>(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(list.rows[i].value, expected[i]) << list.rows[i].label.toStdString();
}

TEST_F(ContractDefaults, RowsReadOthersAsTheyStandAndOddDataStaysBounded) {
    // The amount comes before the price: the price is still empty.
    EXPECT_EQ(joined(filled(10, {"Montant de chacun des 5 chèques", "Prix (TTC)"})),
              q("Montant de chacun des 5 chèques|0.00;Prix (TTC)|"));
    // The release time before the duration: the duration still reads 0.
    EXPECT_EQ(filled(10, {"Heure de fin (libération de la salle)", "Durée en minutes"}).rows[0].value, q("20:35"));
    // Unknown show and room; an access time before midnight is the evening before.
    EXPECT_EQ(joined(filled(20, {"Spectacle", "Compagnie", "Salle", "Heure de début (accès à la salle)"})),
              q("Spectacle|(inconnu;Compagnie|;Salle|;Heure de début (accès à la salle)|23:57"));
    // A show ending after midnight; a show whose company is not loaded.
    EXPECT_EQ(joined(filled(21, {"Durée en minutes", "Heure de fin (libération de la salle)", "Compagnie"})),
              q("Durée en minutes|75;Heure de fin (libération de la salle)|24:50;Compagnie|"));
    // No timeslot: labels only.
    EXPECT_EQ(joined(filled(-1, {"Spectacle", "Créé par"})), q("Spectacle|;Créé par|"));
}

TEST(ContractFollowUp, LongDatesBecomeDayMonthYear) {
    const struct {
        const char* longDate;
        const char* dayMonthYear;
    } cases[] = {
        {"Lundi 15 Juillet 2019", "15/7/2019"},
        {"Lundi 15 juillet 2019", "15/0/2019"},
        {"Mercredi 09 Décembre 2026", "9/12/2026"},
        {"Samedi 01 Août 2020", "1/8/2020"},
        {"", ""},
        {"Lundi", ""},
        {"Lundi 15", ""},
        {"Lundi 15 Juillet", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(dayMonthYearOfLongDate(q(c.longDate)), q(c.dayMonthYear)) << c.longDate;
}

TEST(ContractFollowUp, DeadlineAndPaymentsGoIntoThePlan) {
    testing_support::ui().clear();
    const QString plan =
        q("Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1=15/6/2027:350$$$"
          "Règlement 2$$$Règlement 3$$$Règlement 4$$$Règlement 5");
    const QString extra =
        q("Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019###Montant de chacun des 5 "
          "chèques$$$200.00###Date encaissement du chèque numéro 1$$$Vendredi 15 Mars 2019###Date "
          "encaissement du chèque numéro 5$$$Jeudi 27 Juin 2019");
    QString todo = plan;
    EXPECT_TRUE(writeReturnDeadline(todo, extra));
    EXPECT_TRUE(writePayments(todo, extra));
    EXPECT_EQ(todo,
              q("Contrat envoyé par KQ$$$Contrat reçu par KQ=15/7/2019$$$Règlement 1=15/3/2019:200.00$$$"
                "Règlement 2=:200.00$$$Règlement 3=:200.00$$$Règlement 4=:200.00$$$Règlement 5=27/6/2019:200.00"));
    EXPECT_TRUE(testing_support::ui().messages.empty());

    // No amount: the payments stay as they were, even with dates; no deadline: nothing.
    todo = plan;
    EXPECT_FALSE(writePayments(todo, q("Date encaissement du chèque numéro 1$$$Vendredi 15 Mars 2019")));
    EXPECT_FALSE(writeReturnDeadline(todo, q("Prix (TTC)$$$1000")));
    EXPECT_EQ(todo, plan);

    // A plan without the items: settodo reports each, the plan is kept.
    todo = q("Autre chose");
    EXPECT_TRUE(writeReturnDeadline(todo, extra));
    EXPECT_EQ(todo, q("Autre chose"));
    EXPECT_EQ(testing_support::ui().messages.size(), 1u);
}

}  // namespace
