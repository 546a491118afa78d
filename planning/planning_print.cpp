#include "planning/planning_print.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <map>
#include <optional>

#include "followup/followup_report.h"
#include "planning/contrast.h"
#include "programme/programme_data.h"

namespace planning {

using platform::DateTime;

namespace {

constexpr int kPageDpi = 96;
constexpr int kTitleHeight = 44;    // the title line and the line under it
constexpr int kFooterHeight = 22;   // the page number
constexpr int kSectionHeight = 26;  // a week's or a month's title
constexpr int kBandHeaderHeight = 20;
constexpr int kNothingHeight = 22;
constexpr int kRowGap = 4;
constexpr int kReportRowHeight = 34;
constexpr int kLegendHeight = 40;
constexpr int kSwatchWidth = 14;
constexpr double kLastSecond = 1.0 - 1.0 / 86400.0;
constexpr const char* kFontFamily = "MS Shell Dlg";
constexpr int kTextPixels = 11;
constexpr int kTitlePixels = 16;
constexpr int kSectionPixels = 13;
constexpr const char* kNoSlot = "Aucun créneau sur cette période.";
constexpr const char* kNoGroup = "Aucun groupe de créneaux sur cette période.";
constexpr const char* kContinued = " (suite)";
constexpr const char* kPrintedOn = "Imprimé le ";
constexpr const char* kPageNumber = "Page %1 / %2";

QString longDay(const DateTime& d) {
    return d.format(QStringLiteral("%A %e %B %Y"), DateTime::Names::French).simplified();
}

QString rangeText(const DateTime& from, const DateTime& to) {
    return QStringLiteral("du ") + longDay(from) + QStringLiteral(" au ") + longDay(to);
}

DateTime endOfDay(const DateTime& day) { return day.dateOnly().addDays(kLastSecond); }

QFont pageFont(int pixels, bool bold = false) {
    QFont font(QString::fromUtf8(kFontFamily));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The pages being drawn: the painter in 96-dpi units, the page's size in them, and on every
// page the document's title with its range, the day it was printed and the page's number.
class PageWriter {
public:
    PageWriter(QPagedPaintDevice& device, QPainter& painter, QString title, const DateTime& now)
        : device_(device), painter_(painter), title_(std::move(title)), now_(now) {
        const QRect paint = device.pageLayout().paintRectPixels(kPageDpi);
        width_ = paint.width();
        height_ = paint.height();
        painter_.scale(static_cast<double>(device.logicalDpiX()) / kPageDpi,
                       static_cast<double>(device.logicalDpiY()) / kPageDpi);
    }
    int width() const { return width_; }
    // Where the room for the page's content ends, above the page number.
    int bottom() const { return height_ - kFooterHeight; }
    // The room under the title, the height the content has on each page.
    int contentHeight() const { return bottom() - kTitleHeight; }
    int pages() const { return pages_; }
    const DateTime& now() const { return now_; }
    void setTotal(int total) { total_ = total; }

    // Starts a page (the first is already there); returns the top of the room left under
    // its title.
    int begin() {
        if (pages_++ > 0) device_.newPage();
        painter_.setFont(pageFont(kTitlePixels, true));
        painter_.setPen(Qt::black);
        painter_.drawText(QRect(0, 0, width_, kTitleHeight - 12), Qt::AlignLeft | Qt::AlignVCenter, title_);
        painter_.setFont(pageFont(kTextPixels));
        painter_.drawText(QRect(0, 0, width_, kTitleHeight - 12), Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromUtf8(kPrintedOn) + longDay(now_));
        painter_.drawLine(0, kTitleHeight - 8, width_, kTitleHeight - 8);
        painter_.drawText(QRect(0, bottom(), width_, kFooterHeight), Qt::AlignRight | Qt::AlignBottom,
                          QString::fromUtf8(kPageNumber).arg(pages_).arg(std::max(total_, pages_)));
        return kTitleHeight;
    }
    // A page that says only `text`.
    void textPage(const QString& text) {
        const int y = begin();
        painter_.drawText(QRect(0, y, width_, kSectionHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    // A week's or a month's title at y, in bold; returns the y under it.
    int section(int y, const QString& text) {
        painter_.save();
        painter_.setFont(pageFont(kSectionPixels, true));
        painter_.setPen(Qt::black);
        painter_.drawText(QRect(0, y, width_, kSectionHeight - 4), Qt::AlignLeft | Qt::AlignVCenter, text);
        painter_.restore();
        return y + kSectionHeight;
    }

private:
    QPagedPaintDevice& device_;
    QPainter& painter_;
    QString title_;
    DateTime now_;
    int width_ = 0;
    int height_ = 0;
    int pages_ = 0;
    int total_ = 0;
};

PlanningView periodView(const PlanningView& view, const PrintPeriod& period) {
    PlanningView part = view;
    part.from = period.from;
    part.to = period.to;
    return part;
}

QString documentTitle(const char* name, const PlanningView& view) {
    return QString::fromUtf8(name) + u' ' + rangeText(view.from, view.to);
}

void drawTimelinePages(QPainter& painter, PageWriter& page, const PlanningView& view) {
    const std::vector<TimelinePage> pages = timelinePages(view, page.contentHeight());
    page.setTotal(static_cast<int>(pages.size()));
    for (const TimelinePage& lines : pages) {
        int y = page.begin();
        PainterSurface dc(painter);
        dc.setPaper(true);
        for (const TimelineLine& line : lines) {
            switch (line.kind) {
            case TimelineLine::Week: page.section(y, line.text); break;
            case TimelineLine::Nothing:
                dc.setTransparentText(true);
                dc.setTextColour(kBlack);
                dc.textOut(0, y + 4, line.text);
                break;
            case TimelineLine::Room:
                dc.fillRect({0, y, page.width(), y + kBandHeaderHeight - 2}, kPaperBand);
                dc.setTransparentText(true);
                dc.setTextColour(kBlack);
                dc.textOut(4, y + 3, line.text);
                break;
            case TimelineLine::Slot: {
                const programme::Timeslot& slot = programme::timeslots()[line.record];
                DrawTimeslotRow(dc, line.record, page.now(), slotDate(slot), false, 2, y, page.width() - 1,
                                y + kMinRowHeight);
                break;
            }
            }
            y += timelineLineHeight(line.kind);
        }
    }
}

void drawCalendarPages(QPainter& painter, PageWriter& page, const PlanningView& view) {
    const std::vector<PrintPeriod> months = monthPeriods(view);
    page.setTotal(static_cast<int>(months.size()));
    for (const PrintPeriod& period : months) {
        const int top = page.section(page.begin(), period.title);
        painter.save();
        painter.translate(0, top);
        PainterSurface dc(painter);
        dc.setPaper(true);
        const int height = page.bottom() - top;
        dc.fillRect({0, 0, page.width(), height}, kWhite);
        HitList hits;
        DrawCalendar(dc, periodView(view, period), 0, 0, page.width(), height, page.now(), hits);
        painter.restore();
    }
}

// The colours of the status lines, side by side, each with what it says.
void drawLegend(PainterSurface& dc, int y, int width) {
    int x = 0;
    for (const followup::LegendEntry& entry : followup::kStatusLegend) {
        const QString text = QString::fromUtf8(entry.text);
        const int needed = kSwatchWidth + 4 + dc.textWidth(text) + 16;
        if (x > 0 && x + needed > width) {
            x = 0;
            y += kLegendHeight / 2;
        }
        dc.fillRect({x, y + 2, x + kSwatchWidth, y + 2 + kSwatchWidth}, entry.colour);
        dc.textOut(x + kSwatchWidth + 4, y + 2, text);
        x += needed;
    }
}

void drawReportPages(QPainter& painter, PageWriter& page, const std::vector<followup::ReportRow>& rows) {
    const int perPage = std::max(1, (page.contentHeight() - kLegendHeight) / kReportRowHeight);
    page.setTotal(std::max<int>(1, static_cast<int>((rows.size() + perPage - 1) / perPage)));
    const int textLeft = kSwatchWidth + 6;
    const int room = page.width() - textLeft;
    std::size_t next = 0;
    do {
        int y = page.begin();
        PainterSurface dc(painter);
        dc.setTransparentText(true);
        dc.setTextColour(kBlack);
        drawLegend(dc, y, page.width());
        y += kLegendHeight;
        if (rows.empty()) dc.textOut(0, y, QString::fromUtf8(kNoGroup));
        for (int k = 0; k < perPage && next < rows.size(); ++k, ++next) {
            const followup::ReportRow& r = rows[next];
            dc.fillRect({0, y + 1, kSwatchWidth, y + kReportRowHeight - 3}, r.colour);
            dc.setTextColour(kBlack);
            QString first = r.date + QStringLiteral(" à ") + r.time + QStringLiteral(" — ") + r.room +
                            QStringLiteral(" — ") + r.show + QStringLiteral(" (") + r.company + u')';
            if (r.slotCount > 1) first += QStringLiteral(", %1 créneaux").arg(r.slotCount);
            if (r.late)
                first = QString::fromUtf8(followup::kLateTitle) + QStringLiteral(" (") + r.lateWhat +
                        QStringLiteral(") — ") + first;
            dc.textOut(textLeft, y + 2, first);
            dc.textOut(textLeft, y + 2 + dc.lineHeight(), r.status);
            dc.selectPen(Pen{1, kStockLightGrey});
            dc.line({textLeft, y + kReportRowHeight - 2}, {textLeft + room, y + kReportRowHeight - 2});
            y += kReportRowHeight;
        }
    } while (next < rows.size());
}

}  // namespace

std::vector<PrintPeriod> weekPeriods(const PlanningView& view) {
    std::vector<PrintPeriod> out;
    if (!view.from.isValid() || !view.to.isValid() || before(view.to, view.from)) return out;
    DateTime monday = view.from.dateOnly().addDays(-view.from.weekdayFromMonday());
    for (; !before(view.to, monday); monday = monday.addDays(7)) {
        const DateTime from = before(monday, view.from) ? view.from : monday;
        const DateTime sunday = endOfDay(monday.addDays(6));
        const DateTime to = before(view.to, sunday) ? view.to : sunday;
        out.push_back({from, to, rangeText(from, to)});
    }
    return out;
}

std::vector<PrintPeriod> monthPeriods(const PlanningView& view) {
    std::vector<PrintPeriod> out;
    if (!view.from.isValid() || !view.to.isValid() || before(view.to, view.from)) return out;
    DateTime first = DateTime::fromParts(view.from.year(), view.from.month(), 1);
    while (!before(view.to, first)) {
        const int nextYear = first.month() == 12 ? first.year() + 1 : first.year();
        const int nextMonth = first.month() == 12 ? 1 : first.month() + 1;
        const DateTime next = DateTime::fromParts(nextYear, nextMonth, 1);
        const DateTime from = before(first, view.from) ? view.from : first;
        const DateTime last = next.addDays(-1.0 / 86400.0);
        const DateTime to = before(view.to, last) ? view.to : last;
        QString title = first.format(QStringLiteral("%B %Y"), DateTime::Names::French);
        if (!title.isEmpty()) title[0] = title[0].toUpper();
        out.push_back({from, to, title});
        first = next;
    }
    return out;
}

std::vector<RoomBand> roomBands(const PlanningView& view) {
    const auto& records = programme::timeslots();
    const auto& rooms = programme::rooms();
    // Bands in the order of the loaded rooms; a slot of an unknown room goes after them.
    std::map<std::pair<long long, long long>, RoomBand> bands;
    for (int index : visibleTimeslots(view)) {
        const long long roomId = programme::leadingInteger(records[index].room);
        long long order = static_cast<long long>(rooms.size()) + roomId;
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            if (programme::leadingInteger(rooms[i].id) == roomId) {
                order = static_cast<long long>(i);
                break;
            }
        }
        RoomBand& band = bands[{order, roomId}];
        if (band.records.empty()) band.room = programme::roomLookup(records[index].room);
        band.records.push_back(index);
    }
    std::vector<RoomBand> out;
    for (auto& entry : bands) out.push_back(std::move(entry.second));
    return out;
}

int timelineLineHeight(TimelineLine::Kind kind) {
    switch (kind) {
    case TimelineLine::Week: return kSectionHeight;
    case TimelineLine::Room: return kBandHeaderHeight;
    case TimelineLine::Slot: return kMinRowHeight + kRowGap;
    case TimelineLine::Nothing: return kNothingHeight;
    }
    return 0;
}

std::vector<TimelinePage> timelinePages(const PlanningView& view, int height) {
    std::vector<TimelinePage> pages;
    int used = 0;
    const auto fits = [&](int more) { return !pages.empty() && used + more <= height; };
    const auto add = [&](TimelineLine line) {
        used += timelineLineHeight(line.kind);
        pages.back().push_back(std::move(line));
    };
    const auto newPage = [&] {
        pages.emplace_back();
        used = 0;
    };
    // The weeks without a slot since the last that had one.
    std::optional<PrintPeriod> idle;
    const auto sayIdle = [&] {
        if (!idle) return;
        if (!fits(kNothingHeight)) newPage();
        add({TimelineLine::Nothing, QStringLiteral("Aucun créneau ") + rangeText(idle->from, idle->to) + u'.'});
        idle.reset();
    };
    for (const PrintPeriod& week : weekPeriods(view)) {
        const std::vector<RoomBand> bands = roomBands(periodView(view, week));
        if (bands.empty()) {
            if (idle)
                idle->to = week.to;
            else
                idle = week;
            continue;
        }
        sayIdle();
        // A week a page, which it shares only with the line of the idle weeks before the first.
        const bool idleLineAlone =
            !pages.empty() && pages.back().size() == 1 && pages.back().front().kind == TimelineLine::Nothing;
        if (!idleLineAlone) newPage();
        const QString title = QStringLiteral("Semaine ") + week.title;
        add({TimelineLine::Week, title});
        for (const RoomBand& band : bands) {
            bool header = true;
            for (int record : band.records) {
                const int needed = (header ? kBandHeaderHeight : 0) + timelineLineHeight(TimelineLine::Slot);
                if (!fits(needed)) {
                    newPage();
                    add({TimelineLine::Week, title + QString::fromUtf8(kContinued)});
                    header = true;
                }
                if (header) add({TimelineLine::Room, band.room});
                header = false;
                add({TimelineLine::Slot, {}, record});
            }
        }
    }
    sayIdle();
    return pages;
}

int printDocument(QPagedPaintDevice& device, PrintKind kind, const PlanningView& view, const DateTime& now) {
    QPainter painter;
    if (!painter.begin(&device)) return -1;
    switch (kind) {
    case PrintKind::Timeline: {
        PageWriter page(device, painter, documentTitle("Planning", view), now);
        drawTimelinePages(painter, page, view);
        // A range of no day still gives a page that says so.
        if (page.pages() == 0) page.textPage(QString::fromUtf8(kNoSlot));
        painter.end();
        return page.pages();
    }
    case PrintKind::Calendar: {
        PageWriter page(device, painter, documentTitle("Calendrier", view), now);
        drawCalendarPages(painter, page, view);
        if (page.pages() == 0) page.textPage(QString::fromUtf8(kNoSlot));
        painter.end();
        return page.pages();
    }
    case PrintKind::Report: {
        const std::vector<followup::ReportRow> rows = followup::followUpReport(visibleTimeslots(view), now);
        const long late = std::count_if(rows.begin(), rows.end(), [](const followup::ReportRow& r) { return r.late; });
        PageWriter page(device, painter,
                        documentTitle(followup::kReportTitle, view) +
                            QStringLiteral(" : %1 groupe(s), %2 en retard").arg(rows.size()).arg(late),
                        now);
        drawReportPages(painter, page, rows);
        painter.end();
        return page.pages();
    }
    }
    painter.end();
    return -1;
}

QString suggestedFileName(PrintKind kind, bool csv, const DateTime& from) {
    const char* stem = kind == PrintKind::Timeline ? "planning" : kind == PrintKind::Calendar ? "calendrier" : "suivi";
    return QString::fromUtf8(stem) + u'-' + from.format(QStringLiteral("%Y-%m-%d")) +
           (csv ? QStringLiteral(".csv") : QStringLiteral(".pdf"));
}

QString writePdf(const QString& path, PrintKind kind, const PlanningView& view, const DateTime& now) {
    // Written beside the target and renamed over it once whole: a document that cannot be
    // drawn or written leaves the file chosen as it was, an earlier print included.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Brelo"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        if (printDocument(writer, kind, view, now) < 0) {
            file.cancelWriting();
            return QStringLiteral("le document ne peut pas être dessiné");
        }
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace planning
