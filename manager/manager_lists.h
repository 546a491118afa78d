// The texts of the manager window's list rows, built from the loaded records, and the rule
// that enables the delete buttons. The window only copies them into its list views.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace programme {

// A company or show row: the record index (item data) and the column texts.
struct ListRow {
    int record = -1;
    QStringList columns;
};

// Companies and shows arrive in descending name order and are inserted at the top of their
// lists; these give them in that arrival order, deleted records left out.
std::vector<ListRow> companyRows();
std::vector<ListRow> showRows();
// The row of one company or show record, when it is not deleted.
std::optional<ListRow> companyRow(int index);
std::optional<ListRow> showRow(int index);
// Every room, in record order (the room list sorts itself by id).
std::vector<ListRow> roomRows();
// One row per group head that is not deleted, in record order: Id, Salle, Spectacle,
// Nb crén. (the head and its live children), Prem. date.
std::vector<ListRow> timeslotGroupRows();
// The row of one timeslot record, when it is a group head that is not deleted.
std::optional<ListRow> timeslotGroupRow(int index);
// Contracts that are not deleted, in record order: Id, Spectacle of its timeslot, 1er crén.
std::vector<ListRow> contractRows();
// The row of one contract record, when it is not deleted.
std::optional<ListRow> contractRow(int index);

// "Vendredi 05 Juillet 2019 à 20:30" from a timeslot's date and start texts.
QString firstDateText(const QString& isoDate, const QString& start);

// The company or show "-": needs a selected row whose name is not a placeholder.
bool nameDeleteEnabled(bool rowSelected, const QString& name);

}  // namespace programme
