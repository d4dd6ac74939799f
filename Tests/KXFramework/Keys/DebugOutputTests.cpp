#include "System/DebugOutput.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace KX;

namespace {

// A debug output record that keeps what it would hand to the debugger.
class WatchedDebugOutput : public DebugOutput
{
public:
    std::vector<std::string> narrow;
    std::vector<std::wstring> wide;

protected:
    void OutputToDebugger(const char* text) override { narrow.emplace_back(text); }
    void OutputToDebugger(const wchar_t* text) override { wide.emplace_back(text); }
};

// A UDP socket on the loopback address that collects datagrams.
class LoopbackListener
{
public:
    LoopbackListener()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        mSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        address.sin_port = 0;
        bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int length = sizeof(address);
        getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length);
        mPort = ntohs(address.sin_port);
        // Only a safety net against a hang when a datagram never comes.
        DWORD timeout = 5000;
        setsockopt(mSocket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    }
    ~LoopbackListener()
    {
        closesocket(mSocket);
        WSACleanup();
    }

    int Port() const { return mPort; }

    std::string Receive()
    {
        std::vector<char> buffer(65536);
        const int n = recvfrom(mSocket, buffer.data(), static_cast<int>(buffer.size()), 0, nullptr, nullptr);
        if (n < 0)
            return "<nothing>";
        return std::string(buffer.data(), static_cast<size_t>(n));
    }

    void ExpectBanner()
    {
        EXPECT_EQ("*** APPLICATION Launched on ", Receive());
        EXPECT_EQ("127.0.0.1", Receive());
        EXPECT_EQ("***\n", Receive());
    }

private:
    SOCKET mSocket = INVALID_SOCKET;
    int mPort = 0;
};

struct OptionCase
{
    const char* commandLine;
    DebugConsoleOption::Action action;
    int32_t port;
    const char* host; // null: none
};

TEST(DebugOutput, CommandLineOptionTable)
{
    using A = DebugConsoleOption::Action;
    const OptionCase cases[] = {
        {"", A::None, 0, nullptr},
        {"updater.exe -SILENT", A::None, 0, nullptr},
        {"updater.exe -debug_console", A::Console, 0, nullptr},
        {"updater.exe -SILENT -Debug_Console -START_UPDATE_AUTOMATICALLY", A::Console, 0, nullptr},
        {"updater.exe -DEBUG_CONSOLE:7", A::None, 0, nullptr},
        {"updater.exe -DEBUG_CONSOLE:", A::None, 0, nullptr},
        {"updater.exe -DEBUG_CONSOLE:77", A::Udp, 77, nullptr},
        {"updater.exe -DEBUG_CONSOLE:5000 -SILENT", A::Udp, 5000, nullptr},
        {"updater.exe -debug_console:5000:buildhost -silent", A::Udp, 5000, "BUILDHOST"},
        {"-DEBUG_CONSOLE:9000:", A::Udp, 9000, nullptr},
        {"-DEBUG_CONSOLE:9000:10.0.0.7", A::Udp, 9000, "10.0.0.7"},
        {"-DEBUG_CONSOLE:ABC", A::Udp, 0, nullptr},
        {"-DEBUG_CONSOLE:12AB", A::Udp, 12, nullptr},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const DebugConsoleOption option = DebugOutput::ParseCommandLine(c.commandLine);
        EXPECT_EQ(c.action, option.action);
        if (c.action != A::Udp)
            continue;
        EXPECT_EQ(c.port, option.port);
        EXPECT_EQ(c.host != nullptr, option.hasHost);
        if (c.host) {
            EXPECT_EQ(c.host, option.host);
        }
    }
}

