// The sales overview (dialog 102), the program's main window: the sales of the performances
// of a date range, filtered by show name and room, with their totals and each room's last
// synchronisation. Its refreshes run on a worker (SalesRefresh), so that it keeps answering;
// its figures can be seen as charts and exported for a spreadsheet.
#pragma once

#include <QIcon>
#include <QPointer>

#include "dialog/dialog.h"
#include "platform/date_time.h"
#include "resources/control_ids.h"
#include "sales/aggregation.h"
#include "sales/charts_ui.h"
#include "sales/sales_refresh.h"

class CBreloDlg : public dlg::Dialog, public res::SalesControls {
    Q_OBJECT
public:
    explicit CBreloDlg(QWidget* parent = nullptr);
    ~CBreloDlg() override;

    static constexpr int kRefreshTimer = 1;
    static constexpr int kRefreshPeriodMs = 10000;
    static constexpr int kDaysBack = 2;
    static constexpr int kDaysAhead = 5;

    static constexpr const char* kQuitQuestion = "Quitter Brelo ?";

    // The refreshes, for what waits on them (tests, the bench).
    sales::SalesRefresh& refresh() { return refresh_; }
    // The charts window, once opened.
    sales::ChartsWindow* charts() const { return charts_; }

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static const dlg::MessageEntry<CBreloDlg> kMessages[];
    void OnDateChanged(const dlg::Notification&);
    void OnFilterChanged(const dlg::Notification&);
    void OnRefresh(const dlg::Notification&);
    void OnTimer(const dlg::Notification&);
    void OnManager(const dlg::Notification&);
    void OnCharts(const dlg::Notification&);
    void OnExport(const dlg::Notification&);

    void createColumns();
    void fillRooms();
    void aggregate();
    void showStatus();
    void updateCharts();

    platform::DateTime from_;
    platform::DateTime to_;
    QIcon icon_;
    sales::AggregateResult shown_;  // what the list and the totals show
    QPointer<sales::ChartsWindow> charts_;
    sales::SalesRefresh refresh_;
};
