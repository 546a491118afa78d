#include "contracts/contract_info.h"

#include <QDir>
#include <algorithm>
#include <chrono>

#include "db/codepage.h"
#include "platform/file_name.h"
#include "platform/text_file.h"
#include "programme/date_texts.h"

namespace contracts {

namespace {

const QString& rowSeparator() {
    static const QString text = QString::fromUtf16(kRowSeparator);
    return text;
}
const QString& valueSeparator() {
    static const QString text = QString::fromUtf16(kValueSeparator);
    return text;
}

struct Clock {
    int hours = 0;
    int minutes = 0;
};

Clock clockOf(const QString& time) {
    unsigned h = 0, m = 0;
    programme::readTime(time, &h, &m);
    return {static_cast<int>(h), static_cast<int>(m)};
}

// "%u:%2.2u" of minutes since midnight; hours are not wrapped at 24. A time before midnight
// (an access five minutes before a 00:02 start) is the evening before, not a negative hour.
QString clockText(long long totalMinutes) {
    while (totalMinutes < 0) totalMinutes += 24 * 60;
    return QString::asprintf("%lld:%2.2lld", totalMinutes / 60, totalMinutes % 60);
}

}  // namespace

std::optional<QString> ContractInfoList::find(const QString& label) const {
    for (const ContractInfoRow& row : rows)
        if (row.label == label) return row.value;
    return std::nullopt;
}

void ContractInfoList::setValue(const QString& label, const QString& value) {
    for (ContractInfoRow& row : rows) {
        if (row.label != label) continue;
        row.value = value;
        return;
    }
}

QString serialiseExtra(const ContractInfoList& list) {
    QString extra;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        if (i > 0) extra += rowSeparator();
        extra += list.rows[i].label + valueSeparator() + list.rows[i].value;
    }
    return extra;
}

ContractInfoList parseExtra(const QString& extra) {
    ContractInfoList list;
    qsizetype at = 0;
    while (true) {
        const qsizetype end = extra.indexOf(rowSeparator(), at);
        const QStringView record = QStringView(extra).mid(at, end < 0 ? -1 : end - at);
        const qsizetype split = record.indexOf(valueSeparator());
        if (split >= 0)
            list.rows.push_back(
                {record.left(split).toString(), record.mid(split + valueSeparator().size()).toString()});
        if (end < 0) break;
        at = end + rowSeparator().size();
    }
    return list;
}

QString valueInExtra(const QString& extra, const QString& label) {
    const qsizetype at = extra.indexOf(label + valueSeparator());
    if (at < 0) return QString();
    const qsizetype from = at + label.size() + valueSeparator().size();
    const qsizetype end = extra.indexOf(rowSeparator(), from);
    return extra.mid(from, end < 0 ? -1 : end - from);
}

QString storedValueProblem(const QString& value) {
    if (value.contains(rowSeparator()) || value.endsWith(u'#')) return QString::fromUtf8(kValueSeparatorMessage);
    return QString();
}

QString storedListProblem(const ContractInfoList& list) {
    const ContractInfoList back = parseExtra(serialiseExtra(list));
    const bool same = back.rows.size() == list.rows.size() &&
                      std::equal(list.rows.begin(), list.rows.end(), back.rows.begin(),
                                 [](const auto& a, const auto& b) { return a.label == b.label && a.value == b.value; });
    if (same) return QString();
    for (const ContractInfoRow& row : list.rows) {
        QString problem;
        if (row.label.contains(QStringLiteral("$$$")) || row.label.contains(rowSeparator()) || row.label.endsWith(u'$'))
            problem = QString::fromUtf8(kLabelSeparatorMessage);
        else
            problem = storedValueProblem(row.value);
        if (!problem.isEmpty()) return QString::fromUtf8(kRowProblemFormat).arg(row.label, problem);
    }
    // Every row alone is sound but together they are not: the first row's label then runs
    // into what comes before it.
    return QString::fromUtf8(kRowProblemFormat)
        .arg(list.rows.empty() ? QString() : list.rows.front().label, QString::fromUtf8(kLabelSeparatorMessage));
}

QString fieldListName(const QString& templateName) {
    const qsizetype dot = templateName.lastIndexOf(u'.');
    return (dot < 0 ? templateName : templateName.left(dot)) + QStringLiteral(".txt");
}

ContractInfoList readFieldList(const QString& modelsFolder, const QString& templateName) {
    ContractInfoList list;
    // A typed name that is no file name of the models folder ("../x.rtf") reads nothing there.
    if (!platform::fileNameProblem(templateName, QString()).isEmpty()) return list;
    const QString path = QDir(modelsFolder).filePath(fieldListName(templateName));
    for (const QByteArray& piece : platform::readTextPieces(path, kFieldListPiece))
        list.rows.push_back(
            {db::fromAnsi(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size()))), {}});
    return list;
}

uint32_t millisecondTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QString contractNumber(const QString& showName, const std::function<int()>& draw) {
    QString letters;
    for (QChar c : showName)
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) letters += c;
    const int first = draw();
    const int second = draw();
    const int third = draw();
    return letters + QString::asprintf("_%4.4x_%4.4x_%4.4x", static_cast<unsigned>(third),
                                       static_cast<unsigned>(second), static_cast<unsigned>(first));
}

