// A contract's info rows: the ordered labelled values that its template's field list names,
// stored in the contract's `extra` column as label "$$$" value, rows joined by "###".
// The stored form has no escape for its separators; the texts here never add one, since
// stored contracts and the manager's substring lookups rely on exactly this layout.
// Also here: the defaults a new contract starts with, read from the loaded programme, and
// the contract number.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/date_time.h"
#include "programme/programme_data.h"

namespace contracts {

inline constexpr const char16_t* kRowSeparator = u"###";
inline constexpr const char16_t* kValueSeparator = u"$$$";

struct ContractInfoRow {
    QString label;
    QString value;
};

// Labels are compared exactly; with duplicate labels every lookup takes the first row.
class ContractInfoList {
public:
    std::vector<ContractInfoRow> rows;

    // The value of the first row with this label; nullopt when there is none (a row that is
    // there but empty gives an empty text).
    std::optional<QString> find(const QString& label) const;
    // find() with an absent row read as the empty text.
    QString value(const QString& label) const { return find(label).value_or(QString()); }
    // Sets the first row with this label; nothing when there is none.
    void setValue(const QString& label, const QString& value);
};

// extra: label$$$value rows joined by ###, nothing before the first or after the last.
QString serialiseExtra(const ContractInfoList& list);
// Each ###-separated record that holds a "$$$" gives a row: the label before the first
// "$$$", the value all the rest (further "$$$" included); other records give nothing.
ContractInfoList parseExtra(const QString& extra);
// The value in stored extra text: after the first occurrence of label + "$$$" (a plain
// substring search, so it may start inside a longer label) up to the next "###" or the end;
// empty when the label is not there.
QString valueInExtra(const QString& extra, const QString& label);

// Whether a typed value can be stored faithfully in extra: it may not hold "###", nor end
// with "#" (which would run into the next row's "###"). The message naming the characters,
// or empty.
QString storedValueProblem(const QString& value);
// Whether a whole list comes back from its extra text as it is; when not, the problem of the
// first row that does not (its label holding "$$$" or "###" or ending with "$", its value as
// above), named by its label. Empty when the list can be stored.
QString storedListProblem(const ContractInfoList& list);
inline constexpr const char* kRowProblemFormat = "Ligne « %1 » du contrat : %2";
inline constexpr const char* kLabelSeparatorMessage =
    "un libellé ne peut pas contenir « $$$ » ni « ### », ni finir par « $ » : ces caractères séparent les "
    "lignes du contrat enregistré.";
inline constexpr const char* kValueSeparatorMessage =
    "Une valeur ne peut pas contenir « ### » ni finir par « # » : ces caractères séparent les lignes du contrat "
    "enregistré.";

// The field list beside a template: the template name cut at its last dot, then ".txt".
QString fieldListName(const QString& templateName);
// One row per line of the field list (pieces of at most 1022 bytes, Windows-1252), values
// empty; an empty list when the file is missing or unreadable.
inline constexpr int kFieldListPiece = 1022;
ContractInfoList readFieldList(const QString& modelsFolder, const QString& templateName);

// The labels whose defaults a new contract gets.
namespace labels {
inline const QString kSlots = QStringLiteral("Créneau(x)");
inline const QString kChequeDatePrefix = QStringLiteral("Date encaissement du chèque numéro ");
inline const QString kChequeAmount = QStringLiteral("Montant de chacun des 5 chèques");
inline const QString kPrice = QStringLiteral("Prix (TTC)");
inline const QString kFee = QStringLiteral("Forfait frais payés par KQ à la compagnie en euros TTC");
inline const QString kSignatureDate = QStringLiteral("Date de signature du contrat");
inline const QString kReturnDeadline = QStringLiteral("Date de retour du contrat avant nullité");
inline const QString kRoomCapacity = QStringLiteral("Contenance salle");
inline const QString kShow = QStringLiteral("Spectacle");
inline const QString kShowTime = QStringLiteral("Heure du créneau (début spectacle)");
inline const QString kAccessTime = QStringLiteral("Heure de début (accès à la salle)");
inline const QString kReleaseTime = QStringLiteral("Heure de fin (libération de la salle)");
inline const QString kRoom = QStringLiteral("Salle");
inline const QString kMaximumCapacity = QStringLiteral("Capacité maximmale");
inline const QString kAuthor = QStringLiteral("Auteur");
inline const QString kDuration = QStringLiteral("Durée en minutes");
inline const QString kCompany = QStringLiteral("Compagnie");
inline const QString kNumber = QStringLiteral("Numéro de contrat");
inline const QString kCreatedBy = QStringLiteral("Créé par");
inline const QString kChequeDate(int n) { return kChequeDatePrefix + QString::number(n); }
}  // namespace labels

inline constexpr const char* kAuthorUndefined = "(Auteur non défini)";

// The C run-time's pseudo-random generator as the users' systems have it (values 0..32767),
// so that a starting value gives the same contract numbers everywhere.
class CrtRandom {
public:
    explicit CrtRandom(uint32_t start = 1) : state_(start) {}
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }

private:
    uint32_t state_;
};
// The milliseconds since the system started, where each contract dialog starts its generator.
uint32_t millisecondTicks();

// The show name's ASCII letters, then the third, second and first of three draws as four
// lower-case hexadecimal digits each: LAvarereprise_7fff_0003_1a2b.
QString contractNumber(const QString& showName, const std::function<int()>& draw);

// "%2u:%2.2u" of a HH:MM... text.
QString shortTime(const QString& time);
// The long French date of a date: "Mercredi 09 Décembre 2026".
QString longDate(const platform::DateTime& date);
// Cheque n's date: today plus (n - 1) steps, a step being a quarter of the whole days left
// to the season end (1 July, of next year from August on), 0 once it has passed.
platform::DateTime chequeDate(int n, const platform::DateTime& today);
// The French sentence listing a group's dates and times ("les ... et ... à 20:30 et le ...").
QString slotListText(std::vector<programme::Timeslot> group);

// The group a contract is for: its head (the first loaded timeslot with this id) followed by
// every loaded timeslot whose childof is the head's id, deleted ones included, in load order.
std::vector<programme::Timeslot> groupOf(int32_t headId);

struct DefaultSources {
    int32_t timeslotId = -1;
    QString userName;
    platform::DateTime now;
    std::function<int()> draw;  // the contract number's generator
};
// Fills the rows, in list order, from the loaded programme: each row reads the others as
// they stand when its turn comes. Nothing is filled when no loaded timeslot has the id.
void fillDefaults(ContractInfoList& list, const DefaultSources& sources);

}  // namespace contracts
