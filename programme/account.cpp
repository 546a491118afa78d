#include "programme/account.h"

#include <algorithm>

#include "programme/table_engines.h"

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "platform/ui_services.h"

namespace account {
namespace {

QString g_name;
QString g_rights;

// What a login statement sent back: at most one row.
struct Found {
    int rows = 0;
    QString name;
    QString rights;
};

int32_t takeAccount(void* context, int32_t columnCount, char** columns, void*) {
    auto* found = static_cast<Found*>(context);
    if (++found->rows > 1) return 0;
    if (columnCount > 0 && columns[0]) found->name = db::fromAnsi(columns[0]);
    if (columnCount > 1 && columns[1]) found->rights = db::fromAnsi(columns[1]);
    return 0;
}

// Overwrites a copy of a typed password before it is let go.
void wipe(std::string& text) {
    std::fill(text.begin(), text.end(), '\0');
    text.clear();
}

// The account is known: its rights and its name as stored, for the rest of the run.
LoginResult accept(const QString& storedName, const QString& rightsText) {
    g_rights = rightsText;
    g_name = storedName;
    programme::warnOnceWithoutTransactions();
    db::closeProgramme();
    return LoginResult::Ok;
}

LoginResult refuse() {
    db::closeProgramme();
    platform::showError(QString::fromUtf8(kLoginFailedMessage));
    return LoginResult::NoMatch;
}

LoginResult loginWithAccessTable(const QString& typedName, const QString& typedPassword) {
    // A character the code page cannot hold is in no stored row.
    if (db::fromAnsi(db::toAnsi(typedName)) != typedName || db::fromAnsi(db::toAnsi(typedPassword)) != typedPassword)
        return refuse();
    if (!db::programmeConnected() && db::connectProgramme() != 0) return LoginResult::Cancel;
    std::string statement = loginStatement(typedName, typedPassword);
    Found found;
    const int32_t rc = db::QueryRunner(statement, takeAccount, &found);
    if (rc != db::kQueryOk) {
        wipe(statement);
        db::reportDbExecError(loginStatement(typedName, typedPassword, true));
        db::closeProgramme();
        return LoginResult::Cancel;
    }
    wipe(statement);
    if (found.rows == 0) return refuse();
    return accept(found.name, found.rights);
}

// The account's name as the server knows it, from CURRENT_USER() ("name@host").
int32_t takeServerAccount(void* context, int32_t columnCount, char** columns, void*) {
    auto* found = static_cast<Found*>(context);
    ++found->rows;
    if (columnCount > 0 && columns[0]) {
        const std::string user = columns[0];
        found->name = QString::fromUtf8(user.substr(0, user.rfind('@')));
    }
    if (columnCount > 1 && columns[1]) found->rights = QString::fromUtf8(columns[1]);
    return 0;
}

LoginResult loginWithServerAccount(const QString& typedName, const QString& typedPassword) {
    db::closeProgramme();
    db::ConnectionSettings& settings = db::programmeSettings();
    settings.user = typedName.toStdString();
    settings.password = typedPassword.toStdString();
    const auto forget = [&settings] {
        wipe(settings.password);
        settings.user.clear();
    };
    if (QString failure; db::connectProgrammeQuietly(&failure) != 0) {
        forget();
        if (db::lastConnectErrorNumber() == kAccessDenied) return refuse();
        // Unreachable, or refused for another reason: the connection's own message.
        platform::showError(failure);
        return LoginResult::Cancel;
    }
    Found found;
    if (db::QueryRunner(kServerAccountStatement, takeServerAccount, &found) != db::kQueryOk || found.rows != 1) {
        db::reportDbExecError(kServerAccountStatement);
        db::closeProgramme();
        forget();
        return LoginResult::Cancel;
    }
    // Every later unit of work connects as this account; what it may do the server decides,
    // and the window offers what the role allows.
    return accept(found.name, found.rights == QLatin1String(kEditorRole) ? QStringLiteral("all") : QString());
}

}  // namespace

std::string exactFoldPattern(const std::string& ansiText) {
    static constexpr char kHex[] = "0123456789abcdef";
    // Between quotes in the statement, where the server reads "\\" as one backslash.
    std::string pattern = "\\\\A";
    for (const char c : ansiText) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')) {
            const char lower = static_cast<char>(byte | 0x20);
            pattern += {'[', static_cast<char>(lower - 32), lower, ']'};
        } else if (byte >= '0' && byte <= '9') {
            pattern += c;
        } else {
            pattern += {'\\', '\\', 'x', '{', kHex[byte >> 4], kHex[byte & 15], '}'};
        }
    }
    return pattern + "\\\\z";
}

std::string loginStatement(const QString& typedName, const QString& typedPassword, bool shown) {
    std::string name = db::toAnsi(typedName);
    std::string password = db::toAnsi(typedPassword);
    std::string statement = "SELECT `name`, `rights` FROM `access` WHERE CAST(`name` AS BINARY) REGEXP '" +
                            exactFoldPattern(name) + "' AND CAST(`password` AS BINARY) REGEXP '" +
                            (shown ? std::string("***") : exactFoldPattern(password)) + "' ORDER BY `id` LIMIT 1";
    wipe(name);
    wipe(password);
    return statement;
}

const QString& name() { return g_name; }
const QString& rights() { return g_rights; }

LoginResult attemptLogin(const QString& typedName, const QString& typedPassword) {
    if (db::programmeSettings().accounts == db::AccountMode::Server)
        return loginWithServerAccount(typedName, typedPassword);
    return loginWithAccessTable(typedName, typedPassword);
}

bool writesOffered() { return db::programmeSettings().accounts == db::AccountMode::Access || rightsTest(); }

bool rightsTest() { return g_rights.contains(QLatin1String("all"), Qt::CaseSensitive); }

bool checkRights() {
    if (rightsTest()) return true;
    platform::showError(QString::fromUtf8(kNoRightsMessage));
    return false;
}

void resetForTests() {
    g_name.clear();
    g_rights.clear();
}

void setForTests(const QString& accountName, const QString& rightsText) {
    g_name = accountName;
    g_rights = rightsText;
}

}  // namespace account
