// The planning on paper: a week or a month a page, rooms as bands, written as PDF; and the
// long texts of a timeline row cut with an ellipsis rather than by the next panel.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "planning/draw_surface.h"
#include "planning/planning_print.h"
#include "programme/programme_data.h"
#include "tests/support/qt_print.h"

namespace {

using platform::DateTime;

programme::Timeslot slot(const char* id, const char* date, const char* room, const char* childof = "-1") {
    programme::Timeslot t;
    t.id = QString::fromUtf8(id);
    t.date = QString::fromUtf8(date);
    t.start = QStringLiteral("20:30:00");
    t.deleted = QStringLiteral("0");
    t.showname = QStringLiteral("5");
    t.childof = QString::fromUtf8(childof);
    t.room = QString::fromUtf8(room);
    return t;
}

class PlanningPrint : public ::testing::Test {
protected:
    void SetUp() override {
        programme::clearAll();
        programme::rooms() = {{"20", "Studio", "", ""}, {"10", "Grande salle du théâtre municipal", "", ""}};
        programme::companies() = {{"1", "Cie du Pont", "", "", "", "0", ""}};
        programme::shows() = {{"5", "Le Grand Saut", "1", "0"}};
        programme::timeslots() = {slot("1", "2019-07-02", "10"), slot("2", "2019-07-03", "20"),
                                  slot("3", "2019-07-04", "10", "1"), slot("4", "2019-07-05", "99"),
                                  slot("5", "2019-07-20", "20")};
    }
    void TearDown() override { programme::clearAll(); }
    const DateTime now = DateTime::fromParts(2019, 7, 1, 12, 0, 0);
};

QStringList titles(const std::vector<planning::PrintPeriod>& periods) {
    QStringList out;
    for (const auto& p : periods) out << p.title;
    return out;
}

TEST_F(PlanningPrint, PagesCoverTheRangeAWeekOrAMonthEach) {
    const planning::PlanningView twoWeeks{DateTime::fromParts(2019, 7, 3, 12, 0, 0), DateTime::fromParts(2019, 7, 16, 10, 0, 0), {}};
    const auto weeks = planning::weekPeriods(twoWeeks);
    ASSERT_EQ(weeks.size(), 3u);
    EXPECT_EQ(weeks[0].from, twoWeeks.from);  // the range's own start, not the Monday before
    EXPECT_EQ(weeks[0].to, DateTime::fromParts(2019, 7, 7, 23, 59, 59));
    EXPECT_EQ(weeks[1].from, DateTime::fromParts(2019, 7, 8));
    EXPECT_EQ(weeks[2].to, twoWeeks.to);
    EXPECT_EQ(titles(weeks)[0], QStringLiteral("du mercredi 3 juillet 2019 au dimanche 7 juillet 2019"));

    struct Case {
        DateTime from, to;
        QStringList months;
    };
    const Case cases[] = {
        {DateTime::fromParts(2019, 6, 20), DateTime::fromParts(2019, 8, 2),
         {QStringLiteral("Juin 2019"), QStringLiteral("Juillet 2019"), QString::fromUtf8("Août 2019")}},
        {DateTime::fromParts(2019, 12, 31), DateTime::fromParts(2020, 1, 1),
         {QString::fromUtf8("Décembre 2019"), QStringLiteral("Janvier 2020")}},
        {DateTime::fromParts(2019, 7, 10), DateTime::fromParts(2019, 7, 10), {QStringLiteral("Juillet 2019")}},
        {DateTime::fromParts(2019, 7, 10), DateTime::fromParts(2019, 7, 1), {}},  // an empty range
    };
    for (const Case& c : cases) EXPECT_EQ(titles(planning::monthPeriods({c.from, c.to, {}})), c.months);
    EXPECT_TRUE(planning::weekPeriods({DateTime::invalid(), DateTime::fromParts(2019, 7, 1), {}}).empty());
}

TEST_F(PlanningPrint, RoomsAreBandsInTheOrderOfTheRoomList) {
    const auto bands = planning::roomBands({DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 7, 7), {}});
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0].room, QStringLiteral("Studio"));
    EXPECT_EQ(bands[0].records, std::vector<int>({1}));
    EXPECT_EQ(bands[1].records, std::vector<int>({0, 2}));  // a group's slots in date order
    EXPECT_EQ(bands[2].records, std::vector<int>({3}));     // an unknown room comes last
    EXPECT_EQ(bands[2].room, programme::roomLookup(QStringLiteral("99")));
}

int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

TEST_F(PlanningPrint, PdfHasOnePagePerWeekOrMonthAndTheReport) {
    QTemporaryDir dir;
    const planning::PlanningView july{DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 7, 31), {}};
    struct Case {
        planning::PrintKind kind;
        int pages;
    };
    const Case cases[] = {{planning::PrintKind::Timeline, 5}, {planning::PrintKind::Calendar, 1}, {planning::PrintKind::Report, 1}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(planning::suggestedFileName(c.kind, false, july.from));
        EXPECT_EQ(planning::writePdf(path, c.kind, july, now), QString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(file.read(5) == "%PDF-");
        EXPECT_EQ(pdfPages(path), c.pages) << path.toStdString();
    }
    EXPECT_EQ(planning::suggestedFileName(planning::PrintKind::Report, true, july.from), QStringLiteral("suivi-2019-07-01.csv"));
    EXPECT_FALSE(planning::writePdf(dir.filePath(QStringLiteral("absent/p.pdf")), planning::PrintKind::Report, july, now).isEmpty());
}

TEST_F(PlanningPrint, ALongTextEndsWithAnEllipsisInsideItsPanel) {
    programme::timeslots()[0].todo = QStringLiteral("Contrat envoyé par KQ");
    planning::RecordingSurface dc;
    dc.charWidth = 6;
    // 400 pixels: a tenth is 40, too narrow for the room's 33 characters; a quarter is 100.
    planning::DrawTimeslotRow(dc, 0, now, DateTime::fromParts(2019, 7, 2), false, 0, 0, 400, 41);
    const auto texts = dc.opsOf(planning::DrawOp::TextOut);
    ASSERT_EQ(texts.size(), 5u);
    const int panel = dc.opsOf(planning::DrawOp::Fill)[0].rect.right;
    EXPECT_GT(panel, 40 - 11);
    EXPECT_LE(panel, 100 - 11);
    // The room's name is cut to the widened panel, with an ellipsis.
    EXPECT_TRUE(texts[0].text.endsWith(QChar(0x2026))) << texts[0].text.toStdString();
    EXPECT_LE(dc.textWidth(texts[0].text), panel - 2);
    EXPECT_EQ(texts[1].text, QStringLiteral("A venir"));  // short texts stay whole
    for (std::size_t i = 2; i < texts.size(); ++i)
        EXPECT_LE(texts[i].points[0].x() + dc.textWidth(texts[i].text), 400) << texts[i].text.toStdString();

    // Rooms whose names fit keep the tenth of the row, as always.
    programme::rooms() = {{"10", "Rouge", "", ""}};
    planning::RecordingSurface narrow;
    narrow.charWidth = 6;
    planning::DrawTimeslotRow(narrow, 0, now, DateTime::fromParts(2019, 7, 2), false, 0, 0, 800, 41);
    EXPECT_EQ(narrow.opsOf(planning::DrawOp::Fill)[0].rect.right, 80 - 11);
}

}  // namespace
