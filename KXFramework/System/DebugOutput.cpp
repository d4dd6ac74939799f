#include "System/DebugOutput.h"

#include "ObjectBase/StaticObjects.h"
#include "Utilities/Storage/StringT.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace KX {

namespace {

constexpr const char* kOption = "-DEBUG_CONSOLE";
constexpr const char* kOptionWithPort = "-DEBUG_CONSOLE:";
constexpr const char* kFallbackAddress = "127.0.0.1";
constexpr int kHostNameSize = 64;

// Made before the entry point and before the application's own statics, so
// they can write to it; its streams give out their pending text at exit.
DebugOutput sProgramDebugOutput KX_STATIC_INIT_SERVICES;

} // namespace

DebugOutput::DebugOutput()
    : mStream(*this), mWideStream(*this), mCurrentStream(&mStream), mCurrentWideStream(&mWideStream)
{
}

DebugOutput::~DebugOutput()
{
    // Pending text goes out while the UDP state still exists: wide text first.
    mWideStream.GetBuffer().pubsync();
    mStream.GetBuffer().pubsync();
    if (mSocket != INVALID_SOCKET)
        closesocket(mSocket);
}

DebugOutput& DebugOutput::GetInstance()
{
    return sProgramDebugOutput;
}

DebugConsoleOption DebugOutput::ParseCommandLine(const char* utf8CommandLine)
{
    DebugConsoleOption option;
    std::string line = utf8CommandLine ? utf8CommandLine : "";
    for (char& c : line)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    if (line.find(kOption) == std::string::npos)
        return option;
    const size_t withPort = line.find(kOptionWithPort);
    if (withPort == std::string::npos) {
        option.action = DebugConsoleOption::Action::Console;
        return option;
    }

    const size_t start = withPort + std::char_traits<char>::length(kOptionWithPort);
    size_t end = line.find(' ', start);
    if (end == std::string::npos)
        end = line.size();
    size_t colon = line.find(':', start);
    if (colon == std::string::npos)
        colon = end;
    // A port text of fewer than two characters asks for nothing at all.
    if (colon < start + 2)
        return option;

    option.action = DebugConsoleOption::Action::Udp;
    option.port = std::atoi(line.substr(start, colon - start).c_str());
    if (colon + 1 < end) {
        option.hasHost = true;
        option.host = line.substr(colon + 1, end - colon - 1);
    }
    return option;
}

DebugConsoleOption DebugOutput::ApplyCommandLine(const wchar_t* commandLine)
{
    const StringT<char, wchar_t> utf8(commandLine);
    const DebugConsoleOption option = ParseCommandLine(utf8.GetData());
    switch (option.action) {
    case DebugConsoleOption::Action::Console:
        OpenConsole();
        break;
    case DebugConsoleOption::Action::Udp:
        SetUdpTarget(option.hasHost && !option.host.empty() ? option.host.c_str() : nullptr, option.port);
        break;
    case DebugConsoleOption::Action::None:
        break;
    }
    return option;
}

void DebugOutput::OpenConsole()
{
    // Failures are not examined: without a console the text is simply lost.
    AllocConsole();
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(output, &info)) {
        COORD size = info.dwSize;
        size.Y = 500;
        SetConsoleScreenBufferSize(output, size);
    }

    FILE* stream = nullptr;
    if (freopen_s(&stream, "CONOUT$", "w", stdout) == 0)
        setvbuf(stdout, nullptr, _IONBF, 0);
    if (freopen_s(&stream, "CONIN$", "r", stdin) == 0)
        setvbuf(stdin, nullptr, _IONBF, 0);
    if (freopen_s(&stream, "CONOUT$", "w", stderr) == 0)
        setvbuf(stderr, nullptr, _IONBF, 0);
    std::ios::sync_with_stdio(true);

    mCurrentStream = &std::cerr;
    mCurrentWideStream = &std::wcerr;
}

void DebugOutput::SetUdpTarget(const char* host, int32_t port)
{
    if (host)
        mUdpHost = host;
    mUdpPort = port;
}

void DebugOutput::SetUpUdp(const char* host, int32_t port)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);

    const hostent* entry = host ? gethostbyname(host) : nullptr;
    if (!entry) {
        char localName[kHostNameSize + 1] = {};
        if (gethostname(localName, kHostNameSize) == 0)
            entry = gethostbyname(localName);
    }
    std::string address = kFallbackAddress;
    if (entry && entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0]) {
        in_addr first;
        memcpy(&first, entry->h_addr_list[0], sizeof(first));
        address = inet_ntoa(first);
    }

    mTarget = sockaddr_in{};
    mTarget.sin_family = AF_INET;
    mTarget.sin_addr.s_addr = inet_addr(address.c_str());
    mTarget.sin_port = htons(static_cast<u_short>(port));

    mSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (mSocket == INVALID_SOCKET)
        return; // the next use tries the whole set-up again
    SendUdp(host, port, "*** APPLICATION Launched on ");
    SendUdp(host, port, address.c_str());
    SendUdp(host, port, "***\n");
}

void DebugOutput::SendUdp(const char* host, int32_t port, const char* text)
{
    if (mSocket == INVALID_SOCKET)
        SetUpUdp(host, port);
    if (!text || !*text || mSocket == INVALID_SOCKET)
        return;
    // A failed send is ignored.
    sendto(mSocket, text, static_cast<int>(strlen(text)), 0, reinterpret_cast<const sockaddr*>(&mTarget),
           sizeof(mTarget));
}

void DebugOutput::Deliver(const char* text)
{
    if (mUdpPort <= 0)
        OutputToDebugger(text);
    else
        SendUdp(mUdpHost.empty() ? nullptr : mUdpHost.c_str(), mUdpPort, text);
}

void DebugOutput::Deliver(const wchar_t* text)
{
    if (mUdpPort <= 0) {
        OutputToDebugger(text);
        return;
    }
    const StringT<char, wchar_t> utf8(text);
    SendUdp(mUdpHost.empty() ? nullptr : mUdpHost.c_str(), mUdpPort, utf8.GetData());
}

void DebugOutput::OutputToDebugger(const char* text)
{
    OutputDebugStringA(text);
}

void DebugOutput::OutputToDebugger(const wchar_t* text)
{
    OutputDebugStringW(text);
}

} // namespace KX
