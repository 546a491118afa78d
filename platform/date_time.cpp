#include "platform/date_time.h"

#include <cmath>

namespace platform {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kHalfSecond = 0.5 / kSecondsPerDay;
// 1 January 100 and 31 December 9999 23:59:59, the range the automation dates cover.
constexpr double kMinDays = -657434.0;
constexpr double kMaxDays = 2958465.99999;

const QDate& epoch() {
    static const QDate date(1899, 12, 30);
    return date;
}

// Automation dates before the epoch keep the time of day as a positive fraction below a
// negative day number (-1.25 is 29 December 1899 at 06:00); arithmetic and comparisons
// need the plain linear count of days.
double linearFromDays(double days) {
    if (days >= 0.0) return days;
    const double whole = std::trunc(days);
    return whole + (whole - days);
}

double daysFromLinear(double linear) {
    if (linear >= 0.0) return linear;
    const double whole = std::floor(linear);
    return whole - (linear - whole);
}

struct Parts {
    QDate date;
    int secondOfDay = 0;
};

// Calendar parts rounded to the nearest second, so that 0.999999 of a day reads as the next
// midnight rather than 23:59:59.
Parts partsOf(double days) {
    const double seconds = std::round(linearFromDays(days) * kSecondsPerDay);
    const double dayNumber = std::floor(seconds / kSecondsPerDay);
    Parts parts;
    parts.date = epoch().addDays(static_cast<qint64>(dayNumber));
    parts.secondOfDay = static_cast<int>(seconds - dayNumber * kSecondsPerDay);
    return parts;
}

const char* const kCWeekdays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kCMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                "July",    "August",   "September", "October", "November", "December"};
const char* const kFrenchWeekdays[] = {"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"};
const char* const kFrenchWeekdaysShort[] = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};
const char* const kFrenchMonths[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                                     "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
const char* const kFrenchMonthsShort[] = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                          "juil.", "août",  "sept.", "oct.", "nov.", "déc."};

QString weekdayName(int index, bool full, DateTime::Names names) {
    if (names == DateTime::Names::French)
        return QString::fromUtf8(full ? kFrenchWeekdays[index] : kFrenchWeekdaysShort[index]);
    const QString name = QString::fromLatin1(kCWeekdays[index]);
    return full ? name : name.left(3);
}

QString monthName(int index, bool full, DateTime::Names names) {
    if (names == DateTime::Names::French)
        return QString::fromUtf8(full ? kFrenchMonths[index] : kFrenchMonthsShort[index]);
    const QString name = QString::fromLatin1(kCMonths[index]);
    return full ? name : name.left(3);
}

QString twoDigits(int value) { return QString::asprintf("%02d", value); }

}  // namespace

DateTime DateTime::null() { return DateTime(); }

DateTime DateTime::invalid() {
    DateTime value;
    value.status_ = Status::Invalid;
    return value;
}

DateTime DateTime::fromDays(double days) {
    if (!(days >= kMinDays && days <= kMaxDays)) return invalid();
    DateTime value;
    value.status_ = Status::Valid;
    value.days_ = days;
    return value;
}

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || !QDate::isValid(year, month, day)) return invalid();
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return invalid();
    const double linear = static_cast<double>(epoch().daysTo(QDate(year, month, day))) +
                          (hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    return fromDays(daysFromLinear(linear));
}

DateTime DateTime::fromQDateTime(const QDateTime& value) {
    if (!value.isValid()) return invalid();
    const QDate date = value.date();
    if (date.year() < 100 || date.year() > 9999) return invalid();
    const double linear =
        static_cast<double>(epoch().daysTo(date)) + value.time().msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0);
    return fromDays(daysFromLinear(linear));
}

DateTime DateTime::now() { return fromQDateTime(QDateTime::currentDateTime()); }

int DateTime::year() const { return isValid() ? partsOf(days_).date.year() : 0; }
int DateTime::month() const { return isValid() ? partsOf(days_).date.month() : 0; }
int DateTime::day() const { return isValid() ? partsOf(days_).date.day() : 0; }
int DateTime::hour() const { return isValid() ? partsOf(days_).secondOfDay / 3600 : 0; }
int DateTime::minute() const { return isValid() ? partsOf(days_).secondOfDay / 60 % 60 : 0; }
int DateTime::second() const { return isValid() ? partsOf(days_).secondOfDay % 60 : 0; }

int DateTime::weekdayFromMonday() const { return isValid() ? partsOf(days_).date.dayOfWeek() - 1 : -1; }

DateTime DateTime::dateOnly() const {
    if (!isValid()) return *this;
    const QDate date = partsOf(days_).date;
    return fromParts(date.year(), date.month(), date.day());
}

DateTime DateTime::addDays(double days) const {
    if (!isValid()) return *this;
    return fromDays(daysFromLinear(linearFromDays(days_) + days));
}

QDateTime DateTime::toQDateTime() const {
    if (!isValid()) return QDateTime();
    const Parts parts = partsOf(days_);
    return QDateTime(parts.date, QTime(0, 0).addSecs(parts.secondOfDay));
}

QString DateTime::format(const QString& pattern, Names names) const {
    if (!isValid()) return QString();
    const Parts parts = partsOf(days_);
    const QDate& date = parts.date;
    const int hour = parts.secondOfDay / 3600;
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const QChar code = pattern[++i];
        switch (code.unicode()) {
        case u'a': out += weekdayName(date.dayOfWeek() - 1, false, names); break;
        case u'A': out += weekdayName(date.dayOfWeek() - 1, true, names); break;
        case u'b': out += monthName(date.month() - 1, false, names); break;
        case u'B': out += monthName(date.month() - 1, true, names); break;
        case u'd': out += twoDigits(date.day()); break;
        case u'e': out += QString::asprintf("%2d", date.day()); break;
        case u'H': out += twoDigits(hour); break;
        case u'I': out += twoDigits(hour % 12 == 0 ? 12 : hour % 12); break;
        case u'j': out += QString::asprintf("%03d", date.dayOfYear()); break;
        case u'm': out += twoDigits(date.month()); break;
        case u'M': out += twoDigits(parts.secondOfDay / 60 % 60); break;
        case u'p': out += QLatin1String(hour < 12 ? "AM" : "PM"); break;
        case u'S': out += twoDigits(parts.secondOfDay % 60); break;
        case u'y': out += twoDigits(date.year() % 100); break;
        case u'Y': out += QString::number(date.year()); break;
        case u'%': out += u'%'; break;
        default:
            out += u'%';
            out += code;
            break;
        }
    }
    return out;
}

bool operator==(const DateTime& a, const DateTime& b) {
    if (a.status_ != b.status_) return false;
    return !a.isValid() || a.days_ == b.days_;
}

bool before(const DateTime& a, const DateTime& b) {
    return a.isValid() && b.isValid() && linearFromDays(a.days()) < linearFromDays(b.days());
}

bool notAfter(const DateTime& a, const DateTime& b) { return before(a, b) || a == b; }

double daysBetween(const DateTime& a, const DateTime& b) {
    if (!a.isValid() || !b.isValid()) return 0.0;
    return linearFromDays(a.days()) - linearFromDays(b.days());
}

long long wholeDays(const DateTime& a, const DateTime& b) {
    if (!a.isValid() || !b.isValid()) return 0;
    const double difference = daysBetween(a, b);
    return static_cast<long long>(difference >= 0.0 ? difference + kHalfSecond : difference - kHalfSecond);
}

}  // namespace platform
