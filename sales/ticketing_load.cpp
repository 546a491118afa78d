#include <string_view>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "platform/ui_services.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "sales/ticketing_rows.h"

namespace sales {

int32_t appendRoom(void* context, int32_t count, char** columns, void*) {
    auto* data = static_cast<TicketingData*>(context);
    data->addRoom(db::fromAnsi(column(count, columns, 1)), db::fromAnsi(column(count, columns, 2)));
    return 0;
}

int32_t appendShow(void* context, int32_t count, char** columns, void*) {
    auto* data = static_cast<TicketingData*>(context);
    data->addShow(leadingInt(column(count, columns, 0)), db::fromAnsi(column(count, columns, 1)),
                  db::fromAnsi(column(count, columns, 2)), db::fromAnsi(column(count, columns, 5)));
    return 0;
}

int32_t appendReservation(void* context, int32_t count, char** columns, void*) {
    auto* data = static_cast<TicketingData*>(context);
    data->addReservation(leadingInt(column(count, columns, 1)), leadingInt(column(count, columns, 2)),
                         column(count, columns, 3), column(count, columns, 4), column(count, columns, 5));
    return 0;
}

namespace {

// One table; a failure is reported and the load goes on with the next table.
void readTable(const char* statement, db::RowCallback callback, TicketingData& data) {
    db::WorkBuffer buffer = db::WorkBuffer::forStatement(statement);
    if (!buffer.valid()) {
        db::reportDbExecError(statement);
        return;
    }
    if (db::QueryRunner(statement, callback, &data, std::move(buffer)) != db::kQueryOk)
        db::reportDbExecError(statement);
}

}  // namespace

void load(TicketingData& data, SalesIndex& index) {
    platform::WaitCursor wait;
    data.clear();
    index.clear();
    if (db::openTicketing() == 0) {
        readTable(kSelectRooms, appendRoom, data);
        readTable(kSelectShows, appendShow, data);
        readTable(kSelectReservations, appendReservation, data);
        db::closeTicketing();
        data.shrink();
    }
    index.build(data);
}

}  // namespace sales
