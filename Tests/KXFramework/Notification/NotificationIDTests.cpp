#include "NotificationTestSupport.h"

#include "Notification/NotificationIDs.h"

#include <set>
#include <thread>

using namespace NotificationTest;

namespace {

int32_t TableCount()
{
    MutexLock lock(GetNotificationLock());
    return GetNotificationIDTable().GetCount();
}

using NotificationIDTest = NotificationFixture;

TEST_F(NotificationIDTest, EqualTextsShareOnePointerAndCaseVariantsDiffer)
{
    // Texts built at run time, so that no two literals can share storage.
    std::wstring first = L"NID_VALUE_CHANGE";
    std::wstring second = first;
    const wchar_t* id = InternNotificationID(first.c_str());
    ASSERT_NE(nullptr, id);
    EXPECT_NE(first.c_str(), id);
    EXPECT_EQ(id, InternNotificationID(second.c_str()));
    EXPECT_EQ(id, InternNotificationID(id));
    EXPECT_EQ(std::wstring(L"NID_VALUE_CHANGE"), std::wstring(id));

    std::wstring lower = L"NID_VALUE_CHANGe";
    const wchar_t* lowerId = InternNotificationID(lower.c_str());
    ASSERT_NE(nullptr, lowerId);
    EXPECT_NE(id, lowerId);
}

TEST_F(NotificationIDTest, NullAndEmptyHaveNoIdentifierAndLeaveTheTableAlone)
{
    InternNotificationID(L"NID_IDLE");
    const int32_t before = TableCount();
    EXPECT_EQ(nullptr, InternNotificationID(nullptr));
    EXPECT_EQ(nullptr, InternNotificationID(L""));
    EXPECT_EQ(before, TableCount());
}

TEST_F(NotificationIDTest, AnIdentifierStaysValidWhileTheTableGrows)
{
    const wchar_t* id = InternNotificationID(L"NID_TEST_STABLE");
    for (int i = 0; i < 200; ++i)
        InternNotificationID((L"NID_TEST_GROWTH_" + std::to_wstring(i)).c_str());
    EXPECT_EQ(std::wstring(L"NID_TEST_STABLE"), std::wstring(id));
    EXPECT_EQ(id, InternNotificationID(L"NID_TEST_STABLE"));
}

TEST_F(NotificationIDTest, TheTextIsReadByAddressOnly)
{
    const wchar_t* id = InternNotificationID(L"NID_APP_EXIT_REQ");
    EXPECT_TRUE(GetNotificationIDText(id) == L"NID_APP_EXIT_REQ");
    std::wstring copy = L"NID_APP_EXIT_REQ";
    EXPECT_TRUE(GetNotificationIDText(copy.c_str()).IsEmpty());
    EXPECT_TRUE(GetNotificationIDText(nullptr).IsEmpty());
}

TEST_F(NotificationIDTest, TheProgramsIdentifiersAreDistinctAndKeepTheirSpelling)
{
    std::set<const wchar_t*> ids;
    for (const wchar_t* text : kNotificationIDTexts)
        ids.insert(InternNotificationID(text));
    EXPECT_EQ(57u, ids.size());
    EXPECT_EQ(0u, ids.count(nullptr));
    EXPECT_EQ(std::wstring(L"NID_VISIBLITY_CONDITION_CHANGE"), std::wstring(NID_VISIBLITY_CONDITION_CHANGE));
    EXPECT_EQ(InternNotificationID(L"NID_VISIBLITY_CONDITION_CHANGE"),
              InternNotificationID(NID_VISIBLITY_CONDITION_CHANGE));
}

TEST_F(NotificationIDTest, ThreadsInterningTheSameTextsGetTheSamePointers)
{
    constexpr int kTexts = 100;
    std::vector<const wchar_t*> seen[2];
    auto work = [&](int which) {
        for (int i = 0; i < kTexts; ++i)
            seen[which].push_back(InternNotificationID((L"NID_TEST_RACE_" + std::to_wstring(i)).c_str()));
    };
    std::thread a(work, 0);
    std::thread b(work, 1);
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(static_cast<size_t>(kTexts), std::set<const wchar_t*>(seen[0].begin(), seen[0].end()).size());
}

} // namespace
