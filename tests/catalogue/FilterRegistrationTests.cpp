// Adding a filter's registration to a category and removing it again, against
// the registry of the test session and Wine's own device enumerator.
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "FilterRegistration.h"
#include "PropertyNames.h"
#include "StandIns.h"
#include "TestHost.h"
#include "TestRegistry.h"

// Failures show a value's type and size rather than its raw object bytes.
void PrintTo(const RegValue& value, std::ostream* out)
{
    *out << "type " << value.type << ", " << value.data.size() << " bytes";
}

namespace {

using Values = std::vector<std::pair<std::wstring, RegValue>>;

// Values by name: the registry's order of values is its own (Wine keeps them
// sorted by name), so keys are compared by content.
std::map<std::wstring, RegValue> ByName(const Values& values)
{
    return std::map<std::wstring, RegValue>(values.begin(), values.end());
}

RegValue Value(DWORD type, const void* data, size_t size)
{
    const BYTE* const bytes = static_cast<const BYTE*>(data);
    return RegValue{type, std::vector<BYTE>(bytes, bytes + size)};
}

RegValue StringValue(const std::wstring& text, DWORD type = REG_SZ)
{
    return Value(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// A string of `size` bytes whose count leaves out its terminating null: 'x'
// characters, of which an odd size cuts the last in half, leaving its null
// byte. Of a size that the heap serves from fresh memory, so that the bytes
// after a buffer of exactly that size are zeros.
RegValue Unterminated(DWORD type, size_t size)
{
    RegValue value{type, std::vector<BYTE>(size)};
    for (size_t i = 0; i + 1 < size; i += 2)
        value.data[i] = 'x';
    return value;
}
constexpr size_t kFreshHeapBlock = 1u << 20;

// Writes the values in order; false if any of them fails.
bool WriteAll(const std::string& path, const Values& values)
{
    for (const auto& [name, value] : values)
        if (WriteValue(path, name.c_str(), value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS)
            return false;
    return true;
}

// A source category, a filter and a target category of the test's own, whose
// keys go when the test ends; every key the case opens is closed by then.
class Registration : public ClosesEveryKey
{
protected:
    const GUID m_source = NewGuid();
    const GUID m_filter = NewGuid();
    const GUID m_target = NewGuid();
    ScopedClassesKey m_sourceKeys{ClassPath(m_source)};
    ScopedClassesKey m_filterKeys{ClassPath(m_filter)};
    ScopedClassesKey m_targetKeys{ClassPath(m_target)};

    std::string SourcePath() const { return InstancePath(m_source, m_filter); }
    std::string TargetPath() const { return InstancePath(m_target, m_filter); }
    std::string FilterClassPath() const { return ClassPath(m_filter); }

    LONG Add() const { return AddFilterToCategory(m_source, m_filter, m_target); }

    // The filter's class key with the given default value.
    void GiveFilterAClassName(const RegValue& name) const
    {
        ASSERT_TRUE(WriteAll(FilterClassPath(), {{L"", name}}));
    }
};

// The values the fallback writes: "CLSID", the CLSID text and its zero as the
// 8-bit registry call reports it, and "FriendlyName", the class name's type and bytes.
::testing::AssertionResult HasFallbackValues(const std::string& path, REFGUID filter,
                                             const RegValue& className)
{
    const std::string text = GuidText(filter);
    RegValue clsid, name; // REG_NONE without bytes when missing
    if (ReadValueA(path, kClsidPropertyA, clsid) && clsid == Value(REG_SZ, text.c_str(), text.size() + 1) &&
        ReadValue(path, L"FriendlyName", name) && name == className)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "CLSID value of " << ::testing::PrintToString(clsid)
                                         << ", FriendlyName value of " << ::testing::PrintToString(name);
}

} // namespace

// ---------------------------------------------------------------------------
// Copy branch

TEST(RegistrationOfWineFilter, CopiesTheAviSplitterAndRemovesItAgain)
{
    const std::string source = InstancePath(CLSID_LegacyAmFilterCategory, CLSID_AviSplitter);
    const Values original = ReadAllValues(source);
    RegValue filterData;
    ASSERT_TRUE(ReadValue(source, L"FilterData", filterData)) << "Wine registers the AVI Splitter";
    ASSERT_EQ(DWORD{REG_BINARY}, filterData.type);

    const GUID target = NewGuid();
    ScopedClassesKey cleanup(ClassPath(target));
    ASSERT_EQ(ERROR_SUCCESS, AddFilterToCategory(CLSID_LegacyAmFilterCategory, CLSID_AviSplitter, target));

    EXPECT_EQ(ByName(original), ByName(ReadAllValues(InstancePath(target, CLSID_AviSplitter))));
    EXPECT_EQ((Entries{{"AVI Splitter", CLSID_AviSplitter}}), ListCategoryMembers(target));

    EXPECT_EQ(ERROR_SUCCESS, RemoveFilterFromCategory(target, CLSID_AviSplitter));
    HRESULT status = S_OK;
    EXPECT_TRUE(ListCategoryMembers(target, &status).empty());
    EXPECT_EQ(S_FALSE, status);

    EXPECT_EQ(original, ReadAllValues(source)) << "the source registration is only read";
}

TEST_F(Registration, CopiesEveryValueWithItsNameTypeAndBytes)
{
    const DWORD merit = 0x600000;
    const unsigned long long big = 0x0123456789ABCDEFull;
    const BYTE filterData[] = {2, 0, 0, 0, 0, 0, 0x60, 0, 0xFF, 0x00, 0x7F};
    const wchar_t multi[] = L"one\0two\0";
    const Values values = {
        {L"", StringValue(L"default value")},
        {L"CLSID", StringValue(GuidTextW(m_filter))},
        {L"FriendlyName", StringValue(L"Probe filter")},
        {L"Merit", Value(REG_DWORD, &merit, sizeof merit)},
        {L"FilterData", Value(REG_BINARY, filterData, sizeof filterData)},
        {L"Path", StringValue(L"%SystemRoot%\\probe.ax", REG_EXPAND_SZ)},
        {L"Aliases", Value(REG_MULTI_SZ, multi, sizeof multi)},
        {L"Big", Value(REG_QWORD, &big, sizeof big)},
        {L"Empty binary", Value(REG_BINARY, nullptr, 0)},
        {L"Empty string", Value(REG_SZ, nullptr, 0)},
        {L"Unterminated", Value(REG_SZ, "abc", 3)}, // an odd size a text copy would change
        {L"Unterminated even", Unterminated(REG_SZ, kFreshHeapBlock)},
        {L"Unterminated odd", Unterminated(REG_SZ, kFreshHeapBlock + 1)},
        {L"Unterminated expandable even", Unterminated(REG_EXPAND_SZ, kFreshHeapBlock + 2)},
        {L"Unterminated expandable odd", Unterminated(REG_EXPAND_SZ, kFreshHeapBlock + 3)},
        {L"Unterminated list even", Unterminated(REG_MULTI_SZ, kFreshHeapBlock + 4)},
        {L"Unterminated list odd", Unterminated(REG_MULTI_SZ, kFreshHeapBlock + 5)},
        {L"Unterminated one byte", Unterminated(REG_SZ, 1)},
    };
    ASSERT_TRUE(WriteAll(SourcePath(), values));
    ASSERT_TRUE(CreateKey(SourcePath() + "\\Subkey"));

    // The target category has no keys yet: they are made on the way.
    ASSERT_FALSE(KeyExists(ClassPath(m_target)));
    EXPECT_EQ(ERROR_SUCCESS, Add());

    EXPECT_EQ(ByName(values), ByName(ReadAllValues(TargetPath())));
    EXPECT_FALSE(KeyExists(TargetPath() + "\\Subkey")) << "only values are copied";
    EXPECT_EQ(ByName(values), ByName(ReadAllValues(SourcePath())));
}

TEST_F(Registration, CopiesNamesAndStringsOutsideTheAnsiCodePageExactly)
{
    const wchar_t multi[] = L"\u0444\u0438\u043B\u044C\u0442\u0440\0\u6FFE\u955C\0";
    const Values values = {
        {L"FriendlyName", StringValue(L"Filtre \u00E9t\u00E9 \u2192 \u0424\u0438\u043B\u044C\u0442\u0440 "
                                      L"\u6EE4\u955C \U0001F3AC")},
        {L"\u540D\u524D \u0418\u043C\u044F \U0001F3B5", StringValue(L"\u2603", REG_EXPAND_SZ)},
        {L"Aliases", Value(REG_MULTI_SZ, multi, sizeof multi)},
    };
    ASSERT_TRUE(WriteAll(SourcePath(), values));

    EXPECT_EQ(ERROR_SUCCESS, Add());
    EXPECT_EQ(ByName(values), ByName(ReadAllValues(TargetPath())));
}

TEST_F(Registration, CopiesValueNamesThatFitTheNameBufferAndStopsAtOneThatDoesNot)
{
    const std::wstring longest(1022, L'n');
    const std::wstring tooLong(1023, L'x');
    const Values values = {
        {L"First", StringValue(L"1")},
        {longest, StringValue(L"1022")},
        {tooLong, StringValue(L"1023")},
        {L"Last", StringValue(L"after")},
    };
    ASSERT_TRUE(WriteAll(SourcePath(), values));
    // Values are copied in the source key's own order, up to the long name.
    const Values sourceOrder = ReadAllValues(SourcePath());
    const auto stop = std::find_if(sourceOrder.begin(), sourceOrder.end(),
                                   [&](const auto& value) { return value.first == tooLong; });
    ASSERT_NE(sourceOrder.end(), stop);
    const Values before(sourceOrder.begin(), stop);
    ASSERT_EQ(1u, ByName(before).count(longest)) << "the 1022-character name comes first";

    EXPECT_EQ(ERROR_MORE_DATA, Add());
    EXPECT_EQ(ByName(before), ByName(ReadAllValues(TargetPath()))) << "the values before the long name stay";
}

TEST_F(Registration, CopiesA16MiBValue)
{
    std::vector<BYTE> data(16u << 20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(i * 7 + (i >> 12));
    const RegValue large = Value(REG_BINARY, data.data(), data.size());
    ASSERT_TRUE(WriteAll(SourcePath(), {{L"FilterData", large}}));

    EXPECT_EQ(ERROR_SUCCESS, Add());
    EXPECT_EQ(ByName({{L"FilterData", large}}), ByName(ReadAllValues(TargetPath())));
}

TEST_F(Registration, OverwritesValuesOfAnExistingTargetAndKeepsItsOthers)
{
    ASSERT_TRUE(WriteAll(SourcePath(),
                         {{L"FriendlyName", StringValue(L"New name")}, {L"Merit", StringValue(L"new")}}));
    ASSERT_TRUE(WriteAll(
        TargetPath(), {{L"FriendlyName", StringValue(L"Old name")}, {L"Kept", StringValue(L"target only")}}));

    EXPECT_EQ(ERROR_SUCCESS, Add());
    const Values expected = {{L"FriendlyName", StringValue(L"New name")},
                             {L"Kept", StringValue(L"target only")},
                             {L"Merit", StringValue(L"new")}};
    EXPECT_EQ(ByName(expected), ByName(ReadAllValues(TargetPath())));
}

TEST_F(Registration, CopiesAnEmptySourceKeyAsAnEmptyTargetKey)
{
    ASSERT_TRUE(CreateKey(SourcePath()));
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Class name"))); // must not be used

    EXPECT_EQ(ERROR_SUCCESS, Add());
    EXPECT_TRUE(KeyExists(TargetPath()));
    EXPECT_TRUE(ReadAllValues(TargetPath()).empty());
}

// The source registration and the class key are only read, so keys that may
// not be written still serve; a source key that may not be read at all sends
// the add to the class key.
TEST_F(Registration, ReadsSourceAndClassKeysThatMayNotBeWritten)
{
    const Values values = {{L"FriendlyName", StringValue(L"Read-only registration")},
                           {L"Merit", StringValue(L"x")}};
    ASSERT_TRUE(WriteAll(SourcePath(), values));
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Class name")));
    {
        ScopedKeyAccess readOnly(SourcePath(), kReadOnlyAccess);
        ASSERT_TRUE(readOnly.applied());
        EXPECT_EQ(ERROR_SUCCESS, Add());
        EXPECT_EQ(ByName(values), ByName(ReadAllValues(TargetPath()))) << "copied from the source key";
    }
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CLASSES_ROOT, TargetPath().c_str()));
    {
        ScopedKeyAccess unreadable(SourcePath(), kNoAccess);
        ScopedKeyAccess readOnlyClass(FilterClassPath(), kReadOnlyAccess);
        ASSERT_TRUE(unreadable.applied());
        ASSERT_TRUE(readOnlyClass.applied());
        EXPECT_EQ(ERROR_SUCCESS, Add());
        EXPECT_TRUE(HasFallbackValues(TargetPath(), m_filter, StringValue(L"Class name")))
            << "built from the class key";
    }
}

// ---------------------------------------------------------------------------
// Fallback branch

TEST_F(Registration, BuildsFriendlyNameWithTheTypeAndBytesOfTheClassName)
{
    for (const RegValue& className : {StringValue(L"%Probe% \u0444\u0438\u043B\u044C\u0442\u0440"),
                                      Unterminated(REG_SZ, kFreshHeapBlock + 1)})
    {
        ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(className));
        EXPECT_EQ(ERROR_SUCCESS, Add());
        EXPECT_TRUE(HasFallbackValues(TargetPath(), m_filter, className));
        EXPECT_EQ(2u, ReadAllValues(TargetPath()).size());
    }
}

// Without a name a registration is never listed, so could never be removed:
// the target category stays as it was, without even its key.
TEST_F(Registration, WritesNothingWhenTheClassKeyHasNoName)
{
    ASSERT_TRUE(CreateKey(FilterClassPath()));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Add());
    EXPECT_FALSE(KeyExists(ClassPath(m_target)));
}

