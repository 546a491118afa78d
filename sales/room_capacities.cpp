#include "sales/room_capacities.h"

#include "db/codepage.h"
#include "sales/ticketing_data.h"
#include "sales/ticketing_rows.h"

namespace sales {

void RoomCapacities::add(const QString& code, const QString& capacity) {
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty()) return;
    const int32_t seats = leadingInt(capacity.toStdString());
    for (const Room& r : rooms_) {
        if (r.code.compare(trimmed, Qt::CaseInsensitive) == 0 && r.seats > 0) return;
    }
    rooms_.push_back({trimmed, seats});
}

int32_t RoomCapacities::seats(const QString& roomCode) const {
    for (const Room& r : rooms_) {
        if (r.seats > 0 && r.code.compare(roomCode, Qt::CaseInsensitive) == 0) return r.seats;
    }
    return 0;
}

int32_t appendRoomCapacity(void* context, int32_t count, char** columns, void*) {
    static_cast<RoomCapacities*>(context)->add(db::fromAnsi(column(count, columns, 2)),
                                               db::fromAnsi(column(count, columns, 3)));
    return 0;
}

}  // namespace sales
