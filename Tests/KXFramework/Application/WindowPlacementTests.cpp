// The main window's saved placement: only a whole record is used, and the
// window is kept inside the work area whether or not one was saved.
#include "Application/WindowPlacement.h"

#include "MfcLite/WinApp.h"
#include "MfcLite/Wnd.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kSection[] = L"PlacementTests";

class WindowPlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mApp.SetRegistryKey(L"Ostrel Test/Labs");
        RegDeleteKeyW(HKEY_CURRENT_USER, mApp.GetSectionKeyPath(kSection).c_str());
    }
    void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, mApp.GetSectionKeyPath(kSection).c_str()); }

    void WriteRaw(const void* data, UINT bytes)
    {
        ASSERT_TRUE(mApp.WriteProfileBinary(kSection, KX::kWindowPlacementEntry, static_cast<const BYTE*>(data),
                                            bytes));
    }

    CWinApp mApp;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowPlacementTest, OnlyAWholeRecordWhoseLengthSaysSoIsUsed)
{
    WINDOWPLACEMENT placement{};
    EXPECT_FALSE(KX::LoadWindowPlacement(mApp, kSection, placement)); // nothing saved

    WINDOWPLACEMENT saved{};
    saved.length = sizeof(saved);
    saved.showCmd = SW_SHOWNORMAL;
    saved.rcNormalPosition = RECT{100, 120, 500, 420};
    WriteRaw(&saved, 20); // the first 20 bytes only
    EXPECT_FALSE(KX::LoadWindowPlacement(mApp, kSection, placement));

    unsigned char longer[sizeof(saved) + 4] = {};
    memcpy(longer, &saved, sizeof(saved));
    WriteRaw(longer, sizeof(longer));
    EXPECT_FALSE(KX::LoadWindowPlacement(mApp, kSection, placement));

    WINDOWPLACEMENT wrongLength = saved;
    wrongLength.length = 88;
    WriteRaw(&wrongLength, sizeof(wrongLength));
    EXPECT_FALSE(KX::LoadWindowPlacement(mApp, kSection, placement));

    WriteRaw(&saved, sizeof(saved));
    ASSERT_TRUE(KX::LoadWindowPlacement(mApp, kSection, placement));
    EXPECT_TRUE(SameRect(saved.rcNormalPosition, placement.rcNormalPosition));
    EXPECT_EQ(44u, sizeof(WINDOWPLACEMENT)); // the same record size on x64
}

TEST(ClampWindowRectTest, WindowsAreCutToTheAreaAndMovedInsideIt)
{
    const RECT area{0, 40, 1920, 1080}; // a task bar above
    struct Case
    {
        const char* what;
        RECT window;
        RECT expected;
    };
    const Case cases[] = {
        {"inside", {100, 100, 500, 400}, {100, 100, 500, 400}},
        {"left edge off to the left", {-50, 100, 350, 400}, {0, 100, 400, 400}},
        {"top edge above the area", {100, 0, 500, 300}, {100, 40, 500, 340}},
        {"left edge off to the right", {1800, 100, 2200, 400}, {1520, 100, 1920, 400}},
        {"bottom below", {100, 1000, 500, 1300}, {100, 780, 500, 1080}},
        {"wider and taller than the area", {-10, -10, 3000, 2000}, {0, 40, 1920, 1080}},
    };
    for (const Case& c : cases) {
        const RECT clamped = KX::ClampWindowRect(c.window, area, nullptr);
        EXPECT_TRUE(SameRect(c.expected, clamped))
            << c.what << ": " << clamped.left << "," << clamped.top << "," << clamped.right << "," << clamped.bottom;
    }

    // The size rules come after the cut: a minimum wider than the area keeps
    // the window's left edge on the area's.
    const RECT wide = KX::ClampWindowRect(RECT{300, 100, 700, 400}, area, [](RECT& r) { r.right = r.left + 2500; });
    EXPECT_TRUE(SameRect(RECT{0, 100, 2500, 400}, wide));
    int calls = 0;
    KX::ClampWindowRect(RECT{-10, -10, 3000, 2000}, area, [&calls](RECT& r) {
        ++calls;
        EXPECT_EQ(1920, r.right - r.left); // already cut to the area
        EXPECT_EQ(1040, r.bottom - r.top);
    });
    EXPECT_EQ(1, calls);
}

TEST_F(WindowPlacementTest, ASavedPlacementComesBackInsideTheWorkArea)
{
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"placement", WS_OVERLAPPED | WS_CAPTION, 200, 150, 300, 200, nullptr,
                                nullptr));
    ASSERT_TRUE(KX::SaveWindowPlacement(mApp, kSection, window.m_hWnd));
    window.MoveWindow(RECT{10, 10, 310, 210});
    KX::RestoreWindowPlacement(mApp, kSection, window.m_hWnd, area, nullptr);
    RECT restored{};
    window.GetWindowRect(&restored);
    EXPECT_TRUE(SameRect(RECT{200, 150, 500, 350}, restored));

    // A saved left edge off the work area comes back inside it.
    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(KX::LoadWindowPlacement(mApp, kSection, placement));
    placement.rcNormalPosition = RECT{area.left - 120, 150, area.left + 180, 350};
    WriteRaw(&placement, sizeof(placement));
    KX::RestoreWindowPlacement(mApp, kSection, window.m_hWnd, area, nullptr);
    window.GetWindowRect(&restored);
    EXPECT_TRUE(SameRect(RECT{area.left, 150, area.left + 300, 350}, restored));

    // Without a saved placement the window is still kept inside.
    RegDeleteKeyW(HKEY_CURRENT_USER, mApp.GetSectionKeyPath(kSection).c_str());
    window.MoveWindow(RECT{area.right - 100, 150, area.right + 200, 350});
    KX::RestoreWindowPlacement(mApp, kSection, window.m_hWnd, area, nullptr);
    window.GetWindowRect(&restored);
    EXPECT_TRUE(SameRect(RECT{area.right - 300, 150, area.right, 350}, restored));
    window.DestroyWindow();
}

} // namespace
