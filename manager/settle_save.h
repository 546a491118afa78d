// What the manager does with a save's answer: reload on done; say in one line what came back
// from the Corbeille with it and which parts came from a colleague; on a conflict ask whether to keep mine (save again
// over theirs), keep theirs (reload) or go back to the dialog with my input; on a row deleted meanwhile ask whether to
// restore it with my changes. A failure was shown by the save itself.
#pragma once

#include <optional>

#include "edits/save_result.h"
#include "edits/saves.h"
#include "platform/ui_services.h"

namespace settle {

// save(base, mine, resolution) -> SaveResult; reopen(mine) -> false when the user cancels;
// rebase() -> the record as stored now (after a reload), or nullopt when it is gone; reload()
// refills the window. True when the change was stored.
template <class Base, class Fields, class Save, class Reopen, class Rebase, class Reload>
bool settleSave(Base base, Fields mine, Save save, Reopen reopen, Rebase rebase, Reload reload) {
    edits::Resolution resolution;
    for (;;) {
        const edits::SaveResult result = save(base, mine, resolution);
        switch (result.outcome) {
        case edits::SaveOutcome::Done:
        case edits::SaveOutcome::Merged:
            if (const QString notice = edits::savedNotice(result); !notice.isEmpty())
                platform::ui().messageBox(notice, platform::MessageIcon::Information, platform::MessageButtons::Ok);
            reload();
            return true;
        case edits::SaveOutcome::Failed: return false;
        // Said to the user; the server did not answer, a reload would only say so again.
        case edits::SaveOutcome::Unknown: return false;
        case edits::SaveOutcome::Vanished: {
            const edits::ConflictQuestion q = edits::vanishedQuestion(result);
            if (!edits::restoreChosen(platform::ui().askChoice(q.text, q.answers))) {
                reload();
                return false;
            }
            resolution.restore = true;
            continue;
        }
        case edits::SaveOutcome::Conflict: {
            const edits::ConflictQuestion q = edits::conflictQuestion(result);
            switch (edits::conflictAnswer(platform::ui().askChoice(q.text, q.answers))) {
            case edits::ConflictAnswer::KeepMine:
                resolution = edits::Resolution::keepMineOver(result, resolution.restore);
                continue;
            case edits::ConflictAnswer::KeepTheirs: reload(); return false;
            case edits::ConflictAnswer::BackToInput: {
                reload();
                std::optional<Base> stored = rebase();
                if (!stored) return false;
                mine = edits::carryOver(base, *stored, mine);
                base = *stored;
                if (!reopen(mine)) return false;
                resolution = edits::Resolution{};
                continue;
            }
            }
        }
        }
        return false;
    }
}

// An add whose parent (a show's company, a group's show, a contract's group) was deleted
// meanwhile: asks whether to restore it with the add, and says what came back. save(resolution)
// -> SaveResult.
template <class Save>
edits::SaveResult settleAdd(Save save) {
    edits::SaveResult result = save(edits::Resolution{});
    if (result.outcome != edits::SaveOutcome::Vanished) return result;
    const edits::ConflictQuestion q = edits::deletedParentQuestion(result);
    if (!edits::restoreChosen(platform::ui().askChoice(q.text, q.answers))) return result;
    result = save(edits::Resolution::restoring());
    if (result.committed())
        platform::ui().messageBox(edits::savedNotice(result), platform::MessageIcon::Information,
                                  platform::MessageButtons::Ok);
    return result;
}

}  // namespace settle
