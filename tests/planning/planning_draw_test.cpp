#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <set>
#include <functional>
#include <utility>

#include "followup/followup_status.h"
#include "planning/draw_surface.h"
#include "planning/planning_change.h"
#include "planning/planning_draw.h"
#include "programme/programme_data.h"
#include "tests/support/recording_surface.h"

namespace {

using planning::DrawOp;
using planning::RecordingSurface;
using platform::DateTime;
using programme::Timeslot;

Timeslot slot(const char* id, const char* date, const char* start, const char* show, const char* childof,
              const char* room, const char* deleted = "0") {
    Timeslot t;
    t.id = QString::fromUtf8(id);
    t.date = QString::fromUtf8(date);
    t.start = QString::fromUtf8(start);
    t.end = QStringLiteral("23:00:00");
    t.deleted = QString::fromUtf8(deleted);
    t.showname = QString::fromUtf8(show);
    t.childof = QString::fromUtf8(childof);
    t.room = QString::fromUtf8(room);
    return t;
}

class PlanningDraw : public ::testing::Test {
protected:
    void SetUp() override {
        programme::clearAll();
        // Room ids that are not their positions in the loaded records.
        programme::rooms() = {{"10", "Rouge", "", ""}, {"20", "Verte", "", ""}, {"30", "Bleue", "", ""}};
        programme::companies() = {{"1", "Cie du Pont", "", "", "", "0", ""}};
        programme::shows() = {{"5", "Le Grand Saut", "1", "0"}};
    }
    void TearDown() override { programme::clearAll(); }

    static planning::PlanningView july(int fromDay = 1, int toDay = 31) {
        return {DateTime::fromParts(2019, 7, fromDay), DateTime::fromParts(2019, 7, toDay), {}};
    }
    const DateTime now = DateTime::fromParts(2019, 7, 10, 12, 0, 0);

