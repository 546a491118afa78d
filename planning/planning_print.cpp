#include "planning/planning_print.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <map>

#include "planning/followup_report.h"
#include "programme/programme_data.h"

namespace planning {

using platform::DateTime;

namespace {

constexpr int kPageDpi = 96;
constexpr int kTitleHeight = 44;      // the title line and the line under it
constexpr int kBandHeaderHeight = 20;
constexpr int kRowGap = 4;
constexpr int kReportRowHeight = 34;
constexpr int kSwatchWidth = 14;
constexpr double kLastSecond = 1.0 - 1.0 / 86400.0;
constexpr const char* kFontFamily = "MS Shell Dlg";
constexpr int kTextPixels = 11;
constexpr int kTitlePixels = 16;
constexpr const char* kNoSlot = "Aucun créneau sur cette période.";
constexpr const char* kNoGroup = "Aucun groupe de créneaux sur cette période.";
constexpr const char* kContinued = " (suite)";
constexpr const char* kPrintedOn = "Imprimé le ";

QString longDay(const DateTime& d) { return d.format(QStringLiteral("%A %e %B %Y"), DateTime::Names::French).simplified(); }

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

// One page being drawn: the painter in 96-dpi units and the page's size in them.
class PageWriter {
public:
    PageWriter(QPagedPaintDevice& device, QPainter& painter) : device_(device), painter_(painter) {
        const QRect paint = device.pageLayout().paintRectPixels(kPageDpi);
        width_ = paint.width();
        height_ = paint.height();
        painter_.scale(static_cast<double>(device.logicalDpiX()) / kPageDpi,
                       static_cast<double>(device.logicalDpiY()) / kPageDpi);
    }
    int width() const { return width_; }
    int height() const { return height_; }
    int pages() const { return pages_; }

