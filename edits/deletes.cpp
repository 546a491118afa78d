#include "edits/deletes.h"

#include <algorithm>

#include "edits/change_trail.h"
#include "edits/edit_statements.h"
#include "edits/transaction.h"
#include "followup/contract_followup.h"
#include "followup/followup.h"
#include "platform/utf8.h"
#include "programme/programme_data.h"

namespace edits {

namespace {

void addGroupWithContracts(int headIndex, std::vector<RecordRef>& groups, std::vector<RecordRef>& contracts) {
    const QString headId = programme::timeslots()[static_cast<std::size_t>(headIndex)].id;
    groups.push_back({RecordKind::Group, headId});
    for (int c : liveContractsOfGroup(headId))
        contracts.push_back({RecordKind::Contract, programme::contracts()[static_cast<std::size_t>(c)].id});
}

void addShowWithGroups(int showIndex, std::vector<RecordRef>& shows, std::vector<RecordRef>& groups,
                       std::vector<RecordRef>& contracts) {
    const QString showId = programme::shows()[static_cast<std::size_t>(showIndex)].id;
    shows.push_back({RecordKind::Show, showId});
    for (int g : liveGroupsOfShow(showId)) addGroupWithContracts(g, groups, contracts);
}

// The contract's return deadline and payments that its group's plan holds and that are not
// done yet: taken out, they no longer make the status line wait for them.
void planWithoutContract(const programme::Contract& contract, DeletePlan& plan) {
    const int head = programme::timeslotIndexById(contract.ts);
    if (head < 0) return;
    // Another live contract of the same group wrote the same items: they stay for it.
    for (int c : liveContractsOfGroup(contract.ts))
        if (programme::contracts()[static_cast<std::size_t>(c)].id != contract.id) return;
    const programme::Timeslot& group = programme::timeslots()[static_cast<std::size_t>(head)];
    const CleanedPlan cleaned = planWithoutContractItems(group.todo, group.done);
    if (!cleaned.any()) return;
    plan.planGroup = contract.ts;
    plan.plan = cleaned.plan;
    plan.planDeadline = cleaned.deadline;
    plan.planPayments = cleaned.payments;
}

QString counted(std::size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// "2 spectacles, 3 groupes de créneaux et 1 contrat"
QString dependantCounts(const std::vector<RecordRef>& dependants) {
    std::size_t shows = 0, groups = 0, contracts = 0;
    for (const RecordRef& r : dependants) {
        if (r.kind == RecordKind::Show) ++shows;
        if (r.kind == RecordKind::Group) ++groups;
        if (r.kind == RecordKind::Contract) ++contracts;
    }
    QStringList parts;
    if (shows) parts << counted(shows, "spectacle", "spectacles");
    if (groups) parts << counted(groups, "groupe de créneaux", "groupes de créneaux");
    if (contracts) parts << counted(contracts, "contrat", "contrats");
    if (parts.size() < 2) return parts.join(QString());
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" et ") + last;
}

struct KindWords {
    const char* the;      // "la compagnie"
    const char* pronoun;  // "Elle"
    const char* alone;    // "Seulement la compagnie"
    const char* left;     // what stays when it goes alone
};

KindWords wordsOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Company:
        return {"la compagnie", "Elle", "Seulement la compagnie",
                "ses spectacles restent, rattachés à une compagnie supprimée"};
    case RecordKind::Show:
        return {"le spectacle", "Il", "Seulement le spectacle",
                "ses groupes de créneaux restent au planning, rattachés à un spectacle supprimé"};
    case RecordKind::Group:
        return {"le groupe de créneaux", "Il", "Seulement le groupe",
                "ses contrats restent, rattachés à un groupe supprimé"};
    case RecordKind::Contract: return {"le", "Il", "Seulement le contrat", "le suivi du groupe reste tel quel"};
    }
    return {};
}

using platform::u8;

const QString& undoNote() {
    static const QString note = QStringLiteral("La Corbeille permet de revenir en arrière.");
    return note;
}

