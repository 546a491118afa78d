// The follow-up texts of a timeslot group head: the plan (`todo`) and the record (`done`),
// items joined by "$$$". Plan items are title, title=deadline, title:goal or
// title=deadline:goal; record items are title=state ("Fait le d/m/yyyy", optionally " (goal)").
// The separators are literal and never escaped: stored plans rely on exactly this layout.
#pragma once

#include <QString>
#include <vector>

namespace followup {

inline constexpr const char16_t* kItemSeparator = u"$$$";

// The n-th item (from 0); empty when there are fewer than n + 1 items.
QString NthItem(const QString& text, int n);
// Strict lookup (record): what follows the first key + "=" up to the next "$$$"; empty if none.
QString ItemValue(const QString& text, const QString& key);
// Plan lookup: the text after the first occurrence of key that is followed by "=", "$$$" or
// the end, up to the next "$$$": "" for a bare item, "=7/6/2019:350" for a full one.
QString PlanValue(const QString& text, const QString& key);
// day/month/year (trailing text after a four-character year ignored): 0 when both "/" were
// found, -1 otherwise, the outputs read so far staying set.
int ParseDate(const QString& text, unsigned& day, unsigned& month, unsigned& year);

struct FollowUpItem {
    QString title;
    QString deadline;
    QString goal;
    QString state;
};

// The plan's items in plan order, each with its state from the record.
struct FollowUp {
    std::vector<FollowUpItem> items;
};

FollowUp ParseFollowUp(const QString& todo, const QString& done);

// Gives a value to a bare plan item: 1 on success; -1 after the message "Erreur interne #1
// (settodo):..." (key not found) or "#2" (the item already has a value), text unchanged.
int settodo(QString& text, const QString& key, const QString& value);
// Reduces the first item holding key + "=" to its bare title (its deadline and goal dropped,
// the items after it kept); false when the plan has no such item.
bool ClearItemValue(QString& text, const QString& key);
// Sets or replaces a plan item's value (an old value and goal are dropped), then settodo;
// when settodo refuses, the text is left as it was.
int SetItemValue(QString& text, const QString& key, const QString& value);

}  // namespace followup
