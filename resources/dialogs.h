// The dialog templates of the program, by dialog number.
#pragma once

#include "resources/dialog_template.h"

namespace res {

extern const DialogTemplate kDialog102;  // sales overview, CBreloDlg
extern const DialogTemplate kDialog134;  // login
extern const DialogTemplate kDialog129;  // programme manager

}  // namespace res