// "Sa date de retour et 3 règlements non faits sont", "1 règlement non fait est"
QString planItemsText(const DeletePlan& plan) {
    QStringList parts;
    if (plan.planDeadline) parts << QStringLiteral("Sa date de retour");
    if (plan.planPayments > 0)
        parts << counted(static_cast<std::size_t>(plan.planPayments), "règlement non fait", "règlements non faits");
    const bool one = (plan.planDeadline ? 1 : 0) + plan.planPayments == 1;
    return parts.join(QStringLiteral(" et ")) + (one ? QStringLiteral(" est") : QStringLiteral(" sont"));
}

}  // namespace

CleanedPlan planWithoutContractItems(const QString& todo, const QString& done) {
    CleanedPlan cleaned{todo};
    const auto takeOut = [&](const QString& key) {
        return followup::ItemValue(done, key).isEmpty() && followup::ClearItemValue(cleaned.plan, key);
    };
    cleaned.deadline = takeOut(QString::fromUtf8(followup::kContractBackItem));
    for (int n = 1; n <= 5; ++n)
        if (takeOut(QString::fromUtf8(followup::kPaymentItemPrefix) + QString::number(n))) ++cleaned.payments;
    return cleaned;
}

DeletePlan planDelete(const RecordRef& target) {
    DeletePlan plan;
    plan.target = target;
    const int index = recordIndex(target);
    if (index < 0) return plan;
    std::vector<RecordRef> shows, groups, contracts;
    switch (target.kind) {
    case RecordKind::Company:
        for (int s : liveShowsOfCompany(target.id)) {
            const programme::Show& show = programme::shows()[static_cast<std::size_t>(s)];
            if (programme::isPlaceholderName(show.name) && liveGroupsOfShow(show.id).empty())
                plan.companions.push_back({RecordKind::Show, show.id});
            else
                addShowWithGroups(s, shows, groups, contracts);
        }
        break;
    case RecordKind::Show:
        for (int g : liveGroupsOfShow(target.id)) addGroupWithContracts(g, groups, contracts);
        break;
    case RecordKind::Group:
        for (int c : liveContractsOfGroup(target.id))
            contracts.push_back({RecordKind::Contract, programme::contracts()[static_cast<std::size_t>(c)].id});
        break;
    case RecordKind::Contract:
        planWithoutContract(programme::contracts()[static_cast<std::size_t>(index)], plan);
        break;
    }
    for (auto* list : {&shows, &groups, &contracts})
        plan.dependants.insert(plan.dependants.end(), list->begin(), list->end());
    return plan;
}

DeleteQuestion deleteQuestion(const DeletePlan& plan) {
    const KindWords words = wordsOf(plan.target.kind);
    const QString name = recordInWords(plan.target);
    DeleteQuestion q;
    q.text = QStringLiteral("Supprimer %1 ?").arg(name);
    if (!plan.dependants.empty()) {
        q.text +=
            QStringLiteral("\n\n%1 a encore %2.\n\nTout supprimer : %3 et tout cela, en une seule fois.\n%4 : %5.")
                .arg(u8(words.pronoun), dependantCounts(plan.dependants), u8(words.the), u8(words.alone),
                     u8(words.left));
        q.answers = {QStringLiteral("Tout supprimer"), u8(words.alone), QStringLiteral("Non")};
    } else if (!plan.planGroup.isEmpty()) {
        q.text += QStringLiteral(
                      "\n\n%1 dans le suivi du groupe %2.\n\nSupprimer et retirer du suivi : le statut du "
                      "groupe n'attend plus ce contrat.\nSeulement le contrat : %3.")
                      .arg(planItemsText(plan), plan.planGroup, u8(words.left));
        q.answers = {QStringLiteral("Supprimer et retirer du suivi"), u8(words.alone), QStringLiteral("Non")};
    } else {
        q.answers = {QStringLiteral("Oui"), QStringLiteral("Non")};
    }
    q.text += QStringLiteral("\n\n") + undoNote();
    return q;
}

