// The dialogs the manager's parts run, behind one interface: the window runs the real ones
// (WindowDialogs), a test hands the window its own answers (tests/support/fake_dialogs.h).
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "contracts/contract_model.h"
#include "edits/saves.h"
#include "planning/timeslot_editor.h"

class ManagerDialogs {
public:
    virtual ~ManagerDialogs() = default;
    // The company dialog on these fields; false when the user cancelled.
    virtual bool runCompanyDialog(edits::CompanyFields& fields) = 0;
    // The show dialog on these fields; its "+" runs addCompany. False when the user cancelled.
    virtual bool runShowDialog(edits::ShowFields& fields, const std::function<void()>& addCompany) = 0;
    // The timeslot editor on data; its "+" for a show runs createShow (the new show's id, or
    // -1). IDOK when it closed with OK.
    virtual int runTimeslotEditor(planning::TimeslotEditorData& data, const std::function<int32_t()>& createShow) = 0;
    // The contract dialog on the contract's texts, with its folders; IDOK when it closed with OK.
    virtual int runContractDialog(contracts::ContractModel& contract) = 0;
};

// The real dialogs, modal over the window.
class WindowDialogs : public ManagerDialogs {
public:
    explicit WindowDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    bool runCompanyDialog(edits::CompanyFields& fields) override;
    bool runShowDialog(edits::ShowFields& fields, const std::function<void()>& addCompany) override;
    int runTimeslotEditor(planning::TimeslotEditorData& data, const std::function<int32_t()>& createShow) override;
    int runContractDialog(contracts::ContractModel& contract) override;

private:
    QWidget* parent_;
};