TEST(DebugOutput, ApplyingTheOptionSetsTheUdpTarget)
{
    WatchedDebugOutput output;
    output.ApplyCommandLine(L"updater.exe -debug_console:5000:buildhost -silent");
    EXPECT_EQ(5000, output.GetUdpPort());
    EXPECT_EQ("BUILDHOST", output.GetUdpHost());

    // A port with no host keeps the stored host.
    output.ApplyCommandLine(L"updater.exe -DEBUG_CONSOLE:6000");
    EXPECT_EQ(6000, output.GetUdpPort());
    EXPECT_EQ("BUILDHOST", output.GetUdpHost());

    WatchedDebugOutput untouched;
    untouched.ApplyCommandLine(L"updater.exe -DEBUG_CONSOLE:7 -SILENT");
    EXPECT_EQ(-1, untouched.GetUdpPort());
    EXPECT_EQ(&untouched.GetDebugStream(), &untouched.GetStream());
}

TEST(DebugOutput, WithoutTheOptionAFlushGoesToTheDebuggerInOneCall)
{
    WatchedDebugOutput output;
    output.GetStream() << "first line " << 42 << std::endl;
    output.GetWideStream() << L"wide \x00e9" << std::flush;
    ASSERT_EQ(1u, output.narrow.size());
    EXPECT_EQ("first line 42\n", output.narrow[0]);
    ASSERT_EQ(1u, output.wide.size());
    EXPECT_EQ(L"wide \x00e9", output.wide[0]);
}

TEST(DebugOutput, LongWritesGoOutInPiecesOf1023)
{
    WatchedDebugOutput output;
    std::string text;
    for (int i = 0; i < 2500; ++i)
        text += static_cast<char>('a' + i % 26);
    output.GetStream().write(text.data(), static_cast<std::streamsize>(text.size()));
    ASSERT_EQ(2u, output.narrow.size());
    EXPECT_EQ(text.substr(0, 1023), output.narrow[0]);
    EXPECT_EQ(text.substr(1023, 1023), output.narrow[1]);
    EXPECT_EQ(454, output.GetDebugStream().GetBuffer().GetPendingCount());
    output.GetStream().flush();
    ASSERT_EQ(3u, output.narrow.size());
    EXPECT_EQ(text.substr(2046), output.narrow[2]);

    // A write that starts on a part-filled buffer first fills it to 1023.
    output.GetStream() << std::string(1000, 'x');
    output.GetStream() << std::string(30, 'y');
    ASSERT_EQ(4u, output.narrow.size());
    EXPECT_EQ(std::string(1000, 'x') + std::string(23, 'y'), output.narrow[3]);
    EXPECT_EQ(7, output.GetDebugStream().GetBuffer().GetPendingCount());
}

TEST(DebugOutput, UdpSendsTheBannerFirstThenThePieces)
{
    LoopbackListener listener;
    {
        DebugOutput output;
        output.SetUdpTarget("127.0.0.1", listener.Port());
        std::string text;
        for (int i = 0; i < 2500; ++i)
            text += static_cast<char>('A' + i % 26);
        output.GetStream() << text;
        listener.ExpectBanner();
        EXPECT_EQ(text.substr(0, 1023), listener.Receive());
        EXPECT_EQ(text.substr(1023, 1023), listener.Receive());
        EXPECT_EQ(454, output.GetDebugStream().GetBuffer().GetPendingCount());
        output.GetStream() << std::flush;
        EXPECT_EQ(text.substr(2046), listener.Receive());

        // An empty flush sends nothing: the next datagram is the next text.
        output.GetStream() << std::flush;
        output.GetWideStream() << L"caf\x00e9 \x20ac" << std::flush;
        EXPECT_EQ("caf\xc3\xa9 \xe2\x82\xac", listener.Receive());

        // Text still pending when the record goes is given out.
        output.GetStream() << "last words";
    }
    EXPECT_EQ("last words", listener.Receive());
}

TEST(DebugOutput, AnEmptyFirstFlushSendsOnlyTheBanner)
{
    LoopbackListener listener;
    DebugOutput output;
    output.SetUdpTarget("127.0.0.1", listener.Port());
    output.GetStream() << std::flush;
    listener.ExpectBanner();
    output.GetStream() << "marker" << std::flush;
    EXPECT_EQ("marker", listener.Receive());
}

} // namespace
