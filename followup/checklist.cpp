#include "followup/checklist.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "db/codepage.h"
#include "db/stored_text.h"
#include "platform/text_file.h"
#include "programme/date_texts.h"

namespace followup {

QStringList templateNames(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    if (!dir.exists()) return names;
    QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (QString name : files) {
        if (!name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) continue;
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0 || name.mid(dot).compare(QStringLiteral(".txt"), Qt::CaseInsensitive) != 0)
            name += QStringLiteral(".txt");
        names << name;
    }
    return names;
}

QString readTemplate(const QString& path, bool* opened, QString* problem) {
    QString todo;
    if (problem) problem->clear();
    const QFileInfo file(path);
    const platform::TextLines text = platform::readTextLines(path);
    if (opened) *opened = text.opened;
    if (!text.opened) {
        if (problem)
            *problem = QString::fromUtf8(kTemplateUnreadable)
                           .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
        return todo;
    }
    for (const platform::TextLine& line : text.lines) {
        if (!todo.isEmpty()) todo += QString::fromUtf16(kItemSeparator);
        const QString item =
            text.encoding == platform::TextEncoding::Utf8
                ? QString::fromUtf8(line.bytes)
                : db::fromAnsi(std::string_view(line.bytes.constData(), static_cast<std::size_t>(line.bytes.size())));
        if (problem && problem->isEmpty()) {
            const QString where = QString::fromUtf8(kTemplateLine).arg(line.number).arg(file.fileName());
            *problem = db::storedTextProblem(where, item, db::kTextColumnBytes);
            if (problem->isEmpty()) *problem = db::separatorProblem(where, item, {"$$$"}, u'$');
        }
        todo += item;
    }
    return todo;
}

std::vector<ChecklistRow> checklistRows(const QString& todo, const QString& done) {
    return ParseFollowUp(todo, done).items;
}

void rebuildFollowUp(const std::vector<ChecklistRow>& rows, QString& todo, QString& done) {
    const QString separator = QString::fromUtf16(kItemSeparator);
    todo.clear();
    done.clear();
    for (const ChecklistRow& row : rows) {
        if (!todo.isEmpty()) todo += separator;
        todo += row.title;
        if (!row.deadline.isEmpty()) todo += u'=' + row.deadline;
        if (!row.goal.isEmpty()) todo += u':' + row.goal;
        if (row.state.isEmpty()) continue;
        if (!done.isEmpty()) done += separator;
        const qsizetype equals = row.title.indexOf(u'=');
        done += (equals < 0 ? row.title : row.title.left(equals)) + u'=' + row.state;
    }
}

platform::DateTime dateOfDayMonthYear(const QString& text, const platform::DateTime& otherwise) {
    unsigned day = 0, month = 0, year = 0;
    programme::readDayMonthYear(text, &day, &month, &year);
    const auto date =
        platform::DateTime::fromParts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    return date.isValid() ? date : otherwise;
}

platform::DateTime completionDateOf(const QString& state, const platform::DateTime& otherwise) {
    static const QString kDone = QStringLiteral("Fait le ");
    if (!state.startsWith(kDone)) return otherwise;
    return dateOfDayMonthYear(state.mid(kDone.size()), otherwise);
}

QString achievedGoalOf(const QString& state) {
    const qsizetype open = state.indexOf(u'(');
    if (open < 0) return QString();
    const qsizetype close = state.indexOf(u')', open + 1);
    if (close < 0) return QString();
    return state.mid(open + 1, close - open - 1);
}

namespace {
QString dayMonthYear(const platform::DateTime& d) {
    return QStringLiteral("%1/%2/%3").arg(d.day()).arg(d.month()).arg(d.year());
}
}  // namespace

QString deadlineText(bool kept, const platform::DateTime& deadline) {
    return kept ? dayMonthYear(deadline) : QString();
}

QString stateText(bool done, const platform::DateTime& completion, const QString& achieved) {
    QString state = done ? QStringLiteral("Fait le ") + dayMonthYear(completion) : QString();
    if (!achieved.isEmpty()) state += QStringLiteral(" (") + achieved + u')';
    return state;
}

QString goalProblem(const QString& goal) {
    const QString field = QStringLiteral("Goal");
    if (QString problem = db::storedTextProblem(field, goal, db::kTextColumnBytes); !problem.isEmpty()) return problem;
    return db::separatorProblem(field, goal, {"$$$"}, u'$');
}

QString achievedGoalProblem(const QString& achieved) {
    const QString field = QStringLiteral("Goal réalisé");
    if (QString problem = db::storedTextProblem(field, achieved, db::kTextColumnBytes); !problem.isEmpty())
        return problem;
    return db::separatorProblem(field, achieved, {"$$$", ")"});
}

}  // namespace followup
