// The contract (135): the group's first timeslot, the template, the info rows with their
// values, "Générer et ouvrir", and OK handing extra, rtf and the timeslot id back.
#pragma once

#include <vector>

#include "contracts/contract_model.h"
#include "dialog/dialog.h"
#include "resources/control_ids.h"

class ct : public dlg::Dialog, public res::ContractControls {
    Q_OBJECT
public:
    explicit ct(QWidget* parent = nullptr);

    // In: rtf, extra and the timeslot id of the contract (and where documents go); out after
    // OK: the contract's texts and the chosen first slot.
    contracts::ContractModel model;

    // Runs the one-value editor on a row; IDOK when it closed with OK. Tests answer it.
    virtual int runValueEditor(const QString& label, QString& value);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    static const dlg::MessageEntry<ct> kMessages[];
    void OnFirstSlotChanged(const dlg::Notification&);
    void OnTemplateChanged(const dlg::Notification&);
    void OnChooseTemplate(const dlg::Notification&);
    void OnGenerate(const dlg::Notification&);
    void OnEditRow(const dlg::Notification& n);

    void chooseTemplate();
    bool refuseUnstorable();
    enum class Refill { SelectCurrent, KeepSelection };
    void fillFirstSlots(Refill form);
    int32_t selectedTimeslotId() const;
    void updateEnabling();
    void rebuild();

    std::vector<contracts::HeadEntry> entries_;
};