// Likewise for a class name that the platform cannot read as a string.
TEST_F(Registration, WritesNothingWhenTheClassNameIsNotAString)
{
    const DWORD number = 7;
    const RegValue classNames[] = {Value(REG_DWORD, &number, sizeof number),
                                   StringValue(L"%Probe%", REG_EXPAND_SZ)};
    for (const RegValue& className : classNames)
    {
        SCOPED_TRACE(className.type);
        ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(className));
        EXPECT_EQ(ERROR_INVALID_DATATYPE, Add());
        EXPECT_FALSE(KeyExists(ClassPath(m_target)));
    }
}

// ---------------------------------------------------------------------------
// Failures of an add, and what each leaves behind

TEST_F(Registration, WritesNothingWhenTheClassKeyCannotBeOpened)
{
    // Neither a source registration nor a class key.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Add());
    EXPECT_FALSE(KeyExists(ClassPath(m_target)));

    // A class key that may not be read.
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Hidden")));
    ScopedKeyAccess unreadable(FilterClassPath(), kNoAccess);
    ASSERT_TRUE(unreadable.applied());
    EXPECT_EQ(ERROR_ACCESS_DENIED, Add());
    EXPECT_FALSE(KeyExists(ClassPath(m_target)));
}

// A key that is not kept may hold no key that is, so the target key cannot be
// made under a volatile category key.
TEST_F(Registration, WritesNoValueWhenTheTargetKeyCannotBeCreated)
{
    ASSERT_EQ(ERROR_SUCCESS, CreateVolatileClassesKey(ClassPath(m_target)));
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Class name")));
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, Add()) << "fallback branch";
    EXPECT_FALSE(KeyExists(TargetPath()));

    ASSERT_TRUE(WriteAll(SourcePath(), {{L"FriendlyName", StringValue(L"Probe")}}));
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, Add()) << "copy branch";
    EXPECT_FALSE(KeyExists(TargetPath()));
}

