// The walks against the real system device enumerator of the test session, over
// categories and filters that the tests register by writing Instance keys.
// Other tests register categories of their own at the same time, so the
// category walk is only ever checked for the entries a test wrote itself.
#include <gtest/gtest.h>

#include <dshow.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "TestRegistry.h"

namespace {

bool AnyNameContains(const Entries& entries, const std::string& text)
{
    for (const NamedClsid& entry : entries)
        if (entry.name.find(text) != std::string::npos)
            return true;
    return false;
}

// A member of a category written by hand, as another program may leave one:
// the name of its Instance key, and the values written there.
struct HandWritten
{
    std::string key;
    std::optional<std::wstring> name; // none: no "FriendlyName"
    std::wstring clsid;               // empty: no "CLSID"
};

// Writes the members under the category's Instance key, each key removed with `keys`.
::testing::AssertionResult WriteByHand(REFCLSID category, const std::vector<HandWritten>& members,
                                       std::deque<ScopedClassesKey>& keys)
{
    for (const HandWritten& member : members)
    {
        const std::string& key = keys.emplace_back(ClassPath(category) + "\\Instance\\" + member.key).path();
        if (!member.clsid.empty() && WriteString(key, kClsidProperty, member.clsid) != ERROR_SUCCESS)
            return ::testing::AssertionFailure() << "no CLSID written in " << key;
        if (member.name && WriteString(key, kFriendlyNameProperty, *member.name) != ERROR_SUCCESS)
            return ::testing::AssertionFailure() << "no FriendlyName written in " << key;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(RealCategories, PlatformCategoriesComeWithTheirClsids)
{
    const Entries categories = AllCategories();

    EXPECT_EQ(Names{"Audio Renderers"}, ListedNames(categories, CLSID_AudioRendererCategory));
    EXPECT_EQ(Names{"DirectShow Filters"}, ListedNames(categories, CLSID_LegacyAmFilterCategory));
    EXPECT_EQ(Names{"Video Compressors"}, ListedNames(categories, CLSID_VideoCompressorCategory));
}

TEST(RealCategories, CategoriesWrittenDirectly)
{
    // Instance keys are walked in the order of their names, so the two that are
    // skipped come before the three that must still be delivered.
    const std::string base = GuidText(NewGuid());
    const GUID byClsid = NewGuid(), emptyName = NewGuid(), named = NewGuid();
    const std::wstring lowerText = LowerCase(GuidTextW(byClsid));
    const std::vector<HandWritten> members = {
        {base + "-1", L"No CLSID " + GuidTextW(named), L""},
        {base + "-2", L"Malformed " + GuidTextW(named), L"{not-a-class}"},
        {base + "-3", std::nullopt, lowerText},
        {base + "-4", L"", GuidTextW(emptyName)},
        {base + "-5", L"Named " + GuidTextW(named), GuidTextW(named)},
    };
    std::deque<ScopedClassesKey> keys;
    ASSERT_TRUE(WriteByHand(CLSID_ActiveMovieCategories, members, keys));

    const Entries categories = AllCategories();

    EXPECT_FALSE(AnyNameContains(categories, "No CLSID " + GuidText(named)));
    EXPECT_FALSE(AnyNameContains(categories, "Malformed " + GuidText(named)));
    // Each once, in the enumerator's order; the CLSID text as stored names the
    // first, not reformatted.
    Entries written;
    for (const NamedClsid& category : categories)
        if (category.clsid == byClsid || category.clsid == emptyName || category.clsid == named)
            written.push_back(category);
    EXPECT_EQ(
        (Entries{{AsciiText(lowerText), byClsid}, {"", emptyName}, {"Named " + GuidText(named), named}}),
        written);
}

TEST(RealCategories, LongNamesAreCutToWholeCharacters)
{
    // A character outside the basic plane: a surrogate pair, which is never split.
    const std::wstring pair = L"\xD83D\xDE00";
    const RegisteredCategory veryLong(std::wstring(300, L'C'));
    const RegisteredCategory fits(std::wstring(259, L'D'));
    const RegisteredCategory oneOver(std::wstring(260, L'E'));
    const RegisteredCategory pairAtEnd(std::wstring(258, L'F') + pair + L"G");

    const Entries categories = AllCategories();

    EXPECT_EQ(Names{std::string(259, 'C')}, ListedNames(categories, veryLong.clsid));
    EXPECT_EQ(Names{std::string(259, 'D')}, ListedNames(categories, fits.clsid));
    EXPECT_EQ(Names{std::string(259, 'E')}, ListedNames(categories, oneOver.clsid));
    // The pair stays only if its whole 8-bit form still fits in the 259 bytes.
    char pairText[16] = {};
    const int pairBytes =
        ::WideCharToMultiByte(CP_ACP, 0, pair.c_str(), 2, pairText, sizeof pairText - 1, nullptr, nullptr);
    ASSERT_GT(pairBytes, 0);
    const std::string expected =
        std::string(258, 'F') + (258 + pairBytes <= 259 ? std::string(pairText) : std::string());
    EXPECT_EQ(Names{expected}, ListedNames(categories, pairAtEnd.clsid));
}

TEST(RealFilters, FiltersWrittenDirectly)
{
    const GUID category = NewGuid();
    ScopedClassesKey cleanup(ClassPath(category));
    const GUID plain = NewGuid(), emptyName = NewGuid(), twice = NewGuid(), longName = NewGuid(),
               lower = NewGuid();
    const std::vector<HandWritten> members = {
        {"a plain", L"Plain", GuidTextW(plain)},
        {"b no name", std::nullopt, GuidTextW(NewGuid())},
        {"c empty name", L"", GuidTextW(emptyName)},
        {"d no clsid", L"No CLSID", L""},
        {"e bad clsid", L"Bad CLSID", L"{12345678}"},
        {"f twice", L"Twice", GuidTextW(twice)},
        {"g twice again", L"Twice", GuidTextW(twice)},
        {"h long", std::wstring(400, L'L'), GuidTextW(longName)},
        {"i lower case", L"Lower", LowerCase(GuidTextW(lower))},
    };
    std::deque<ScopedClassesKey> keys;
    ASSERT_TRUE(WriteByHand(category, members, keys));

    const std::string longText(400, 'L');
    const Entries delivered = {
        {"Plain", plain}, {"", emptyName},      {"Twice", twice},
        {"Twice", twice}, {longText, longName}, {"Lower", lower},
    };
    EXPECT_EQ(delivered, FiltersOf(category));
}

TEST(RealFilters, NoEnumeratorDeliversNothing)
{
    // A category without members gives status 1 and no enumerator.
    HRESULT status = E_FAIL;
    const ComPtr<IEnumMoniker> enumerator = ClassEnumerator(NewGuid(), &status);
    EXPECT_EQ(S_FALSE, status);

    int calls = 0;
    EnumerateCategoryFilters(enumerator.get(), [&](const NamedClsid&) { ++calls; });
    EnumerateCategoryFilters(nullptr, [&](const NamedClsid&) { ++calls; });
    EXPECT_EQ(0, calls);
}

TEST(RealWalks, FiltersAreWalkedWhileTheCategoryWalkIsOpen)
{
    // Two categories with members and one without, as the Add Filter dialog sees them.
    const RegisteredCategory first(L"Nested first"), second(L"Nested second"), empty(L"Nested empty");
    const GUID filterA = NewGuid(), filterB = NewGuid();
    first.Register(filterA, L"A");
    first.Register(filterB, L"B");
    second.Register(NewGuid(), L"C");

    // The filters come through a device enumerator other than the walk's own.
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    ASSERT_TRUE(devEnum);
    std::map<std::string, std::vector<std::string>> filtersByCategory;
    int categoriesWithoutMembers = 0;
    EnumerateFilterCategories([&](const NamedClsid& category) {
        ComPtr<IEnumMoniker> enumerator;
        const HRESULT hr = devEnum->CreateClassEnumerator(category.clsid, enumerator.put(), 0);
        if (FAILED(hr))
            return;
        if (hr == S_FALSE)
            ++categoriesWithoutMembers;
        std::vector<std::string>& names = filtersByCategory[GuidText(category.clsid)];
        EnumerateCategoryFilters(enumerator.get(),
                                 [&](const NamedClsid& filter) { names.push_back(filter.name); });
    });

    // Members come in key-name order.
    const Names expectedFirst = GuidText(filterA) < GuidText(filterB) ? Names{"A", "B"} : Names{"B", "A"};
    EXPECT_EQ(expectedFirst, filtersByCategory[GuidText(first.clsid)]);
    EXPECT_EQ(std::vector<std::string>{"C"}, filtersByCategory[GuidText(second.clsid)]);
    ASSERT_EQ(1u, filtersByCategory.count(GuidText(empty.clsid)));
    EXPECT_TRUE(filtersByCategory[GuidText(empty.clsid)].empty());
    EXPECT_GE(categoriesWithoutMembers, 1);
    // The platform's own filters come through the nested walk too.
    EXPECT_FALSE(filtersByCategory[GuidText(CLSID_LegacyAmFilterCategory)].empty());
}

TEST(RealWalks, CategoryNamesFollowTheSystemCodePageAndFilterNamesTheThreads)
{
    if (::GetACP() != 1252)
        GTEST_SKIP() << "needs a system ANSI code page of 1252, found " << ::GetACP();
    const LCID original = ::GetThreadLocale();
    ASSERT_TRUE(::SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
    char threadCodePage[8] = {};
    ::GetLocaleInfoA(::GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, threadCodePage, sizeof threadCodePage);
    EXPECT_STREQ("1251", threadCodePage);

    // Cyrillic De and e acute: 1252 has only the second, 1251 only the first.
    const std::wstring name = L"\x0414\x00E9";
    const RegisteredCategory category(name);
    const GUID filter = NewGuid();
    category.Register(filter, name);

    const Entries categories = AllCategories();
    const Entries filters = FiltersOf(category.clsid);
    ::SetThreadLocale(original);

    EXPECT_EQ(Names{"?\xE9"}, ListedNames(categories, category.clsid));
    EXPECT_EQ((Entries{{"\xC4"
                        "e",
                        filter}}),
              filters); // 1251 writes e acute as plain e
}
