#include "edits/journal.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/sql_text.h"

namespace edits {

namespace {

// The server stamps lines in UTC; the user reads local days.
std::string utcText(const QDate& day) {
    return QDateTime(day, QTime(0, 0)).toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

int32_t collect(void* context, int32_t columns, char** values, void*) {
    if (columns >= 2 && values[0] && values[1])
        static_cast<std::vector<AuditLine>*>(context)->push_back(
            parseAuditLine(db::fromAnsi(values[0]), db::fromAnsi(values[1])));
    return 0;
}

}  // namespace

std::string journalStatement(const QDate& from, const QDate& to) {
    return db::formatStatement(
        "SELECT `utc`, `log` FROM `logs` WHERE `utc` >= '%s' AND `utc` < '%s' ORDER BY `id` DESC",
        utcText(from).c_str(), utcText(to.addDays(1)).c_str());
}

int loadJournal(const QDate& from, const QDate& to, std::vector<AuditLine>& lines) {
    lines.clear();
    const std::string statement = journalStatement(from, to);
    if (db::QueryRunner(statement, &collect, &lines) == db::kQueryOk) return 0;
    db::reportDbExecError(statement);
    return -1;
}

QString searchKey(const QString& text) {
    // Compatibility decomposition parts "ô" into "o" and its accent, which is then left out.
    const QString parted = text.normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(parted.size());
    for (const QChar c : parted)
        if (c.category() != QChar::Mark_NonSpacing) key += c;
    key = key.toCaseFolded();
    key.replace(QChar(0x0153), QStringLiteral("oe"));
    key.replace(QChar(0x00E6), QStringLiteral("ae"));
    return key;
}

std::vector<AuditLine> filterJournal(const std::vector<AuditLine>& lines, const JournalFilter& filter) {
    std::vector<AuditLine> kept;
    const QString wanted = searchKey(filter.text);
    for (const AuditLine& line : lines) {
        if (!filter.account.isEmpty() && line.account != filter.account) continue;
        if (!wanted.isEmpty() && !searchKey(line.message).contains(wanted) && !searchKey(line.account).contains(wanted))
            continue;
        kept.push_back(line);
    }
    return kept;
}

QStringList accountsOf(const std::vector<AuditLine>& lines, const QString& chosen) {
    QStringList accounts;
    if (!chosen.isEmpty()) accounts << chosen;
    for (const AuditLine& line : lines)
        if (!accounts.contains(line.account)) accounts << line.account;
    std::sort(accounts.begin(), accounts.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    return accounts;
}

}  // namespace edits
