// The seats of each ticketing room, from the programme's room list: the programme room whose
// code (column 2 of its `salle`) is the ticketing room's code gives its capacity (column 3),
// read as a leading number, so that "220 places assises" gives 220. No such room, or no
// number above 0: no capacity, and no fill rate for that room's performances.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace sales {

// The programme's rooms, read with the rooms load's own statement.
inline constexpr const char* kSelectProgrammeRooms = "SELECT * FROM salle";

class RoomCapacities {
public:
    // Whether the programme's room list was read: a fill rate missing because the list gives
    // no capacity, or because the programme server could not be asked, is not the same news.
    enum class Source { NotRead, Read, Unreachable, Refused };
    Source source() const { return source_; }
    void setSource(Source source) { source_ = source; }

    // A programme room; a later room with the same code does not replace an earlier one
    // that gave a capacity.
    void add(const QString& code, const QString& capacity);
    // The seats of the ticketing room with this code, or 0 when the list gives none.
    int32_t seats(const QString& roomCode) const;
    bool operator==(const RoomCapacities&) const = default;

private:
    struct Room {
        QString code;
        int32_t seats;
        bool operator==(const Room&) const = default;
    };
    std::vector<Room> rooms_;
    Source source_ = Source::NotRead;
};

// The row callback of the programme's rooms; its context is the RoomCapacities.
int32_t appendRoomCapacity(void* context, int32_t count, char** columns, void*);

}  // namespace sales
