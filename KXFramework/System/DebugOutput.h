// The framework's debug output: two program-wide streams, one for 8-bit and one
// for wide text, that go to the debugger (the default), to a console window
// opened for the process, or as UDP datagrams to a listener on the network.
//
// Contract:
// - Text written to a stream is buffered and goes out when the stream is
//   flushed. A multi-character write never leaves more than 1023 characters in
//   the buffer: longer text goes out in parts of at most 1023 characters.
// - The destination is chosen once at start-up from the command-line option
//   "-DEBUG_CONSOLE" (ApplyCommandLine): alone it opens a console; followed by
//   ":" and a port, and optionally ":" and a host, it sends UDP datagrams.
// - Every failure of the output path is silent.
// - No lock: the streams and the UDP sender are for one thread at a time.
#pragma once

#include "KXPlatform.h" // with winsock.h: SOCKET and sockaddr_in

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>

namespace KX {
class DebugOutput;
}

// A string stream buffer that hands its text to a debug output record when it
// is synchronised, and that never keeps more than 1023 characters of a
// multi-character write.
template <class C>
class basic_debugbuf : public std::basic_stringbuf<C>
{
public:
    explicit basic_debugbuf(KX::DebugOutput& owner) : std::basic_stringbuf<C>(std::ios_base::out), mOwner(owner) {}
    ~basic_debugbuf() override;

    // Characters waiting for the next synchronisation.
    std::streamsize GetPendingCount() const { return this->pptr() - this->pbase(); }

    static constexpr std::streamsize MaxPiece = 1023;

protected:
    std::streamsize xsputn(const C* text, std::streamsize count) override;
    int sync() override;

private:
    KX::DebugOutput& mOwner;
};

// An output stream over its own basic_debugbuf.
template <class C>
class basic_dostream : public std::basic_ostream<C>
{
public:
    explicit basic_dostream(KX::DebugOutput& owner)
        : std::basic_ostream<C>(nullptr), mBuffer(new basic_debugbuf<C>(owner))
    {
        this->init(mBuffer);
    }
    ~basic_dostream() override
    {
        this->rdbuf(nullptr);
        delete mBuffer;
    }
    basic_dostream(const basic_dostream&) = delete;
    basic_dostream& operator=(const basic_dostream&) = delete;

    basic_debugbuf<C>& GetBuffer() { return *mBuffer; }

private:
    basic_debugbuf<C>* mBuffer;
};

namespace KX {

// What the "-DEBUG_CONSOLE" option of a command line asks for.
struct DebugConsoleOption
{
    enum class Action { None, Console, Udp };
    Action action = Action::None;
    int32_t port = 0;
    bool hasHost = false;
    std::string host; // upper-cased, as the whole command line is
};

// The debug output record: the two streams, the current streams, the UDP
// target and the UDP sender. The program has one (GetInstance); tests may make
// their own.
class DebugOutput
{
public:
    DebugOutput();
    virtual ~DebugOutput();
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // The program-wide record, made before the entry point, destroyed at exit.
    static DebugOutput& GetInstance();

    // Reads "-DEBUG_CONSOLE" from a command line (UTF-8, upper-cased here)
    // and opens the console or sets the UDP target; nothing without it.
    static DebugConsoleOption ParseCommandLine(const char* utf8CommandLine);
    DebugConsoleOption ApplyCommandLine(const wchar_t* commandLine);

    // Opens a console for the process and makes the standard error streams the
    // current streams.
    void OpenConsole();
    // Stores the host unless it is null, and the port (0 or less: debugger).
    void SetUdpTarget(const char* host, int32_t port);
    // Sends one datagram. The first use fixes the socket and the target for the
    // record's life and sends the banner "*** APPLICATION Launched on ",
    // the address and "***\n" first. Null or empty text sends nothing more.
    void SendUdp(const char* host, int32_t port, const char* text);

    // Where debug text is written: the debug streams, or the standard error
    // streams once a console is open.
    std::ostream& GetStream() { return *mCurrentStream; }
    std::wostream& GetWideStream() { return *mCurrentWideStream; }
    basic_dostream<char>& GetDebugStream() { return mStream; }
    basic_dostream<wchar_t>& GetWideDebugStream() { return mWideStream; }

    const std::string& GetUdpHost() const { return mUdpHost; }
    int32_t GetUdpPort() const { return mUdpPort; }

    // Called by the stream buffers when they are synchronised.
    void Deliver(const char* text);
    void Deliver(const wchar_t* text);

protected:
    // The debugger's output; a test may watch it.
    virtual void OutputToDebugger(const char* text);
    virtual void OutputToDebugger(const wchar_t* text);

private:
    // The target is fixed here before the banner goes out.
    void SetUpUdp(const char* host, int32_t port);

    std::string mUdpHost;
    int32_t mUdpPort = -1;
    SOCKET mSocket = INVALID_SOCKET; // fixed by the first use, with the target
    sockaddr_in mTarget{};
    // The streams come after the UDP state, so the destructor can still send
    // their pending text.
    basic_dostream<char> mStream;
    basic_dostream<wchar_t> mWideStream;
    std::ostream* mCurrentStream;
    std::wostream* mCurrentWideStream;
};

} // namespace KX

template <class C>
basic_debugbuf<C>::~basic_debugbuf()
{
    if (GetPendingCount() > 0)
        sync();
}

template <class C>
std::streamsize basic_debugbuf<C>::xsputn(const C* text, std::streamsize count)
{
    std::streamsize appended = 0;
    while (appended < count) {
        if (GetPendingCount() > MaxPiece - 1)
            sync();
        std::streamsize piece = MaxPiece - GetPendingCount();
        if (piece > count - appended)
            piece = count - appended;
        appended += std::basic_stringbuf<C>::xsputn(text + appended, piece);
    }
    return appended;
}

template <class C>
int basic_debugbuf<C>::sync()
{
    const std::basic_string<C> text = this->str().substr(0, static_cast<size_t>(GetPendingCount()));
    mOwner.Deliver(text.c_str());
    this->str(std::basic_string<C>());
    return 0;
}
