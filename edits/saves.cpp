#include "edits/saves.h"

#include <QHash>
#include <functional>

#include "db/codepage.h"
#include "db/sql_text.h"
#include "db/statement_batch.h"
#include "edits/change_trail.h"
#include "edits/corbeille.h"
#include "edits/edit_statements.h"
#include "edits/transaction.h"
#include "followup/contract_followup.h"
#include "followup/followup.h"
#include "followup/followup_merge.h"
#include "platform/utf8.h"
#include "programme/date_texts.h"
#include "programme/field_words.h"

namespace edits {

namespace {

using platform::u8;
using programme::Field;
QString label(Field field) { return programme::fieldLabel(field); }
std::string idText(const QString& id) { return std::to_string(programme::leadingInteger(id)); }
// How "%u" writes an id, as the statements store it (-1 is 4294967295).
QString asWritten(int32_t value) { return QString::number(static_cast<uint32_t>(value)); }

// Whoever saved the row last, as the audit trail tells; empty when it does not.
QString lastAccount(const char* table, const QString& id) {
    const std::string statement = db::formatStatement(
        "SELECT `log` FROM `logs` WHERE `log` REGEXP '%s' ORDER BY `id` DESC LIMIT 1", rowPattern(table, id).c_str());
    const db::BatchResult found = db::runBatch({statement});
    if (!found.ok() || found.rows.empty() || found.rows[0].empty()) return {};
    const QString log = db::fromAnsi(found.rows[0][0][0]);
    const qsizetype colon = log.indexOf(QStringLiteral(" : "));
    return colon < 0 ? QString() : log.left(colon);
}

// One field seen three ways. The merge keeps a change made on one side only; a field changed
// on both sides to different values is a clash, and keeps mine (written only when the user
// chose to keep it).
struct Sides {
    QString label;
    QString base;
    QString theirs;
    QString mine;
};

struct Merge {
    QStringList fromTheirs;
    std::vector<FieldDifference> clashes;