    // Starts a page (the first is already there) with its title; returns the top of the room
    // left under it.
    int begin(const QString& title, const DateTime& now) {
        if (pages_++ > 0) device_.newPage();
        painter_.setFont(pageFont(kTitlePixels, true));
        painter_.setPen(Qt::black);
        painter_.drawText(QRect(0, 0, width_, kTitleHeight - 12), Qt::AlignLeft | Qt::AlignVCenter, title);
        painter_.setFont(pageFont(kTextPixels));
        painter_.drawText(QRect(0, 0, width_, kTitleHeight - 12), Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromUtf8(kPrintedOn) + longDay(now));
        painter_.drawLine(0, kTitleHeight - 8, width_, kTitleHeight - 8);
        return kTitleHeight;
    }

private:
    QPagedPaintDevice& device_;
    QPainter& painter_;
    int width_ = 0;
    int height_ = 0;
    int pages_ = 0;
};

PlanningView periodView(const PlanningView& view, const PrintPeriod& period) {
    PlanningView part = view;
    part.from = period.from;
    part.to = period.to;
    return part;
}

void drawTimelinePages(QPainter& painter, PageWriter& page, const PlanningView& view, const DateTime& now) {
    const int rowHeight = kMinRowHeight + kRowGap;
    for (const PrintPeriod& period : weekPeriods(view)) {
        const QString title = QStringLiteral("Planning ") + period.title;
        int y = page.begin(title, now);
        const std::vector<RoomBand> bands = roomBands(periodView(view, period));
        PainterSurface dc(painter);
        if (bands.empty()) dc.textOut(0, y, QString::fromUtf8(kNoSlot));
        for (const RoomBand& band : bands) {
            bool header = true;
            for (int record : band.records) {
                if (y + (header ? kBandHeaderHeight : 0) + rowHeight > page.height()) {
                    y = page.begin(title + QString::fromUtf8(kContinued), now);
                    header = true;
                }
                if (header) {
                    dc.fillRect({0, y, page.width(), y + kBandHeaderHeight - 2}, kStockLightGrey);
                    dc.setTransparentText(true);
                    dc.setTextColour(kBlack);
                    dc.textOut(4, y + 3, band.room);
                    dc.setTransparentText(false);
                    y += kBandHeaderHeight;
                    header = false;
                }
                const programme::Timeslot& slot = programme::timeslots()[record];
                DrawTimeslotRow(dc, record, now, slotDate(slot), false, 2, y, page.width() - 1, y + kMinRowHeight);
                y += rowHeight;
            }
        }
    }
}

void drawCalendarPages(QPainter& painter, PageWriter& page, const PlanningView& view, const DateTime& now) {
    for (const PrintPeriod& period : monthPeriods(view)) {
        const int top = page.begin(QStringLiteral("Calendrier ") + period.title, now);
        painter.save();
        painter.translate(0, top);
        PainterSurface dc(painter);
        const int height = page.height() - top;
        dc.fillRect({0, 0, page.width(), height}, kWhite);
        HitList hits;
        DrawCalendar(dc, periodView(view, period), 0, 0, page.width(), height, now, hits);
        painter.restore();
    }
}

void drawReportPages(QPainter& painter, PageWriter& page, const PlanningView& view, const DateTime& now) {
    const std::vector<ReportRow> rows = followUpReport(view, now);
    const long late = std::count_if(rows.begin(), rows.end(), [](const ReportRow& r) { return r.late; });
    const QString title = QString::fromUtf8(kReportTitle) + u' ' + rangeText(view.from, view.to) +
                          QStringLiteral(" : %1 groupe(s), %2 en retard").arg(rows.size()).arg(late);
    int y = page.begin(title, now);
    PainterSurface dc(painter);
    if (rows.empty()) dc.textOut(0, y, QString::fromUtf8(kNoGroup));
    const int textLeft = kSwatchWidth + 6;
    const int room = page.width() - textLeft;
    for (const ReportRow& r : rows) {
        if (y + kReportRowHeight > page.height()) y = page.begin(title + QString::fromUtf8(kContinued), now);
        dc.fillRect({0, y + 1, kSwatchWidth, y + kReportRowHeight - 3}, r.colour);
        dc.setTransparentText(true);
        dc.setTextColour(kBlack);
        QString first = r.date + QStringLiteral(" à ") + r.time + QStringLiteral(" — ") + r.room +
                        QStringLiteral(" — ") + r.show + QStringLiteral(" (") + r.company + u')';
        if (r.slotCount > 1) first += QStringLiteral(", %1 créneaux").arg(r.slotCount);
        if (r.late) first = QStringLiteral("EN RETARD — ") + first;
        dc.textOut(textLeft, y + 2, first);
        dc.textOut(textLeft, y + 2 + dc.lineHeight(), r.status);
        dc.selectPen(Pen{1, kStockLightGrey});
        dc.line({textLeft, y + kReportRowHeight - 2}, {textLeft + room, y + kReportRowHeight - 2});
        y += kReportRowHeight;
    }
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

int printDocument(QPagedPaintDevice& device, PrintKind kind, const PlanningView& view, const DateTime& now) {
    QPainter painter;
    if (!painter.begin(&device)) return -1;
    PageWriter page(device, painter);
    switch (kind) {
    case PrintKind::Timeline: drawTimelinePages(painter, page, view, now); break;
    case PrintKind::Calendar: drawCalendarPages(painter, page, view, now); break;
    case PrintKind::Report: drawReportPages(painter, page, view, now); break;
    }
    // A range of no day still gives a page that says so.
    if (page.pages() == 0) page.begin(QString::fromUtf8(kNoSlot), now);
    painter.end();
    return page.pages();
}

QString suggestedFileName(PrintKind kind, bool csv, const DateTime& from) {
    const char* stem = kind == PrintKind::Timeline ? "planning" : kind == PrintKind::Calendar ? "calendrier" : "suivi";
    return QString::fromUtf8(stem) + u'-' + from.format(QStringLiteral("%Y-%m-%d")) +
           (csv ? QStringLiteral(".csv") : QStringLiteral(".pdf"));
}

QString writePdf(const QString& path, PrintKind kind, const PlanningView& view, const DateTime& now) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Brelo"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    if (printDocument(writer, kind, view, now) < 0) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) ? QStringLiteral("le document ne peut pas être dessiné")
                                               : file.errorString();
    }
    return {};
}

}  // namespace planning
