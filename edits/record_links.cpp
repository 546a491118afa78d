#include "edits/record_links.h"

#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace edits {

namespace {

using programme::isDeleted;

QString quoted(const QString& name) { return QStringLiteral("« %1 »").arg(name); }

template <class Record>
int indexById(const std::vector<Record>& records, const QString& id) {
    for (int i = 0; i < static_cast<int>(records.size()); ++i)
        if (records[static_cast<std::size_t>(i)].id == id) return i;
    return -1;
}

// The lookups' "(inconnu" reads badly inside a sentence.
QString roomName(const QString& roomId) {
    const QString name = programme::roomLookup(roomId);
    return name == QString::fromUtf8(programme::kUnknownName) ? QStringLiteral("salle inconnue") : name;
}

QString groupText(const programme::Timeslot& head) {
    return QStringLiteral("%1, %2, %3 à %4")
        .arg(quoted(programme::showLookup(head.showname)), roomName(head.room), programme::longFrenchDate(head.date),
             programme::shortTimeText(head.start).trimmed());
}

}  // namespace

const char* tableOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Company: return "comp";
    case RecordKind::Show: return "showname";
    case RecordKind::Group: return "timeslot";
    case RecordKind::Contract: return "contract";
    }
    return "";
}

std::vector<int> liveShowsOfCompany(const QString& companyId) {
    std::vector<int> found;
    const auto& records = programme::shows();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const programme::Show& show = records[static_cast<std::size_t>(i)];
        if (!isDeleted(show.deleted) && show.comp == companyId) found.push_back(i);
    }
    return found;
}

std::vector<int> liveGroupsOfShow(const QString& showId) {
    std::vector<int> found;
    const auto& records = programme::timeslots();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const programme::Timeslot& slot = records[static_cast<std::size_t>(i)];
        if (!isDeleted(slot.deleted) && programme::isGroupHead(slot) && slot.showname == showId) found.push_back(i);
    }
    return found;
}

std::vector<int> liveContractsOfGroup(const QString& headId) {
    std::vector<int> found;
    const auto& records = programme::contracts();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const programme::Contract& contract = records[static_cast<std::size_t>(i)];
        if (!isDeleted(contract.deleted) && contract.ts == headId) found.push_back(i);
    }
    return found;
}

namespace {

QStringList rowsOfGroup(const QString& headId, bool deleted) {
    QStringList ids{headId};
    for (const programme::Timeslot& slot : programme::timeslots())
        if (slot.childof == headId && slot.id != headId && isDeleted(slot.deleted) == deleted) ids << slot.id;
    return ids;
}

}  // namespace

QStringList liveRowsOfGroup(const QString& headId) { return rowsOfGroup(headId, false); }
QStringList deletedRowsOfGroup(const QString& headId) { return rowsOfGroup(headId, true); }

int recordIndex(const RecordRef& ref) {
    switch (ref.kind) {
    case RecordKind::Company: return indexById(programme::companies(), ref.id);
    case RecordKind::Show: return indexById(programme::shows(), ref.id);
    case RecordKind::Group: return programme::timeslotIndexById(ref.id);
    case RecordKind::Contract: return indexById(programme::contracts(), ref.id);
    }
    return -1;
}

bool isLive(const RecordRef& ref) {
    const int i = recordIndex(ref);
    if (i < 0) return false;
    const auto at = static_cast<std::size_t>(i);
    switch (ref.kind) {
    case RecordKind::Company: return !isDeleted(programme::companies()[at].deleted);
    case RecordKind::Show: return !isDeleted(programme::shows()[at].deleted);
    case RecordKind::Group: return !isDeleted(programme::timeslots()[at].deleted);
    case RecordKind::Contract: return !isDeleted(programme::contracts()[at].deleted);
    }
    return false;
}

QString displayName(const RecordRef& ref) {
    const int i = recordIndex(ref);
    // Not loaded: its number, never its table's name.
    if (i < 0)
        return ref.kind == RecordKind::Contract ? QStringLiteral("contrat %1").arg(ref.id)
                                                : QStringLiteral("n° %1").arg(ref.id);
    const auto at = static_cast<std::size_t>(i);
    switch (ref.kind) {
    case RecordKind::Company: return quoted(programme::companies()[at].nom);
    case RecordKind::Show: return quoted(programme::shows()[at].name);
    case RecordKind::Group: return groupText(programme::timeslots()[at]);
    case RecordKind::Contract: {
        const programme::Contract& contract = programme::contracts()[at];
        const int slot = programme::timeslotIndexById(contract.ts);
        if (slot < 0) return QStringLiteral("contrat %1").arg(contract.id);
        return QStringLiteral("contrat %1 de %2")
            .arg(contract.id,
                 quoted(programme::showLookup(programme::timeslots()[static_cast<std::size_t>(slot)].showname)));
    }
    }
    return {};
}

QString recordInWords(const RecordRef& ref) {
    switch (ref.kind) {
    case RecordKind::Company: return QStringLiteral("la compagnie ") + displayName(ref);
    case RecordKind::Show: return QStringLiteral("le spectacle ") + displayName(ref);
    case RecordKind::Group: return QStringLiteral("le groupe de créneaux ") + displayName(ref);
    case RecordKind::Contract: return QStringLiteral("le ") + displayName(ref);
    }
    return {};
}

QString slotInWords(const QString& rowId) {
    const int i = programme::timeslotIndexById(rowId);
    if (i < 0) return QStringLiteral("le créneau n° %1").arg(rowId);
    const programme::Timeslot& slot = programme::timeslots()[static_cast<std::size_t>(i)];
    return QStringLiteral("le créneau du %1 à %2")
        .arg(programme::longFrenchDate(slot.date), programme::shortTimeText(slot.start).trimmed());
}

QString attachedTo(const RecordRef& ref) {
    const int i = recordIndex(ref);
    if (i < 0) return {};
    const auto at = static_cast<std::size_t>(i);
    switch (ref.kind) {
    case RecordKind::Company: return {};
    case RecordKind::Show: {
        const QString company = programme::shows()[at].comp;
        const int c = indexById(programme::companies(), company);
        return c < 0 ? QStringLiteral("compagnie %1").arg(company)
                     : QStringLiteral("compagnie %1")
                           .arg(quoted(programme::companies()[static_cast<std::size_t>(c)].nom));
    }
    case RecordKind::Group: {
        QString company;
        const QString show = programme::showLookup(programme::timeslots()[at].showname, &company);
        return company.isEmpty() ? QStringLiteral("spectacle %1").arg(quoted(show))
                                 : QStringLiteral("spectacle %1 de %2").arg(quoted(show), quoted(company));
    }
    case RecordKind::Contract: {
        const QString ts = programme::contracts()[at].ts;
        const int slot = programme::timeslotIndexById(ts);
        return slot < 0 ? QStringLiteral("créneau %1").arg(ts)
                        : QStringLiteral("groupe %1 (%2)")
                              .arg(ts, groupText(programme::timeslots()[static_cast<std::size_t>(slot)]));
    }
    }
    return {};
}

}  // namespace edits