QString shortTime(const QString& time) { return programme::shortTimeText(time); }

QString longDate(const platform::DateTime& date) {
    if (!date.isValid()) return QString();
    return programme::longFrenchDate(QString::asprintf("%4.4d-%2.2d-%2.2d", date.year(), date.month(), date.day()));
}

platform::DateTime chequeDate(int n, const platform::DateTime& today) {
    const int seasonYear = today.month() >= 8 ? today.year() + 1 : today.year();
    const platform::DateTime seasonEnd = platform::DateTime::fromParts(seasonYear, 7, 1);
    const long long step = platform::before(today, seasonEnd) ? platform::wholeDays(seasonEnd, today) / 4 : 0;
    return today.addDays(static_cast<double>((n - 1) * step));
}

QString slotListText(std::vector<programme::Timeslot> group) {
    // By day only, the order of equal days kept.
    std::stable_sort(group.begin(), group.end(), [](const programme::Timeslot& a, const programme::Timeslot& b) {
        return a.date.left(10) < b.date.left(10);
    });
    QString text;
    std::size_t i = 0;
    while (i < group.size()) {
        std::size_t end = i + 1;
        while (end < group.size() && group[end].start == group[i].start) ++end;
        if (!text.isEmpty()) text += QStringLiteral(" et ");
        const std::size_t count = end - i;
        if (count == 1) {
            text += QStringLiteral("le ") + programme::longFrenchDate(group[i].date);
        } else {
            text += QStringLiteral("les ");
            for (std::size_t k = i; k < end; ++k) {
                if (k > i) text += k + 1 == end ? QStringLiteral(" et ") : QStringLiteral(",");
                text += programme::longFrenchDate(group[k].date);
            }
        }
        text += QStringLiteral(" à ") + shortTime(group[i].start);
        i = end;
    }
    return text;
}

std::vector<programme::Timeslot> groupOf(int32_t headId) {
    std::vector<programme::Timeslot> group;
    const QString id = QString::number(headId);
    const auto& loaded = programme::timeslots();
    const auto head =
        std::find_if(loaded.begin(), loaded.end(), [&](const programme::Timeslot& t) { return t.id == id; });
    if (head == loaded.end()) return group;
    group.push_back(*head);
    for (const programme::Timeslot& slot : loaded)
        if (slot.childof == head->id) group.push_back(slot);
    return group;
}

void fillDefaults(ContractInfoList& list, const DefaultSources& sources) {
    const std::vector<programme::Timeslot> group = groupOf(sources.timeslotId);
    if (group.empty()) return;
    const programme::Timeslot& head = group.front();
    QString companyName;
    const QString showName = programme::showLookup(head.showname, &companyName);
    QString roomName, roomCapacity;
    if (programme::roomLookup(head.room, &roomName, &roomCapacity) == QString::fromUtf8(programme::kUnknownName)) {
        roomName.clear();
        roomCapacity.clear();
    }
    const Clock start = clockOf(head.start);
    const Clock end = clockOf(head.end);
    const int startMinutes = start.hours * 60 + start.minutes;
    int duration = end.hours * 60 + end.minutes - startMinutes;
    // A show that ends after midnight lasts until the next day's end time.
    if (duration < 0) duration += 24 * 60;
    const platform::DateTime today = sources.now;

    for (ContractInfoRow& row : list.rows) {
        const QString& label = row.label;
        if (label == labels::kSlots) {
            row.value = slotListText(group);
        } else if (label.startsWith(labels::kChequeDatePrefix)) {
            const long long n = programme::leadingInteger(label.mid(labels::kChequeDatePrefix.size()));
            // Cheques are numbered from 1; another number names no cheque date.
            row.value = n >= 1 && n <= 99 ? longDate(chequeDate(static_cast<int>(n), today)) : QString();
        } else if (label == labels::kChequeAmount) {
            row.value = QString::asprintf("%.2f", programme::leadingDecimal(list.value(labels::kPrice)) / 5.0);
        } else if (label == labels::kSignatureDate) {
            row.value = longDate(today);
        } else if (label == labels::kReturnDeadline) {
            row.value = longDate(today.addDays(15));
        } else if (label == labels::kRoomCapacity || label == labels::kMaximumCapacity) {
            row.value = roomCapacity;
        } else if (label == labels::kShow) {
            row.value = showName;
        } else if (label == labels::kShowTime) {
            row.value = clockText(startMinutes);
        } else if (label == labels::kAccessTime) {
            row.value = clockText(startMinutes - 5);
        } else if (label == labels::kReleaseTime) {
            // A typed duration is held to ten days, so that the sum stays a clock time.
            const long long typed = std::clamp(programme::leadingInteger(list.value(labels::kDuration)), 0LL, 14400LL);
            row.value = clockText(startMinutes + typed + 5);
        } else if (label == labels::kRoom) {
            row.value = roomName;
        } else if (label == labels::kAuthor) {
            row.value = QString::fromUtf8(kAuthorUndefined);
        } else if (label == labels::kDuration) {
            row.value = QString::number(duration);
        } else if (label == labels::kCompany) {
            row.value = companyName;
        } else if (label == labels::kNumber) {
            row.value = contractNumber(showName, sources.draw);
        } else if (label == labels::kCreatedBy) {
            row.value = sources.userName;
        }
    }
}

}  // namespace contracts
