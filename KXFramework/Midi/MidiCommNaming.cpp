// KX::LMidiComm's device listing and naming: the system's input and output
// devices under unique names, and the resolution of a requested name among
// them (the rules are in MidiComm.h).
#include "Midi/MidiComm.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

} // namespace

KXRESULT LMidiComm::GetDeviceProductNames(bool capture, StringArrayT& names)
{
    names.RemoveAll();
    const UINT count = capture ? midiInGetNumDevs() : midiOutGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        String name;
        if (capture) {
            MIDIINCAPSW caps{};
            if (midiInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
                return E_FAIL;
            name.Assign(caps.szPname, MAXPNAMELEN);
        } else {
            MIDIOUTCAPSW caps{};
            if (midiOutGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
                return E_FAIL;
            name.Assign(caps.szPname, MAXPNAMELEN);
        }
        names.AddItem(name);
    }
    return S_OK;
}

KXRESULT LMidiComm::GetCaptureDeviceNames(StringArrayT& names)
{
    StringArrayT products;
    const KXRESULT result = GetDeviceProductNames(true, products);
    MakeUniqueDeviceNames(products, names);
    return result;
}

KXRESULT LMidiComm::GetRenderDeviceNames(StringArrayT& names)
{
    StringArrayT products;
    const KXRESULT result = GetDeviceProductNames(false, products);
    MakeUniqueDeviceNames(products, names);
    return result;
}

void LMidiComm::MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique)
{
    Array<int32_t> sources;
    MakeUniqueDeviceNames(names, unique, sources);
}

void LMidiComm::MakeUniqueDeviceNames(const StringArrayT& names, StringArrayT& unique, Array<int32_t>& sources)
{
    // The names still to place, each with its index in `names`.
    std::vector<std::pair<String, int32_t>> rest;
    for (int32_t i = 0; i < names.GetCount(); ++i)
        rest.emplace_back(names.GetAt(i), i);

    StringArrayT result;
    Array<int32_t> resultSources;
    while (!rest.empty()) {
        const String name = rest.front().first;
        std::vector<int32_t> copies = {rest.front().second};
        rest.erase(rest.begin());
        for (auto it = rest.begin(); it != rest.end();) {
            if (it->first == name) {
                copies.push_back(it->second);
                it = rest.erase(it);
            } else {
                ++it;
            }
        }
        if (copies.size() == 1) {
            result.AddItem(name);
            resultSources.AddItem(copies.front());
            continue;
        }
        for (size_t j = 0; j < copies.size(); ++j) {
            String numbered;
            numbered.Format(L" (%d)", static_cast<int>(j + 1));
            result.AddItem(name + numbered);
            resultSources.AddItem(copies[j]);
        }
    }
    unique = result;
    sources = resultSources;
}

int32_t LMidiComm::FindPortName(const StringArrayT& names, const String& text, int32_t start)
{
    const String lowerText = text.ToLower();
    for (int32_t i = start < 0 ? 0 : start; i < names.GetCount(); ++i) {
        if (names.GetAt(i).ToLower().Find(lowerText) >= 0)
            return i;
    }
    return -1;
}

int32_t LMidiComm::ResolvePortName(const StringArrayT& names, const String& request, int32_t& position)
{
    const String lowerRequest = request.ToLower();
    position = -1;
    int32_t count = 0;
    int32_t start = 0;
    for (;;) {
        const int32_t found = FindPortName(names, lowerRequest, start);
        if (found < 0)
            break;
        if (names.GetAt(found).ToLower() == lowerRequest) {
            // An exact match wins over every partial one, before or after it.
            position = found;
            count = 1;
            break;
        }
        if (position == -1)
            position = found;
        ++count;
        start = found + 1;
    }
    return count;
}

void LMidiComm::SplitIndexedName(const String& name, String& base, int32_t& index)
{
    const int32_t length = name.GetLength();
    // The number as the run-time library reads it: leading digits, else 0.
    auto number = [&name](int32_t first, int32_t count) {
        String digits = name.Mid(first, count);
        return static_cast<int32_t>(std::wcstol(digits.GetData(), nullptr, 10));
    };
    if (length >= 4 && name.GetAt(length - 3) == L'(' && name.GetAt(length - 1) == L')') {
        index = number(length - 2, 1) - 1;
        base = name.Left(length - 4);
    } else if (length >= 5 && name.GetAt(length - 4) == L'(' && name.GetAt(length - 1) == L')') {
        index = number(length - 3, 2) - 1;
        base = name.Left(length - 5);
    } else {
        base = name;
        index = 0;
    }
}

LMidiComm::DeviceChoice LMidiComm::ChooseDevice(bool capture, const String& request)
{
    DeviceChoice choice;
    StringArrayT products;
    GetDeviceProductNames(capture, products);
    StringArrayT unique;
    Array<int32_t> sources;
    MakeUniqueDeviceNames(products, unique, sources);
    int32_t position = -1;
    choice.matches = ResolvePortName(unique, request, position);
    if (choice.matches == 1 && position >= 0) {
        choice.uniqueName = unique.GetAt(position);
        choice.deviceId = sources.GetAt(position);
        choice.productName = products.GetAt(choice.deviceId);
    }
    return choice;
}

} // namespace KX
