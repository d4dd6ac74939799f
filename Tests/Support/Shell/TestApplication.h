// A program's application class for the tests: what start-up answers, whether
// exit is allowed and the clock are set by the test.
#pragma once

#include "Application/ApplicationBaseWin.h"
#include "WindowTestControl.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

class TestApplication : public KX::LApplicationBase<TestApplication>
{
public:
    using Base = KX::LApplicationBase<TestApplication>;

    // Set by the tests before a run.
    static KX::KXRESULT sStartupResult; // what start-up answers after the framework's part
    static int32_t sExitCodeToSet;      // set as the program's exit code during start-up (-1: none)
    static int32_t sLiveCount;
    static int32_t sShutdownCount;
    static TestApplication* sLast;
    static String sMainControlName; // "mainControl" unless a test names another
    static std::function<void(TestApplication&)> sOnRunStart; // run when the main loop starts

    static KX::KXRESULT Create(KX::RCPtr<TestApplication>& out, const KX::RCPtr<KX::LControlFactory>& factory,
                               const KX::RCPtr<KX::LStringTable>& strings, const String& commandLine)
    {
        out = KX::RCPtr<TestApplication>(new TestApplication(factory, strings, commandLine));
        return S_OK;
    }

    KX::KXRESULT RunApplicationStartup() override
    {
        const KX::KXRESULT result = Base::RunApplicationStartup();
        if (result < 0)
            return result;
        if (GetControlFactory())
            GetControlFactory()->RegisterControlCreateFunction(WindowTestControl::kClassName,
                                                               &WindowTestControl::Create);
        if (sExitCodeToSet >= 0)
            KX::SetProgramExitCode(sExitCodeToSet);
        return sStartupResult;
    }
    KX::KXRESULT Shutdown() override
    {
        ++sShutdownCount;
        return Base::Shutdown();
    }
    KX::KXRESULT GetSettingsVersion(String& version) override
    {
        version = L"1_0_0";
        return S_OK;
    }
    KX::KXRESULT GetMainControlName(String& name) override
    {
        name = sMainControlName;
        return S_OK;
    }
    KX::KXRESULT ProcessCommandLine(const String& commandLine) override
    {
        mCommandLines.push_back(commandLine);
        return S_OK;
    }
    int32_t GetSettingsFile(int32_t) override { return 0; }
    int32_t GetRendererType() override { return 1; }
    bool CanExit() override
    {
        ++mCanExitCalls;
        return mCanExit;
    }
    KX::KXRESULT OnRunStart() override
    {
        if (sOnRunStart)
            sOnRunStart(*this);
        return Base::OnRunStart();
    }
    uint32_t GetTicks() override { return mFixedTicks ? mTicks : Base::GetTicks(); }
    bool ProcessIdle(bool first) override
    {
        mIdleFirstFlags.push_back(first);
        if (mOnIdle)
            mOnIdle();
        const bool more = Base::ProcessIdle(first);
        return mAlwaysMoreIdleWork || more;
    }

    // The MFC loop, or a throw when the test asks for one.
    KX::KXRESULT RunMessageLoop() override
    {
        if (mThrowFromLoop)
            throw std::runtime_error("broken handler");
        return Base::RunMessageLoop();
    }

    void SetTicks(uint32_t ticks)
    {
        if (!mFixedTicks)
            ResetElapsedTime(ticks);
        mFixedTicks = true;
        mTicks = ticks;
    }

    bool mCanExit = true;
    int32_t mCanExitCalls = 0;
    bool mAlwaysMoreIdleWork = false;
    bool mThrowFromLoop = false;
    std::vector<bool> mIdleFirstFlags;
    std::vector<String> mCommandLines;
    std::function<void()> mOnIdle; // run at the start of every idle pass

protected:
    TestApplication(const KX::RCPtr<KX::LControlFactory>& factory, const KX::RCPtr<KX::LStringTable>& strings,
                    const String& commandLine)
        : Base(factory, strings, commandLine)
    {
        ++sLiveCount;
        sLast = this;
    }
    ~TestApplication() override
    {
        --sLiveCount;
        if (sLast == this)
            sLast = nullptr;
    }

private:
    bool mFixedTicks = false;
    uint32_t mTicks = 0;
};
