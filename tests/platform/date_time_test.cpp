#include <gtest/gtest.h>

#include "platform/date_time.h"

namespace {

using platform::DateTime;

constexpr double kSecond = 1.0 / 86400.0;

TEST(DateTime, AutomationDaysFromPartsAndBack) {
    EXPECT_DOUBLE_EQ(DateTime::fromParts(1899, 12, 30).days(), 0.0);
    const DateTime noon = DateTime::fromParts(2019, 7, 5, 12, 0, 0);
    ASSERT_TRUE(noon.isValid());
    EXPECT_DOUBLE_EQ(noon.days(), 43651.5);
    EXPECT_EQ(noon.year(), 2019);
    EXPECT_EQ(noon.month(), 7);
    EXPECT_EQ(noon.day(), 5);
    EXPECT_EQ(noon.hour(), 12);
    EXPECT_EQ(noon.weekdayFromMonday(), 4);  // a Friday

    // Before the epoch the time of day stays a positive fraction below the day number.
    const DateTime early = DateTime::fromParts(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(early.days(), -1.25);
    EXPECT_EQ(early.day(), 29);
    EXPECT_EQ(early.hour(), 6);
    EXPECT_DOUBLE_EQ(early.addDays(1.0).days(), 0.25);
    EXPECT_TRUE(platform::before(early, DateTime::fromDays(-1.0).addDays(0.5)));
    EXPECT_DOUBLE_EQ(platform::daysBetween(DateTime::fromDays(0.25), early), 1.0);

    const QDateTime q(QDate(2024, 2, 29), QTime(23, 59, 59));
    EXPECT_EQ(DateTime::fromQDateTime(q).toQDateTime(), q);
}

TEST(DateTime, PartsAreRoundedToTheNearestSecond) {
    const DateTime almostMidnight = DateTime::fromDays(43651.0 - 0.4 * kSecond);
    EXPECT_EQ(almostMidnight.day(), 5);
    EXPECT_EQ(almostMidnight.hour(), 0);
    EXPECT_EQ(almostMidnight.second(), 0);
    const DateTime justBefore = DateTime::fromDays(43651.0 - 0.6 * kSecond);
    EXPECT_EQ(justBefore.day(), 4);
    EXPECT_EQ(justBefore.format(QStringLiteral("%H:%M:%S")), QStringLiteral("23:59:59"));
    EXPECT_EQ(DateTime::fromDays(43651.75).dateOnly(), DateTime::fromParts(2019, 7, 5));
}

TEST(DateTime, OutOfRangePartsAndValuesAreInvalidNotRolledOver) {
    EXPECT_EQ(DateTime::fromParts(2019, 2, 29).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromParts(2019, 13, 1).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromParts(2019, 1, 1, 24, 0, 0).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromParts(0, 0, 0).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromDays(1e9).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromQDateTime(QDateTime()).status(), DateTime::Status::Invalid);
    EXPECT_EQ(DateTime::fromParts(9999, 12, 31).addDays(1.0).status(), DateTime::Status::Invalid);
    EXPECT_TRUE(DateTime().isNull());
    EXPECT_TRUE(DateTime::fromParts(9999, 12, 31).addDays(1.0).format(QStringLiteral("%Y")).isEmpty());
}

TEST(DateTime, BeforeAndNotAfterFollowTheStatus) {
    const DateTime a = DateTime::fromParts(2019, 6, 5);
    const DateTime b = DateTime::fromParts(2019, 6, 5, 0, 0, 1);
    EXPECT_TRUE(platform::before(a, b));
    EXPECT_FALSE(platform::before(b, a));
    EXPECT_TRUE(platform::notAfter(a, a));
    EXPECT_FALSE(platform::notAfter(b, a));

    const DateTime null;
    const DateTime invalid = DateTime::invalid();
    EXPECT_FALSE(platform::before(null, a));
    EXPECT_FALSE(platform::before(a, invalid));
    EXPECT_TRUE(platform::notAfter(null, DateTime::null()));  // two nulls are equal
    EXPECT_TRUE(platform::notAfter(invalid, DateTime::invalid()));
    EXPECT_FALSE(platform::notAfter(invalid, a));
    EXPECT_FALSE(platform::notAfter(a, null));
    EXPECT_FALSE(null == invalid);
}

TEST(DateTime, WholeDaysRoundByHalfASecondThenTruncateTowardZero) {
    const DateTime deadline = DateTime::fromParts(2019, 6, 11);
    EXPECT_EQ(platform::wholeDays(deadline, DateTime::fromParts(2019, 6, 5, 12, 0, 0)), 5);
    EXPECT_EQ(platform::wholeDays(deadline, DateTime::fromParts(2019, 6, 13, 12, 0, 0)), -2);
    EXPECT_EQ(platform::wholeDays(deadline, DateTime::fromParts(2019, 6, 11, 15, 0, 0)), 0);
    EXPECT_EQ(platform::wholeDays(deadline, DateTime::fromParts(2019, 6, 1)), 10);
    // Half a second short of a whole day still counts as the day.
    EXPECT_EQ(platform::wholeDays(deadline.addDays(1.0 - 0.4 * kSecond), deadline), 1);
    EXPECT_EQ(platform::wholeDays(deadline, deadline.addDays(1.0 - 0.4 * kSecond)), -1);
    EXPECT_EQ(platform::wholeDays(deadline.addDays(1.0 - 0.6 * kSecond), deadline), 0);
    EXPECT_EQ(platform::wholeDays(deadline, DateTime()), 0);
}

TEST(DateTime, FormatIgnoresTheProcessLocale) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const DateTime d = DateTime::fromParts(2019, 8, 4, 9, 5, 7);
    EXPECT_EQ(d.format(QStringLiteral("%a %d %b %Y %H:%M:%S %%")), QStringLiteral("Sun 04 Aug 2019 09:05:07 %"));
    EXPECT_EQ(d.format(QStringLiteral("%A %e %B %y %j %I %p")), QStringLiteral("Sunday  4 August 19 216 09 AM"));
    EXPECT_EQ(d.format(QStringLiteral("%a %d %b %Y"), DateTime::Names::French), QString::fromUtf8("dim. 04 août 2019"));
    EXPECT_EQ(d.format(QStringLiteral("%A %B"), DateTime::Names::French), QString::fromUtf8("dimanche août"));
    QLocale::setDefault(QLocale::c());
}

}  // namespace
