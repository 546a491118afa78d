// The logged-in account: its name and rights, set once by the login, and the rights test
// that the editing handlers run before any addition or change.
#pragma once

#include <QString>
#include <string>

namespace account {

// The account's name as the accounts table (or the server) stores it; empty until a login succeeds.
const QString& name();
// The account's rights text; empty until a login succeeds.
const QString& rights();

// The statement of one login in the shared-account mode: the server settles the whole
// matching rule (ASCII letters fold, every other byte compares as it is, the first row by `id`
// wins) and sends the name and rights of that one row, or nothing. No password leaves the
// server; the typed ones travel as patterns that only their own text matches. shown: the
// statement as a message may show it, the password's pattern left out.
std::string loginStatement(const QString& typedName, const QString& typedPassword, bool shown = false);
// The typed text as a pattern of the server's regular expressions (on the column's bytes)
// that matches exactly the texts equal to it but for the case of ASCII letters: each letter a
// class of its two cases, every other byte by its code. Only ASCII goes into the statement.
std::string exactFoldPattern(const std::string& ansiText);

// The roles of the server-accounts mode (db/schema/server_accounts.sql): an editor's rights
// text is "all", a reader's is empty.
inline constexpr const char* kEditorRole = "brelo_editor";
inline constexpr const char* kReaderRole = "brelo_reader";
inline constexpr const char* kServerAccountStatement = "SELECT CURRENT_USER(), CURRENT_ROLE()";
// MariaDB's refusal of an account or its password.
inline constexpr unsigned kAccessDenied = 1045;

inline constexpr const char* kLoginFailedMessage = "Login impossible, vérifiez svp nom et mot de passe";
inline constexpr const char* kNoRightsMessage = "Vous n'avez pas les droits suffisants pour faire ceci";

enum class LoginResult { Ok, NoMatch, Cancel };

// One press of OK in the login box. Shared-account mode: asks the accounts table for the row
// of the typed name and password (both compared ignoring the case of ASCII letters). Server-
// accounts mode: connects as the typed account, whose role gives the rights. Shows the
// connection or db_exec message and gives Cancel when the server cannot be asked; gives
// NoMatch (after its message) when no account matches. The typed password is not kept, but in
// the server-accounts mode, where each unit of work connects with it.
LoginResult attemptLogin(const QString& typedName, const QString& typedPassword);

// Whether the windows offer additions, changes and deletes at all: always in the shared-
// account mode, where the handlers test the rights as they always did; in the server-accounts
// mode to an editor only, since the server refuses a reader's every write.
bool writesOffered();

// Passes when the rights text holds "all" (case-sensitive).
bool rightsTest();
// The guard of the editing handlers: true when the rights test passes, otherwise shows
// "Vous n'avez pas les droits suffisants pour faire ceci" and gives false.
bool checkRights();

// Tests start from a blank account.
void resetForTests();
// Sets the account directly (tests of the windows that need a logged-in user).
void setForTests(const QString& accountName, const QString& rightsText);

}  // namespace account
