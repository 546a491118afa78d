// A date and time as the pickers and the date arithmetic of the program hold it: days since
// 30 December 1899 00:00 as a double (the automation date), with a status telling whether the
// value is a real date, a value that went out of range, or no value at all.
#pragma once

#include <QDateTime>
#include <QString>

namespace platform {

class DateTime {
public:
    enum class Status { Valid, Invalid, Null };

    // A null value (no date).
    DateTime() = default;

    static DateTime null();
    static DateTime invalid();
    // Days since the epoch; a value outside 1 Jan 100 .. 31 Dec 9999 gives an invalid value.
    static DateTime fromDays(double days);
    // From calendar parts; parts out of range (month 13, 31 February, hour 24...) give an
    // invalid value rather than a rolled-over date.
    static DateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    // An invalid QDateTime gives an invalid value; the time zone is ignored (local wall time).
    static DateTime fromQDateTime(const QDateTime& value);
    // The current local date and time.
    static DateTime now();

    Status status() const { return status_; }
    bool isValid() const { return status_ == Status::Valid; }
    bool isNull() const { return status_ == Status::Null; }
    // The raw automation value; 0 unless valid.
    double days() const { return days_; }

    // Calendar parts, rounded to the nearest second first; 0 (or -1 for the weekday) unless valid.
    int year() const;
    int month() const;
    int day() const;
    int hour() const;
    int minute() const;
    int second() const;
    // 0 = Monday ... 6 = Sunday; -1 unless valid.
    int weekdayFromMonday() const;

    // The same day at 00:00:00 (other statuses unchanged).
    DateTime dateOnly() const;
    // Adds a number of days (fractions allowed); an invalid or null value stays as it is.
    DateTime addDays(double days) const;

    // An invalid QDateTime unless valid.
    QDateTime toQDateTime() const;

    // strftime-like formatting, independent of the process locale: %a %A %b %B %d %e %H %I
    // %j %m %M %p %S %y %Y %%. Names are English (the C locale) or French. Empty unless valid.
    enum class Names { C, French };
    QString format(const QString& pattern, Names names = Names::C) const;

    // Same status and, when valid, same value (two nulls and two invalids are equal).
    friend bool operator==(const DateTime& a, const DateTime& b);

private:
    Status status_ = Status::Null;
    double days_ = 0.0;
};

// Both valid and a earlier than b.
bool before(const DateTime& a, const DateTime& b);
// a before b, or a equal to b in the sense of operator==.
bool notAfter(const DateTime& a, const DateTime& b);
// Whole days of a - b: the difference in days, plus half a second when it is >= 0 or minus
// half a second when negative, truncated toward zero. 0 unless both are valid.
long long wholeDays(const DateTime& a, const DateTime& b);
// The difference a - b in days as a real number (0 unless both are valid).
double daysBetween(const DateTime& a, const DateTime& b);

}  // namespace platform