    // What the timeline and the calendar of a view draw, recorded.
    std::pair<std::vector<DrawOp>, std::vector<DrawOp>> recordedPaint(const planning::PlanningView& view) const {
        RecordingSurface timeline, calendar;
        planning::HitList hits;
        planning::DrawTimeline(timeline, view, -1, 600, 400, now, hits);
        planning::DrawCalendar(calendar, view, 0, 0, 700, 600, now, hits);
        return {timeline.ops, calendar.ops};
    }
    // Four slots of a season the changes start from: a group of two in July with a follow-up,
    // a head in another room, one in August with a follow-up; then the one given.
    static void holdSeason(const Timeslot& fifth) {
        programme::timeslots() = {slot("1", "2019-07-12", "20:00:00", "5", "-1", "10"),
                                  slot("2", "2019-07-13", "20:00:00", "5", "1", "10"),
                                  slot("3", "2019-07-15", "18:00:00", "5", "-1", "20"),
                                  slot("4", "2019-08-20", "18:00:00", "5", "-1", "10"), fifth};
        programme::timeslots()[0].todo = QStringLiteral("A$$$B");
        programme::timeslots()[3].todo = QStringLiteral("A");
        programme::recordsChanged();
    }
};

TEST_F(PlanningDraw, NothingVisibleLeavesAPlainBlackAreaAndALightGreyStrip) {
    programme::timeslots() = {slot("0", "2019-08-15", "20:30:00", "5", "-1", "10"),        // after the range
                              slot("1", "2019-07-12", "20:30:00", "5", "-1", "10", "1")};  // deleted
    for (int pass = 0; pass < 2; ++pass) {
        planning::PlanningView view = july();
        if (pass == 1) {
            // Only a room whose slots are all outside the range or deleted: still nothing.
            programme::timeslots().push_back(slot("2", "2019-07-12", "20:30:00", "5", "-1", "20"));
            view.rooms.add(30);
        }
        RecordingSurface dc;
        planning::HitList hits{{1, 2, 0, 0, 9}};
        planning::DrawTimeline(dc, view, -1, 300, 200, now, hits);
        ASSERT_EQ(dc.ops.size(), 1u);
        EXPECT_EQ(dc.ops[0].kind, DrawOp::Fill);
        EXPECT_EQ(dc.ops[0].rect, (planning::Rect{0, 0, 300, 200}));
        EXPECT_EQ(dc.ops[0].colour, planning::kBlack);
        EXPECT_TRUE(hits.empty());
    }
    RecordingSurface strip;
    planning::DrawDetailStrip(strip, {0, 0, 400, 40}, -1, now);
    ASSERT_EQ(strip.ops.size(), 1u);
    EXPECT_EQ(strip.ops[0].colour, 0xC0C0C0u);
    EXPECT_EQ(strip.ops[0].rect, (planning::Rect{0, 0, 400, 40}));
}

TEST_F(PlanningDraw, TimelineStacksTheVisibleSlotsAndHighlightsTheSelectedGroup) {
    programme::timeslots() = {
        slot("3", "2019-07-05", "20:30:00", "5", "-1", "10"), slot("4", "2019-07-06", "20:30:00", "5", "3", "10"),
        slot("7", "2019-07-20", "18:00:00", "5", "-1", "20"), slot("8", "2019-07-01", "09:00:00", "5", "-1", "30")};
    planning::PlanningView view{DateTime::fromParts(2019, 7, 2, 12, 0, 0), DateTime::fromParts(2019, 7, 20), {}};
    // Three rows fit at their full height: each is a third of the area.
    const auto rows = planning::timelineRows(view, 3, 301, 150);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].hit, (planning::HitEntry{2, 48, 0, 0, 3}));
    EXPECT_EQ(rows[1].hit, (planning::HitEntry{52, 98, 0, 0, 3}));  // the child stands for its head
    EXPECT_EQ(rows[2].hit, (planning::HitEntry{102, 148, 0, 0, 7}));
    EXPECT_EQ(rows[2].rect, (planning::Rect{2, 102, 300, 148}));
    EXPECT_TRUE(rows[0].highlighted);
    EXPECT_TRUE(rows[1].highlighted);
    EXPECT_FALSE(rows[2].highlighted);

    RecordingSurface dc;
    planning::HitList hits;
    planning::DrawTimeline(dc, view, 3, 301, 100, now, hits);
    EXPECT_EQ(hits.size(), 3u);
    const auto outlines = dc.opsOf(DrawOp::Polyline);
    ASSERT_EQ(outlines.size(), 3u);
    EXPECT_EQ(outlines[0].pen, (planning::Pen{5, 0xFFFF00}));
    EXPECT_EQ(outlines[2].pen, planning::kStockWhitePen);
    // Only the slot after now is marked as coming.
    const QStringList texts = dc.texts();
    EXPECT_EQ(texts.count(QStringLiteral("A venir")), 1);
    const qsizetype upcoming = texts.indexOf(QStringLiteral("A venir"));
    EXPECT_EQ(texts[upcoming + 1], QStringLiteral("Samedi 20 Juillet 2019 à 18:00"));
}

TEST_F(PlanningDraw, TheStartDayIsInTheRangeWhateverItsTimeOfDayAndTheEndDayToo) {
    // Tonight's performance, with "De" left at the moment the window opened.
    programme::timeslots() = {
        slot("1", "2019-07-09", "18:30:00", "5", "-1", "10"), slot("2", "2019-07-10", "18:30:00", "5", "-1", "10"),
        slot("3", "2019-07-10", "23:30:00", "5", "2", "10"), slot("4", "2019-07-12", "10:00:00", "5", "2", "10"),
        slot("5", "2019-07-13", "00:00:00", "5", "-1", "10")};
    struct Case {
        int fromHour, fromMinute, toHour;
        std::vector<int> visible;
    };
    // To the 12th at any hour: the 12th is in, the 13th out, as before.
    for (const Case& c : {Case{0, 0, 0, {1, 2, 3}}, Case{8, 15, 23, {1, 2, 3}}, Case{18, 31, 12, {1, 2, 3}},
                          Case{23, 59, 0, {1, 2, 3}}}) {
        const planning::PlanningView view{DateTime::fromParts(2019, 7, 10, c.fromHour, c.fromMinute, 0),
                                          DateTime::fromParts(2019, 7, 12, c.toHour, 0, 0),
                                          {}};
        SCOPED_TRACE(c.fromHour);
        EXPECT_EQ(planning::visibleTimeslots(view), c.visible);
        EXPECT_EQ(planning::groupOrder(view), (std::vector<long long>{2}));
        EXPECT_EQ(planning::timelineRows(view, -1, 300, 300).size(), 3u);
    }
}

