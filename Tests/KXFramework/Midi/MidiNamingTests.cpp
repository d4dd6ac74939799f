// Device names: the unique-name list, the matching of requests, indexed names,
// and the opening of exactly the device a request resolves to.
#include "MidiTestSupport.h"

namespace MidiTest {
namespace {

StringArrayT Names(std::initializer_list<const wchar_t*> texts)
{
    StringArrayT names;
    for (const wchar_t* text : texts)
        names.AddItem(String(text));
    return names;
}

std::vector<std::wstring> ToVector(const StringArrayT& names)
{
    std::vector<std::wstring> texts;
    for (int32_t i = 0; i < names.GetCount(); ++i)
        texts.push_back(names.GetAt(i).GetData());
    return texts;
}

TEST(MidiNaming, RepeatedNamesAreAllNumberedAtTheirFirstPlace)
{
    struct Case
    {
        StringArrayT devices;
        std::vector<std::wstring> unique;
        std::vector<int32_t> sources;
    };
    const Case cases[] = {
        {Names({L"A", L"B", L"A", L"A"}), {L"A (1)", L"A (2)", L"A (3)", L"B"}, {0, 2, 3, 1}},
        {Names({L"A", L"B"}), {L"A", L"B"}, {0, 1}},
        {Names({L"B", L"A", L"B"}), {L"B (1)", L"B (2)", L"A"}, {0, 2, 1}},
        {Names({L"Tavik 8", L"tavik 8"}), {L"Tavik 8", L"tavik 8"}, {0, 1}}, // compared exactly
        {Names({}), {}, {}},
    };
    for (const Case& c : cases) {
        StringArrayT unique;
        Array<int32_t> sources;
        LMidiComm::MakeUniqueDeviceNames(c.devices, unique, sources);
        EXPECT_EQ(c.unique, ToVector(unique));
        std::vector<int32_t> sourceList(sources.GetData(), sources.GetData() + sources.GetCount());
        EXPECT_EQ(c.sources, sourceList);
    }
    // Ten copies number up to two digits.
    StringArrayT ten;
    for (int i = 0; i < 10; ++i)
        ten.AddItem(String(L"P"));
    StringArrayT unique;
    LMidiComm::MakeUniqueDeviceNames(ten, unique);
    ASSERT_EQ(10, unique.GetCount());
    EXPECT_EQ(String(L"P (10)"), unique.GetAt(9));
}

TEST(MidiNaming, IndexedNamesSplitOnlyOneOrTwoDigitSuffixes)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* base;
        int32_t index;
    };
    const Case cases[] = {
        {L"Tavik 8 (2)", L"Tavik 8", 1},
        {L"P (1)", L"P", 0},
        {L"P (12)", L"P", 11},
        {L"P (0)", L"P", -1},       // never matches a device
        {L"P (x)", L"P", -1},       // not a number: 0
        {L"P (1x)", L"P", 0},       // read as far as it is digits
        {L"P (100)", L"P (100)", 0}, // three digits: no suffix at all
        {L"Tavik 8", L"Tavik 8", 0},
        {L"AB(3)", L"A", 2}, // the character before "(" goes with the suffix
        {L"(1)", L"(1)", 0},
    };
    for (const Case& c : cases) {
        String base;
        int32_t index = 99;
        LMidiComm::SplitIndexedName(c.name, base, index);
        EXPECT_EQ(String(c.base), base) << String(c.name).ToNarrow().GetData();
        EXPECT_EQ(c.index, index) << String(c.name).ToNarrow().GetData();
    }
}

TEST(MidiNaming, AnExactMatchWinsAndTwoPartialMatchesAreAmbiguous)
{
    struct Case
    {
        StringArrayT names;
        const wchar_t* request;
        int32_t count;
        int32_t position;
    };
    const Case cases[] = {
        {Names({L"Tavik 8", L"Tavik 8 Port 2"}), L"tavik 8", 1, 0},
        {Names({L"MIDIIN2 (Tavik 8)", L"Tavik 8"}), L"TAVIK 8", 1, 1}, // exact after a partial one
        {Names({L"MIDIIN2 (Tavik 8)", L"Tavik 8"}), L"avik", 2, 0},
        {Names({L"Tavik 8 (1)", L"Tavik 8 (2)"}), L"Tavik 8", 2, 0},
        {Names({L"Tavik 8 (1)", L"Tavik 8 (2)"}), L"tavik 8 (2)", 1, 1},
        {Names({L"Tavik 8"}), L"VIK", 1, 0},
        {Names({L"Tavik 8"}), L"Tavik Updater", 0, -1},
        {Names({}), L"Tavik 8", 0, -1},
    };
    for (const Case& c : cases) {
        int32_t position = 99;
        EXPECT_EQ(c.count, LMidiComm::ResolvePortName(c.names, c.request, position))
            << String(c.request).ToNarrow().GetData();
        EXPECT_EQ(c.position, position) << String(c.request).ToNarrow().GetData();
    }
    EXPECT_EQ(2, LMidiComm::FindPortName(Names({L"A", L"B", L"xa"}), L"A", 1));
    EXPECT_EQ(-1, LMidiComm::FindPortName(Names({L"A", L"B"}), L"C", 0));
}

