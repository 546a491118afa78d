// What the databases can keep of a typed text: characters of the users' code page only, and
// no more than the column holds. Each check gives the message to show, naming what is wrong,
// or an empty text when the value can be stored as it is.
#pragma once

#include <QString>

namespace db {

// Sizes of the programme database's text columns.
inline constexpr int kNameColumnChars = 255;           // VARCHAR(255): names, e-mail, contacts, file names
inline constexpr int kTextColumnBytes = 65535;         // TEXT: the address, the follow-up texts
inline constexpr int kLongTextColumnBytes = 16777215;  // MEDIUMTEXT: a contract's rows

// The characters that Windows-1252 cannot hold, each once, in order of appearance.
QString unstorableCharacters(const QString& text);

inline constexpr const char* kUnstorableFormat = "« %1 » contient des caractères que la base ne peut pas garder : %2";
inline constexpr const char* kTooLongFormat = "« %1 » est trop long : %2 caractères, %3 au plus.";

// The problem with storing `text` in a column of at most `maxChars` characters (one byte
// each in the code page), or empty. `field` names the field in the message.
QString storedTextProblem(const QString& field, const QString& text, int maxChars);

// The problem with a text holding one of the separators of a stored format (listed in
// `forbidden`), or with a text ending in the first character of `trailing`, or empty.
inline constexpr const char* kSeparatorFormat =
    "« %1 » ne peut pas contenir %2 : ces caractères séparent les éléments enregistrés.";
inline constexpr const char* kTrailingFormat =
    "« %1 » ne peut pas finir par « %2 » : ce caractère se confondrait avec le séparateur qui suit.";
QString separatorProblem(const QString& field, const QString& text, std::initializer_list<const char*> forbidden,
                         QChar trailing = QChar());

}  // namespace db
