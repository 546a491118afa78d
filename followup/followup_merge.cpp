#include "followup/followup_merge.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

#include "followup/followup.h"

namespace followup {

namespace {

struct Item {
    QString key;  // title, and "#n" for its n-th repeat
    QString title;
    QString text;
};

QString titleOf(FollowUpText kind, const QString& item) {
    qsizetype end = item.indexOf(u'=');
    if (kind == FollowUpText::Plan) {
        const qsizetype colon = item.indexOf(u':');
        if (colon >= 0 && (end < 0 || colon < end)) end = colon;
    }
    return end < 0 ? item : item.left(end);
}

std::vector<Item> itemsOf(FollowUpText kind, const QString& text) {
    std::vector<Item> items;
    if (text.isEmpty()) return items;
    QHash<QString, int> seen;
    for (const QString& piece : text.split(QString::fromUtf16(kItemSeparator))) {
        const QString title = titleOf(kind, piece);
        const int rank = seen[title]++;
        items.push_back({rank == 0 ? title : title + u'#' + QString::number(rank), title, piece});
    }
    return items;
}

std::optional<QString> textOf(const std::vector<Item>& items, const QString& key) {
    for (const Item& item : items)
        if (item.key == key) return item.text;
    return std::nullopt;
}

}  // namespace

FollowUpMerge MergeFollowUp(FollowUpText kind, const QString& base, const QString& theirs, const QString& mine) {
    FollowUpMerge result;
    if (theirs == mine || theirs == base) {
        result.merged = mine;
        return result;
    }
    if (mine == base) {
        result.merged = theirs;
        for (const Item& item : itemsOf(kind, theirs))
            if (textOf(itemsOf(kind, base), item.key) != item.text) result.fromTheirs << item.title;
        return result;
    }
    const std::vector<Item> b = itemsOf(kind, base), t = itemsOf(kind, theirs), m = itemsOf(kind, mine);
    // Decides one item: its text in the merge, or none when it goes.
    const auto decide = [&](const QString& key, const QString& title) -> std::optional<QString> {
        const auto inBase = textOf(b, key), inTheirs = textOf(t, key), inMine = textOf(m, key);
        if (inTheirs == inMine || inTheirs == inBase) return inMine;
        if (inMine == inBase) {
            result.fromTheirs << title;
            return inTheirs;
        }
        result.clashes << title;
        return inMine;
    };
    // Mine's order, with the items only theirs added placed after the item they follow there.
    std::vector<Item> merged;
    for (const Item& item : m)
        if (const auto text = decide(item.key, item.title)) merged.push_back({item.key, item.title, *text});
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (textOf(m, t[i].key)) continue;
        const auto text = decide(t[i].key, t[i].title);
        if (!text) continue;
        auto at = merged.begin();
        for (std::size_t j = i; j-- > 0;) {
            const auto found =
                std::find_if(merged.begin(), merged.end(), [&](const Item& x) { return x.key == t[j].key; });
            if (found != merged.end()) {
                at = found + 1;
                break;
            }
        }
        merged.insert(at, {t[i].key, t[i].title, *text});
    }
    result.clean = result.clashes.isEmpty();
    QStringList texts;
    for (const Item& item : merged) texts << item.text;
    result.merged = texts.join(QString::fromUtf16(kItemSeparator));
    return result;
}

}  // namespace followup
