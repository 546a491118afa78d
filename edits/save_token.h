// Exactly once. Each save carries a token of its own, made before its first try and written
// first in its writes, into a table where it is unique, then tied to its audit line. When the
// link goes while the save's writes and COMMIT travel, nothing on this side can tell whether
// the server committed them; a new connection asks the server to end the old session if it
// still lives, then looks the token up with a locking read, which waits while a session holds
// the token uncommitted. Found: the save is stored, once. Not found: it is not, and runs again
// with the same token; should the old writes still arrive, the token lets only one of the two
// commit (the other meets it taken, and then finds it). When the server cannot be asked, the
// outcome is unknown and the user is told so, never that it failed.
#pragma once

#include <string>

namespace edits {

// Hosted databases made before the token was kept need the table: README says how to add it.
inline constexpr const char* kTokenTableMissingMessage =
    "Enregistrement impossible : la base du programme n'a pas la table `save_tokens`, qui permet "
    "de savoir si un enregistrement interrompu par une coupure a été fait. Demandez à "
    "l'administrateur du serveur de la créer :\n\n"
    "CREATE TABLE `save_tokens` (`token` CHAR(32) NOT NULL, `log` INT NOT NULL, "
    "PRIMARY KEY (`token`)) DEFAULT CHARSET=latin1;";
inline constexpr const char* kOutcomeUnknownMessage =
    "La liaison avec le serveur a été coupée pendant l'enregistrement, et le serveur ne répond plus : "
    "on ne peut pas savoir si l'enregistrement a été fait. Les listes le montreront quand le serveur "
    "répondra de nouveau ; ne le refaites qu'après avoir vérifié qu'il n'y est pas.";
inline constexpr unsigned kNoSuchTable = 1146;

// 32 hexadecimal digits from the system's random source.
std::string newSaveToken();
// The INSERT that takes the token, first of a save's writes, and the UPDATE that ties it to
// the audit line written just before it.
std::string tokenStatement(const std::string& token);
std::string tokenAuditStatement(const std::string& token);

// Whether a refusal of the save's writes leaves their outcome unknown: the link went after
// the packet left (2013, 2026 on an encrypted link, 2006 when it went as the packet left) or
// the server ended the session (1927).
bool outcomeUnknownAfter(unsigned error);

enum class TokenState { Stored, NotStored, CannotAsk };
struct TokenLookup {
    TokenState state = TokenState::CannotAsk;
    long long auditId = 0;  // the audit line kept with the token, when stored
};

// After the link of session `lostSession` went: opens the programme connection again (showing
// nothing), asks the server to end that session, and reads the token. The new connection
// stays open for a try that runs again; closed when the server cannot be asked.
TokenLookup lookUpAfterLoss(const std::string& token, unsigned long lostSession);
// Opens the programme connection again after its link went, showing nothing; a few tries, as
// a link just cut may refuse the first. False when the server cannot be reached.
bool openAgainAfterLoss();
// Asks the server to end a session whose link went: it would hold its transaction's locks
// until the server noticed. Not on a node of a cluster (the number may be another node's).
void endLostSession(unsigned long session);
// The token read on the open connection (a try met it taken: an earlier try committed).
TokenLookup lookUp(const std::string& token);

}  // namespace edits
