// One row of each ticketing table read into the tables, columns taken by position: the row
// callbacks of the load, shared by the load of the whole tables and by the refresh that reads
// only what changed.
#pragma once

#include <cstdint>
#include <string_view>

namespace sales {

// A column by position; a column the row lacks, or one whose copy could not be made, reads
// as empty.
inline std::string_view column(int32_t count, char** columns, int index) {
    if (index >= count || !columns[index]) return {};
    return columns[index];
}

// Each takes the TicketingData to append to as its context.
int32_t appendRoom(void* context, int32_t count, char** columns, void*);
int32_t appendShow(void* context, int32_t count, char** columns, void*);
int32_t appendReservation(void* context, int32_t count, char** columns, void*);

}  // namespace sales
