#include "programme/account.h"

#include "programme/table_engines.h"

#include "platform/ui_services.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"

namespace account {
namespace {

QString g_name;
QString g_rights;
AccountRows g_rows;

int32_t appendAccountRow(void* context, int32_t columnCount, char** columns, void*) {
    auto* rows = static_cast<AccountRows*>(context);
    if (columnCount > 1 && columns[1]) rows->names << db::fromAnsi(columns[1]);
    if (columnCount > 2 && columns[2]) rows->passwords << db::fromAnsi(columns[2]);
    if (columnCount > 3 && columns[3]) rows->rights << db::fromAnsi(columns[3]);
    return 0;
}

// Equal when they differ at most in the case of ASCII letters.
bool equalsIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 'A' && x <= 'Z') x = static_cast<char16_t>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

const QString& name() { return g_name; }
const QString& rights() { return g_rights; }
const AccountRows& rows() { return g_rows; }

LoginResult attemptLogin(const QString& typedName, const QString& typedPassword) {
    if (!db::programmeConnected() && db::connectProgramme() != 0) return LoginResult::Cancel;
    if (db::QueryRunner(kAccessStatement, appendAccountRow, &g_rows) != db::kQueryOk) {
        db::reportDbExecError(kAccessStatement);
        db::closeProgramme();
        return LoginResult::Cancel;
    }
    const qsizetype n = std::min({g_rows.names.size(), g_rows.passwords.size()});
    for (qsizetype i = 0; i < n; ++i) {
        if (equalsIgnoringAsciiCase(g_rows.names[i], typedName) &&
            equalsIgnoringAsciiCase(g_rows.passwords[i], typedPassword)) {
            g_rights = i < g_rows.rights.size() ? g_rows.rights[i] : QString();
            g_name = g_rows.names[i];
            programme::warnOnceWithoutTransactions();
            db::closeProgramme();
            return LoginResult::Ok;
        }
    }
    db::closeProgramme();
    platform::showError(QString::fromUtf8(kLoginFailedMessage));
    return LoginResult::NoMatch;
}

bool rightsTest() { return g_rights.contains(QLatin1String("all"), Qt::CaseSensitive); }

bool checkRights() {
    if (rightsTest()) return true;
    platform::showError(QString::fromUtf8(kNoRightsMessage));
    return false;
}

void resetForTests() {
    g_name.clear();
    g_rights.clear();
    g_rows = {};
}

void setForTests(const QString& accountName, const QString& rightsText) {
    g_name = accountName;
    g_rights = rightsText;
}

}  // namespace account
