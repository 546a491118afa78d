// The logged-in account: its name and rights, set once by the login, and the rights test
// that the editing handlers run before any addition or change.
#pragma once

#include <QString>
#include <QStringList>

namespace account {

// The account's name as the accounts table stores it; empty until a login succeeds.
const QString& name();
// The account's rights text; empty until a login succeeds.
const QString& rights();

// The rows of the accounts table read by the login attempts, in parallel lists: every
// attempt appends the whole table again (the first match wins, so the copies change nothing).
struct AccountRows {
    QStringList names;
    QStringList passwords;
    QStringList rights;
};
const AccountRows& rows();

inline constexpr const char* kAccessStatement = "SELECT * FROM access";
inline constexpr const char* kLoginFailedMessage = "Login impossible, vérifiez svp nom et mot de passe";
inline constexpr const char* kNoRightsMessage = "Vous n'avez pas les droits suffisants pour faire ceci";

enum class LoginResult { Ok, NoMatch, Cancel };

// One press of OK in the login box: reads the accounts table and looks for the typed name
// and password (both compared ignoring the case of ASCII letters). Shows the connection or
// db_exec message and gives Cancel when the table cannot be read; gives NoMatch (after
// its message) when no row matches.
LoginResult attemptLogin(const QString& typedName, const QString& typedPassword);

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
