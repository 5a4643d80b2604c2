// The walks against the real system device enumerator of the test session, over
// categories and filters that the tests register by writing Instance keys.
// Other tests register categories of their own at the same time, so the
// category walk is only ever checked for the entries a test wrote itself.
#include <gtest/gtest.h>

#include <dshow.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "TestRegistry.h"

namespace {

bool AnyNameContains(const std::vector<NamedClsid>& entries, const std::string& text)
{
    for (const NamedClsid& entry : entries)
        if (entry.name.find(text) != std::string::npos)
            return true;
    return false;
}

// "CLSID\{category}\Instance\<key>": a registration under any key name.
std::string MemberKey(REFCLSID category, const std::string& keyName)
{
    return ClassPath(category) + "\\Instance\\" + keyName;
}

} // namespace

TEST(RealCategories, PlatformCategoriesComeWithTheirClsids)
{
    const std::vector<NamedClsid> categories = AllCategories();

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
    ScopedClassesKey noClsidKey(MemberKey(CLSID_ActiveMovieCategories, base + "-1"));
    ScopedClassesKey malformedKey(MemberKey(CLSID_ActiveMovieCategories, base + "-2"));
    ScopedClassesKey byClsidKey(MemberKey(CLSID_ActiveMovieCategories, base + "-3"));
    ScopedClassesKey emptyNameKey(MemberKey(CLSID_ActiveMovieCategories, base + "-4"));
    ScopedClassesKey namedKey(MemberKey(CLSID_ActiveMovieCategories, base + "-5"));
    ASSERT_EQ(ERROR_SUCCESS,
              WriteString(noClsidKey.path(), kFriendlyNameProperty, L"No CLSID " + GuidTextW(named)));
    ASSERT_EQ(ERROR_SUCCESS,
              WriteEntry(malformedKey.path(), L"{not-a-class}", L"Malformed " + GuidTextW(named)));
    const std::wstring lowerText = LowerCase(GuidTextW(byClsid));
    ASSERT_EQ(ERROR_SUCCESS, WriteString(byClsidKey.path(), kClsidProperty, lowerText));
    ASSERT_EQ(ERROR_SUCCESS, WriteEntry(emptyNameKey.path(), GuidTextW(emptyName), L""));
    ASSERT_EQ(ERROR_SUCCESS, WriteEntry(namedKey.path(), GuidTextW(named), L"Named " + GuidTextW(named)));

    const std::vector<NamedClsid> categories = AllCategories();

    EXPECT_FALSE(AnyNameContains(categories, "No CLSID " + GuidText(named)));
    EXPECT_FALSE(AnyNameContains(categories, "Malformed " + GuidText(named)));
    EXPECT_EQ(Names{AsciiText(lowerText)}, ListedNames(categories, byClsid)); // as stored, not reformatted
    EXPECT_EQ(Names{""}, ListedNames(categories, emptyName));
    EXPECT_EQ(Names{"Named " + GuidText(named)}, ListedNames(categories, named));
    // In the enumerator's order.
    std::vector<CLSID> order;
    for (const NamedClsid& category : categories)
        if (category.clsid == byClsid || category.clsid == emptyName || category.clsid == named)
            order.push_back(category.clsid);
    EXPECT_EQ((std::vector<CLSID>{byClsid, emptyName, named}), order);
}

TEST(RealCategories, LongNamesAreCutToWholeCharacters)
{
    // A character outside the basic plane: a surrogate pair, which is never split.
    const std::wstring pair = L"\xD83D\xDE00";
    const RegisteredCategory veryLong(std::wstring(300, L'C'));
    const RegisteredCategory fits(std::wstring(259, L'D'));
    const RegisteredCategory oneOver(std::wstring(260, L'E'));
    const RegisteredCategory pairAtEnd(std::wstring(258, L'F') + pair + L"G");

    const std::vector<NamedClsid> categories = AllCategories();

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
    const std::wstring longText(400, L'L');
    const struct
    {
        const char* key;
        const wchar_t* name; // null: no "FriendlyName"
        std::wstring clsid;  // empty: no "CLSID"
    } written[] = {
        {"a plain", L"Plain", GuidTextW(plain)},
        {"b no name", nullptr, GuidTextW(NewGuid())},
        {"c empty name", L"", GuidTextW(emptyName)},
        {"d no clsid", L"No CLSID", L""},
        {"e bad clsid", L"Bad CLSID", L"{12345678}"},
        {"f twice", L"Twice", GuidTextW(twice)},
        {"g twice again", L"Twice", GuidTextW(twice)},
        {"h long", longText.c_str(), GuidTextW(longName)},
        {"i lower case", L"Lower", LowerCase(GuidTextW(lower))},
    };
    for (const auto& filter : written)
    {
        const std::string key = MemberKey(category, filter.key);
        if (filter.name)
        {
            ASSERT_EQ(ERROR_SUCCESS, WriteString(key, kFriendlyNameProperty, filter.name));
        }
        if (!filter.clsid.empty())
        {
            ASSERT_EQ(ERROR_SUCCESS, WriteString(key, kClsidProperty, filter.clsid));
        }
    }

    const std::vector<NamedClsid> filters = FiltersOf(category);

    ASSERT_EQ(6u, filters.size());
    const std::string longExpected(400, 'L');
    const std::pair<std::string, GUID> expected[] = {
        {"Plain", plain}, {"", emptyName},          {"Twice", twice},
        {"Twice", twice}, {longExpected, longName}, {"Lower", lower},
    };
    for (size_t i = 0; i < filters.size(); ++i)
    {
        EXPECT_EQ(expected[i].first, filters[i].name) << i;
        EXPECT_EQ(expected[i].second, filters[i].clsid) << i;
    }
}

TEST(RealFilters, NoEnumeratorDeliversNothing)
{
    // A category without members gives status 1 and no enumerator.
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    ASSERT_TRUE(devEnum);
    ComPtr<IEnumMoniker> enumerator;
    EXPECT_EQ(S_FALSE, devEnum->CreateClassEnumerator(NewGuid(), enumerator.put(), 0));

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

    std::vector<std::string> expectedFirst{"A", "B"};
    if (GuidText(filterB) < GuidText(filterA))
        std::swap(expectedFirst[0], expectedFirst[1]); // members come in key-name order
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
    category.Register(NewGuid(), name);

    const std::vector<NamedClsid> categories = AllCategories();
    const std::vector<NamedClsid> filters = FiltersOf(category.clsid);
    ::SetThreadLocale(original);

    EXPECT_EQ(Names{"?\xE9"}, ListedNames(categories, category.clsid));
    ASSERT_EQ(1u, filters.size());
    EXPECT_EQ("\xC4"
              "e",
              filters[0].name); // 1251 writes e acute as plain e
}
