// The planning on paper: a week or a month a page, rooms as bands, written as PDF; and the
// long texts of a timeline row cut with an ellipsis rather than by the next panel.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "followup/followup_report.h"
#include "planning/draw_surface.h"
#include "planning/planning_print.h"
#include "programme/programme_data.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_surface.h"

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
    const planning::PlanningView twoWeeks{
        DateTime::fromParts(2019, 7, 3, 12, 0, 0), DateTime::fromParts(2019, 7, 16, 10, 0, 0), {}};
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
        {DateTime::fromParts(2019, 6, 20),
         DateTime::fromParts(2019, 8, 2),
         {QStringLiteral("Juin 2019"), QStringLiteral("Juillet 2019"), QString::fromUtf8("Août 2019")}},
        {DateTime::fromParts(2019, 12, 31),
         DateTime::fromParts(2020, 1, 1),
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
    return static_cast<int>(
        QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

TEST_F(PlanningPrint, PdfHasOnePagePerWeekOrMonthAndTheReport) {
    QTemporaryDir dir;
    const planning::PlanningView july{DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 7, 31), {}};
    struct Case {
        planning::PrintKind kind;
        int pages;
    };
    // The timeline: the weeks of the 1st and the 15th, the idle weeks each folded into a line.
    const Case cases[] = {
        {planning::PrintKind::Timeline, 2}, {planning::PrintKind::Calendar, 1}, {planning::PrintKind::Report, 1}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(planning::suggestedFileName(c.kind, false, july.from));
        EXPECT_EQ(planning::writePdf(path, c.kind, july, now), QString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(file.read(5) == "%PDF-");
        EXPECT_EQ(pdfPages(path), c.pages) << path.toStdString();
    }
    EXPECT_EQ(planning::suggestedFileName(planning::PrintKind::Report, true, july.from),
              QStringLiteral("suivi-2019-07-01.csv"));
    EXPECT_FALSE(
        planning::writePdf(dir.filePath(QStringLiteral("absent/p.pdf")), planning::PrintKind::Report, july, now)
            .isEmpty());

    // A document that cannot be drawn leaves the file chosen as it was, and nothing beside it.
    const QString earlier = dir.filePath(QStringLiteral("earlier.pdf"));
    QFile kept(earlier);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("an earlier print");
    kept.close();
    EXPECT_EQ(planning::writePdf(earlier, static_cast<planning::PrintKind>(99), july, now),
              QStringLiteral("le document ne peut pas être dessiné"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("an earlier print"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("earlier*")}, QDir::Files),
              QStringList{QStringLiteral("earlier.pdf")});
}

using Line = planning::TimelineLine;

TEST_F(PlanningPrint, WeeksWithoutASlotAreFoldedIntoALine) {
    const planning::PlanningView july{
        DateTime::fromParts(2019, 7, 1, 15, 0, 0), DateTime::fromParts(2019, 7, 31, 9, 0, 0), {}};
    const auto pages = planning::timelinePages(july, 1000);
    ASSERT_EQ(pages.size(), 2u);
    const QString unknown = programme::roomLookup(QStringLiteral("99"));
    EXPECT_EQ(
        pages[0],
        (planning::TimelinePage{
            {Line::Week, QStringLiteral("Semaine du lundi 1 juillet 2019 au dimanche 7 juillet 2019")},
            {Line::Room, QStringLiteral("Studio")},
            {Line::Slot, {}, 1},
            {Line::Room, QString::fromUtf8("Grande salle du théâtre municipal")},
            {Line::Slot, {}, 0},
            {Line::Slot, {}, 2},
            {Line::Room, unknown},
            {Line::Slot, {}, 3},
            {Line::Nothing, QStringLiteral("Aucun créneau du lundi 8 juillet 2019 au dimanche 14 juillet 2019.")}}));
    EXPECT_EQ(
        pages[1].back(),
        (Line{Line::Nothing, QStringLiteral("Aucun créneau du lundi 22 juillet 2019 au mercredi 31 juillet 2019.")}));

    // Idle weeks before the first with a slot share its page; a range without any is one line.
    const auto late =
        planning::timelinePages({DateTime::fromParts(2019, 6, 24), DateTime::fromParts(2019, 7, 7), {}}, 1000);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0][0].text, QStringLiteral("Aucun créneau du lundi 24 juin 2019 au dimanche 30 juin 2019."));
    EXPECT_EQ(late[0][1].kind, Line::Week);
    const auto august =
        planning::timelinePages({DateTime::fromParts(2019, 8, 1), DateTime::fromParts(2019, 8, 31), {}}, 1000);
    ASSERT_EQ(august.size(), 1u);
    EXPECT_EQ(august[0],
              (planning::TimelinePage{
                  {Line::Nothing, QStringLiteral("Aucun créneau du jeudi 1 août 2019 au samedi 31 août 2019.")}}));

    // Pages too short for a week: continued, title and room again, never over the height.
    const int height = planning::timelineLineHeight(Line::Week) + planning::timelineLineHeight(Line::Room) +
                       planning::timelineLineHeight(Line::Slot) + 5;
    std::vector<int> drawnRecords;
    for (const auto& page : planning::timelinePages(july, height)) {
        int used = 0;
        ASSERT_FALSE(page.empty());
        EXPECT_TRUE(page[0].kind == Line::Week || page[0].kind == Line::Nothing);
        for (std::size_t i = 0; i < page.size(); ++i) {
            used += planning::timelineLineHeight(page[i].kind);
            if (page[i].kind != Line::Slot) continue;
            drawnRecords.push_back(page[i].record);
            EXPECT_TRUE(page[i - 1].kind == Line::Room || page[i - 1].kind == Line::Slot);
        }
        EXPECT_LE(used, height);
    }
    EXPECT_EQ(drawnRecords, (std::vector<int>{1, 0, 2, 3, 4}));
}

