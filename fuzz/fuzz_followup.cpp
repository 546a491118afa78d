// The follow-up texts of a group: any plan and record parse, give a status line, and take a
// value for any item without breaking the items they did not touch.
#include "followup/followup.h"
#include "followup/followup_status.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::silence();
    const auto parts = fuzzing::pieces(data, size, '\n', 4);
    const QString todo = fuzzing::text(parts[0]);
    const QString done = fuzzing::text(parts[1]);
    const QString key = fuzzing::text(parts[2]);
    const QString value = fuzzing::text(parts[3]);
    (void)followup::ParseFollowUp(todo, done);
    for (const platform::DateTime& now : {platform::DateTime::fromParts(2019, 6, 5, 12),
                                          platform::DateTime::fromParts(2019, 7, 10), platform::DateTime::invalid()}) {
        QString status;
        (void)followup::FollowUpStatus(todo, done, now, platform::DateTime::fromParts(2019, 7, 10), status);
    }
    QString plan = todo;
    const int set = followup::SetItemValue(plan, key, value);
    if (set < 0) fuzzing::check(plan == todo, "a refused value leaves the plan as it was");
    QString bare = todo;
    if (followup::settodo(bare, key, value) < 0) fuzzing::check(bare == todo, "settodo refuses without a change");
    (void)followup::ItemValue(done, key);
    (void)followup::PlanValue(todo, key);
    return 0;
}
