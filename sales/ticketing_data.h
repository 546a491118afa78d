// The ticketing database's three tables in memory (rooms, performances, reservations), the
// way their texts are read (tokens, numbers, room codes, the meal tariff), and the load that
// replaces them from the server.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sales {

class SalesIndex;

struct TicketingRoom {
    QString name;       // column 1
    QString last_sync;  // column 2, shown as it came
};

struct TicketingShow {
    int32_t id = 0;           // column 0; also encodes the room
    QString name;             // column 1
    QString starts_at;        // column 2, "YYYY-MM-DD HH:MM:SS", compared as text
    int32_t room_number = 0;  // id / 10000000
    QString tariffs;          // column 5, tariff names separated by ":"
};

// Where one text of a reservation lies in the table's text store.
struct TextRef {
    uint32_t offset = 0;
    uint32_t size = 0;
};

struct Reservation {
    int32_t show_id = 0;     // column 1
    int32_t seats = 0;       // column 2
    TextRef prices;          // column 3, one price per seat, separated by ":"
    TextRef tariff_indexes;  // column 4, one index into the show's tariffs per seat, by ":"
    TextRef paid_flags;      // column 5, one flag per seat, separated by ";"
};

inline constexpr char16_t kTariffNameSeparator = u':';  // in a show's tariffs
inline constexpr char kPriceSeparator = ':';
inline constexpr char kTariffSeparator = ':';
inline constexpr char kPaidSeparator = ';';
inline constexpr int32_t kRoomNumberDivisor = 10000000;
inline constexpr int kMealTariffSearchDepth = 14;

// The three tables as last loaded, in server order. The per-seat texts of the reservations
// hold only numbers and separators; they are kept as the bytes the server sent, in one
// store, since 300,000 rows of three small texts each would otherwise cost a million
// allocations per load, and a code page conversion cannot change what a number reads.
class TicketingData {
public:
    void clear();

    void addRoom(QString name, QString lastSync);
    // Computes the room number from the id.
    void addShow(int32_t id, QString name, QString startsAt, QString tariffs);
    void addReservation(int32_t showId, int32_t seats, std::string_view prices, std::string_view tariffIndexes,
                        std::string_view paidFlags);
    // Gives back the spare capacity that growing left once a load is over.
    void shrink();

    const std::vector<TicketingRoom>& rooms() const { return rooms_; }
    const std::vector<TicketingShow>& shows() const { return shows_; }
    const std::vector<Reservation>& reservations() const { return reservations_; }
    std::string_view text(TextRef ref) const { return std::string_view(texts_).substr(ref.offset, ref.size); }

private:
    TextRef store(std::string_view text);

    std::vector<TicketingRoom> rooms_;
    std::vector<TicketingShow> shows_;
    std::vector<Reservation> reservations_;
    std::string texts_;
};

// Leading-number reads: text that does not start with a number reads as 0. Blanks before
// the number are passed over; an integer past the 32-bit range stops at its limit. A decimal
// has a point, never a comma, whatever the user's locale.
int32_t leadingInt(std::string_view text);
double leadingDecimal(std::string_view text);

// Token k of a separated text: token 0 runs from the start to the first separator, token k
// from just after the k-th separator to the next one or the end. Past the last token, and
// between two adjacent separators, the token is empty.
std::string_view fieldToken(std::string_view text, char separator, int k);
QStringView fieldToken(QStringView text, QChar separator, int k);

// "KQ", "ZOD", "ZAZ" for rooms 0 to 2, "?" for any other number.
const QString& roomCode(int32_t roomNumber);
inline int32_t roomNumberOf(int32_t showId) { return showId / kRoomNumberDivisor; }

// The position (0 to 13) of the first of the first 14 tariff names whose first five
// letters are "Diner", "Repas" or "RS" regardless of case; -1 when there is none.
int mealTariffIndex(QStringView tariffs);

// The statements, also the texts of their error reports.
inline constexpr const char* kSelectRooms = "SELECT * FROM salle";
inline constexpr const char* kSelectShows = "SELECT * FROM shows";
inline constexpr const char* kSelectReservations = "SELECT * FROM res";

// Replaces the tables with those of the ticketing database, on the program-wide ticketing
// connection, and prepares the index that the aggregation reads. A failed connection leaves
// the tables empty; a refused statement is reported and the other tables are still read.
// The sales overview reads on a worker instead (ticketing_sync.h), to the same tables.
void load(TicketingData& data, SalesIndex& index);

}  // namespace sales