DeleteChoice deleteChoice(const DeletePlan& plan, int answer) {
    const bool threeWay = !plan.dependants.empty() || !plan.planGroup.isEmpty();
    if (answer == 0) return DeleteChoice::All;
    if (threeWay && answer == 1) return DeleteChoice::TargetOnly;
    return DeleteChoice::Nothing;
}

SaveText deleteSave(const DeletePlan& plan, DeleteChoice choice) {
    SaveText save;
    if (choice == DeleteChoice::Nothing) return save;
    ChangedRows rows;
    const auto take = [&](const RecordRef& r) {
        switch (r.kind) {
        case RecordKind::Company:
            save.statements.push_back(deleteCompanyStatement(r.id));
            rows.add(u8(tableOf(r.kind)), r.id);
            break;
        case RecordKind::Show:
            save.statements.push_back(deleteShowStatement(r.id));
            rows.add(u8(tableOf(r.kind)), r.id);
            break;
        case RecordKind::Group:
            save.statements.push_back(deleteGroupStatement(r.id));
            rows.add(u8(tableOf(r.kind)), liveRowsOfGroup(r.id));
            break;
        case RecordKind::Contract:
            save.statements.push_back(deleteContractStatement(r.id));
            rows.add(u8(tableOf(r.kind)), r.id);
            break;
        }
    };
    take(plan.target);
    for (const RecordRef& r : plan.companions) take(r);
    QString message = auditSubject(plan.target) + QStringLiteral(" : ") + deletedWord(plan.target.kind);
    if (choice == DeleteChoice::All) {
        for (const RecordRef& r : plan.dependants) take(r);
        if (!plan.dependants.empty()) message += QStringLiteral(" avec ") + dependantCounts(plan.dependants);
        if (!plan.planGroup.isEmpty()) {
            save.statements.push_back(updateFollowUpPlanStatement(
                plan.plan, static_cast<int32_t>(programme::leadingInteger(plan.planGroup))));
            rows.add(u8(kCleanedPlanKey), plan.planGroup);
            message += QStringLiteral(", retiré du suivi du groupe %1").arg(plan.planGroup);
        }
    }
    save.auditMessage = message + rows.tail();
    return save;
}

}  // namespace edits