TEST_F(Registration, KeepsTheTargetAsItWasWhenItsValuesCannotBeSet)
{
    const Values existing = {{L"FriendlyName", StringValue(L"Old name")}};
    ASSERT_TRUE(WriteAll(TargetPath(), existing));
    ScopedKeyAccess readOnly(TargetPath(), kReadOnlyAccess);
    ASSERT_TRUE(readOnly.applied());

    ASSERT_TRUE(WriteAll(SourcePath(), {{L"FriendlyName", StringValue(L"New name")}}));
    EXPECT_EQ(ERROR_ACCESS_DENIED, Add()) << "copy branch";
    EXPECT_EQ(existing, ReadAllValues(TargetPath()));
}

TEST_F(Registration, LeavesAnEmptyTargetWhenClsidCannotBeSet)
{
    ASSERT_TRUE(CreateKey(TargetPath()));
    ScopedKeyAccess readOnly(TargetPath(), kReadOnlyAccess);
    ASSERT_TRUE(readOnly.applied());
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Class name")));

    EXPECT_EQ(ERROR_ACCESS_DENIED, Add()) << "fallback branch";
    EXPECT_TRUE(KeyExists(TargetPath()));
    EXPECT_TRUE(ReadAllValues(TargetPath()).empty());
}

// ---------------------------------------------------------------------------
// One value that changes between the two reads of a copy

