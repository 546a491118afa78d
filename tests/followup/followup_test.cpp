#include <gtest/gtest.h>

#include "followup/followup.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

namespace {

using namespace followup;

TEST(FollowUpTexts, NthItemAndTheStrictLookup) {
    const QString text = q("A=1$$$B$$$C=Fait le 2/3/2019 (5)");
    EXPECT_EQ(NthItem(text, 0), q("A=1"));
    EXPECT_EQ(NthItem(text, 1), q("B"));
    EXPECT_EQ(NthItem(text, 2), q("C=Fait le 2/3/2019 (5)"));
    EXPECT_EQ(NthItem(text, 3), QString());
    EXPECT_EQ(NthItem(QString(), 0), QString());

    EXPECT_EQ(ItemValue(text, q("C")), q("Fait le 2/3/2019 (5)"));
    EXPECT_EQ(ItemValue(text, q("A")), q("1"));
    EXPECT_EQ(ItemValue(text, q("B")), QString());  // a bare item has no value
    EXPECT_EQ(ItemValue(text, q("D")), QString());
    EXPECT_EQ(ItemValue(q("X=$$$Y=2"), q("X")), QString());
}

TEST(FollowUpTexts, PlanValueSkipsLongerTitlesStartingWithTheKey) {
    const QString plan = q("Règlement 10=1/1/2020$$$Règlement 1=2/1/2020:5$$$Visuel");
    EXPECT_EQ(PlanValue(plan, q("Règlement 1")), q("=2/1/2020:5"));
    EXPECT_EQ(PlanValue(plan, q("Règlement 10")), q("=1/1/2020"));
    EXPECT_EQ(PlanValue(plan, q("Visuel")), QString());  // bare, at the end
    EXPECT_EQ(PlanValue(q("Règlement 10=1/1/2020$$$Règlement 12"), q("Règlement 1")), QString());
    EXPECT_EQ(PlanValue(q("T:40$$$U"), q("T")), QString());  // a goal alone is not matched
    EXPECT_EQ(PlanValue(q("A$$$B=3/4/2019"), q("A")), QString());
    EXPECT_EQ(PlanValue(plan, QString()), QString());
}

TEST(FollowUpTexts, ParseDateReadsDayMonthAndAFourCharacterYear) {
    unsigned d = 0, m = 0, y = 0;
    EXPECT_EQ(ParseDate(q("7/6/2019:350.50"), d, m, y), 0);
    EXPECT_EQ(d, 7u);
    EXPECT_EQ(m, 6u);
    EXPECT_EQ(y, 2019u);
    d = m = y = 9;
    EXPECT_EQ(ParseDate(q("3/4"), d, m, y), -1);
    EXPECT_EQ(d, 3u);
    EXPECT_EQ(m, 4u);
    EXPECT_EQ(y, 9u);
    EXPECT_EQ(ParseDate(QString(), d, m, y), -1);
    EXPECT_EQ(ParseDate(q("Fait le 1/6/2019"), d, m, y), 0);
    EXPECT_EQ(d, 0u);  // the number must start the text
}

TEST(FollowUpTexts, ParseFollowUpSplitsTheFourItemForms) {
    const FollowUp f = ParseFollowUp(q("Bare$$$D=7/6/2019$$$T:40$$$R=1/7/2019:350$$$$$$After"),
                                     q("T=Fait le 1/6/2019 (40)$$$R=Fait le 2/7/2019"));
    ASSERT_EQ(f.items.size(), 4u);  // stops at the empty item
    EXPECT_EQ(f.items[0].title, q("Bare"));
    EXPECT_TRUE(f.items[0].deadline.isEmpty() && f.items[0].goal.isEmpty() && f.items[0].state.isEmpty());
    EXPECT_EQ(f.items[1].title, q("D"));
    EXPECT_EQ(f.items[1].deadline, q("7/6/2019"));
    EXPECT_EQ(f.items[2].title, q("T"));
    EXPECT_EQ(f.items[2].goal, q("40"));
    EXPECT_EQ(f.items[2].deadline, QString());
    EXPECT_EQ(f.items[2].state, q("Fait le 1/6/2019 (40)"));
    EXPECT_EQ(f.items[3].title, q("R"));
    EXPECT_EQ(f.items[3].deadline, q("1/7/2019"));
    EXPECT_EQ(f.items[3].goal, q("350"));
    EXPECT_EQ(f.items[3].state, q("Fait le 2/7/2019"));
    EXPECT_TRUE(ParseFollowUp(QString(), q("A=1")).items.empty());
}

TEST(FollowUpTexts, SettodoFillsOnlyBareItems) {
    auto& ui = testing_support::ui();
    ui.clear();
    QString text = q("A$$$B");
    EXPECT_EQ(settodo(text, q("B"), q("x")), 1);
    EXPECT_EQ(text, q("A$$$B=x"));
    text = q("A$$$B");
    EXPECT_EQ(settodo(text, q("A"), q("x")), 1);
    EXPECT_EQ(text, q("A=x$$$B"));
    EXPECT_TRUE(ui.messages.empty());

    text = q("A=1$$$B");
    EXPECT_EQ(settodo(text, q("A"), q("x")), -1);
    EXPECT_EQ(text, q("A=1$$$B"));
    EXPECT_EQ(settodo(text, q("C"), q("x")), -1);
    EXPECT_EQ(text, q("A=1$$$B"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, q("Erreur interne #2 (settodo):A=1$$$B:A:x"));
    EXPECT_EQ(ui.messages[1].text, q("Erreur interne #1 (settodo):A=1$$$B:C:x"));
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(ui.messages[1].icon, platform::MessageIcon::Error);
}

TEST(FollowUpTexts, SetItemValueReplacesAnOldValueAndDropsItsGoal) {
    auto& ui = testing_support::ui();
    ui.clear();
    QString text = q("A=1:5$$$B");
    EXPECT_EQ(SetItemValue(text, q("A"), q("2")), 1);
    EXPECT_EQ(text, q("A=2$$$B"));
    text = q("X$$$Règlement 2=1/6/2019:300");
    EXPECT_EQ(SetItemValue(text, q("Règlement 2"), q("3/7/2019:350")), 1);
    EXPECT_EQ(text, q("X$$$Règlement 2=3/7/2019:350"));
    text = q("Contrat reçu par KQ$$$Z");
    EXPECT_EQ(SetItemValue(text, q("Contrat reçu par KQ"), q("11/6/2019")), 1);
    EXPECT_EQ(text, q("Contrat reçu par KQ=11/6/2019$$$Z"));
    EXPECT_TRUE(ui.messages.empty());

    text = q("Y");
    EXPECT_EQ(SetItemValue(text, q("Règlement 1"), q("1/1/2020:5")), -1);
    EXPECT_EQ(text, q("Y"));
    EXPECT_EQ(ui.messages.size(), 1u);

    // The key first found inside another title: refused, and the old value is kept.
    text = q("Règlement 10$$$Règlement 1=1/7/2020:350");
    EXPECT_EQ(SetItemValue(text, q("Règlement 1"), q("2/7/2020:400")), -1);
    EXPECT_EQ(text, q("Règlement 10$$$Règlement 1=1/7/2020:350"));
    EXPECT_EQ(ui.messages.size(), 2u);
}

}  // namespace
