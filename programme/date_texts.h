// The date and time texts of the programme records: the YYYY-MM-DD and HH:MM texts the server
// sends, the day/month/year texts of the follow-up plans, and the texts shown in the lists.
// Every reader and writer here ignores the process locale.
#pragma once

#include <QString>

#include "platform/date_time.h"

namespace programme {

// YYYY-MM-DD: year from characters 1-4, month from 6-7, day from the last two; each read as an
// unsigned decimal (a part that does not start with a digit reads as 0). Null outputs are skipped.
void readIsoDate(const QString& text, unsigned* year, unsigned* month, unsigned* day);
// A YYYY-MM-DD text as that day at 00:00 (the parts read as readIsoDate reads them).
platform::DateTime dayOfIsoDate(const QString& text);
// HH:MM...: hours from characters 1-2, minutes from 4-5.
void readTime(const QString& text, unsigned* hours, unsigned* minutes);
// first/second/year: 0 when both "/" are there; -1 otherwise (an empty text or no "/" sets
// nothing; one "/" sets the first two outputs). The year comes from at most four characters.
int readDayMonthYear(const QString& text, unsigned* first, unsigned* second, unsigned* year);

// "%2u:%2.2u" of a HH:MM... text: " 9:05" for 09:05:00.
QString shortTimeText(const QString& time);
// "Vendredi 05 Juillet 2019" for 2019-07-05; empty when the text does not make a real date.
QString longFrenchDate(const QString& isoDate);

// The French names that replace the C library's abbreviations ("Mon" -> "Lundi",
// "Aug" -> "Août"); an abbreviation not in the tables comes back unchanged.
QString frenchWeekdayName(const QString& abbreviation);
QString frenchMonthName(const QString& abbreviation);

}  // namespace programme