TEST_F(PlanningDraw, RowHasTwoPanelsTheStatusColourAndItsTexts) {
    programme::timeslots() = {slot("3", "2019-07-05", "09:05:00", "5", "-1", "20")};
    RecordingSurface dc;
    planning::DrawTimeslotRow(dc, 0, now, DateTime::fromParts(2019, 7, 5), false, 2, 10, 302, 50);
    // w = 300: a = 30; h = 40: m = 20; right edge at the width, 300.
    const auto outlines = dc.opsOf(DrawOp::Polyline);
    ASSERT_EQ(outlines.size(), 1u);
    const std::vector<QPoint> expected{{2, 10},  {20, 10}, {20, 28}, {30, 28}, {30, 10}, {300, 10}, {300, 50},
                                       {30, 50}, {30, 32}, {20, 32}, {20, 50}, {2, 50},  {2, 10}};
    EXPECT_EQ(outlines[0].points, expected);
    const auto fills = dc.opsOf(DrawOp::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (planning::Rect{3, 11, 19, 49}));
    EXPECT_EQ(fills[0].colour, followup::kGrey);  // no follow-up: grey
    EXPECT_EQ(fills[1].rect, (planning::Rect{31, 11, 302, 49}));
    EXPECT_EQ(fills[1].colour, 0x808080u);
    const auto texts = dc.opsOf(DrawOp::TextOut);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Verte"));
    EXPECT_EQ(texts[0].points[0], QPoint(4, 12));
    EXPECT_EQ(texts[1].text, QStringLiteral("Vendredi 05 Juillet 2019 à  9:05"));
    EXPECT_EQ(texts[1].points[0], QPoint(32, 12));
    EXPECT_EQ(texts[1].colour, planning::kBlack);
    EXPECT_EQ(texts[2].text, QStringLiteral("Le Grand Saut (Cie du Pont)"));
    EXPECT_EQ(texts[2].points[0], QPoint(32, 25));
    EXPECT_EQ(texts[2].colour, 0x202000u);
    EXPECT_EQ(texts[3].text, QStringLiteral("Pas de surveillance"));
    EXPECT_EQ(texts[3].points[0], QPoint(32, 38));
    // The row leaves the background opaque: each line sits on a white box.
    EXPECT_FALSE(texts[3].transparent);
}

TEST_F(PlanningDraw, AChildWithoutItsHeadIsOutlinedOnlyAndAnUnknownShowReadsInconnu) {
    programme::timeslots() = {slot("4", "2019-07-06", "20:30:00", "5", "99", "10"),
                              slot("6", "2019-07-06", "21:30:00", "77", "-1", "10")};
    RecordingSurface dc;
    planning::DrawTimeslotRow(dc, 0, now, DateTime::fromParts(2019, 7, 6), false, 2, 0, 302, 40);
    EXPECT_EQ(dc.opsOf(DrawOp::Polyline).size(), 1u);
    EXPECT_TRUE(dc.opsOf(DrawOp::Fill).empty());
    EXPECT_TRUE(dc.texts().empty());

    RecordingSurface cal;
    planning::HitList hits;
    planning::DrawCalendar(cal, july(6, 6), 0, 0, 700, 300, now, hits);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].groupId, 99);
    // Only the second slot is drawn: one colour fill, and its show is unknown.
    const auto fills = cal.opsOf(DrawOp::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(cal.texts().contains(QStringLiteral("21:30 (inconnu")));
}

