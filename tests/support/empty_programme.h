// The start of every test on the programme database: its tables empty, no records loaded, no
// connection open, no box recorded.
#pragma once

#include "db/connections.h"
#include "programme/programme_data.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace testing_support {

inline void startEmptyProgramme() {
    ui().clear();
    testdb::resetProgramme();
    programme::clearAll();
    db::closeProgramme();
}

}  // namespace testing_support
