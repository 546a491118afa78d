// The contract document: an RTF template from the models folder whose placeholder tokens
// (<<<KEY>>>, one unbroken run of the template's bytes) are replaced by the values of the
// contract's info rows, written into the generated folder under the contract number, opened
// in its application until that ends, and copied on OK to the folder the shared drive keeps.
//
// Values go into the document escaped for RTF, so that no typed text can break the
// document's groups: backslash and braces become control symbols, line breaks paragraph
// breaks, and a character that Windows-1252 lacks a Unicode escape. Windows-1252 letters
// stay single bytes, as the templates' \ansicpg1252 expects.
#pragma once

#include <QString>
#include <array>
#include <string>
#include <string_view>

#include "contracts/contract_info.h"

namespace contracts {

struct TokenKey {
    const char* key;    // ASCII, upper case
    const char* label;  // UTF-8: the info row that supplies the value
};
// The keys in the order they are replaced.
extern const std::array<TokenKey, 34> kTokenKeys;

// Where the documents are read and written.
struct ContractFolders {
    QString models;     // the templates and their field lists
    QString generated;  // the documents, named by contract number
    QString shared;     // the copy kept in step with the shared drive
};
// Beside the executable: models/ and generated/; the shared folder is this installation's
// (BRELO_SHARED_FOLDER at configure time, "~" standing for the user's home folder).
ContractFolders defaultFolders();
QString sharedFolder();

// A value as RTF text in Windows-1252.
std::string rtfText(const QString& value);

// The template with every token of a table key replaced, key after key in table order: by
// its row's value, or by nothing when the list has no such row. Each occurrence is replaced
// once and the search goes on after the value put in, so a value holding its own token
// stays as typed; a value holding a later key's token has it replaced by that key.
// Tokens of other keys stay. The text ends at the template's first zero byte.
// Values that hold later keys' tokens, each holding further ones, multiply the text at each
// key: once it would pass maxBytes the substitution stops, *tooLarge is set and the text is
// empty, instead of exhausting the memory.
inline constexpr std::size_t kMaxDocumentBytes = 64u << 20;
std::string fillTemplate(std::string_view templateBytes, const ContractInfoList& list, bool* tooLarge = nullptr,
                         std::size_t maxBytes = kMaxDocumentBytes);

// The checks before generating: the message, or empty when the rows may be generated.
QString generationCheckMessage(const ContractInfoList& list);

inline constexpr int kMaxPath = 260;

// The contract number as the document's file name holds it: what the code page keeps of it.
QString documentName(const ContractInfoList& list);
// Whether the rows' number names another contract's document: the number of a loaded
// contract (deleted ones too, whose documents stay for the Corbeille), compared as the users'
// file systems compare names, without regard to case. ownNumber, the number the contract
// being edited was stored with, is its own. The message, or empty.
QString numberTakenProblem(const ContractInfoList& list, const QString& ownNumber);
inline constexpr const char* kNumberTakenFormat =
    "Le numéro de contrat « %1 » est déjà celui d'un autre contrat : changez-le, pour ne pas remplacer son document.";

// Checks, fills the template named templateName (a file name in the models folder), writes
// the document under the number of the rows, opens it and waits for its application, then
// reads it back. 0 with rtf set to templateName on success; otherwise -1 after one error
// box, rtf unchanged. A document that nothing could open is still generated: a warning gives
// its full path.
int generateAndOpen(const ContractFolders& folders, const ContractInfoList& list, const QString& templateName,
                    QString& rtf);
// Copies the document of the rows' number to the shared folder, replacing a copy there only
// once the new copy is complete (a failure leaves the previous copy as it was). 0, or -1
// after its error box.
int copyToShared(const ContractFolders& folders, const ContractInfoList& list);

// The messages.
inline constexpr const char* kPriceMissing = "Le prix doit être défini";
inline constexpr const char* kFeeMissing = "Le forfait doit être défini";
inline constexpr const char* kTemplateOpenFailed = "Accès au fichier modèle impossible : errueur %d (%s)";
inline constexpr const char* kOutOfMemory = "Pas assez de mémoire";
inline constexpr const char* kTemplateReadFailed = "Erreur à la lecture du fichier modèle";
inline constexpr const char* kCreateFailed = "Erreur à la création du fichier";
inline constexpr const char* kWriteFailed = "Erreur à l'écriture du fichier";
inline constexpr const char* kGeneratedOpenFailed = "Accès au fichier généré impossible";
inline constexpr const char* kGeneratedReadFailed = "Erreur à la lecture du fichier généré";
inline constexpr const char* kCopyFailed = "Erreur à la copie vers Google Drive";
inline constexpr const char* kDocumentNotOpened =
    "Le contrat est généré mais aucune application de ce poste n'a pu l'ouvrir. Ouvrez-le depuis son dossier :\n%1";
inline constexpr const char* kDocumentTooLarge =
    "Le contrat dépasserait 64 Mo : des valeurs contiennent des marques « <<<...>>> » du modèle, qui se remplacent "
    "les unes dans les autres.";
inline constexpr const char* kPathTooLong = "Le chemin du fichier dépasse 260 caractères : %1";

}  // namespace contracts