namespace {

// Between the query of a value's size and the read of its data, another writer
// gives the value this data.
const std::vector<BYTE>* g_concurrentData = nullptr;

LSTATUS APIENTRY QueryWithConcurrentWrite(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                          LPDWORD size)
{
    const LSTATUS status = ::RegQueryValueExW(key, name, reserved, type, data, size);
    if (!data && g_concurrentData)
    {
        ::RegSetValueExW(key, name, 0, REG_BINARY, g_concurrentData->data(),
                         static_cast<DWORD>(g_concurrentData->size()));
        g_concurrentData = nullptr;
    }
    return status;
}

} // namespace

TEST_F(Registration, FailsAValueThatGrowsAndCopiesOneThatShrinks)
{
    const std::vector<BYTE> original(64, 0x11);
    ASSERT_EQ(ERROR_SUCCESS, WriteValue(SourcePath(), L"Data", REG_BINARY, original.data(), 64));
    ASSERT_TRUE(CreateKey(TargetPath()));
    const UniqueRegKey source = OpenClassesKey(SourcePath(), KEY_ALL_ACCESS);
    const UniqueRegKey target = OpenClassesKey(TargetPath(), KEY_ALL_ACCESS);
    ASSERT_TRUE(source && target);
    ScopedPlatformCall query(&PlatformCalls::regQueryValueEx, &QueryWithConcurrentWrite);

    const std::vector<BYTE> grown(65, 0x22);
    g_concurrentData = &grown;
    EXPECT_EQ(ERROR_MORE_DATA, CopyRegistryValue(target.get(), L"Copy", source.get(), L"Data"));
    EXPECT_TRUE(ReadAllValues(TargetPath()).empty()) << "nothing written";

    const std::vector<BYTE> shrunk(3, 0x33);
    g_concurrentData = &shrunk;
    EXPECT_EQ(ERROR_SUCCESS, CopyRegistryValue(target.get(), L"Copy", source.get(), L"Data"));
    EXPECT_EQ(ByName({{L"Copy", Value(REG_BINARY, shrunk.data(), shrunk.size())}}),
              ByName(ReadAllValues(TargetPath())));
}

