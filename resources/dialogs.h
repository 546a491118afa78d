// The dialog templates of the program, by dialog number.
#pragma once

#include "resources/dialog_template.h"

namespace res {

extern const DialogTemplate kDialog102;  // sales overview, CBreloDlg
extern const DialogTemplate kDialog134;  // login
extern const DialogTemplate kDialog129;  // programme manager
extern const DialogTemplate kDialog130;  // company, ccomp
extern const DialogTemplate kDialog131;  // timeslot group editor, ts
extern const DialogTemplate kDialog132;  // show
extern const DialogTemplate kDialog133;  // one slot, onets
extern const DialogTemplate kDialog135;  // contract, ct
extern const DialogTemplate kDialog136;  // one info value, editoneitem
extern const DialogTemplate kDialog137;  // one checklist item, ones

}  // namespace res
