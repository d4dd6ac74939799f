// A program of its own that writes or reads one binary value of its MFC
// profile, so that the tests can show a value surviving from one run to the
// next.
//   ProfilePeer write COMPANY HEX   stores the bytes; exit code 0
//   ProfilePeer read COMPANY HEX    exit code 0 when the stored bytes are HEX,
//                                   1 when they differ, 2 when there are none
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/WinApp.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> FromHex(const wchar_t* text)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; text[i] && text[i + 1]; i += 2) {
        const wchar_t pair[3] = {text[i], text[i + 1], 0};
        bytes.push_back(static_cast<BYTE>(std::wcstoul(pair, nullptr, 16)));
    }
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 3;
    CWinApp app;
    if (!AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOW))
        return 4;
    app.SetRegistryKey(argv[2]);
    const std::vector<BYTE> expected = FromHex(argv[3]);
    int code = 3;
    if (std::wcscmp(argv[1], L"write") == 0) {
        code = app.WriteProfileBinary(L"Section", L"WP", expected.data(), static_cast<UINT>(expected.size())) ? 0 : 5;
    } else if (std::wcscmp(argv[1], L"read") == 0) {
        BYTE* data = nullptr;
        UINT bytes = 0;
        if (!app.GetProfileBinary(L"Section", L"WP", &data, &bytes)) {
            code = 2;
        } else {
            code = std::vector<BYTE>(data, data + bytes) == expected ? 0 : 1;
            delete[] data;
        }
    }
    AfxWinTerm();
    return code;
}
