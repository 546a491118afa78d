// The contract document: any template takes any value in every row. A value written as RTF
// keeps the document's groups balanced whatever it holds, and the tokens of a template come
// out replaced.
#include "contracts/contract_document.h"
#include "fuzz/fuzz_input.h"

namespace {

// Braces that RTF reads as groups, outside control symbols: balanced, never closing more
// than were opened.
bool balanced(const std::string& rtf) {
    long depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

// Every "<" of the text is the start of a whole <<<KEY>>> of the table.
bool onlyTableTokens(std::string_view text) {
    for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        bool found = false;
        for (const contracts::TokenKey& key : contracts::kTokenKeys) {
            const std::string token = std::string("<<<") + key.key + ">>>";
            if (text.substr(at, token.size()) == token) {
                at += token.size();
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = fuzzing::pieces(data, size, '\0', 2);
    const std::string_view templ = parts[0];
    const QString value = fuzzing::text(parts[1]);
    const std::string escaped = contracts::rtfText(value);
    fuzzing::check(balanced(escaped), "an escaped value keeps the braces balanced");
    fuzzing::check(escaped.find('\0') == std::string::npos, "an escaped value holds no zero byte");

    contracts::ContractInfoList rows;
    for (const contracts::TokenKey& key : contracts::kTokenKeys)
        rows.rows.push_back({QString::fromUtf8(key.label), value});
    // A small limit keeps each execution short: values multiplying the tokens reach it fast.
    bool tooLarge = false;
    const std::string filled = contracts::fillTemplate(templ, rows, &tooLarge, 1u << 20);
    fuzzing::check(filled.size() <= (1u << 20), "the text stays within its limit");
    fuzzing::check(!tooLarge || filled.empty(), "a text past its limit is dropped");
    // Values without "<" or ">", in a template whose every "<" opens a token of a table key:
    // no token can be made up across a value's edge, so none is left. A template that breaks
    // one token with another ("<<<C<<<NUM>>>RE>>>") keeps what its author wrote around the
    // inner value: the outer text was never a token of the template, and substituting again
    // until nothing changes could run for ever on values that hold tokens.
    if (!value.contains(u'<') && !value.contains(u'>') && onlyTableTokens(templ.substr(0, templ.find('\0')))) {
        for (const contracts::TokenKey& key : contracts::kTokenKeys)
            fuzzing::check(filled.find(std::string("<<<") + key.key + ">>>") == std::string::npos,
                           "no token of a table key is left");
    }
    return 0;
}
