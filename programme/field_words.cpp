#include "programme/field_words.h"

#include <QStringList>
#include <iterator>

namespace programme {

namespace {

// One row per field, in the order of Field. The audit words ("nom", "e-mail", "adresse",
// "suivi", ...) are those the stored lines have always used.
constexpr FieldWords kWords[] = {
    {"Nom", "nom", false, false},
    {"E-mail", "e-mail", false, false},
    {"Contact 1", "contact 1", false, false},
    {"Contact 2", "contact 2", false, false},
    {"Adresse complète", "adresse", true, false},
    {"Compagnie", "compagnie", true, false},
    {"Spectacle", "spectacle", false, false},
    {"Salle", "salle", true, false},
    {"Créneaux", "créneaux", false, true},
    {"Suivi", "suivi", false, false},
    {"Surveillance", "surveillance", true, false},
    {"Plan du suivi", "plan du suivi", false, false},
    {"Suivi fait", "suivi fait", false, false},
    {"Infos", "infos", true, true},
    {"Modèle de contrat", "modèle de contrat", false, false},
};
static_assert(std::size(kWords) == static_cast<std::size_t>(Field::ContractTemplate) + 1, "one row per field");

}  // namespace

const FieldWords& wordsOf(Field field) { return kWords[static_cast<std::size_t>(field)]; }

QString fieldLabel(Field field) { return QString::fromUtf8(wordsOf(field).label); }

QString changedFieldsText(const std::vector<Field>& fields) {
    if (fields.empty()) return {};
    QStringList words;
    bool allFeminine = true;
    for (const Field f : fields) {
        words << QString::fromUtf8(wordsOf(f).inLine);
        allFeminine = allFeminine && wordsOf(f).feminine;
    }
    const bool plural = fields.size() > 1 || wordsOf(fields.front()).plural;
    const QString last = words.takeLast();
    const QString subject = words.isEmpty() ? last : words.join(QStringLiteral(", ")) + QStringLiteral(" et ") + last;
    return subject + QStringLiteral(" modifié") + (allFeminine ? QStringLiteral("e") : QString()) +
           (plural ? QStringLiteral("s") : QString());
}

}  // namespace programme
