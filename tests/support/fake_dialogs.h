// The manager's dialogs as a test answers them: the timeslot editor and the contract dialog
// record what they were given and close with the answer set here, after the changes set here;
// the company and show dialogs are the real ones, driven with tests/support/modal.h.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "manager/manager_dialogs.h"
#include "platform/ui_services.h"

namespace testing_support {

class FakeDialogs : public WindowDialogs {
public:
    // The timeslot editor: each run recorded; on IDOK, edit (when set) changes the data.
    std::vector<planning::TimeslotEditorData> editorGiven;
    int editorAnswer = platform::IDOK;
    std::function<void(planning::TimeslotEditorData&)> edit;

    // The contract dialog: each run recorded; on IDOK, the contract gets these texts.
    std::vector<contracts::ContractModel> contractGiven;
    int contractAnswer = platform::IDOK;
    QString contractExtra;
    QString contractRtf = QStringLiteral("contrat_standard.rtf");

    int runTimeslotEditor(planning::TimeslotEditorData& data, const std::function<int32_t()>&) override {
        editorGiven.push_back(data);
        if (editorAnswer == platform::IDOK && edit) edit(data);
        return editorAnswer;
    }
    int runContractDialog(contracts::ContractModel& contract) override {
        contractGiven.push_back(contract);
        if (contractAnswer != platform::IDOK) return contractAnswer;
        contract.extra = contractExtra;
        contract.rtf = contractRtf;
        return contractAnswer;
    }
};

}  // namespace testing_support
