#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationID.h"
#include "Notification/NotificationReceiver.h"
#include "System/GlobalHotKeyManager.h"
#include "System/KeyBindingMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace KX;

namespace {

using String = StringT<wchar_t, char>;
using StringPair = Pair<String, String>;

std::wstring Text(const String& text)
{
    return std::wstring(text.GetData());
}

KeyCode Key(const wchar_t* text)
{
    return KeyCode::FromString(String(text));
}

// A string table of the test's own: (identifier, text) pairs, handed out
// sorted by identifier as the framework's string tables do.
class TestStringTable : public virtual LRefCountedObject
{
public:
    explicit TestStringTable(std::vector<std::pair<std::wstring, std::wstring>> entries)
        : mEntries(std::move(entries))
    {
        std::sort(mEntries.begin(), mEntries.end());
    }

    KXRESULT GetAllStrings(Array<StringPair>& pairs)
    {
        pairs.RemoveAll();
        for (const auto& entry : mEntries) {
            StringPair pair;
            pair.first = String(entry.first.c_str());
            pair.second = String(entry.second.c_str());
            pairs.AddItem(pair);
        }
        return S_OK;
    }

private:
    std::vector<std::pair<std::wstring, std::wstring>> mEntries;
};

// Keeps every notification handed to it, with its sender.
class RecordingReceiver : public LNotificationReceiver
{
public:
    std::vector<RCPtr<LNotification>> received;
    std::vector<LNotificationDistributor*> senders;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        senders.push_back(sender.Get());
        received.push_back(notification);
        return S_OK;
    }
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>&, const wchar_t*) override
    {
        return E_FAIL;
    }
};

TEST(KeyBindingMap, AKeyIsBoundOnce)
{
    KeyBindingMap map;
    EXPECT_EQ(S_OK, map.AddBinding(Key(L"Alt+VKEY_F4"), L"NID_APP_EXIT_REQ"));
    EXPECT_EQ(E_INVALIDARG, map.AddBinding(Key(L"Alt+VKEY_F4"), L"NID_MENU_FILE_EXIT_REQ"));
    EXPECT_EQ(E_INVALIDARG, map.AddBinding(Key(L"Alt+VKEY_F4"), L"NID_APP_EXIT_REQ"));
    EXPECT_EQ(E_INVALIDARG, map.AddBinding(Key(L"VKEY_F5"), L""));
    EXPECT_EQ(E_INVALIDARG, map.AddBinding(Key(L"VKEY_F5"), nullptr));

    EXPECT_EQ(L"NID_APP_EXIT_REQ", Text(map.FindNotificationID(KeyCode(0x73, true, 0, KeyCode::ModAlt))));
    EXPECT_FALSE(map.IsBound(L"NID_MENU_FILE_EXIT_REQ"));
    EXPECT_FALSE(map.IsBound(L""));
    EXPECT_EQ(1, map.GetBindings(L"NID_APP_EXIT_REQ").GetCount());
    // The refused binding left nothing behind.
    EXPECT_TRUE(map.FindNotificationID(Key(L"VKEY_F5")).IsEmpty());
}

TEST(KeyBindingMap, KeysOfOneNotificationKeepTheirOrder)
{
    KeyBindingMap map;
    ASSERT_EQ(S_OK, map.AddBinding(Key(L"Ctrl+VKEY_S"), L"NID_MENU_FILE_SELECT"));
    ASSERT_EQ(S_OK, map.AddBinding(Key(L"VKEY_F12"), InternNotificationID(L"NID_MENU_FILE_SELECT")));
    // A character binding: Ctrl and Shift are part of the typed character.
    ASSERT_EQ(S_OK, map.AddBinding(Key(L"Ctrl+o"), L"NID_MENU_FILE_SELECT"));

    const Array<KeyCode> keys = map.GetBindings(L"NID_MENU_FILE_SELECT");
    ASSERT_EQ(3, keys.GetCount());
    EXPECT_EQ(0x21530000u, keys.GetAt(0).GetCode());
    EXPECT_EQ(0x207B0000u, keys.GetAt(1).GetCode());
    EXPECT_EQ(0x0000006Fu, keys.GetAt(2).GetCode());
    EXPECT_EQ(0x21530000u, map.GetFirstKey(L"NID_MENU_FILE_SELECT").GetCode());
    EXPECT_TRUE(map.IsBound(L"NID_MENU_FILE_SELECT"));
    EXPECT_EQ(L"NID_MENU_FILE_SELECT", Text(map.FindNotificationID(KeyCode(L'o', KeyCode::ModCtrl))));

    const KeyCode none = map.GetFirstKey(L"NID_NOT_BOUND_ANYWHERE");
    EXPECT_EQ(0x80000000u, none.GetCode());
    EXPECT_EQ(0u, none.GetSideMask());
    EXPECT_EQ(0, map.GetBindings(L"").GetCount());
}

