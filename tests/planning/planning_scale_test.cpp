// The planning and the lookups with a festival's worth of slots: rows that keep their height
// and scroll, hits in scrolled coordinates, calendar days that show "+N", and indexed lookups
// that agree with the plain scans.
#include <gtest/gtest.h>

#include <random>

#include "planning/draw_surface.h"
#include "planning/planning_draw.h"
#include "programme/programme_data.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_surface.h"
#include "tests/support/text.h"

namespace {

using planning::RecordingSurface;
using platform::DateTime;
using programme::Timeslot;

// n groups of `size` slots from 1 July 2019, one group a day, in record order by date.
void generate(int groups, int size) {
    programme::clearAll();
    programme::rooms() = {{q("0"), q("Grande"), {}, {}}};
    programme::companies() = {{q("0"), q("Cie"), {}, {}, {}, q("0"), {}}};
    programme::shows() = {{q("0"), q("Saut"), q("0"), q("0")}};
    int id = 0;
    for (int g = 0; g < groups; ++g) {
        const int head = id;
        for (int k = 0; k < size; ++k, ++id) {
            const DateTime day = DateTime::fromParts(2019, 7, 1).addDays(g);
            programme::timeslots().push_back({QString::number(id),
                                              day.format(q("%Y-%m-%d")),
                                              q("20:30:00"),
                                              q("22:00:00"),
                                              q("0"),
                                              q("0"),
                                              k ? QString::number(head) : q("-1"),
                                              q("0"),
                                              {},
                                              {},
                                              {}});
        }
    }
}

class PlanningScale : public ::testing::Test {
protected:
    void TearDown() override { programme::clearAll(); }
    const planning::PlanningView view{DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 12, 31), {}};
};

TEST_F(PlanningScale, RowsThatDoNotFitKeepTheirHeightAndScroll) {
    generate(60, 3);  // 180 rows, far more than 400 px hold
    int content = 0;
    const auto top = planning::timelineRows(view, -1, 500, 400, 0, &content);
    EXPECT_EQ(content, 180 * planning::kMinRowHeight);
    ASSERT_EQ(top.size(), 10u);  // 400 / 41 rows, the last one cut
    for (const auto& row : top) EXPECT_EQ(row.hit.bottom - row.hit.top, planning::kMinRowHeight - 4);
    EXPECT_EQ(top[0].hit.top, 2);

    // Scrolled 1000 px: row 24 is cut at the top, rows from there on are listed at their
    // place in the control.
    const auto scrolled = planning::timelineRows(view, -1, 500, 400, 1000, &content);
    EXPECT_EQ(scrolled.front().record, 24);
    EXPECT_EQ(scrolled.front().hit.top, 24 * planning::kMinRowHeight - 1000 + 2);
    planning::HitList hits;
    for (const auto& row : scrolled) hits.push_back(row.hit);
    // The point at y = 200 is row (1000 + 200) / 41 = 29 of the stack: group 9, head record 27.
    EXPECT_EQ(planning::hitTest(hits, 10, 200, false), std::optional<int>(27));

    // Scrolling past the end stops at the last row; the selected group's row is found.
    const auto bottom = planning::timelineRows(view, -1, 500, 400, 1 << 20, &content);
    EXPECT_EQ(bottom.back().record, 179);
    EXPECT_EQ(planning::timelineRowOfGroup(view, 30, 400), std::make_optional(std::make_pair(30 * 41, 31 * 41)));

    // Drawing lists only the rows in view.
    RecordingSurface dc;
    planning::DrawTimeline(dc, view, -1, 500, 400, DateTime::fromParts(2019, 1, 1), hits, 1000, &content);
    EXPECT_EQ(hits.size(), scrolled.size());
}

TEST_F(PlanningScale, ADayThatCannotShowEveryEntryShowsPlusN) {
    generate(1, 30);
    for (auto& slot : programme::timeslots()) slot.date = q("2019-07-03");  // 30 slots on a Wednesday
    RecordingSurface dc;
    planning::HitList hits;
    planning::MoreList more;
    // One week: header and one row of 7 columns, each 100 px high and 100 px wide.
    const planning::PlanningView week{DateTime::fromParts(2019, 7, 1), DateTime::fromParts(2019, 7, 7), {}};
    planning::DrawCalendar(dc, week, 0, 0, 700, 200, DateTime::fromParts(2019, 7, 1), hits, &more);
    const int bands = 100 / RecordingSurface::kRecordedLineHeight;  // the label's ("+N" beside it), then entries
    ASSERT_EQ(more.size(), 1u);
    EXPECT_EQ(static_cast<int>(hits.size()), bands - 1);
    EXPECT_EQ(more[0].count, 30 - (bands - 1));
    EXPECT_EQ(more[0].day, DateTime::fromParts(2019, 7, 3));
    EXPECT_TRUE(dc.texts().contains(QStringLiteral("+%1").arg(more[0].count)));
    for (const auto& hit : hits) EXPECT_GE(hit.bottom - hit.top, RecordingSurface::kRecordedLineHeight - 1);
    const planning::MoreEntry* at = planning::moreAt(more, 290, 105);  // right of Wednesday's label
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at->count, more[0].count);
    EXPECT_EQ(planning::moreAt(more, 250, 105), nullptr);  // the label itself
    EXPECT_EQ(planning::moreAt(more, 290, 195), nullptr);  // an entry

    // Three entries fit: no "+N", as before.
    programme::timeslots().resize(3);
    programme::recordsChanged();
    planning::DrawCalendar(dc, week, 0, 0, 700, 200, DateTime::fromParts(2019, 7, 1), hits, &more);
    EXPECT_TRUE(more.empty());
}

TEST_F(PlanningScale, IndexedLookupsAgreeWithTheScans) {
    std::mt19937 random(7);
    generate(400, 5);
    // Orphans, repeated ids, unknown shows and companies written the program's way.
    for (int i = 0; i < 200; ++i) {
        auto& slot = programme::timeslots()[random() % programme::timeslots().size()];
        slot.childof = QString::number(static_cast<int>(random() % 3000) - 1);
        slot.showname = QString::number(random() % 3);
    }
    programme::timeslots()[5].id = q("3");
    programme::shows().push_back({q("1"), q("Nuit"), q("9"), q("0")});
    programme::companies().push_back({q("0"), q("Cie bis"), {}, {}, {}, q("0"), {}});
    programme::recordsChanged();
    for (const Timeslot& slot : programme::timeslots()) {
        EXPECT_EQ(programme::countChildren(slot.id), programme::scan::countChildren(slot.id));
        EXPECT_EQ(programme::timeslotIndexById(slot.childof), programme::scan::timeslotIndexById(slot.childof));
        QString indexed, scanned;
        EXPECT_EQ(programme::showLookup(slot.showname, &indexed), programme::scan::showLookup(slot.showname, &scanned));
        EXPECT_EQ(indexed, scanned);
    }
    // A record changed in place after a lookup is still found under its new id.
    EXPECT_EQ(programme::timeslotIndexById(q("7")), 7);
    programme::timeslots()[7].id = q("x7");
    EXPECT_EQ(programme::timeslotIndexById(q("x7")), 7);
    EXPECT_EQ(programme::timeslotIndexById(q("7")), -1);
}

}  // namespace
