// The show dialog (132 "Spectacle"): the company that plays it, chosen among the loaded
// companies that are not deleted, and the show's title.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "dialog/dialog.h"
#include "resources/control_ids.h"

class show : public dlg::Dialog, public res::ShowControls {
    Q_OBJECT
public:
    explicit show(QWidget* parent = nullptr);

    // In: the company id to preselect; out after OK: the chosen company's id, or -1.
    int32_t company = 0;
    // In: the title shown at opening; out after OK: the title typed.
    QString name;
    // The manager's add-company handler, run by "+" (rights test, dialog and reload included).
    std::function<void()> addCompany;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    static const dlg::MessageEntry<show> kMessages[];
    void OnNameChanged(const dlg::Notification&);
    void OnAddCompany(const dlg::Notification&);
    void fillCompanies(int32_t preselect);
    int32_t selectedCompany() const;
};
