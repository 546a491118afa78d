// Text on the planning's colours reads at a contrast of 4.5 or more, whatever the colour.
#include <gtest/gtest.h>

#include <algorithm>

#include "followup/followup_status.h"
#include "planning/contrast.h"
#include "planning/draw_surface.h"
#include "planning/planning_draw.h"
#include "programme/programme_data.h"
#include "tests/support/recording_surface.h"

namespace {

using followup::COLORREF;

TEST(Contrast, RatiosFollowTheRelativeLuminanceOfSrgb) {
    struct Case {
        COLORREF a, b;
        double ratio;
    };
    const Case cases[] = {
        {0x000000, 0xFFFFFF, 21.0},         {0xFFFFFF, 0x000000, 21.0},         // the order does not matter
        {0x808080, 0x808080, 1.0},          {followup::kRed, 0xFFFFFF, 3.998},  // pure red on white
        {followup::kBlue, 0x000000, 2.444},                                     // pure blue on black
        {followup::kGreen, 0x000000, 15.3}, {0x767676, 0xFFFFFF, 4.54},         // the lightest grey that reads on white
    };
    for (const Case& c : cases) EXPECT_NEAR(planning::contrastRatio(c.a, c.b), c.ratio, 0.01) << std::hex << c.a;
    EXPECT_DOUBLE_EQ(planning::relativeLuminance(0x000000), 0.0);
    EXPECT_DOUBLE_EQ(planning::relativeLuminance(0xFFFFFF), 1.0);
}

TEST(Contrast, EveryFollowUpColourGetsAReadableTextColour) {
    struct Case {
        const char* name;
        COLORREF background;
        COLORREF text;
    };
    const Case cases[] = {
        {"grey", followup::kGrey, 0x000000},
        {"orange", followup::kOrange, 0x000000},
        {"blue", followup::kBlue, 0xFFFFFF},
        {"green", followup::kGreen, 0x000000},
        {"red", followup::kRed, 0x000000},
        {"dark red", followup::kDarkRed, 0xFFFFFF},
        {"purple", followup::gradient(0.5), 0xFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(planning::textColourOn(c.background), c.text) << c.name;
        EXPECT_GE(planning::contrastRatio(planning::textColourOn(c.background), c.background),
                  planning::kReadableContrast)
            << c.name;
    }
    // Every step of the deadline gradient, from red to blue.
    for (int step = 0; step <= 100; ++step) {
        const COLORREF background = followup::gradient(step / 100.0);
        EXPECT_GE(planning::contrastRatio(planning::textColourOn(background), background), planning::kReadableContrast)
            << step;
    }
}

TEST(Contrast, DayLabelsKeepTheirHueAndReadOnTheCalendarsWhite) {
    struct Case {
        bool today, busy;
        COLORREF hue;  // the colour the label had, too light on white
    };
    const Case cases[] = {{true, false, planning::kTodayLabelColour},
                          {false, true, planning::kBusyDayLabelColour},
                          {false, false, planning::kEmptyDayLabelColour}};
    for (const Case& c : cases) {
        const COLORREF label = planning::dayLabelColour(c.today, c.busy);
        EXPECT_LT(planning::contrastRatio(c.hue, planning::kWhite), planning::kReadableContrast);
        EXPECT_GE(planning::contrastRatio(label, planning::kWhite), planning::kReadableContrast) << std::hex << c.hue;
        // Darkened, not turned into another colour: each channel scaled by the same factor.
        const double factor =
            double(std::max({followup::redOf(label), followup::greenOf(label), followup::blueOf(label)})) /
            std::max({followup::redOf(c.hue), followup::greenOf(c.hue), followup::blueOf(c.hue)});
        EXPECT_NEAR(followup::redOf(label), followup::redOf(c.hue) * factor, 1.0);
        EXPECT_NEAR(followup::greenOf(label), followup::greenOf(c.hue) * factor, 1.0);
        EXPECT_NEAR(followup::blueOf(label), followup::blueOf(c.hue) * factor, 1.0);
        EXPECT_LE(followup::redOf(label), followup::redOf(c.hue));
        EXPECT_LE(followup::greenOf(label), followup::greenOf(c.hue));
        EXPECT_LE(followup::blueOf(label), followup::blueOf(c.hue));
    }
    // A colour that already reads stays as it is.
    EXPECT_EQ(planning::readableOn(planning::kBlack, planning::kWhite), planning::kBlack);
}

TEST(Contrast, CalendarEntriesWriteInTheColourThatReadsOnTheirStatus) {
    programme::clearAll();
    programme::rooms() = {{"10", "Rouge", "", ""}};
    programme::shows() = {{"5", "Le Grand Saut", "1", "0"}};
    programme::timeslots().resize(2);
    for (int i = 0; i < 2; ++i) {
        programme::Timeslot& t = programme::timeslots()[i];
        t.id = QString::number(i);
        t.date = QStringLiteral("2019-07-10");
        t.start = QStringLiteral("20:00:00");
        t.deleted = QStringLiteral("0");
        t.showname = QStringLiteral("5");
        t.childof = QStringLiteral("-1");
        t.room = QStringLiteral("10");
    }
    // No follow-up: grey, black text. A payment due and not made: dark red, white text.
    programme::timeslots()[1].todo = QString::fromUtf8(
        "Règlement 1=1/6/2019:100$$$Règlement 2=1/6/2019:1$$$Règlement 3=1/6/2019:1$$$Règlement "
        "4=1/6/2019:1$$$Règlement 5=1/6/2019:1");
    const platform::DateTime now = platform::DateTime::fromParts(2019, 7, 1, 12, 0, 0);
    for (int i = 0; i < 2; ++i) {
        planning::RecordingSurface dc;
        planning::DrawCalendarEntry(dc, i, now, platform::DateTime::fromParts(2019, 7, 10), {0, 0, 100, 30});
        const auto fills = dc.opsOf(planning::DrawOp::Fill);
        ASSERT_EQ(fills.size(), 1u);
        for (const auto& text : dc.opsOf(planning::DrawOp::DrawText)) {
            EXPECT_GE(planning::contrastRatio(text.colour, fills[0].colour), planning::kReadableContrast)
                << text.text.toStdString();
        }
    }
    programme::clearAll();
}

// The colour under a text: white behind an opaque one, else the last fill that holds its corner.
COLORREF backgroundOf(const planning::RecordingSurface& dc, const planning::DrawOp& text) {
    if (!text.transparent) return planning::kWhite;
    const QPoint at = text.kind == planning::DrawOp::TextOut ? text.points[0] : QPoint(text.rect.left, text.rect.top);
    COLORREF under = planning::kWhite;
    for (const planning::DrawOp& op : dc.ops) {
        if (&op == &text) break;
        if (op.kind == planning::DrawOp::Fill && at.x() >= op.rect.left && at.x() < op.rect.right &&
            at.y() >= op.rect.top && at.y() < op.rect.bottom)
            under = op.colour;
    }
    return under;
}

TEST(Contrast, PaperTakesLightFillsUnderTextsThatRead) {
    const COLORREF statuses[] = {followup::kGrey, followup::kOrange,  followup::kBlue,         followup::kGreen,
                                 followup::kRed,  followup::kDarkRed, followup::gradient(0.5), 0x000000};
    std::vector<COLORREF> tints;
    for (COLORREF status : statuses) {
        const COLORREF tint = planning::paperTint(status);
        EXPECT_GE(planning::relativeLuminance(tint), 0.4) << std::hex << status << ": a light fill";
        EXPECT_GE(planning::contrastRatio(planning::kBlack, tint), planning::kReadableContrast) << std::hex << status;
        EXPECT_GE(planning::contrastRatio(planning::kSecondLineColour, tint), planning::kReadableContrast)
            << std::hex << status;
        EXPECT_EQ(std::count(tints.begin(), tints.end(), tint), 0)
            << std::hex << status << ": told apart from the others";
        tints.push_back(tint);
    }

    // Rows and calendar entries drawn for paper, on each follow-up colour: every text reads on
    // what is under it, and no fill is dark.
    programme::clearAll();
    programme::rooms() = {{"10", "Rouge", "", ""}};
    programme::shows() = {{"5", "Le Grand Saut", "1", "0"}};
    const char* const todos[] = {
        "",                                                      // grey
        "Contrat envoyé par KQ",                                 // orange
        "Contrat envoyé par KQ$$$Contrat reçu par KQ=1/6/2019",  // red, with what was sent
        "Règlement 1=1/6/2019:100$$$Règlement 2=1/6/2019:1$$$Règlement 3=1/6/2019:1$$$Règlement "
        "4=1/6/2019:1$$$Règlement 5=1/6/2019:1",
    };
    const char* const dones[] = {"", "", "Contrat envoyé par KQ=Fait le 20/5/2019",
                                 "Contrat envoyé par KQ=Fait le 20/5/2019$$$Contrat reçu par KQ=Fait le 21/5/2019"};
    const platform::DateTime now = platform::DateTime::fromParts(2019, 7, 1, 12, 0, 0);
    for (std::size_t i = 0; i < std::size(todos); ++i) {
        programme::Timeslot t;
        t.id = QStringLiteral("0");
        t.date = QStringLiteral("2019-07-10");
        t.start = QStringLiteral("20:00:00");
        t.deleted = QStringLiteral("0");
        t.showname = QStringLiteral("5");
        t.childof = QStringLiteral("-1");
        t.room = QStringLiteral("10");
        t.todo = QString::fromUtf8(todos[i]);
        t.done = QString::fromUtf8(dones[i]);
        programme::timeslots() = {t};
        planning::RecordingSurface dc;
        dc.setPaper(true);
        planning::DrawTimeslotRow(dc, 0, now, platform::DateTime::fromParts(2019, 7, 10), false, 0, 0, 600, 41);
        planning::DrawCalendarEntry(dc, 0, now, platform::DateTime::fromParts(2019, 7, 10), {0, 50, 200, 80});
        for (const planning::DrawOp& op : dc.ops) {
            if (op.kind == planning::DrawOp::Fill) {
                EXPECT_GE(planning::relativeLuminance(op.colour), 0.4) << i << std::hex << " " << op.colour;
            }
            if (op.kind != planning::DrawOp::TextOut && op.kind != planning::DrawOp::DrawText) continue;
            EXPECT_GE(planning::contrastRatio(op.colour, backgroundOf(dc, op)), planning::kReadableContrast)
                << i << ": " << op.text.toStdString();
        }
        EXPECT_EQ(dc.opsOf(planning::DrawOp::DrawText).size(), 2u) << "the entry's two lines, in a box that holds them";
    }
    programme::clearAll();
}

}  // namespace
