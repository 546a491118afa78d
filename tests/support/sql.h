// The programme database as the tests read and write it, on a connection of their own: the
// oracle that does not go through the program's code.
#pragma once

#include <string>
#include <vector>

#include "tests/support/testdb.h"
#include "tests/support/text.h"

inline std::vector<testdb::Row> rows(const std::string& sql) { return testdb::query(testdb::programmeDb(), sql); }
// The first column of the first row.
inline std::string one(const std::string& sql) { return rows(sql).at(0).at(0); }
inline void sql(const std::string& statements) { testdb::exec(testdb::programmeDb(), statements); }
