#include "edits/corbeille.h"

#include <QSet>
#include <algorithm>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/statement_batch.h"
#include "edits/edit_statements.h"
#include "edits/transaction.h"
#include "followup/contract_followup.h"
#include "platform/utf8.h"
#include "programme/programme_data.h"

namespace edits {

namespace {

using platform::u8;

int32_t collectLine(void* context, int32_t columns, char** values, void*) {
    if (columns < 2 || !values[0] || !values[1]) return 0;
    static_cast<std::vector<AuditLine>*>(context)->push_back(
        parseAuditLine(db::fromAnsi(values[0]), db::fromAnsi(values[1])));
    return 0;
}

QString kindName(RecordKind kind) {
    switch (kind) {
    case RecordKind::Company: return QStringLiteral("Compagnie");
    case RecordKind::Show: return QStringLiteral("Spectacle");
    case RecordKind::Group: return QStringLiteral("Groupe");
    case RecordKind::Contract: return QStringLiteral("Contrat");
    }
    return {};
}

CorbeilleEntry entryOf(const RecordRef& ref, const std::vector<AuditLine>& lines) {
    CorbeilleEntry entry{ref, kindName(ref.kind), displayName(ref), attachedTo(ref), {}, {}, {}};
    for (const AuditLine& line : lines) {
        if (!line.rows.contains(u8(tableOf(ref.kind)), ref.id)) continue;
        entry.deletedAt = line.utc;
        entry.deletedBy = line.account;
        entry.batch = line.rows;
        break;
    }
    return entry;
}

// The deleted record that a record points at, one step up: a show's company, a group's show,
// a contract's group.
std::optional<RecordRef> parentOf(const RecordRef& ref) {
    const int i = recordIndex(ref);
    if (i < 0) return std::nullopt;
    const auto at = static_cast<std::size_t>(i);
    switch (ref.kind) {
    case RecordKind::Company: return std::nullopt;
    case RecordKind::Show: return RecordRef{RecordKind::Company, programme::shows()[at].comp};
    case RecordKind::Group: return RecordRef{RecordKind::Show, programme::timeslots()[at].showname};
    case RecordKind::Contract: return RecordRef{RecordKind::Group, programme::contracts()[at].ts};
    }
    return std::nullopt;
}

bool listed(const std::vector<CorbeilleEntry>& entries, const RecordRef& ref) {
    return std::any_of(entries.begin(), entries.end(), [&](const CorbeilleEntry& e) { return e.ref == ref; });
}

// The rows a restore of one entry sets live again, added to rows.
void rowsToRestore(const CorbeilleEntry& entry, ChangedRows& rows) {
    const QString table = u8(tableOf(entry.ref.kind));
    switch (entry.ref.kind) {
    case RecordKind::Company: {
        rows.add(table, entry.ref.id);
        // Its placeholder shows went with it; those its delete took, or all when unknown.
        for (const programme::Show& show : programme::shows()) {
            if (show.comp != entry.ref.id || !programme::isDeleted(show.deleted) ||
                !programme::isPlaceholderName(show.name))
                continue;
            if (entry.batch.empty() || entry.batch.contains(u8(tableOf(RecordKind::Show)), show.id))
                rows.add(u8(tableOf(RecordKind::Show)), show.id);
        }
        break;
    }
    case RecordKind::Show:
    case RecordKind::Contract: rows.add(table, entry.ref.id); break;
    case RecordKind::Group: {
        QStringList ids;
        for (const QString& id : deletedRowsOfGroup(entry.ref.id))
            if (entry.batch.empty() || entry.batch.contains(table, id)) ids << id;
        rows.add(table, ids);
        break;
    }
    }
}

}  // namespace

int loadDeleteLines(std::vector<AuditLine>& lines) {
    lines.clear();
    if (db::QueryRunner(kDeleteLinesStatement, &collectLine, &lines) == db::kQueryOk) return 0;
    db::reportDbExecError(kDeleteLinesStatement);
    return -1;
}

std::vector<CorbeilleEntry> corbeilleEntries(const std::vector<AuditLine>& deleteLines) {
    std::vector<CorbeilleEntry> entries;
    for (const programme::Company& c : programme::companies())
        if (programme::isDeleted(c.deleted)) entries.push_back(entryOf({RecordKind::Company, c.id}, deleteLines));
    for (const programme::Show& s : programme::shows())
        if (programme::isDeleted(s.deleted)) entries.push_back(entryOf({RecordKind::Show, s.id}, deleteLines));
    for (const programme::Timeslot& t : programme::timeslots())
        if (programme::isDeleted(t.deleted) && programme::isGroupHead(t))
            entries.push_back(entryOf({RecordKind::Group, t.id}, deleteLines));
    for (const programme::Contract& c : programme::contracts())
        if (programme::isDeleted(c.deleted)) entries.push_back(entryOf({RecordKind::Contract, c.id}, deleteLines));
    // Newest delete first; what went together stays together, company first, then its shows,
    // groups and contracts, the newest ids first.
    std::stable_sort(entries.begin(), entries.end(), [](const CorbeilleEntry& a, const CorbeilleEntry& b) {
        if (a.deletedAt.isValid() != b.deletedAt.isValid()) return a.deletedAt.isValid();
        if (a.deletedAt != b.deletedAt) return a.deletedAt > b.deletedAt;
        if (a.ref.kind != b.ref.kind) return a.ref.kind < b.ref.kind;
        return programme::leadingInteger(a.ref.id) > programme::leadingInteger(b.ref.id);
    });
    return entries;
}

RestorePlan planRestore(const std::vector<CorbeilleEntry>& selected, const std::vector<CorbeilleEntry>& all) {
    RestorePlan plan{selected, {}};
    for (const CorbeilleEntry& target : selected) {
        for (auto parent = parentOf(target.ref); parent; parent = parentOf(*parent)) {
            if (isLive(*parent) || recordIndex(*parent) < 0) break;
            if (listed(plan.targets, *parent) || listed(plan.parents, *parent)) continue;
            const auto it =
                std::find_if(all.begin(), all.end(), [&](const CorbeilleEntry& e) { return e.ref == *parent; });
            plan.parents.push_back(it != all.end() ? *it : entryOf(*parent, {}));
        }
    }
    return plan;
}

DeleteQuestion restoreQuestion(const RestorePlan& plan) {
    DeleteQuestion q;
    if (plan.parents.empty()) return q;
    QStringList names;
    for (const CorbeilleEntry& parent : plan.parents) names << QStringLiteral("  ") + recordInWords(parent.ref);
    q.text =
        QStringLiteral("Ce que vous restaurez est rattaché à des éléments supprimés :\n%1\n\nLes restaurer aussi ?")
            .arg(names.join(u'\n'));
    q.answers = {QStringLiteral("Restaurer aussi"), QStringLiteral("Seulement la sélection"),
                 QStringLiteral("Annuler")};
    return q;
}

namespace {

std::vector<CorbeilleEntry> restored(const RestorePlan& plan, bool withParents) {
    std::vector<CorbeilleEntry> entries = plan.targets;
    if (withParents) entries.insert(entries.end(), plan.parents.begin(), plan.parents.end());
    return entries;
}

// The heads whose plans the restored contracts write back into.
QStringList plansWrittenBack(const std::vector<CorbeilleEntry>& entries) {
    QStringList heads;
    for (const CorbeilleEntry& entry : entries) {
        if (entry.ref.kind != RecordKind::Contract) continue;
        const int c = recordIndex(entry.ref);
        if (c < 0) continue;
        const QString ts = programme::contracts()[static_cast<std::size_t>(c)].ts;
        if (entry.batch.contains(u8(kCleanedPlanKey), ts) && !heads.contains(ts)) heads << ts;
    }
    return heads;
}

}  // namespace

namespace {

// The latest delete line naming the record's row, read on the open connection.
ChangedRows lastDeleteOf(const RecordRef& ref) {
    const std::string statement =
        std::string("SELECT `log` FROM `logs` WHERE `log` LIKE '% : supprim%]' AND `log` REGEXP '") +
        rowPattern(tableOf(ref.kind), ref.id) + "' ORDER BY `id` DESC LIMIT 1";
    const db::BatchResult found = db::runBatch({statement});
    if (!found.ok() || found.rows.empty() || found.rows[0].empty()) return {};
    return ChangedRows::parse(db::fromAnsi(found.rows[0][0][0]));
}

std::string idList(const QStringList& ids) {
    std::string list;
    for (const QString& id : ids) list += (list.empty() ? "" : ", ") + std::to_string(programme::leadingInteger(id));
    return list;
}

}  // namespace

QStringList rowsOfLastDelete(RecordKind kind, const QString& id) {
    const QStringList ids = lastDeleteOf({kind, id}).ids(u8(tableOf(kind)));
    return ids.isEmpty() ? QStringList{QString::number(programme::leadingInteger(id))} : ids;
}

SaveResult runRestore(const RestorePlan& plan, bool withParents) {
    SaveResult result;
    const std::vector<CorbeilleEntry> entries = restored(plan, withParents);
    const QStringList heads = plansWrittenBack(entries);
    // The entries' own rows, locked: what the save decides from cannot change under it.
    std::vector<std::string> checks;
    std::vector<RecordKind> checkedKinds;
    for (const RecordKind kind : {RecordKind::Company, RecordKind::Show, RecordKind::Group, RecordKind::Contract}) {
        QStringList ids;
        for (const CorbeilleEntry& e : entries)
            if (e.ref.kind == kind) ids << e.ref.id;
        if (ids.isEmpty()) continue;
        checks.push_back(std::string("SELECT `id`, `deleted` FROM `") + tableOf(kind) + "` WHERE `id` IN (" +
                         idList(ids) + ") FOR UPDATE");
        checkedKinds.push_back(kind);
    }
    if (!heads.isEmpty())
        checks.push_back("SELECT `id`, `todo` FROM `timeslot` WHERE `id` IN (" + idList(heads) + ") FOR UPDATE");
    const Decide decide = [&](const CheckedRows& checked, IdSource&) {
        result = SaveResult{};
        QHash<QString, QString> stored;
        if (!heads.isEmpty())
            for (const QStringList& row : checked.back()) stored.insert(row[0], row[1]);
        QSet<QString> liveNow;
        for (std::size_t k = 0; k < checkedKinds.size(); ++k)
            for (const QStringList& row : checked[k])
                if (!programme::isDeleted(row[1])) liveNow.insert(u8(tableOf(checkedKinds[k])) + u' ' + row[0]);
        // Each entry as its latest delete left it, which may not be the one the list was filled
        // from: restored elsewhere meanwhile, it is left; deleted again since, it comes back with
        // what that delete took.
        RestorePlan now;
        for (const CorbeilleEntry& entry : entries) {
            const QString table = u8(tableOf(entry.ref.kind));
            if (liveNow.contains(table + u' ' + QString::number(programme::leadingInteger(entry.ref.id)))) {
                result.fromTheirs << u8("%1 (déjà %2)").arg(recordInWords(entry.ref), restoredWord(entry.ref.kind));
                continue;
            }
            CorbeilleEntry fresh = entry;
            const ChangedRows latest = lastDeleteOf(entry.ref);
            if (!latest.empty()) fresh.batch = latest;
            for (const QString& id : entry.batch.ids(table))
                if (!fresh.batch.empty() && !fresh.batch.contains(table, id) && id != entry.ref.id)
                    result.fromTheirs << u8("%1 (retiré du groupe)").arg(slotInWords(id));
            now.targets.push_back(fresh);
        }
        if (now.targets.empty()) return Decision{true, {}, {}};
        const SaveText save = restoreSave(now, false, &stored);
        result.restored = save.cameBack;
        return Decision{false, save.statements, save.auditMessage};
    };
    RunInfo info;
    const RunEnd end = runTransaction(checks, decide, &info);
    result.outcome = end == RunEnd::Committed ? (result.fromTheirs.isEmpty() ? SaveOutcome::Done : SaveOutcome::Merged)
                     : end == RunEnd::Unknown ? SaveOutcome::Unknown
                     : end == RunEnd::Stopped ? SaveOutcome::Vanished
                                              : SaveOutcome::Failed;
    result.auditId = info.auditId;
    return result;
}

QString restoreNotice(const SaveResult& result) {
    const QString left = result.fromTheirs.join(QStringLiteral(" ; "));
    if (!result.committed())
        return u8("Rien n'a été restauré, tout avait changé depuis sur un autre poste : %1.").arg(left);
    QString notice = u8("Restauré : %1.").arg(result.restored.join(QStringLiteral(" ; ")));
    if (!left.isEmpty()) notice += u8(" Laissé tel quel, changé depuis sur un autre poste : %1.").arg(left);
    return notice;
}

QString restoredInWords(const RecordRef& ref, const ChangedRows& rows) {
    QString words = recordInWords(ref);
    if (ref.kind == RecordKind::Company) {
        QStringList shows;
        for (const QString& id : rows.ids(u8(tableOf(RecordKind::Show)))) shows << displayName({RecordKind::Show, id});
        if (shows.size() == 1) words += u8(" avec son spectacle %1").arg(shows.front());
        if (shows.size() > 1) words += u8(" avec ses spectacles %1").arg(shows.join(QStringLiteral(", ")));
    }
    if (ref.kind == RecordKind::Group) {
        const qsizetype slotCount = rows.ids(u8(tableOf(RecordKind::Group))).size();
        if (slotCount == 1) words += u8(" avec son créneau");
        if (slotCount > 1) words += u8(" avec ses %1 créneaux").arg(slotCount);
    }
    return words;
}

SaveText restoreSave(const RestorePlan& plan, bool withParents, const QHash<QString, QString>* storedPlans) {
    const std::vector<CorbeilleEntry> entries = restored(plan, withParents);
    SaveText save;
    if (entries.empty()) return save;
    ChangedRows rows;
    QStringList subjects;
    for (const CorbeilleEntry& entry : entries) {
        ChangedRows own;
        rowsToRestore(entry, own);
        for (const RecordKind kind : {RecordKind::Company, RecordKind::Show, RecordKind::Group, RecordKind::Contract})
            if (const QStringList ids = own.ids(u8(tableOf(kind))); !ids.isEmpty()) rows.add(u8(tableOf(kind)), ids);
        subjects << auditSubject(entry.ref);
        save.cameBack << restoredInWords(entry.ref, own);
    }
    for (const RecordKind kind : {RecordKind::Company, RecordKind::Show, RecordKind::Group, RecordKind::Contract}) {
        const QStringList ids = rows.ids(u8(tableOf(kind)));
        if (!ids.isEmpty()) save.statements.push_back(restoreRowsStatement(tableOf(kind), ids));
    }
    // A contract whose delete took its deadline and payments out of its group's plan puts
    // them back, as its creation wrote them.
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const CorbeilleEntry& entry = entries[k];
        if (entry.ref.kind != RecordKind::Contract) continue;
        const int c = recordIndex(entry.ref);
        const programme::Contract& contract = programme::contracts()[static_cast<std::size_t>(c)];
        if (!entry.batch.contains(u8(kCleanedPlanKey), contract.ts)) continue;
        const int head = programme::timeslotIndexById(contract.ts);
        if (head < 0) continue;
        QString todo = storedPlans && storedPlans->contains(contract.ts)
                           ? storedPlans->value(contract.ts)
                           : programme::timeslots()[static_cast<std::size_t>(head)].todo;
        const bool deadline = followup::writeReturnDeadline(todo, contract.extra);
        const bool payments = followup::writePayments(todo, contract.extra);
        if (!deadline && !payments) continue;
        save.statements.push_back(
            updateFollowUpPlanStatement(todo, static_cast<int32_t>(programme::leadingInteger(contract.ts))));
        rows.add(u8(kCleanedPlanKey), contract.ts);
        const QString items = deadline && payments ? u8("sa date de retour et ses règlements remis")
                              : deadline           ? u8("sa date de retour remise")
                                                   : u8("ses règlements remis");
        save.cameBack[static_cast<qsizetype>(k)] += u8(" avec %1 dans le suivi du groupe %2").arg(items, contract.ts);
    }
    const QString message = entries.size() == 1
                                ? subjects.front() + QStringLiteral(" : ") + restoredWord(entries.front().ref.kind)
                                : QStringLiteral("restauration de ") + subjects.join(QStringLiteral(", "));
    save.auditMessage = message + rows.tail();
    return save;
}

}  // namespace edits