// The PDF's pages as text, read back by poppler's pdftotext.
QStringList pdfPageTexts(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

TEST_F(PlanningPrint, EveryPageCarriesTheRangeAndItsNumber) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "no PDF reader on this machine (Debian: poppler-utils)";
    QTemporaryDir dir;
    // Long enough for several pages of each document.
    for (int i = 0; i < 40; ++i)
        programme::timeslots().push_back(slot(QByteArray::number(100 + i).constData(), "2019-07-09", "10"));
    const planning::PlanningView july{DateTime::fromParts(2019, 7, 1, 18, 0, 0), DateTime::fromParts(2019, 8, 2), {}};
    struct Case {
        planning::PrintKind kind;
        const char* title;
        int atLeast;  // pages
    };
    for (const Case& c :
         {Case{planning::PrintKind::Timeline, "Planning", 3}, Case{planning::PrintKind::Calendar, "Calendrier", 2},
          Case{planning::PrintKind::Report, "Suivi", 2}}) {
        const QString path = dir.filePath(planning::suggestedFileName(c.kind, false, july.from));
        ASSERT_EQ(planning::writePdf(path, c.kind, july, now), QString());
        const QStringList pages = pdfPageTexts(path);
        ASSERT_GE(pages.size(), c.atLeast) << c.title;
        EXPECT_EQ(pages.size(), pdfPages(path)) << c.title;
        for (int i = 0; i < pages.size(); ++i) {
            const QString text = pages[i].simplified();
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.title) +
                                      QStringLiteral(" du lundi 1 juillet 2019 au vendredi 2 août 2019")))
                << c.title << " page " << i + 1 << ": " << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 / %2").arg(i + 1).arg(pages.size())))
                << c.title << " page " << i + 1;
            EXPECT_FALSE(text.contains(QStringLiteral("20:30:00"))) << "hours without seconds";
        }
    }
    const QStringList calendar =
        pdfPageTexts(dir.filePath(planning::suggestedFileName(planning::PrintKind::Calendar, false, july.from)));
    ASSERT_FALSE(calendar.isEmpty());
    EXPECT_TRUE(calendar[0].contains(QStringLiteral("2 juil.")))
        << "the day of tonight's slot, its month with its accent";
    EXPECT_TRUE(calendar[1].contains(QStringLiteral("1 août")));
    const QStringList report =
        pdfPageTexts(dir.filePath(planning::suggestedFileName(planning::PrintKind::Report, false, july.from)));
    ASSERT_FALSE(report.isEmpty());
    for (const followup::LegendEntry& entry : followup::kStatusLegend)
        EXPECT_TRUE(report[0].simplified().contains(QString::fromUtf8(entry.text).left(20))) << entry.text;
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

// The painter's widths are kept between paints: a font changed on the painter, or another
// device, measures anew.
TEST(PainterSurfaceWidths, FollowThePaintersFontAndDevice) {
    QImage screen(200, 50, QImage::Format_RGB32);
    QImage printed(200, 50, QImage::Format_RGB32);
    printed.setDotsPerMeterX(screen.dotsPerMeterX() * 4);
    printed.setDotsPerMeterY(screen.dotsPerMeterY() * 4);
    const QString text = QStringLiteral("Compagnie du Petit Théâtre");
    for (QImage* image : {&screen, &printed, &screen}) {
        QPainter painter(image);
        planning::PainterSurface dc(painter);
        for (const int pixels : {10, 24, 10}) {
            QFont font = painter.font();
            font.setPixelSize(pixels);
            painter.setFont(font);
            EXPECT_EQ(dc.textWidth(text), painter.fontMetrics().horizontalAdvance(text)) << pixels;
        }
    }
}
