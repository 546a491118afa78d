#include "followup/followup.h"

#include "platform/ui_services.h"
#include "programme/date_texts.h"

namespace followup {

namespace {

const QString& separator() {
    static const QString text = QString::fromUtf16(kItemSeparator);
    return text;
}

// From start up to the next "$$$", or to the end.
QString upToSeparator(const QString& text, qsizetype start) {
    const qsizetype end = text.indexOf(separator(), start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

QString settodoMessage(int number, const QString& text, const QString& key, const QString& value) {
    return QStringLiteral("Erreur interne #%1 (settodo):").arg(number) + text + u':' + key + u':' + value;
}

}  // namespace

QString NthItem(const QString& text, int n) {
    qsizetype start = 0;
    for (int k = 0; k < n; ++k) {
        const qsizetype found = text.indexOf(separator(), start);
        if (found < 0) return QString();
        start = found + separator().size();
    }
    return upToSeparator(text, start);
}

QString ItemValue(const QString& text, const QString& key) {
    const QString needle = key + u'=';
    const qsizetype found = text.indexOf(needle);
    if (found < 0) return QString();
    return upToSeparator(text, found + needle.size());
}

QString PlanValue(const QString& text, const QString& key) {
    if (key.isEmpty()) return QString();
    // A key is also the start of longer titles ("Règlement 1" in "Règlement 10"): only an
    // occurrence that ends its item counts.
    for (qsizetype from = 0;;) {
        const qsizetype found = text.indexOf(key, from);
        if (found < 0) return QString();
        const qsizetype after = found + key.size();
        const QStringView rest = QStringView(text).mid(after);
        if (rest.isEmpty() || rest.startsWith(u'=') || rest.startsWith(separator())) return upToSeparator(text, after);
        from = found + 1;
    }
}

int ParseDate(const QString& text, unsigned& day, unsigned& month, unsigned& year) {
    return programme::readDayMonthYear(text, &day, &month, &year);
}

FollowUp ParseFollowUp(const QString& todo, const QString& done) {
    FollowUp result;
    for (int n = 0;; ++n) {
        const QString item = NthItem(todo, n);
        if (item.isEmpty()) break;
        FollowUpItem entry;
        const qsizetype colon = item.indexOf(u':');
        const QString beforeGoal = colon < 0 ? item : item.left(colon);
        if (colon >= 0) entry.goal = item.mid(colon + 1);
        // The "=" counts only before the goal: a goal may be free text holding one.
        const qsizetype equals = beforeGoal.indexOf(u'=');
        if (equals < 0) {
            entry.title = beforeGoal;
        } else {
            entry.title = beforeGoal.left(equals);
            entry.deadline = beforeGoal.mid(equals + 1);
        }
        entry.state = ItemValue(done, entry.title);
        result.items.push_back(std::move(entry));
    }
    return result;
}

int settodo(QString& text, const QString& key, const QString& value) {
    const qsizetype found = key.isEmpty() ? -1 : text.indexOf(key);
    if (found < 0) {
        platform::showError(settodoMessage(1, text, key, value));
        return -1;
    }
    const qsizetype after = found + key.size();
    if (after != text.size() && !QStringView(text).mid(after).startsWith(separator())) {
        platform::showError(settodoMessage(2, text, key, value));
        return -1;
    }
    text.insert(after, u'=' + value);
    return 1;
}

bool ClearItemValue(QString& text, const QString& key) {
    const qsizetype begin = text.indexOf(key + u'=');
    if (begin < 0) return false;
    const qsizetype closing = text.indexOf(separator(), begin);
    const QString rest = closing < 0 ? QString() : text.mid(closing + separator().size());
    QString reduced = text.left(begin) + key;
    if (!rest.isEmpty()) reduced += separator() + rest;
    text = reduced;
    return true;
}

int SetItemValue(QString& text, const QString& key, const QString& value) {
    const QString original = text;
    ClearItemValue(text, key);
    const int result = settodo(text, key, value);
    // A refused value must not cost the item its old one: settodo looks for the key's first
    // occurrence, which can be inside another title ("Règlement 1" in "Règlement 10").
    if (result < 0) text = original;
    return result;
}

}  // namespace followup