TEST_F(PlanningDraw, ADayWithThreeSlotsSplitsIntoFourBands) {
    programme::timeslots() = {
        slot("1", "2019-07-10", "14:00:00", "5", "-1", "10"), slot("2", "2019-07-10", "18:00:00", "5", "-1", "20"),
        slot("3", "2019-07-10", "21:00:00", "5", "1", "30"), slot("9", "2019-07-11", "21:00:00", "5", "-1", "30")};
    RecordingSurface dc;
    planning::HitList hits;
    // Wednesday 10 July, one day: column 2 of row 1; rows = (0 + 2 + 7) / 7 + 1 = 2.
    planning::DrawCalendar(dc, july(10, 10), 0, 0, 700, 400, DateTime::fromParts(2019, 7, 9, 12, 0, 0), hits);
    const planning::Rect cell{200, 200, 300, 400};
    ASSERT_EQ(hits.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(hits[k], (planning::HitEntry{200 + 50 * (k + 1), 250 + 50 * (k + 1), cell.left, cell.right,
                                               k == 2 ? 1 : k + 1}));
    }
    const auto fills = dc.opsOf(DrawOp::Fill);
    ASSERT_EQ(fills.size(), 3u);
    // Each inside its band, a pixel from the next: no entry covers another's lines.
    EXPECT_EQ(fills[0].rect, (planning::Rect{203, 251, 297, 299}));
    EXPECT_EQ(fills[1].rect, (planning::Rect{203, 301, 297, 349}));
    const auto labels = dc.opsOf(DrawOp::DrawText);
    // Seven headers, the day label, two texts per slot.
    ASSERT_EQ(labels.size(), 7u + 1u + 6u);
    EXPECT_EQ(labels[0].text, QStringLiteral("lun."));
    EXPECT_EQ(labels[0].rect, (planning::Rect{0, 0, 100, 200}));
    EXPECT_EQ(labels[7].text, QStringLiteral("10 juil."));
    EXPECT_EQ(labels[7].rect, (planning::Rect{200, 200, 300, 250}));
    EXPECT_EQ(labels[7].colour, planning::dayLabelColour(false, true));  // a day with slots
    EXPECT_TRUE(labels[7].transparent);
    EXPECT_EQ(labels[8].text, QStringLiteral("14:00 Le Grand Saut"));                      // hours without seconds
    EXPECT_EQ(labels[9].rect.top, 251 + planning::RecordingSurface::kRecordedLineHeight);  // the line under it
    EXPECT_EQ(dc.opsOf(DrawOp::Line).size(), 7u);
    EXPECT_EQ(dc.currentPen(), planning::kStockBlackPen);  // the grid pen is put back
}

TEST_F(PlanningDraw, CalendarColumnsRowsAndDayLabelColours) {
    // 7 July 2019 is a Sunday: the last column.
    EXPECT_EQ(planning::calendarFirstColumn(DateTime::fromParts(2019, 7, 7)), 6);
    EXPECT_EQ(planning::calendarFirstColumn(DateTime::fromParts(2019, 7, 8)), 0);
    EXPECT_EQ(planning::calendarFirstColumn(DateTime::invalid()), -3);
    // A range of 0 days still has the header row and one week.
    EXPECT_EQ(planning::calendarRows(DateTime::fromParts(2019, 7, 7), DateTime::fromParts(2019, 7, 7)), 2);
    // Sunday 7 to Monday 8: two weeks.
    EXPECT_EQ(planning::calendarRows(DateTime::fromParts(2019, 7, 7), DateTime::fromParts(2019, 7, 8)), 3);
    EXPECT_EQ(planning::calendarRows(DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 7, 31)), 6);

    RecordingSurface dc;
    planning::HitList hits;
    // Now is later on the first day: that label lights all the same; the next is empty.
    const DateTime sunday = DateTime::fromParts(2019, 7, 7, 12, 0, 0);
    planning::DrawCalendar(dc, {sunday, DateTime::fromParts(2019, 7, 8, 12, 0, 0), {}}, 0, 0, 700, 300,
                           DateTime::fromParts(2019, 7, 7, 12, 0, 7), hits);
    const auto texts = dc.opsOf(DrawOp::DrawText);
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[7].text, QStringLiteral("7 juil."));
    EXPECT_EQ(texts[7].rect.left, 600);
    EXPECT_EQ(texts[7].rect.top, 100);
    EXPECT_EQ(texts[7].colour, planning::dayLabelColour(true, false));
    EXPECT_EQ(texts[8].text, QStringLiteral("8 juil."));
    EXPECT_EQ(texts[8].rect.left, 0);
    EXPECT_EQ(texts[8].rect.top, 200);
    EXPECT_EQ(texts[8].colour, planning::dayLabelColour(false, false));
}