TEST(KeyBindingMap, LoadsTheEntriesOfItsPrefix)
{
    RCPtr<TestStringTable> table(new TestStringTable({
        {L"GHK.NID_APP_EXIT_REQ", L"Alt+VKEY_F4"},
        {L"GHK.NID_MENU_FILE_SELECT", L"Ctrl+VKEY_O"},
        // Two dotted parts: the key binds to the second name.
        {L"GHK.MENU.NID_TEST_SECOND_PART", L"VKEY_F5"},
        // Sorted after the exit binding, so its key is taken already.
        {L"GHK.NID_TEST_DUPLICATE", L"Alt+VKEY_F4"},
        {L"GHKX.NID_TEST_NO_DOT", L"VKEY_F6"},
        {L"ghk.NID_TEST_LOWER_CASE", L"VKEY_F8"},
        {L"LHK.NID_TEST_LOCAL", L"VKEY_F7"},
        {L"LABEL_UPDATE_IN_PROGRESS", L"Updating..."},
    }));

    KeyBindingMap global;
    EXPECT_EQ(S_OK, global.Load(table, String(L"GHK")));
    EXPECT_EQ(L"NID_APP_EXIT_REQ", Text(global.FindNotificationID(Key(L"Alt+VKEY_F4"))));
    EXPECT_EQ(L"NID_MENU_FILE_SELECT", Text(global.FindNotificationID(Key(L"Ctrl+VKEY_O"))));
    EXPECT_EQ(L"NID_TEST_SECOND_PART", Text(global.FindNotificationID(Key(L"VKEY_F5"))));
    EXPECT_FALSE(global.IsBound(L"MENU.NID_TEST_SECOND_PART"));
    EXPECT_FALSE(global.IsBound(L"NID_TEST_DUPLICATE"));
    EXPECT_FALSE(global.IsBound(L"NID_TEST_NO_DOT"));
    EXPECT_FALSE(global.IsBound(L"NID_TEST_LOWER_CASE"));
    EXPECT_FALSE(global.IsBound(L"NID_TEST_LOCAL"));

    KeyBindingMap local;
    EXPECT_EQ(S_OK, local.Load(table, String(L"LHK")));
    EXPECT_EQ(L"NID_TEST_LOCAL", Text(local.FindNotificationID(Key(L"VKEY_F7"))));
    EXPECT_TRUE(local.FindNotificationID(Key(L"Alt+VKEY_F4")).IsEmpty());

    EXPECT_EQ(E_INVALIDARG, local.Load(RCPtr<TestStringTable>(), String(L"LHK")));
}

TEST(GlobalHotKeyManager, ABoundKeyHandsItsNotificationToTheReceiver)
{
    RCPtr<RecordingReceiver> receiver(new RecordingReceiver);
    RCPtr<LGlobalHotKeyManager> manager = LGlobalHotKeyManager::Create(receiver);
    ASSERT_EQ(S_OK, manager->GetBindingMap().AddBinding(Key(L"Alt+VKEY_F4"), L"NID_APP_EXIT_REQ"));

    EXPECT_EQ(S_FALSE, manager->ProcessKey(Key(L"VKEY_F4")));
    EXPECT_TRUE(receiver->received.empty());

    EXPECT_EQ(S_OK, manager->ProcessKey(KeyCode(0x73, true, 0, KeyCode::ModAlt | KeyCode::ModRightAlt)));
    ASSERT_EQ(1u, receiver->received.size());
    EXPECT_EQ(InternNotificationID(L"NID_APP_EXIT_REQ"), receiver->received[0]->GetID());
    EXPECT_FALSE(receiver->received[0]->GetData());
    EXPECT_EQ(nullptr, receiver->senders[0]);

    // Without a receiver a bound key is still reported as handled.
    RCPtr<LGlobalHotKeyManager> deaf = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>());
    ASSERT_EQ(S_OK, deaf->GetBindingMap().AddBinding(Key(L"VKEY_F9"), L"NID_APP_EXIT_REQ"));
    EXPECT_EQ(S_OK, deaf->ProcessKey(Key(L"VKEY_F9")));
}

TEST(GlobalHotKeyManager, ThroughAPostingReceiverTheNotificationArrivesInTheNextPass)
{
    RCPtr<LNotificationCenter> centre;
    LNotificationCenter::Create(centre, String(L"keys test"));
    RCPtr<LNotificationQueue::LPostingReceiver> posting;
    centre->GetPostingReceiver(posting);
    RCPtr<LGlobalHotKeyManager> manager = LGlobalHotKeyManager::Create(posting);
    ASSERT_EQ(S_OK, manager->GetBindingMap().AddBinding(Key(L"Alt+VKEY_F4"), L"NID_APP_EXIT_REQ"));

    RCPtr<RecordingReceiver> listener(new RecordingReceiver);
    ASSERT_EQ(S_OK, centre->RegisterClient(listener, L"NID_APP_EXIT_REQ", 0));

    EXPECT_EQ(S_OK, manager->ProcessKey(KeyCode(0x73, true, 0, KeyCode::ModAlt)));
    EXPECT_TRUE(listener->received.empty()); // posted, not sent
    centre->ProcessNotifications(false);
    ASSERT_EQ(1u, listener->received.size());
    EXPECT_EQ(InternNotificationID(L"NID_APP_EXIT_REQ"), listener->received[0]->GetID());
    EXPECT_EQ(static_cast<LNotificationDistributor*>(centre.Get()), listener->senders[0]);

    centre->UnregisterClient(listener, L"NID_APP_EXIT_REQ");
}

} // namespace
