#include "FilterEnumeration.h"

#include <dshow.h>
#include <oleauto.h>

#include <cwchar>
#include <new>
#include <string>

#include "AnsiText.h"
#include "ComPtr.h"
#include "PlatformCalls.h"
#include "PropertyNames.h"
#include "UniqueHandle.h"

namespace {

// Room for a category's display name, terminating zero included.
const int kCategoryNameRoom = 260;

// Reads one value of a property bag as a string into `value`. False when the
// bag cannot give the value as a string.
bool ReadString(IPropertyBag* bag, const wchar_t* name, UniqueVariant& value) noexcept
{
    if (FAILED(bag->Read(name, value.put(VT_BSTR), nullptr)))
        return false;
    if (value.type() == VT_BSTR)
        return true;
    // Something other than the string asked for: not a usable value.
    value.reset();
    return false;
}

// True only for text that CLSIDFromString takes as a CLSID. A null string is the
// empty string, which names no class.
bool ParseClsid(const OLECHAR* text, CLSID& clsid) noexcept
{
    return ::CLSIDFromString(text ? text : L"", &clsid) == S_OK;
}

// Bytes that the first `length` units of a wide text need in the system ANSI code page.
int CategoryTextSize(const wchar_t* name, int length) noexcept
{
    return length > 0 ? ::WideCharToMultiByte(CP_ACP, 0, name, length, nullptr, 0, nullptr, nullptr) : 0;
}

// The number of units at the start of `name` that make the longest run of whole
// characters whose 8-bit form takes at most `room` bytes. A character is never
// cut: the code page never splits the bytes of one unit, and a surrogate pair
// stays whole.
int LongestFittingStart(const wchar_t* name, int room) noexcept
{
    // Every character takes at least one byte and at most two units, so no more
    // than twice the room in units can fit.
    int fits = 0;
    int tooLong = static_cast<int>(::wcsnlen(name, 2 * static_cast<size_t>(room))) + 1;
    while (tooLong - fits > 1)
    {
        const int middle = fits + (tooLong - fits) / 2;
        const int size = CategoryTextSize(name, middle);
        if (size > 0 && size <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    if (fits > 0 && IS_HIGH_SURROGATE(name[fits - 1]) && IS_LOW_SURROGATE(name[fits]))
        --fits;
    return fits;
}

// Puts a category's display name into the room with the system ANSI code page. A
// name that does not fit is cut after the last whole character that fits; a null
// name gives empty text. The text always ends inside the room. Returns its length.
int ToCategoryText(const wchar_t* name, char (&room)[kCategoryNameRoom]) noexcept
{
    room[0] = '\0';
    if (!name)
        return 0;
    const int written = ::WideCharToMultiByte(CP_ACP, 0, name, -1, room, kCategoryNameRoom, nullptr, nullptr);
    if (written > 0)
        return written - 1;

    const int units = LongestFittingStart(name, kCategoryNameRoom - 1);
    const int cut = units > 0 ? ::WideCharToMultiByte(CP_ACP, 0, name, units, room, kCategoryNameRoom - 1,
                                                      nullptr, nullptr)
                              : 0;
    room[cut] = '\0';
    return cut;
}

// Sets an entry's text. False when memory runs out.
bool AssignName(std::string& name, const char* text, int length) noexcept
{
    try
    {
        name.assign(text, static_cast<size_t>(length));
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

// A category: "CLSID" first; without a "FriendlyName" the category is named by
// its "CLSID" text as read. The name is cut to the fixed room, in the system's
// code page. False when the moniker is to be skipped.
bool ReadCategory(IPropertyBag* bag, NamedClsid& entry) noexcept
{
    UniqueVariant clsidText;
    if (!ReadString(bag, kClsidProperty, clsidText) || !ParseClsid(clsidText.bstr(), entry.clsid))
        return false;

    char room[kCategoryNameRoom];
    int length = 0;
    {
        UniqueVariant friendlyName;
        const bool named = ReadString(bag, kFriendlyNameProperty, friendlyName);
        length = ToCategoryText(named ? friendlyName.bstr() : clsidText.bstr(), room);
    }
    return AssignName(entry.name, room, length);
}

// A filter: "FriendlyName" first, and a filter without one is skipped. The whole
// name is taken, in the thread's code page. False when the moniker is to be skipped.
bool ReadFilter(IPropertyBag* bag, NamedClsid& entry) noexcept
{
    {
        UniqueVariant friendlyName;
        if (!ReadString(bag, kFriendlyNameProperty, friendlyName) ||
            !ToThreadAnsiText(friendlyName.bstr(), entry.name))
            return false;
    }
    UniqueVariant clsidText;
    return ReadString(bag, kClsidProperty, clsidText) && ParseClsid(clsidText.bstr(), entry.clsid);
}

// Walks the monikers of an enumerator and delivers the entry that `readEntry`
// makes of each one's property bag. A moniker that cannot be bound, or whose entry
// cannot be read, is skipped. Each moniker and its bag are released before the
// next moniker is fetched; one entry is reused for every delivery.
template <typename ReadEntry>
void DeliverEntries(IEnumMoniker* enumerator, ReadEntry readEntry, NamedClsidConsumer consumer)
{
    NamedClsid entry{};
    for (;;)
    {
        ComPtr<IMoniker> moniker;
        ULONG fetched = 0;
        if (enumerator->Next(1, moniker.put(), &fetched) != S_OK || !moniker)
            return;
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())) || !bag)
            continue;
        if (readEntry(bag.get(), entry))
            consumer(entry);
    }
}

} // namespace

void EnumerateFilterCategories(NamedClsidConsumer consumer)
{
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(Platform().coCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ICreateDevEnum, devEnum.put_void())) ||
        !devEnum)
        return;
    ComPtr<IEnumMoniker> categories;
    if (devEnum->CreateClassEnumerator(CLSID_ActiveMovieCategories, categories.put(), 0) != S_OK ||
        !categories)
        return;
    DeliverEntries(categories.get(), ReadCategory, consumer);
}

void EnumerateCategoryFilters(IEnumMoniker* enumerator, NamedClsidConsumer consumer)
{
    if (!enumerator)
        return;
    DeliverEntries(enumerator, ReadFilter, consumer);
}
