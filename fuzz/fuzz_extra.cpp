// The stored form of a contract's info rows: parsing any text, then writing the rows and
// parsing them again, gives the same rows; the substring lookup never fails.
#include "contracts/contract_info.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = fuzzing::pieces(data, size, '\n', 2);
    const QString extra = fuzzing::text(parts[0]);
    const contracts::ContractInfoList rows = contracts::parseExtra(extra);
    const contracts::ContractInfoList again = contracts::parseExtra(contracts::serialiseExtra(rows));
    fuzzing::check(again.rows.size() == rows.rows.size(), "serialise after parse keeps the number of rows");
    for (size_t i = 0; i < rows.rows.size(); ++i)
        fuzzing::check(again.rows[i].label == rows.rows[i].label && again.rows[i].value == rows.rows[i].value,
                       "serialise after parse keeps every row");
    const QString label = fuzzing::text(parts[1]);
    const QString value = contracts::valueInExtra(extra, label);
    fuzzing::check(value.size() <= extra.size(), "a looked-up value is part of the text");
    return 0;
}