// ---------------------------------------------------------------------------
// Against the simulated device

using MidiNamingDeviceTest = MidiDeviceTest;

TEST_F(MidiNamingDeviceTest, TheSystemsDevicesAreListedUnderUniqueNames)
{
    DeviceSet("duplicate_ports", "1");
    DeviceSet("extra_ports_after", "A,B,A");
    const std::vector<std::wstring> expected = {L"Tavik 8 (1)", L"Tavik 8 (2)", L"A (1)", L"A (2)", L"B"};
    StringArrayT names;
    EXPECT_EQ(S_OK, LMidiComm::GetCaptureDeviceNames(names));
    EXPECT_EQ(expected, ToVector(names));
    EXPECT_EQ(S_OK, LMidiComm::GetRenderDeviceNames(names));
    EXPECT_EQ(expected, ToVector(names));
}

TEST_F(MidiNamingDeviceTest, TheExactNameOpensThatDeviceNotAnEarlierOneContainingIt)
{
    DeviceSet("extra_ports_before", "MIDIIN2 (Tavik 8)");
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"tavik 8");
    EXPECT_EQ(1, InputDeviceOf(in));
    EXPECT_EQ(1, OutputDeviceOf(out));
    EXPECT_EQ(String(L"Tavik 8"), RCPtr<LMidiCapturePort>::DynamicCast(in)->GetDeviceName());
    EXPECT_EQ(String(L"tavik 8"), RCPtr<LMidiRenderPort>::DynamicCast(out)->GetName()) << "the name as requested";

    // The device itself answers on these ports.
    EXPECT_EQ(6, Send(out, Tavik8Sim::DeviceModel::IdentityRequest()));
    ASSERT_TRUE(mReceiver->WaitFor(1));
    EXPECT_EQ(Tavik8Sim::DeviceModel::IdentityReply("1.0.3.0"), mReceiver->Messages()[0].bytes);
    EXPECT_EQ(L"Tavik 8", mReceiver->Messages()[0].portName);

    // A part of both names is ambiguous; a part of one name opens that one.
    OpenCapture(L"avik", E_INVALIDARG);
    OpenRender(L"avik", E_INVALIDARG);
    RCPtr<LRefCountedObject> other = OpenCapture(L"midiin2");
    EXPECT_EQ(0, InputDeviceOf(other));
}

TEST_F(MidiNamingDeviceTest, NumberedNamesOpenTheirOwnCopyOfARepeatedName)
{
    DeviceSet("duplicate_ports", "1");
    DeviceSet("extra_ports_after", "Synth (100)");
    OpenCapture(L"Tavik 8", E_INVALIDARG);
    OpenRender(L"Tavik 8", E_INVALIDARG);
    RCPtr<LRefCountedObject> second = OpenCapture(L"tavik 8 (2)");
    RCPtr<LRefCountedObject> first = OpenCapture(L"Tavik 8 (1)");
    RCPtr<LRefCountedObject> secondOut = OpenRender(L"Tavik 8 (2)");
    EXPECT_EQ(1, InputDeviceOf(second));
    EXPECT_EQ(0, InputDeviceOf(first));
    EXPECT_EQ(1, OutputDeviceOf(secondOut));

    // No copy 0, no copy "x", no third copy.
    OpenCapture(L"Tavik 8 (0)", E_FAIL);
    OpenCapture(L"Tavik 8 (x)", E_FAIL);
    OpenRender(L"Tavik 8 (3)", E_FAIL);
    // A three-digit number is part of the name.
    RCPtr<LRefCountedObject> synth = OpenCapture(L"Synth (100)");
    EXPECT_EQ(2, InputDeviceOf(synth));
    OpenCapture(L"Synth (10)", E_FAIL);
    EXPECT_EQ(3, Comm().GetCapturePortCount()) << "failed requests leave no port behind";
}

TEST_F(MidiNamingDeviceTest, ANameThatMatchesNothingFailsWithANullPort)
{
    RCPtr<LRefCountedObject> port = Placeholder::Make();
    EXPECT_EQ(E_FAIL, mComm->OpenCapturePort(L"Tavik Updater", port));
    EXPECT_FALSE(port) << "the out port is cleared";
    port = Placeholder::Make();
    EXPECT_EQ(E_FAIL, mComm->OpenRenderPort(L"Tavik Updater", port));
    EXPECT_FALSE(port);
    EXPECT_EQ(0, Comm().GetCapturePortCount());
    EXPECT_EQ(0, Comm().GetRenderPortCount());
}

} // namespace
} // namespace MidiTest
