// The code page: every byte has a character, and the character comes back as the byte.
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzzing::check(db::toAnsi(db::fromAnsi(bytes)) == bytes, "Windows-1252 round trip");
    // Any UTF-16 text converts to exactly one byte per character.
    const QString wide = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    const std::string ansi = db::toAnsi(wide);
    fuzzing::check(ansi.size() <= static_cast<size_t>(wide.size()), "one byte per character at most");
    return 0;
}
