#include "contracts/contract_model.h"

#include <QFileInfo>

#include "db/stored_text.h"
#include "programme/date_texts.h"
#include "programme/field_words.h"
#include "programme/programme_data.h"

namespace contracts {

std::vector<HeadEntry> headEntries() {
    std::vector<HeadEntry> entries;
    for (const programme::Timeslot& slot : programme::timeslots()) {
        if (programme::leadingInteger(slot.deleted) != 0 || programme::leadingInteger(slot.childof) != -1) continue;
        QString companyName;
        const QString showName = programme::showLookup(slot.showname, &companyName);
        entries.push_back({programme::longFrenchDate(slot.date) + QStringLiteral(" à ") + shortTime(slot.start) +
                               QStringLiteral(" : ") + showName + QStringLiteral(" : ") + companyName,
                           static_cast<int32_t>(programme::leadingInteger(slot.id))});
    }
    return entries;
}

int entryIndexOf(const std::vector<HeadEntry>& entries, int32_t id) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == id) return static_cast<int>(i);
    return -1;
}

QString templateFieldText(const QString& chosenPath) {
    QString name = QFileInfo(chosenPath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || name.mid(dot).compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) != 0)
        name += QStringLiteral(".rtf");
    return name;
}

void ContractModel::open() {
    random_ = CrtRandom(millisecondTicks());
    stored_ = !extra.isEmpty();
    if (stored_) templateName = rtf;
    ownNumber_ = stored_ ? valueInExtra(extra, labels::kNumber) : QString();
}

void ContractModel::rebuild() {
    if (stored_) {
        list = parseExtra(extra);
        return;
    }
    list = readFieldList(folders.models, templateName);
    DefaultSources sources;
    sources.timeslotId = timeslotId;
    sources.userName = userName;
    sources.now = clock();
    sources.draw = draw ? draw : std::function<int()>([this] { return random_.next(); });
    fillDefaults(list, sources);
}

void ContractModel::setRowValue(std::size_t row, const QString& value) {
    if (row >= list.rows.size()) return;
    list.rows[row].value = value;
    if (list.rows[row].label == labels::kPrice)
        list.setValue(labels::kChequeAmount, QString::asprintf("%.2f", programme::leadingDecimal(value) / 5.0));
}

QString ContractModel::storageProblem() const {
    if (QString problem = db::storedTextProblem(programme::fieldLabel(programme::Field::ContractTemplate), templateName,
                                                db::kNameColumnChars);
        !problem.isEmpty())
        return problem;
    if (QString problem = storedListProblem(list); !problem.isEmpty()) return problem;
    return numberTakenProblem(list, ownNumber_);
}

void ContractModel::accept(int32_t chosenTimeslotId) {
    extra = serialiseExtra(list);
    timeslotId = chosenTimeslotId;
    copyToShared(folders, list);
}

}  // namespace contracts
