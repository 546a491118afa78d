#include "programme/date_texts.h"

#include "platform/date_time.h"

namespace programme {

namespace {

// The unsigned decimal at the start of a piece of text, as the C library reads it: leading
// blanks skipped, digits up to the first other character, 0 when none.
unsigned leadingUnsigned(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    unsigned value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<unsigned>(text[i].unicode() - u'0');
    return value;
}

struct NamePair {
    const char* abbreviation;
    const char* name;
};

constexpr NamePair kWeekdays[] = {{"Mon", "Lundi"},    {"Tue", "Mardi"},  {"Wed", "Mercredi"}, {"Thu", "Jeudi"},
                                  {"Fri", "Vendredi"}, {"Sat", "Samedi"}, {"Sun", "Dimanche"}};
constexpr NamePair kMonths[] = {{"Jan", "Janvier"},   {"Feb", "Février"}, {"Mar", "Mars"},     {"Apr", "Avril"},
                                {"May", "Mai"},       {"Jun", "Juin"},    {"Jul", "Juillet"},  {"Aug", "Août"},
                                {"Sep", "Septembre"}, {"Oct", "Octobre"}, {"Nov", "Novembre"}, {"Dec", "Décembre"}};

template <std::size_t N>
QString lookUp(const NamePair (&table)[N], const QString& abbreviation) {
    for (const NamePair& pair : table)
        if (abbreviation == QLatin1String(pair.abbreviation)) return QString::fromUtf8(pair.name);
    return abbreviation;
}

}  // namespace

void readIsoDate(const QString& text, unsigned* year, unsigned* month, unsigned* day) {
    const QStringView view(text);
    if (year) *year = leadingUnsigned(view.left(4));
    if (month) *month = leadingUnsigned(view.mid(5, 2));
    if (day) *day = leadingUnsigned(view.right(2));
}

platform::DateTime dayOfIsoDate(const QString& text) {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    readIsoDate(text, &year, &month, &day);
    return platform::DateTime::fromParts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

void readTime(const QString& text, unsigned* hours, unsigned* minutes) {
    const QStringView view(text);
    if (hours) *hours = leadingUnsigned(view.left(2));
    if (minutes) *minutes = leadingUnsigned(view.mid(3, 2));
}

int readDayMonthYear(const QString& text, unsigned* first, unsigned* second, unsigned* year) {
    const qsizetype slash = text.indexOf(u'/');
    if (text.isEmpty() || slash < 0) return -1;
    const QStringView view(text);
    if (first) *first = leadingUnsigned(view);
    if (second) *second = leadingUnsigned(view.mid(slash + 1));
    const qsizetype secondSlash = text.indexOf(u'/', slash + 1);
    if (secondSlash < 0) return -1;
    if (year) *year = leadingUnsigned(view.mid(secondSlash + 1, 4));
    return 0;
}

QString shortTimeText(const QString& time) {
    unsigned hours = 0;
    unsigned minutes = 0;
    readTime(time, &hours, &minutes);
    return QString::asprintf("%2u:%2.2u", hours, minutes);
}

QString longFrenchDate(const QString& isoDate) {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    readIsoDate(isoDate, &year, &month, &day);
    const platform::DateTime date =
        platform::DateTime::fromParts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    // A text that makes no date would otherwise show the date library's own error words.
    if (!date.isValid()) return QString();
    // The names straight from their tables: the lists show this text for every group.
    QString text = QString::fromUtf8(kWeekdays[date.weekdayFromMonday()].name);
    text += QString::asprintf(" %02d ", date.day());
    text += QString::fromUtf8(kMonths[date.month() - 1].name);
    text += u' ' + QString::number(date.year());
    return text;
}

QString frenchWeekdayName(const QString& abbreviation) { return lookUp(kWeekdays, abbreviation); }
QString frenchMonthName(const QString& abbreviation) { return lookUp(kMonths, abbreviation); }

}  // namespace programme
