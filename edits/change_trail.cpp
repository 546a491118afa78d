#include "edits/change_trail.h"

#include <QTimeZone>

#include "programme/programme_data.h"

namespace edits {

std::string rowPattern(const char* table, const QString& id) {
    return std::string("[[ ]") + table + "=([0-9]+,)*" + std::to_string(programme::leadingInteger(id)) + "[], ]";
}

void ChangedRows::add(const QString& table, const QString& id) { add(table, QStringList{id}); }

void ChangedRows::add(const QString& table, const QStringList& ids) {
    for (auto& [name, list] : tables_) {
        if (name != table) continue;
        for (const QString& id : ids)
            if (!list.contains(id)) list << id;
        return;
    }
    QStringList unique;
    for (const QString& id : ids)
        if (!unique.contains(id)) unique << id;
    tables_.emplace_back(table, unique);
}

QStringList ChangedRows::ids(const QString& table) const {
    for (const auto& [name, list] : tables_)
        if (name == table) return list;
    return {};
}

bool ChangedRows::contains(const QString& table, const QString& id) const { return ids(table).contains(id); }

QString ChangedRows::tail() const {
    if (tables_.empty()) return {};
    QStringList parts;
    for (const auto& [name, list] : tables_) parts << name + u'=' + list.join(u',');
    return QStringLiteral(" [") + parts.join(u' ') + u']';
}

ChangedRows ChangedRows::parse(const QString& logText) {
    ChangedRows rows;
    if (!logText.endsWith(u']')) return rows;
    const qsizetype open = logText.lastIndexOf(QStringLiteral(" ["));
    if (open < 0) return rows;
    const QString inside = logText.mid(open + 2, logText.size() - open - 3);
    for (const QString& part : inside.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals <= 0) return ChangedRows();  // not a tail of ours
        const QStringList ids = part.mid(equals + 1).split(u',', Qt::SkipEmptyParts);
        for (const QString& id : ids) {
            bool number = false;
            id.toLongLong(&number);
            if (!number) return ChangedRows();
        }
        rows.add(part.left(equals), ids);
    }
    return rows;
}

QString auditSubject(const RecordRef& ref) {
    const int i = recordIndex(ref);
    const auto at = static_cast<std::size_t>(i);
    switch (ref.kind) {
    case RecordKind::Company:
        return i < 0 ? QStringLiteral("compagnie %1").arg(ref.id)
                     : QStringLiteral("compagnie %1 \"%2\"").arg(ref.id, programme::companies()[at].nom);
    case RecordKind::Show:
        return i < 0 ? QStringLiteral("spectacle %1").arg(ref.id)
                     : QStringLiteral("spectacle %1 \"%2\"").arg(ref.id, programme::shows()[at].name);
    case RecordKind::Group:
        return i < 0 ? QStringLiteral("groupe %1").arg(ref.id)
                     : QStringLiteral("groupe %1 \"%2\"")
                           .arg(ref.id, programme::showLookup(programme::timeslots()[at].showname));
    case RecordKind::Contract: return QStringLiteral("contrat %1").arg(ref.id);
    }
    return {};
}

QString deletedWord(RecordKind kind) {
    return isFeminine(kind) ? QStringLiteral("supprimée") : QStringLiteral("supprimé");
}

QString restoredWord(RecordKind kind) {
    return isFeminine(kind) ? QStringLiteral("restaurée") : QStringLiteral("restauré");
}

QString withoutRows(const QString& message) {
    if (ChangedRows::parse(message).empty()) return message;
    return message.left(message.lastIndexOf(QStringLiteral(" [")));
}

AuditLine parseAuditLine(const QString& utcText, const QString& logText) {
    AuditLine line;
    line.utc = QDateTime::fromString(utcText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    line.utc.setTimeZone(QTimeZone::utc());
    const qsizetype colon = logText.indexOf(QStringLiteral(" : "));
    line.account = colon < 0 ? QString() : logText.left(colon);
    line.message = colon < 0 ? logText : logText.mid(colon + 3);
    line.rows = ChangedRows::parse(logText);
    return line;
}

}  // namespace edits