// ---------------------------------------------------------------------------
// Remove

TEST_F(Registration, RemovesTheFilterKeyAlone)
{
    ASSERT_TRUE(WriteAll(TargetPath(), {{L"FriendlyName", StringValue(L"Probe")}}));

    EXPECT_EQ(ERROR_SUCCESS, RemoveFilterFromCategory(m_target, m_filter));
    EXPECT_FALSE(KeyExists(TargetPath()));
    EXPECT_TRUE(KeyExists(ClassPath(m_target) + "\\Instance")) << "left in place, even when empty";

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RemoveFilterFromCategory(m_target, m_filter)) << "gone already";
}

TEST_F(Registration, KeepsAFilterKeyThatHasASubkey)
{
    ASSERT_TRUE(CreateKey(TargetPath() + "\\Subkey"));

    EXPECT_EQ(ERROR_ACCESS_DENIED, RemoveFilterFromCategory(m_target, m_filter));
    EXPECT_TRUE(KeyExists(TargetPath() + "\\Subkey"));
}

// ---------------------------------------------------------------------------
// A CLSID that cannot be put into text: the operation changes nothing

namespace {

// Rows are named in the test list by what they take away.
struct MissingText : TableRow
{
    bool remove;           // RemoveFilterFromCategory; otherwise AddFilterToCategory
    bool sourceRegistered; // an add takes the copy branch; otherwise the fallback
    int failingCall;       // 1: the category's text, 2: the filter's, 3: the target's
};

// The GUID-to-text conversion that fails at the nth call from when the count
// is set (counting from 1).
int g_conversionsToFailure = 0;

HRESULT WINAPI FailNthStringFromClsid(REFCLSID clsid, LPOLESTR* text)
{
    if (--g_conversionsToFailure == 0)
        return FailStringFromClsid(clsid, text);
    return ::StringFromCLSID(clsid, text);
}

class RegistrationWithoutText : public Registration, public ::testing::WithParamInterface<MissingText>
{
};

} // namespace