TEST_F(PlanningDraw, RoomFilterMatchesRoomIdsNotPositions) {
    programme::timeslots() = {slot("1", "2019-07-10", "14:00:00", "5", "-1", "10"),
                              slot("2", "2019-07-10", "18:00:00", "5", "-1", "20"),
                              slot("3", "2019-07-10", "21:00:00", "5", "-1", "1"),  // room id 1: no room
                              slot("4", "2019-07-11", "21:00:00", "5", "-1", "30")};
    planning::PlanningView view = july();
    // Room 20 is the second record: a position-based mask would pick the slot of room "1".
    view.rooms.add(20);
    view.rooms.add(30);
    EXPECT_EQ(planning::visibleTimeslots(view), (std::vector<int>{1, 3}));

    RecordingSurface dc;
    planning::HitList hits;
    planning::DrawCalendar(dc, view, 0, 0, 700, 600, now, hits);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].groupId, 2);
    EXPECT_EQ(hits[1].groupId, 4);

    planning::PlanningView all = july();
    EXPECT_EQ(planning::visibleTimeslots(all).size(), 4u);
}

TEST_F(PlanningDraw, HitTestFindsTheGroupHeadAndSkipsGroupsNotLoaded) {
    programme::timeslots() = {slot("1", "2019-07-10", "14:00:00", "5", "-1", "10"),
                              slot("2", "2019-07-11", "14:00:00", "5", "1", "10")};
    const planning::HitList hits{{0, 20, 0, 0, 42}, {10, 30, 0, 0, 1}, {40, 60, 100, 200, 1}};
    EXPECT_EQ(planning::hitTest(hits, 500, 15, false), 0);  // the first entry's group is not loaded
    EXPECT_EQ(planning::hitTest(hits, 500, 5, false), std::nullopt);
    EXPECT_EQ(planning::hitTest(hits, 500, 50, false), 0);  // x ignored in the timeline
    EXPECT_EQ(planning::hitTest(hits, 500, 50, true), std::nullopt);
    EXPECT_EQ(planning::hitTest(hits, 200, 60, true), 0);  // edges included
    EXPECT_EQ(planning::hitTest({}, 0, 0, false), std::nullopt);
}

TEST_F(PlanningDraw, DetailStripDrawsTheHoveredGroupOverTheWholeStrip) {
    programme::timeslots() = {slot("1", "2019-07-10", "14:00:00", "5", "-1", "10")};
    RecordingSurface dc;
    planning::DrawDetailStrip(dc, {0, 0, 500, 50}, 0, now);
    ASSERT_GE(dc.ops.size(), 2u);
    EXPECT_EQ(dc.ops[0].colour, planning::kBlack);
    const auto outline = dc.opsOf(DrawOp::Polyline);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0].points[0], QPoint(0, 0));
    EXPECT_EQ(outline[0].points[6], QPoint(500, 50));
    EXPECT_EQ(outline[0].pen, planning::kStockWhitePen);
}

