// What the fuzz targets share: the input cut into texts, and platform services that answer
// every box without a word (the follow-up texts report refused updates in a box).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "db/codepage.h"
#include "platform/ui_services.h"

namespace fuzzing {

// The input's pieces between the separator bytes, at least `count` of them (empty when missing).
inline std::vector<std::string_view> pieces(const uint8_t* data, size_t size, char separator, size_t count) {
    std::vector<std::string_view> out;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    while (at <= all.size()) {
        const size_t end = all.find(separator, at);
        out.push_back(all.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    while (out.size() < count) out.emplace_back();
    return out;
}

inline QString text(std::string_view bytes) { return db::fromAnsi(bytes); }

inline void silence() {
    static platform::UnattendedUi ui;
    platform::setUiServices(&ui);
}

// A broken property: said on the standard error, then the fuzzer's crash handling.
inline void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

}  // namespace fuzzing