TEST_P(RegistrationWithoutText, ChangesNothing)
{
    const MissingText& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(GiveFilterAClassName(StringValue(L"Class name")));
    if (row.sourceRegistered)
    {
        ASSERT_TRUE(WriteAll(SourcePath(), {{L"FriendlyName", StringValue(L"Probe")}}));
    }
    if (row.remove)
    {
        ASSERT_TRUE(CreateKey(TargetPath()));
    }

    g_conversionsToFailure = row.failingCall;
    const ScopedPlatformCall failure(&PlatformCalls::stringFromClsid, &FailNthStringFromClsid);
    EXPECT_EQ(E_OUTOFMEMORY, row.remove ? RemoveFilterFromCategory(m_target, m_filter) : Add());
    // A remove leaves the filter's key; an add does not even make the target category's.
    EXPECT_EQ(row.remove, KeyExists(row.remove ? TargetPath() : ClassPath(m_target)));
}

INSTANTIATE_TEST_SUITE_P(, RegistrationWithoutText,
                         ::testing::Values(MissingText{{"AddWithoutSourceCategoryText"}, false, true, 1},
                                           MissingText{{"AddWithoutFilterText"}, false, true, 2},
                                           MissingText{{"CopyWithoutTargetCategoryText"}, false, true, 3},
                                           MissingText{
                                               {"FallbackWithoutTargetCategoryText"}, false, false, 3},
                                           MissingText{{"RemoveWithoutCategoryText"}, true, false, 1},
                                           MissingText{{"RemoveWithoutFilterText"}, true, false, 2}));