namespace edits {

namespace {

QStringList idsOf(const std::vector<RecordRef>& refs, RecordKind kind) {
    QStringList ids;
    for (const RecordRef& r : refs)
        if (r.kind == kind) ids << r.id;
    return ids;
}

std::string inList(const QStringList& ids) {
    std::string list;
    for (const QString& id : ids) list += (list.empty() ? "" : ", ") + std::to_string(programme::leadingInteger(id));
    return list;
}

// One check of a delete: a statement reading ids, and the ids the plan was made from.
struct IdCheck {
    std::string statement;
    QStringList expected;
};

QStringList sortedIds(QStringList ids) {
    std::sort(ids.begin(), ids.end(), [](const QString& a, const QString& b) {
        return programme::leadingInteger(a) < programme::leadingInteger(b);
    });
    return ids;
}

std::vector<IdCheck> idChecks(const DeletePlan& plan, DeleteChoice choice) {
    std::vector<IdCheck> checks;
    const std::string target = std::to_string(programme::leadingInteger(plan.target.id));
    QStringList shows = idsOf(plan.dependants, RecordKind::Show) + idsOf(plan.companions, RecordKind::Show);
    QStringList groups = idsOf(plan.dependants, RecordKind::Group);
    // Deleted alone, a record leaves what points at it as it is, whatever that is by now; only
    // a group's own slots go with it.
    if (plan.target.kind == RecordKind::Company) {
        if (choice != DeleteChoice::All) return checks;
        checks.push_back(
            {"SELECT `id` FROM `showname` WHERE `comp` = " + target + " AND `deleted` = 0 FOR UPDATE", shows});
    }
    // A contract that cleans its group's plan does so because it is the group's only live
    // contract: one created there meanwhile needs those items, and the user asked again.
    if (plan.target.kind == RecordKind::Contract && choice == DeleteChoice::All && !plan.planGroup.isEmpty())
        checks.push_back({"SELECT `id` FROM `contract` WHERE `deleted` = 0 AND `ts` = " +
                              std::to_string(programme::leadingInteger(plan.planGroup)) + " FOR UPDATE",
                          {plan.target.id}});
    if (plan.target.kind == RecordKind::Show) shows = {plan.target.id};
    if (plan.target.kind == RecordKind::Group) groups = {plan.target.id};
    if (choice != DeleteChoice::All && plan.target.kind != RecordKind::Group) return checks;
    if (!shows.isEmpty())
        checks.push_back({"SELECT `id` FROM `timeslot` WHERE `childof` = -1 AND `deleted` = 0 AND `showname` IN (" +
                              inList(shows) + ") FOR UPDATE",
                          groups});
    if (!groups.isEmpty()) {
        QStringList children;
        for (const QString& g : groups) children += liveRowsOfGroup(g).mid(1);
        checks.push_back({"SELECT `id` FROM `timeslot` WHERE `deleted` = 0 AND `childof` IN (" + inList(groups) +
                              ") AND `childof` <> `id` FOR UPDATE",
                          children});
        if (choice == DeleteChoice::All)
            checks.push_back(
                {"SELECT `id` FROM `contract` WHERE `deleted` = 0 AND `ts` IN (" + inList(groups) + ") FOR UPDATE",
                 idsOf(plan.dependants, RecordKind::Contract)});
    }
    return checks;
}

}  // namespace

SaveResult runDelete(const DeletePlan& plan, DeleteChoice choice) {
    SaveResult result;
    result.record = plan.target;
    if (choice == DeleteChoice::Nothing) return result;
    const std::string target = std::to_string(programme::leadingInteger(plan.target.id));
    std::vector<std::string> checks{std::string("SELECT `deleted` FROM `") + tableOf(plan.target.kind) +
                                    "` WHERE `id` = " + target + " FOR UPDATE"};
    const std::vector<IdCheck> ids = idChecks(plan, choice);
    for (const IdCheck& c : ids) checks.push_back(c.statement);
    const bool cleaning = choice == DeleteChoice::All && !plan.planGroup.isEmpty();
    if (cleaning)
        checks.push_back("SELECT `todo`, `done` FROM `timeslot` WHERE `id` = " +
                         std::to_string(programme::leadingInteger(plan.planGroup)) + " FOR UPDATE");
    const Decide decide = [&](const CheckedRows& checked, IdSource&) {
        result = SaveResult{};
        result.record = plan.target;
        Decision d;
        d.stop = true;
        if (checked[0].empty() || programme::isDeleted(checked[0][0][0])) {
            result.outcome = SaveOutcome::Vanished;
            return d;
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            QStringList found;
            for (const QStringList& row : checked[i + 1]) found << row[0];
            if (sortedIds(found) == sortedIds(ids[i].expected)) continue;
            result.outcome = SaveOutcome::Conflict;
            result.differences.push_back({QStringLiteral("Éléments rattachés"),
                                          sortedIds(found).join(QStringLiteral(", ")),
                                          sortedIds(ids[i].expected).join(QStringLiteral(", "))});
            return d;
        }
        DeletePlan now = plan;
        if (cleaning) {
            const QStringList& group = checked.back().empty() ? QStringList() : checked.back()[0];
            const CleanedPlan cleaned = group.isEmpty() ? CleanedPlan{} : planWithoutContractItems(group[0], group[1]);
            if (!cleaned.any()) now.planGroup.clear();
            now.plan = cleaned.plan;
        }
        const SaveText save = deleteSave(now, choice);
        d.stop = false;
        d.writes = save.statements;
        d.audit = save.auditMessage;
        return d;
    };
    RunInfo info;
    const RunEnd end = runTransaction(checks, decide, &info);
    if (end == RunEnd::Committed) {
        result.outcome = SaveOutcome::Done;
        result.auditId = info.auditId;
    } else if (end == RunEnd::Failed) {
        result.outcome = SaveOutcome::Failed;
    } else if (end == RunEnd::Unknown) {
        result.outcome = SaveOutcome::Unknown;
    }
    return result;
}

}  // namespace edits