    QString take(const Sides& f) {
        if (f.theirs == f.base || f.theirs == f.mine) return f.mine;
        if (f.mine == f.base) {
            fromTheirs << f.label;
            return f.theirs;
        }
        clashes.push_back({f.label, f.theirs, f.mine});
        return f.mine;
    }
};

// The run of a save that may meet a colleague's changes: the result is set afresh by every
// try of the transaction.
SaveResult finish(RunEnd end, SaveResult result, const RunInfo& info) {
    if (end == RunEnd::Failed) result.outcome = SaveOutcome::Failed;
    if (end == RunEnd::Unknown) result.outcome = SaveOutcome::Unknown;
    if (end == RunEnd::Committed) {
        result.outcome = result.fromTheirs.isEmpty() ? SaveOutcome::Done : SaveOutcome::Merged;
        result.auditId = info.auditId;
    }
    return result;
}

// The audit line's words for what "Garder les miennes" wrote over: ", remplace l'autre poste
// sur : Nom, Plan du suivi". The Journal shows who overwrote what.
QString overwritten(const std::vector<FieldDifference>& clashes) {
    if (clashes.empty()) return {};
    QStringList fields;
    for (const FieldDifference& c : clashes) fields << c.field;
    return u8(", remplace l'autre poste sur : %1").arg(fields.join(QStringLiteral(", ")));
}

// Stops a try: the row is gone or deleted, or changed in a way that needs the user.
Decision stopWith(SaveResult& result, SaveOutcome outcome, const char* table) {
    result.outcome = outcome;
    result.account = lastAccount(table, result.record.id);
    Decision d;
    d.stop = true;
    return d;
}

// An edit of one row: read FOR UPDATE with its `deleted` last; a row gone or deleted meanwhile
// stops the save (unless it is to be restored); `merged` takes each field three ways and gives
// the statement and the audit line's words; a clash stops the save unless mine is kept.
struct RowEdit {
    RecordKind kind;
    const char* table;
    QString id;
    const char* columns;  // the fields `merged` reads, then `deleted`
    std::function<void(const QStringList& row, Merge& merge, Decision& d)> merged;
};

SaveResult runRowEdit(const RowEdit& edit, const Resolution& resolution) {
    SaveResult result;
    const std::vector<std::string> checks{db::formatStatement("SELECT %s FROM `%s` WHERE `id` = %s FOR UPDATE",
                                                              edit.columns, edit.table, idText(edit.id).c_str())};
    const Decide decide = [&](const CheckedRows& checked, IdSource&) {
        result = SaveResult{};
        result.record = {edit.kind, edit.id};
        if (checked[0].empty()) return stopWith(result, SaveOutcome::Vanished, edit.table);
        const QStringList& row = checked[0][0];
        const bool deleted = programme::isDeleted(row.back());
        if (deleted && !resolution.restore) return stopWith(result, SaveOutcome::Vanished, edit.table);
        Merge merge;
        Decision d;
        edit.merged(row, merge, d);
        if (!resolution.settles(merge.clashes)) {
            result.differences = merge.clashes;
            return stopWith(result, SaveOutcome::Conflict, edit.table);
        }
        result.fromTheirs = merge.fromTheirs;
        if (deleted) {
            d.writes.insert(d.writes.begin(), restoreRowsStatement(edit.table, {edit.id}));
            result.restored << recordInWords(result.record);
        }
        ChangedRows rows;
        rows.add(QString::fromUtf8(edit.table), edit.id);
        d.audit += overwritten(merge.clashes) + rows.tail();
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction(checks, decide, &info);
    return finish(end, result, info);
}

// The audit line's words for the fields this workstation changed: "nom et adresse modifiés",
// or "enregistré(e) sans changement"; "restauré(e), ..." when the save brings the row back.
QString whatChanged(const std::vector<std::pair<Field, bool>>& fields, bool feminine, bool restored) {
    std::vector<Field> changed;
    for (const auto& [field, isChanged] : fields)
        if (isChanged) changed.push_back(field);
    QString what = changed.empty() ? (feminine ? u8("enregistrée sans changement") : u8("enregistré sans changement"))
                                   : programme::changedFieldsText(changed);
    if (restored) what = (feminine ? u8("restaurée, ") : u8("restauré, ")) + what;
    return what;
}

// An add's parent, read FOR UPDATE in the add's transaction so that it cannot be deleted
// under the add: gone or deleted meanwhile, the add stops as Vanished naming it, unless the
// user chose to restore it with the add (a group with the rows its delete took).
struct Parent {
    RecordKind kind;
    QString id;
    std::string check() const {
        return db::formatStatement("SELECT `deleted` FROM `%s` WHERE `id` = %s FOR UPDATE", tableOf(kind),
                                   idText(id).c_str());
    }
};

bool parentHolds(const Parent& parent, const std::vector<QStringList>& rows, const Resolution& resolution,
                 SaveResult& result, Decision& d, ChangedRows& changed, QString& words) {
    const bool deleted = rows.empty() || programme::isDeleted(rows[0][0]);
    if (!deleted) return true;
    if (rows.empty() || !resolution.restore) {
        result.record = {parent.kind, parent.id};
        d = stopWith(result, SaveOutcome::Vanished, tableOf(parent.kind));
        return false;
    }
    const QStringList ids = rowsOfLastDelete(parent.kind, parent.id);
    d.writes.push_back(restoreRowsStatement(tableOf(parent.kind), ids));
    changed.add(QString::fromUtf8(tableOf(parent.kind)), ids);
    ChangedRows own;
    own.add(QString::fromUtf8(tableOf(parent.kind)), ids);
    result.restored << restoredInWords({parent.kind, parent.id}, own);
    words = QStringLiteral(", %1 %2").arg(auditSubject({parent.kind, parent.id}), restoredWord(parent.kind));
    return true;
}

}  // namespace

// ---- companies --------------------------------------------------------------------------

CompanyFields fieldsOf(const programme::Company& c) { return {c.nom, c.email, c.contact1, c.contact2, c.fulladr}; }

SaveResult addCompany(const CompanyFields& mine) {
    SaveResult result;
    const Decide decide = [&](const CheckedRows&, IdSource& ids) {
        Decision d;
        const unsigned companyId = ids.base("comp", programme::companies().size());
        const unsigned showId = ids.base("showname", programme::shows().size());
        d.writes.push_back(edits::addCompanyStatement(companyId, mine.nom, mine.email, mine.contact1, mine.contact2));
        d.writes.push_back(addPlaceholderShowStatement(showId, mine.nom, companyId));
        // The creation statement has no address: the edit statement stores the one typed.
        if (!mine.fulladr.isEmpty())
            d.writes.push_back(edits::editCompanyStatement(mine.nom, mine.email, mine.fulladr, mine.contact1,
                                                           mine.contact2, QString::number(companyId)));
        ChangedRows rows;
        rows.add(QStringLiteral("comp"), QString::number(companyId));
        rows.add(QStringLiteral("showname"), QString::number(showId));
        d.audit = QStringLiteral("compagnie %1 \"%2\" : créée").arg(companyId).arg(mine.nom) + rows.tail();
        result.newId = companyId;
        result.record = {RecordKind::Company, QString::number(companyId)};
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction({}, decide, &info);
    return finish(end, result, info);
}

SaveResult editCompany(const programme::Company& base, const CompanyFields& mine, const Resolution& resolution) {
    const auto merged = [&](const QStringList& row, Merge& merge, Decision& d) {
        const QString nom = merge.take({label(Field::Name), base.nom, row[0], mine.nom});
        const QString email = merge.take({label(Field::Email), base.email, row[1], mine.email});
        const QString contact1 = merge.take({label(Field::Contact1), base.contact1, row[2], mine.contact1});
        const QString contact2 = merge.take({label(Field::Contact2), base.contact2, row[3], mine.contact2});
        const QString fulladr = merge.take({label(Field::Address), base.fulladr, row[4], mine.fulladr});
        d.writes.push_back(edits::editCompanyStatement(nom, email, fulladr, contact1, contact2, base.id));
        const QString what = whatChanged({{Field::Name, mine.nom != base.nom},
                                          {Field::Email, mine.email != base.email},
                                          {Field::Contact1, mine.contact1 != base.contact1},
                                          {Field::Contact2, mine.contact2 != base.contact2},
                                          {Field::Address, mine.fulladr != base.fulladr}},
                                         true, programme::isDeleted(row[5]));
        d.audit = QStringLiteral("compagnie %1 \"%2\" : %3").arg(base.id, nom, what);
    };
    return runRowEdit(
        {RecordKind::Company, "comp", base.id, "`nom`, `email`, `contact1`, `contact2`, `fulladr`, `deleted`", merged},
        resolution);
}

// ---- shows -------------------------------------------------------------------------------

SaveResult addShow(const ShowFields& mine, const Resolution& resolution) {
    SaveResult result;
    const bool withCompany = mine.company >= 0;
    const Parent company{RecordKind::Company, QString::number(mine.company)};
    const Decide decide = [&](const CheckedRows& checked, IdSource& ids) {
        result = SaveResult{};
        Decision d;
        ChangedRows rows;
        QString restored;
        if (withCompany && !parentHolds(company, checked[0], resolution, result, d, rows, restored)) return d;
        const unsigned showId = ids.base("showname", programme::shows().size());
        d.writes.push_back(edits::addShowStatement(showId, mine.name, mine.company));
        rows.add(QStringLiteral("showname"), QString::number(showId));
        d.audit = QStringLiteral("spectacle %1 \"%2\" : créé").arg(showId).arg(mine.name) + restored + rows.tail();
        result.newId = showId;
        result.record = {RecordKind::Show, QString::number(showId)};
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction(
        withCompany ? std::vector<std::string>{company.check()} : std::vector<std::string>{}, decide, &info);
    return finish(end, result, info);
}

SaveResult editShow(const programme::Show& base, const ShowFields& mine, const Resolution& resolution) {
    const auto merged = [&](const QStringList& row, Merge& merge, Decision& d) {
        const QString name = merge.take({label(Field::Name), base.name, row[0], mine.name});
        const QString company = merge.take({label(Field::Company), base.comp, row[1], asWritten(mine.company)});
        // The user reads company names, not ids.
        for (FieldDifference& f : merge.clashes) {
            if (f.field != label(Field::Company)) continue;
            const auto nameOf = [](const QString& id) {
                const int i = recordIndex({RecordKind::Company, id});
                return i < 0 ? id : programme::companies()[static_cast<std::size_t>(i)].nom;
            };
            f.theirs = nameOf(f.theirs);
            f.mine = nameOf(f.mine);
        }
        d.writes.push_back(edits::editShowStatement(
            name, static_cast<int32_t>(static_cast<uint32_t>(programme::leadingInteger(company))), base.id));
        const QString what =
            whatChanged({{Field::Name, mine.name != base.name}, {Field::Company, asWritten(mine.company) != base.comp}},
                        false, programme::isDeleted(row[2]));
        d.audit = QStringLiteral("spectacle %1 \"%2\" : %3").arg(base.id, name, what);
    };
    return runRowEdit({RecordKind::Show, "showname", base.id, "`name`, `comp`, `deleted`", merged}, resolution);
}

// ---- timeslot groups ---------------------------------------------------------------------

GroupRows groupRows(int headIndex) {
    GroupRows group;
    const auto& records = programme::timeslots();
    if (headIndex < 0 || headIndex >= static_cast<int>(records.size())) return group;
    const programme::Timeslot& head = records[static_cast<std::size_t>(headIndex)];
    group.rows.push_back(head);
    const long long headId = programme::leadingInteger(head.id);
    // Its children that are not deleted, in record order (date, then start): entry p of the
    // editor lands on the p-th of these rows.
    for (std::size_t i = 0; i < records.size(); ++i) {
        const programme::Timeslot& slot = records[i];
        if (static_cast<int>(i) == headIndex || programme::leadingInteger(slot.deleted) != 0) continue;
        if (programme::leadingInteger(slot.childof) == headId) group.rows.push_back(slot);
    }
    return group;
}

planning::TimeslotEditorData editorInput(const GroupRows& group) {
    planning::TimeslotEditorData input;
    if (group.rows.empty()) return input;
    const programme::Timeslot& head = group.rows.front();
    for (const programme::Timeslot& row : group.rows)
        input.entries.push_back(slotEntryOf(row.date, row.start, row.end));
    input.showId = static_cast<int32_t>(programme::leadingInteger(head.showname));
    input.room = static_cast<int32_t>(programme::leadingInteger(head.room));
    input.survey = head.survey;
    input.todo = head.todo;
    input.done = head.done;
    return input;
}

SaveResult addGroup(const planning::TimeslotEditorData& mine, const Resolution& resolution) {
    SaveResult result;
    const Parent show{RecordKind::Show, QString::number(mine.showId)};
    const Decide decide = [&](const CheckedRows& checked, IdSource& ids) {
        result = SaveResult{};
        Decision d;
        ChangedRows rows;
        QString restored;
        if (!parentHolds(show, checked[0], resolution, result, d, rows, restored)) return d;
        const unsigned base = ids.base("timeslot", programme::timeslots().size());
        for (std::size_t i = 0; i < mine.entries.size(); ++i) {
            const auto id = base + static_cast<unsigned>(i);
            d.writes.push_back(i == 0 ? addGroupHeadStatement(id, mine.entries[i], mine.showId, mine.room, mine.survey,
                                                              mine.todo, mine.done)
                                      : addGroupChildStatement(id, mine.entries[i], mine.showId,
                                                               static_cast<int32_t>(base), mine.room));
            rows.add(QStringLiteral("timeslot"), QString::number(id));
        }
        d.audit = QStringLiteral("groupe %1 \"%2\" : créé avec %3 créneau%4")
                      .arg(base)
                      .arg(programme::showLookup(QString::number(mine.showId)))
                      .arg(mine.entries.size())
                      .arg(mine.entries.size() > 1 ? u8("x") : QString()) +
                  restored + rows.tail();
        result.newId = base;
        result.record = {RecordKind::Group, QString::number(base)};
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction({show.check()}, decide, &info);
    return finish(end, result, info);
}

namespace {

// The slot texts of a row, as the editor would give them back.
planning::SlotEntry entryOfRow(const QStringList& row) { return slotEntryOf(row[1], row[2], row[3]); }

QString slotText(const planning::SlotEntry& e) {
    return QString::asprintf("%02d/%02d/%04d %02d:%02d-%02d:%02d", e.day, e.month, e.year, e.startHour, e.startMinute,
                             e.endHour, e.endMinute);
}

// The item texts of each clashing title, for the user.
void addItemClashes(followup::FollowUpText kind, const followup::FollowUpMerge& merge, const QString& theirs,
                    const QString& mine, std::vector<FieldDifference>& out) {
    const auto itemOf = [&](const QString& text, const QString& title) {
        for (const QString& item : text.split(QString::fromUtf16(followup::kItemSeparator)))
            if (item == title || item.startsWith(title + u'=') ||
                (kind == followup::FollowUpText::Plan && item.startsWith(title + u':')))
                return item;
        return QString();
    };
    for (const QString& title : merge.clashes) out.push_back({title, itemOf(theirs, title), itemOf(mine, title)});
}

}  // namespace

SaveResult editGroup(const GroupRows& base, const planning::TimeslotEditorData& mine, const Resolution& resolution) {
    SaveResult result;
    if (base.rows.empty()) return result;
    const programme::Timeslot& baseHead = base.rows.front();
    // The group by its head, not by the loaded ids: a slot a colleague added meanwhile is read
    // too, and follows the group's show and room. The head is locked first, then the slots: each
    // is written back as read, so each is locked as well. The head's lock alone does not keep a
    // slot still on a node of a cluster: a colleague's edit on another node that moves one slot
    // and leaves the head as it was sends that slot's row alone, which the head's lock here
    // never meets. (An index on `childof` keeps the slots' read from locking the whole table.)
    const std::string columns =
        "`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`, `done`, `survey`";
    const std::vector<std::string> checks{
        db::formatStatement("SELECT %s FROM `timeslot` WHERE `id` = %s FOR UPDATE", columns.c_str(),
                            idText(baseHead.id).c_str()),
        db::formatStatement("SELECT %s FROM `timeslot` WHERE `childof` = %s AND `id` <> %s FOR UPDATE", columns.c_str(),
                            idText(baseHead.id).c_str(), idText(baseHead.id).c_str())};
    const Decide decide = [&](const CheckedRows& checked, IdSource& idSource) {
        result = SaveResult{};
        result.record = {RecordKind::Group, baseHead.id};
        QHash<QString, QStringList> stored;
        for (const auto& part : checked)
            for (const QStringList& row : part) stored.insert(row[0], row);
        const auto storedRow = [&](std::size_t p) { return stored.value(base.rows[p].id); };
        const QStringList head = storedRow(0);
        if (head.isEmpty()) return stopWith(result, SaveOutcome::Vanished, "timeslot");
        const bool headDeleted = programme::isDeleted(head[4]);
        if (headDeleted && !resolution.restore) return stopWith(result, SaveOutcome::Vanished, "timeslot");
        // Restored, the group comes back with the rows its delete took, as from the Corbeille:
        // a slot removed before (here or elsewhere) stays removed.
        const QStringList taken = headDeleted ? rowsOfLastDelete(RecordKind::Group, baseHead.id) : QStringList();
        const auto takenByDelete = [&](const QString& id) {
            return taken.contains(QString::fromStdString(idText(id)));
        };

        Merge merge;
        const QString show = merge.take({label(Field::Show), baseHead.showname, head[5], asWritten(mine.showId)});
        const QString room = merge.take({label(Field::Room), baseHead.room, head[7], asWritten(mine.room)});
        const std::size_t m = base.rows.size();
        const std::size_t k = mine.entries.size();
        std::vector<planning::SlotEntry> entries = mine.entries;
        std::vector<bool> goneMeanwhile(m, false);
        QStringList comeBack;
        for (std::size_t p = 0; p < m; ++p) {
            const QStringList row = storedRow(p);
            const planning::SlotEntry was = slotEntryOf(base.rows[p].date, base.rows[p].start, base.rows[p].end);
            const QString label = QStringLiteral("créneau %1").arg(p + 1);
            const bool gone =
                p > 0 && (row.isEmpty() || (programme::isDeleted(row[4]) && !takenByDelete(base.rows[p].id)));
            const planning::SlotEntry now = row.isEmpty() ? was : entryOfRow(row);
            if (p >= k) {  // removed here
                if (gone || now == was) continue;
                merge.clashes.push_back({label, slotText(now), u8("retiré")});
                continue;
            }
            if (gone) {
                // Removed elsewhere: it stays removed unless this workstation changed it and
                // keeps its change, which brings it back.
                if (entries[p] == was) {
                    goneMeanwhile[p] = true;
                    merge.fromTheirs << label + u8(" retiré");
                } else {
                    merge.clashes.push_back({label, u8("retiré"), slotText(entries[p])});
                    comeBack << base.rows[p].id;
                }
                continue;
            }
            const QString kept = merge.take({label, slotText(was), slotText(now), slotText(entries[p])});
            if (kept == slotText(now)) entries[p] = now;
        }
        // The follow-up: item by item, unless a side chose another template (then as a whole).
        QString survey = mine.survey, todo = mine.todo, done = mine.done;
        const bool myItems = mine.todo != baseHead.todo || mine.done != baseHead.done;
        if (head[10] != baseHead.survey && mine.survey == baseHead.survey && myItems) {
            // Another template chosen elsewhere while items changed here: taking it would drop
            // them, keeping mine would drop it. The user says which.
            merge.clashes.push_back({label(Field::Survey), head[10], mine.survey});
        } else if (head[10] != baseHead.survey || mine.survey != baseHead.survey) {
            survey = merge.take({label(Field::Survey), baseHead.survey, head[10], mine.survey});
            const bool theirsTemplate = survey == head[10] && head[10] != mine.survey;
            todo = theirsTemplate ? head[8] : merge.take({label(Field::Plan), baseHead.todo, head[8], mine.todo});
            done = theirsTemplate ? head[9] : merge.take({label(Field::Done), baseHead.done, head[9], mine.done});
        } else {
            const auto plan = followup::MergeFollowUp(followup::FollowUpText::Plan, baseHead.todo, head[8], mine.todo);
            const auto record =
                followup::MergeFollowUp(followup::FollowUpText::Record, baseHead.done, head[9], mine.done);
            todo = plan.merged;
            done = record.merged;
            for (const auto* part : {&plan, &record})
                for (const QString& title : part->fromTheirs)
                    if (!merge.fromTheirs.contains(title)) merge.fromTheirs << title;
            addItemClashes(followup::FollowUpText::Plan, plan, head[8], mine.todo, merge.clashes);
            addItemClashes(followup::FollowUpText::Record, record, head[9], mine.done, merge.clashes);
        }
        // Slots added to the group elsewhere meanwhile: kept, with the group's show and room.
        QStringList added;
        for (const QStringList& row : checked[1]) {
            if (row[0] == head[0] || programme::isDeleted(row[4])) continue;
            bool loaded = false;
            for (const programme::Timeslot& t : base.rows) loaded = loaded || idText(t.id) == idText(row[0]);
            if (!loaded) added << row[0];
        }
        for (const QString& id : added)
            merge.fromTheirs << u8("créneau %1 ajouté").arg(slotText(entryOfRow(stored.value(id))));
        if (!resolution.settles(merge.clashes)) {
            result.differences = merge.clashes;
            return stopWith(result, SaveOutcome::Conflict, "timeslot");
        }
        result.fromTheirs = merge.fromTheirs;

        Decision d;
        ChangedRows rows;
        const auto showId = static_cast<int32_t>(static_cast<uint32_t>(programme::leadingInteger(show)));
        const auto roomId = static_cast<int32_t>(static_cast<uint32_t>(programme::leadingInteger(room)));
        const auto headId = static_cast<unsigned>(programme::leadingInteger(baseHead.id));
        QStringList restoring = comeBack;
        if (headDeleted) {
            restoring = QStringList{QString::fromStdString(idText(baseHead.id))};
            for (const QString& id : taken)
                if (!restoring.contains(id)) restoring << id;
            for (const QString& id : comeBack)
                if (!restoring.contains(QString::fromStdString(idText(id)))) restoring << id;
        }
        if (!restoring.isEmpty()) d.writes.push_back(restoreRowsStatement("timeslot", restoring));
        for (const QString& id : added) {
            const QStringList& row = stored[id];
            if (row[5] == asWritten(showId) && row[7] == asWritten(roomId)) continue;
            d.writes.push_back(editGroupChildStatement(entryOfRow(stored.value(id)), showId, roomId,
                                                       static_cast<int32_t>(headId),
                                                       static_cast<unsigned>(programme::leadingInteger(id))));
            rows.add(QStringLiteral("timeslot"), id);
        }
        for (std::size_t p = 0; p < std::min(k, m); ++p) {
            if (goneMeanwhile[p]) continue;
            const auto rowId = static_cast<unsigned>(programme::leadingInteger(base.rows[p].id));
            d.writes.push_back(
                p == 0 ? editGroupHeadStatement(entries[p], showId, roomId, survey, todo, done, rowId)
                       : editGroupChildStatement(entries[p], showId, roomId, static_cast<int32_t>(headId), rowId));
            rows.add(QStringLiteral("timeslot"), base.rows[p].id);
        }
        for (std::size_t p = k; p < m; ++p) {
            d.writes.push_back(removeSlotStatement(static_cast<unsigned>(programme::leadingInteger(base.rows[p].id))));
            rows.add(QStringLiteral("timeslot"), base.rows[p].id);
        }
        if (k > m) {
            const unsigned first = idSource.base("timeslot", programme::timeslots().size());
            for (std::size_t p = m; p < k; ++p) {
                const unsigned id = first + static_cast<unsigned>(p - m);
                d.writes.push_back(addSlotStatement(id, entries[p], showId, roomId, static_cast<int32_t>(headId)));
                rows.add(QStringLiteral("timeslot"), QString::number(id));
            }
        }
        std::vector<Field> changed;
        if (asWritten(mine.showId) != baseHead.showname) changed.push_back(Field::Show);
        if (asWritten(mine.room) != baseHead.room) changed.push_back(Field::Room);
        bool slotsChanged = k != m;
        for (std::size_t p = 0; p < std::min(k, m); ++p)
            slotsChanged = slotsChanged ||
                           !(mine.entries[p] == slotEntryOf(base.rows[p].date, base.rows[p].start, base.rows[p].end));
        if (slotsChanged) changed.push_back(Field::Slots);
        if (mine.survey != baseHead.survey || mine.todo != baseHead.todo || mine.done != baseHead.done)
            changed.push_back(Field::FollowUp);
        QString what = changed.empty() ? u8("enregistré sans changement") : programme::changedFieldsText(changed);
        if (headDeleted) {
            what = u8("restauré avec les lignes %1, ").arg(restoring.join(QStringLiteral(", "))) + what;
            ChangedRows own;
            own.add(QStringLiteral("timeslot"), restoring);
            result.restored << restoredInWords(result.record, own);
        }
        if (!restoring.isEmpty()) rows.add(QStringLiteral("timeslot"), restoring);
        d.audit = QStringLiteral("groupe %1 \"%2\" : %3").arg(baseHead.id, programme::showLookup(show), what) +
                  overwritten(merge.clashes) + rows.tail();
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction(checks, decide, &info);
    return finish(end, result, info);
}

// ---- contracts ---------------------------------------------------------------------------

SaveResult newContract(const ContractFields& mine, const Resolution& resolution) {
    SaveResult result;
    std::vector<std::string> checks;
    const bool withSlot = mine.timeslotId >= 0;
    const Parent group{RecordKind::Group, QString::number(mine.timeslotId)};
    if (withSlot)
        checks.push_back(db::formatStatement("SELECT `deleted`, `todo` FROM `timeslot` WHERE `id` = %u FOR UPDATE",
                                             static_cast<unsigned>(mine.timeslotId)));
    const Decide decide = [&](const CheckedRows& checked, IdSource& ids) {
        result = SaveResult{};
        Decision d;
        ChangedRows rows;
        QString restored;
        if (withSlot && !parentHolds(group, checked[0], resolution, result, d, rows, restored)) return d;
        const unsigned contractId = ids.base("contract", programme::contracts().size());
        d.writes.push_back(addContractStatement(contractId, mine.timeslotId, mine.extra, mine.rtf));
        rows.add(QStringLiteral("contract"), QString::number(contractId));
        // The deadline and payments go into the plan the group's head holds now, whatever
        // another workstation changed in it meanwhile.
        if (withSlot && !checked[0].empty()) {
            QString plan = checked[0][0][1];
            bool written = false;
            if (followup::writeReturnDeadline(plan, mine.extra)) {
                d.writes.push_back(updateFollowUpPlanStatement(plan, mine.timeslotId));
                written = true;
            }
            if (followup::writePayments(plan, mine.extra)) {
                d.writes.push_back(updateFollowUpPlanStatement(plan, mine.timeslotId));
                written = true;
            }
            if (written) rows.add(QStringLiteral("timeslot"), QString::number(mine.timeslotId));
        }
        d.audit = (withSlot ? QStringLiteral("contrat %1 : créé pour le groupe %2").arg(contractId).arg(mine.timeslotId)
                            : QStringLiteral("contrat %1 : créé").arg(contractId)) +
                  restored + rows.tail();
        result.newId = contractId;
        result.record = {RecordKind::Contract, QString::number(contractId)};
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction(checks, decide, &info);
    return finish(end, result, info);
}

SaveResult editContract(const programme::Contract& base, const ContractFields& mine, const Resolution& resolution) {
    const auto merged = [&](const QStringList& row, Merge& merge, Decision& d) {
        const QString extra = merge.take({label(Field::ContractInfo), base.extra, row[0], mine.extra});
        const QString rtf = merge.take({label(Field::ContractTemplate), base.rtf, row[1], mine.rtf});
        d.writes.push_back(edits::editContractStatement(extra, rtf, base.id));
        d.audit = QStringLiteral("contrat %1 : %2")
                      .arg(base.id, programme::isDeleted(row[2]) ? u8("restauré et modifié") : u8("modifié"));
    };
    return runRowEdit({RecordKind::Contract, "contract", base.id, "`extra`, `rtf`, `deleted`", merged}, resolution);
}

// ---- the user's side of a conflict -----------------------------------------------------

namespace {

QString carried(const QString& was, const QString& now, const QString& mine) { return mine == was ? now : mine; }
int32_t carried(const QString& was, const QString& now, int32_t mine) {
    return asWritten(mine) == was ? static_cast<int32_t>(static_cast<uint32_t>(programme::leadingInteger(now))) : mine;
}

}  // namespace

CompanyFields carryOver(const programme::Company& was, const programme::Company& now, const CompanyFields& mine) {
    return {carried(was.nom, now.nom, mine.nom), carried(was.email, now.email, mine.email),
            carried(was.contact1, now.contact1, mine.contact1), carried(was.contact2, now.contact2, mine.contact2),
            carried(was.fulladr, now.fulladr, mine.fulladr)};
}

ShowFields carryOver(const programme::Show& was, const programme::Show& now, const ShowFields& mine) {
    return {carried(was.name, now.name, mine.name), carried(was.comp, now.comp, mine.company)};
}

ContractFields carryOver(const programme::Contract& was, const programme::Contract& now, const ContractFields& mine) {
    return {carried(was.rtf, now.rtf, mine.rtf), carried(was.extra, now.extra, mine.extra), mine.timeslotId};
}

planning::TimeslotEditorData carryOver(const GroupRows& was, const GroupRows& now,
                                       const planning::TimeslotEditorData& mine) {
    planning::TimeslotEditorData data = mine;
    if (was.rows.empty() || now.rows.empty()) return data;
    const programme::Timeslot& a = was.rows.front();
    const programme::Timeslot& b = now.rows.front();
    data.showId = carried(a.showname, b.showname, mine.showId);
    data.room = carried(a.room, b.room, mine.room);
    if (mine.survey == a.survey && b.survey != a.survey) {
        data.survey = b.survey;
        data.todo = b.todo;
        data.done = b.done;
    } else {
        data.todo = followup::MergeFollowUp(followup::FollowUpText::Plan, a.todo, b.todo, mine.todo).merged;
        data.done = followup::MergeFollowUp(followup::FollowUpText::Record, a.done, b.done, mine.done).merged;
    }
    for (std::size_t p = 0; p < std::min({was.rows.size(), now.rows.size(), data.entries.size()}); ++p) {
        const planning::SlotEntry before = slotEntryOf(was.rows[p].date, was.rows[p].start, was.rows[p].end);
        if (data.entries[p] == before)
            data.entries[p] = slotEntryOf(now.rows[p].date, now.rows[p].start, now.rows[p].end);
    }
    return data;
}

namespace {

// "La compagnie « X »" at the start of a sentence.
QString recordWords(const RecordRef& ref) {
    QString words = recordInWords(ref);
    if (!words.isEmpty()) words[0] = words[0].toUpper();
    return words;
}

QString byWhom(const SaveResult& result) {
    return result.account.isEmpty() ? u8("sur un autre poste") : u8("sur un autre poste (%1)").arg(result.account);
}

QString shown(const QString& value) { return value.isEmpty() ? u8("(vide)") : u8("« %1 »").arg(value); }

}  // namespace

ConflictQuestion conflictQuestion(const SaveResult& result) {
    const bool feminine = isFeminine(result.record.kind);
    QString text = u8("%1 a été %2 %3 depuis que vous l'avez ouvert%4.\n")
                       .arg(recordWords(result.record), feminine ? u8("modifiée") : u8("modifié"), byWhom(result),
                            feminine ? u8("e") : QString());
    for (const FieldDifference& f : result.differences)
        text += u8("\n%1 : là-bas %2, ici %3").arg(f.field, shown(f.theirs), shown(f.mine));
    text +=
        u8("\n\nGarder les miennes : vos valeurs remplacent les siennes pour ces champs."
           "\nGarder les siennes : votre saisie est abandonnée."
           "\nRevenir à la saisie : vous retrouvez vos modifications pour les reprendre.");
    return {text, {u8("Garder les miennes"), u8("Garder les siennes"), u8("Revenir à la saisie")}};
}

ConflictAnswer conflictAnswer(int answer) {
    if (answer == 0) return ConflictAnswer::KeepMine;
    if (answer == 1) return ConflictAnswer::KeepTheirs;
    return ConflictAnswer::BackToInput;
}

ConflictQuestion vanishedQuestion(const SaveResult& result) {
    const bool feminine = isFeminine(result.record.kind);
    const QString pronoun = feminine ? u8("la") : u8("le");
    const QString text = u8("%1 a été %2 %3 pendant que vous %4 modifiiez.\n\n%5 restaurer avec vos modifications, "
                            "ou abandonner celles-ci ?")
                             .arg(recordWords(result.record), feminine ? u8("supprimée") : u8("supprimé"),
                                  byWhom(result), pronoun, feminine ? u8("La") : u8("Le"));
    return {text, {u8("Restaurer et enregistrer"), u8("Abandonner mes modifications")}};
}

bool restoreChosen(int answer) { return answer == 0; }

ConflictQuestion deletedParentQuestion(const SaveResult& result) {
    const bool feminine = isFeminine(result.record.kind);
    const QString text =
        u8("%1, %2 votre saisie se rattache, a été %3 %4.\n\n%5 restaurer et enregistrer "
           "votre saisie, ou abandonner celle-ci ?")
            .arg(recordWords(result.record), feminine ? u8("à laquelle") : u8("auquel"),
                 feminine ? u8("supprimée") : u8("supprimé"), byWhom(result), feminine ? u8("La") : u8("Le"));
    return {text, {u8("Restaurer et enregistrer"), u8("Abandonner ma saisie")}};
}

QString savedNotice(const SaveResult& result) {
    if (result.restored.isEmpty() && result.fromTheirs.isEmpty()) return {};
    QString notice = u8("Enregistré.");
    if (!result.restored.isEmpty()) notice += u8(" Restauré : %1.").arg(result.restored.join(u8(" ; ")));
    if (!result.fromTheirs.isEmpty())
        notice += u8(" Repris de l'autre poste : %1.").arg(result.fromTheirs.join(u8(", ")));
    return notice;
}

}  // namespace edits
