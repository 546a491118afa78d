// The application a test registers for its own document type under Windows: it keeps the
// document a moment, as a user reading it would, then leaves a copy of it beside it
// (DOCUMENT.seen) and ends. What waited for it can tell whether it waited long enough.
#include <shellapi.h>
#include <windows.h>

#include <string>

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2) return 2;
    const std::wstring document = arguments[1];
    Sleep(300);
    const bool copied = CopyFileW(document.c_str(), (document + L".seen").c_str(), FALSE);
    LocalFree(arguments);
    return copied ? 0 : 1;
}