// What the planning draws of a season's groups says whether a change paints anything new: checked
// against the operations the timeline and the calendar record before and after each change.
TEST_F(PlanningDraw, WhatIsDrawnOfTheGroupsChangesExactlyWhenThePaintDoes) {
    struct Case {
        const char* what;
        bool roomTenOnly;  // the view shows room 10 alone
        std::function<void(std::vector<Timeslot>&)> change;
        bool paints;
    };
    const std::vector<Case> cases{
        {"a follow-up plan gains an item", false, [](auto& t) { t[0].todo = "Fait 1$$$" + t[0].todo; }, false},
        {"the survey written", false, [](auto& t) { t[0].survey = QStringLiteral("Salle pleine"); }, false},
        {"a slot out of the range changes day", false, [](auto& t) { t[3].date = QStringLiteral("2019-08-21"); },
         false},
        {"a hidden room's follow-up started", true, [](auto& t) { t[2].todo = QStringLiteral("A"); }, false},
        {"the contract sent", false,
         [](auto& t) { t[0].done = QString::fromUtf8("Contrat envoyé par KQ=05/07/2019"); }, true},
        {"a follow-up started", false, [](auto& t) { t[2].todo = QStringLiteral("A"); }, true},
        {"a child's start", false, [](auto& t) { t[1].start = QStringLiteral("21:00:00"); }, true},
        {"a slot deleted", false, [](auto& t) { t[2].deleted = QStringLiteral("1"); }, true},
        {"a slot moved into the range", false, [](auto& t) { t[3].date = QStringLiteral("2019-07-16"); }, true},
        {"a child moved to another group", false, [](auto& t) { t[1].childof = QStringLiteral("3"); }, true},
        {"a slot's show", false, [](auto& t) { t[0].showname = QStringLiteral("6"); }, true},
        {"a shown slot to a hidden room", true, [](auto& t) { t[0].room = QStringLiteral("20"); }, true},
    };
    programme::shows().push_back({"6", "L'Autre", "1", "0"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        holdSeason(slot("5", "2019-07-01", "18:00:00", "5", "-1", "10"));
        planning::PlanningView view = july(5, 20);
        if (c.roomTenOnly) view.rooms.add(10);
        const QSet<QString> heads{"1", "3", "4", "5"};
        const auto paint = [&] { return recordedPaint(view); };
        const auto paintedBefore = paint();
        const QStringList drawnBefore = planning::drawnGroups(heads, view, now);
        c.change(programme::timeslots());
        programme::recordsChanged();
        EXPECT_EQ(paint() != paintedBefore, c.paints);
        EXPECT_EQ(planning::drawnGroups(heads, view, now) != drawnBefore, c.paints);
    }
}

TEST_F(PlanningDraw, ANameChangedPaintsAgainOnlyWhenTheRangeShowsIt) {
    programme::companies().push_back({"2", "Cie Lointaine", "", "", "", "0", ""});
    programme::shows().push_back({"6", "Hors Saison", "2", "0"});
    programme::timeslots() = {slot("1", "2019-07-12", "20:00:00", "5", "-1", "10"),
                              slot("2", "2019-09-01", "20:00:00", "6", "-1", "10")};
    const planning::PlanningView view = july(5, 20);
    const auto paint = [&] { return recordedPaint(view); };
    struct Case {
        QString* name;
        QSet<QString> shows, companies;
        bool paints;
    };
    const std::vector<Case> cases{{&programme::companies()[1].nom, {}, {"2"}, false},
                                  {&programme::shows()[1].name, {"6"}, {}, false},
                                  {&programme::companies()[0].nom, {}, {"1"}, true},
                                  {&programme::shows()[0].name, {"5"}, {}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name->toStdString());
        const auto before = paint();
        *c.name += QStringLiteral(" bis");
        EXPECT_EQ(paint() != before, c.paints);
        EXPECT_EQ(planning::recordsShowing(view, c.shows, c.companies),
                  c.paints ? std::vector<int>{0} : std::vector<int>{});
    }
}

// The rows a change paints again, painted alone over the earlier paint, give what a whole paint
// gives: checked in pixels, with the rows the change names and the area's other rows left alone.
TEST_F(PlanningDraw, TheRowsAChangePaintsAgainLeaveTheAreaAsAWholePaint) {
    struct Case {
        const char* what;
        std::function<void()> change;
        programme::ProgrammeTable table;
        QStringList ids;
        bool whole;
    };
    const auto held = [] { return &programme::timeslots(); };
    const std::vector<Case> cases{
        {"the contract sent", [&] { (*held())[0].done = QString::fromUtf8("Contrat envoyé par KQ=05/07/2019"); },
         programme::ProgrammeTable::Timeslots, {"1"}, false},
        {"a child's start", [&] { (*held())[1].start = QStringLiteral("21:00:00"); },
         programme::ProgrammeTable::Timeslots, {"2"}, false},
        {"a company renamed", [] { programme::companies()[1].nom = QStringLiteral("Cie Deux et Trois"); },
         programme::ProgrammeTable::Companies, {"2"}, false},
        {"a slot moved into the range", [&] { (*held())[3].date = QStringLiteral("2019-07-16"); },
         programme::ProgrammeTable::Timeslots, {"4"}, true},
        {"a slot deleted", [&] { (*held())[2].deleted = QStringLiteral("1"); }, programme::ProgrammeTable::Timeslots,
         {"3"}, true},
    };
    const planning::PlanningView view = july(5, 20);
    constexpr int kWidth = 600, kHeight = 400;
    const auto paint = [&](QImage& image, const QRegion& part) {
        QPainter painter(&image);
        if (!part.isEmpty()) painter.setClipRegion(part);
        planning::PainterSurface dc(painter, part);
        planning::HitList hits;
        planning::DrawTimeline(dc, view, 1, kWidth, kHeight, now, hits);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        programme::companies() = {{"1", "Cie du Pont", "", "", "", "0", ""}, {"2", "Cie Deux", "", "", "", "0", ""}};
        programme::shows() = {{"5", "Le Grand Saut", "1", "0"}, {"7", "L'Autre", "2", "0"}};
        holdSeason(slot("6", "2019-07-18", "18:00:00", "7", "-1", "30"));
        QImage kept(kWidth, kHeight, QImage::Format_RGB32);
        paint(kept, {});

        const QSet<QString> heads{c.table == programme::ProgrammeTable::Timeslots ? c.ids[0] : QString()};
        planning::PlanningChange change(view, now);
        change.before(c.table, c.ids, c.table == programme::ProgrammeTable::Timeslots ? heads : QSet<QString>());
        c.change();
        programme::recordsChanged();
        change.after(c.table, c.ids, {true, false, false},
                     c.table == programme::ProgrammeTable::Timeslots ? heads : QSet<QString>());
        EXPECT_EQ(change.whole(), c.whole);
        if (c.whole) continue;

        QRegion part;
        const std::set<int> wanted(change.records().begin(), change.records().end());
        for (const planning::TimelineRow& row : planning::timelineRows(view, 1, kWidth, kHeight)) {
            if (!wanted.count(row.record)) continue;
            const planning::Rect band = planning::paintedBand(row.rect);
            part += QRect(band.left, band.top, band.right - band.left, band.bottom - band.top);
        }
        ASSERT_FALSE(part.isEmpty());
        EXPECT_FALSE(QRegion(0, 0, kWidth, kHeight).subtracted(part).isEmpty());  // some rows left alone
        paint(kept, part);
        QImage whole(kWidth, kHeight, QImage::Format_RGB32);
        paint(whole, {});
        EXPECT_TRUE(kept == whole);
    }
}

TEST(DrawSurface, ColourRefsBecomeQColorsWithRedInTheLowByte) {
    EXPECT_EQ(planning::toQColor(0x0080FF), QColor(255, 128, 0));
    EXPECT_EQ(planning::toQColor(0xFF8000), QColor(0, 128, 255));
    EXPECT_EQ(planning::toQColor(0x202000), QColor(0, 32, 32));
}

}  // namespace
