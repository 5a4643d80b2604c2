// The window templates, the icon and the About box's logo, as the resource
// compiler wrote them into the program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "TestHost.h"
#include "resource.h"

namespace {

const BYTE* LoadResourceBytes(int id, LPCSTR type, DWORD* size)
{
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    *size = ::SizeofResource(module, found);
    return static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
}

// Reads an extended dialog template field by field.
class TemplateReader
{
public:
    explicit TemplateReader(const BYTE* data) : m_start(data), m_at(data) {}

    // The next field, of this type.
    template <typename T>
    T Read()
    {
        T value;
        memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }

    // A name or ordinal: "#n" for an ordinal, the text otherwise, "" for none.
    std::wstring NameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Read<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Read<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }

    void AlignToDword()
    {
        while ((m_at - m_start) % 4 != 0)
            ++m_at;
    }

private:
    const BYTE* m_start;
    const BYTE* m_at;
};

struct Control
{
    DWORD id;
    const wchar_t* className;    // by name, or
    const wchar_t* ordinalClass; // by ordinal: "#128" a button, "#130" a static, "#131" a list box
    const wchar_t* text;         // nullptr: any non-empty text
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle = 0;
};

struct Layout : TableRow
{
    int id;
    DWORD style;
    DWORD exStyle;
    short cx, cy; // at (0, 0)
    const wchar_t* caption;
    BYTE charSet;
    std::vector<Control> controls;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kFilterListStyle =
    kShown | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

const std::vector<Control> kAboutControls = {
    {IDC_ABOUT_LOGO, L"Static", L"#130", L"#2102", 65, 60, 15, 13, kShown | SS_BITMAP},
    {IDC_ABOUT_TITLE, L"Static", L"#130", L"Demo Name", 32, 11, 220, 8,
     kShown | SS_CENTER | SS_NOPREFIX | WS_GROUP},
    {IDOK, L"Button", L"#128", L"OK", 117, 122, 50, 14, kShown | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
    {IDC_ABOUT_COPYRIGHT, L"Static", L"#130", nullptr, 30, 33, 225, 22, kShown | SS_CENTER | WS_GROUP},
    {IDC_ABOUT_LINK, L"Static", L"#130", nullptr, 101, 106, 85, 8, kShown | SS_LEFT | SS_NOTIFY | WS_GROUP},
};

const std::vector<Control> kManagerControls = {
    {DWORD(IDC_STATIC), L"Static", L"#130", L"ORBEK filter &categories:", 7, 7, 164, 8,
     kShown | SS_LEFT | WS_GROUP},
    {IDC_CATEGORY_LIST, L"ListBox", L"#131", L"", 7, 20, 164, 131, kFilterListStyle},
    {DWORD(IDC_STATIC), L"Static", L"#130", L"Registered &filters:", 180, 7, 164, 8,
     kShown | SS_LEFT | WS_GROUP},
    {IDC_FILTER_LIST, L"ListBox", L"#131", L"", 180, 20, 164, 131, kFilterListStyle},
    {IDC_ADD, L"Button", L"#128", L"&Add...", 353, 7, 50, 14,
     kShown | BS_PUSHBUTTON | WS_DISABLED | WS_TABSTOP},
    {IDC_REMOVE, L"Button", L"#128", L"&Remove", 353, 24, 50, 14,
     kShown | BS_PUSHBUTTON | WS_DISABLED | WS_TABSTOP},
    {IDOK, L"Button", L"#128", L"E&xit", 353, 47, 50, 14, kShown | BS_DEFPUSHBUTTON | WS_TABSTOP},
};

const std::vector<Control> kAddFilterControls = {
    {IDC_FILTER_TREE, L"SysTreeView32", L"SysTreeView32", L"Tree1", 7, 7, 247, 187,
     kShown | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    {IDOK, L"Button", L"#128", L"OK", 263, 7, 50, 14, kShown | BS_DEFPUSHBUTTON | WS_DISABLED | WS_TABSTOP},
    {IDCANCEL, L"Button", L"#128", L"Cancel", 263, 24, 50, 14, kShown | BS_PUSHBUTTON | WS_TABSTOP},
};

const Layout kLayouts[] = {
    {{"About"}, IDD_ABOUT, kDialogStyle, 0, 285, 145, L"About", 0, kAboutControls},
    {{"ManagerWindow"},
     IDD_FMGR_DIALOG,
     kDialogStyle | WS_VISIBLE,
     WS_EX_APPWINDOW,
     410,
     159,
     L"TAVELMIR Multimedia Filter Manager",
     1,
     kManagerControls},
    {{"AddFilter"}, IDD_ADDFILTER, kDialogStyle, 0, 320, 201, L"Add Filter", 1, kAddFilterControls},
};

using DialogTemplate = ::testing::TestWithParam<Layout>;

// A bitmap resource's pixels as 0x00RRGGBB, top row first, and its size.
std::vector<DWORD> BitmapPixels(int id, SIZE& size)
{
    const UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP shape = {};
    ::GetObjectA(bitmap.get(), sizeof shape, &shape);
    size = {shape.bmWidth, shape.bmHeight};
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof format.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap.get(), 0, size.cy, pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// The images of the icon IDR_MAINFRAME, as (pixels, bits per pixel): 16 colours
// at 16 and 32 pixels, 32 bits with alpha at the sizes that Windows asks for at
// 125 % to 200 % display scale and in Explorer's large views.
const std::vector<std::pair<int, WORD>> kIconImages = {{16, 4},  {20, 32}, {24, 32}, {32, 4},
                                                       {40, 32}, {48, 32}, {64, 32}, {256, 32}};

} // namespace

TEST_P(DialogTemplate, MatchesTheLayout)
{
    const Layout& layout = GetParam();
    DWORD size = 0;
    const BYTE* data = LoadResourceBytes(layout.id, RT_DIALOG, &size);
    ASSERT_NE(nullptr, data);
    TemplateReader in(data);

    EXPECT_EQ(1, in.Read<WORD>()); // extended template
    EXPECT_EQ(0xFFFF, in.Read<WORD>());
    EXPECT_EQ(0u, in.Read<DWORD>()); // help id
    EXPECT_EQ(layout.exStyle, in.Read<DWORD>());
    EXPECT_EQ(layout.style, in.Read<DWORD>());
    const WORD controls = in.Read<WORD>();
    EXPECT_EQ(0, in.Read<short>());
    EXPECT_EQ(0, in.Read<short>());
    EXPECT_EQ(layout.cx, in.Read<short>());
    EXPECT_EQ(layout.cy, in.Read<short>());
    EXPECT_EQ(L"", in.NameOrOrdinal()); // menu
    EXPECT_EQ(L"", in.NameOrOrdinal()); // class
    EXPECT_EQ(layout.caption, in.NameOrOrdinal());
    EXPECT_EQ(8, in.Read<WORD>()); // points
    EXPECT_EQ(0, in.Read<WORD>()); // weight
    EXPECT_EQ(0, in.Read<BYTE>()); // italic
    EXPECT_EQ(layout.charSet, in.Read<BYTE>());
    EXPECT_EQ(L"MS Sans Serif", in.NameOrOrdinal());

    ASSERT_EQ(layout.controls.size(), controls);
    for (const Control& control : layout.controls)
    {
        SCOPED_TRACE(control.id);
        in.AlignToDword();
        EXPECT_EQ(0u, in.Read<DWORD>()); // help id
        EXPECT_EQ(control.exStyle, in.Read<DWORD>());
        EXPECT_EQ(control.style, in.Read<DWORD>());
        EXPECT_EQ(control.x, in.Read<short>());
        EXPECT_EQ(control.y, in.Read<short>());
        EXPECT_EQ(control.cx, in.Read<short>());
        EXPECT_EQ(control.cy, in.Read<short>());
        EXPECT_EQ(control.id, in.Read<DWORD>());
        const std::wstring className = in.NameOrOrdinal();
        EXPECT_TRUE(className == control.ordinalClass || _wcsicmp(className.c_str(), control.className) == 0);
        const std::wstring text = in.NameOrOrdinal();
        if (control.text)
            EXPECT_EQ(control.text, text);
        else
            EXPECT_FALSE(text.empty());
        EXPECT_EQ(0, in.Read<WORD>()); // no creation data
    }
}

INSTANTIATE_TEST_SUITE_P(Compiled, DialogTemplate, ::testing::ValuesIn(kLayouts), RowName());

TEST(AboutBoxResources, LogoIs250By58UncompressedTrueColour)
{
    DWORD size = 0;
    const BYTE* data = LoadResourceBytes(IDB_ABOUT_LOGO, RT_BITMAP, &size);
    ASSERT_NE(nullptr, data);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    EXPECT_EQ(250, header.biWidth);
    EXPECT_EQ(58, std::abs(header.biHeight));
    EXPECT_EQ(24, header.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
    EXPECT_GE(size, header.biSize + 58u * ((250u * 3 + 3) & ~3u));

    // The rendition at twice the size is the logo, each pixel doubled.
    SIZE small = {}, large = {};
    const std::vector<DWORD> logo = BitmapPixels(IDB_ABOUT_LOGO, small);
    const std::vector<DWORD> largeLogo = BitmapPixels(IDB_ABOUT_LOGO_2X, large);
    ASSERT_EQ(std::make_pair(250L, 58L), std::make_pair(small.cx, small.cy));
    ASSERT_EQ(std::make_pair(500L, 116L), std::make_pair(large.cx, large.cy));
    int differing = 0;
    for (int y = 0; y < large.cy; ++y)
        for (int x = 0; x < large.cx; ++x)
            differing += largeLogo[y * large.cx + x] != logo[y / 2 * small.cx + x / 2];
    EXPECT_EQ(0, differing) << "pixels of the large logo that are not those of the logo, doubled";
}

TEST(MainIcon, HoldsAnImageOfEachSizeThatWindowsTakesThere)
{
    DWORD size = 0;
    BYTE* const group = const_cast<BYTE*>(LoadResourceBytes(IDR_MAINFRAME, RT_GROUP_ICON, &size));
    ASSERT_NE(nullptr, group);
    WORD count = 0; // after the reserved word and the type
    memcpy(&count, group + 4, sizeof count);
    ASSERT_GE(size, 6u + 14u * count);
    std::vector<std::pair<int, WORD>> images;
    for (WORD i = 0; i < count; ++i)
    {
        // An entry: width and height (0 for 256), colours, reserved, planes, bits per pixel, bytes, id.
        const BYTE* const entry = group + 6 + 14 * i;
        WORD bitCount = 0, id = 0;
        memcpy(&bitCount, entry + 6, sizeof bitCount);
        memcpy(&id, entry + 12, sizeof id);
        const int side = entry[0] == 0 ? 256 : entry[0];
        images.emplace_back(side, bitCount);
        EXPECT_EQ(entry[0], entry[1]);
        EXPECT_EQ(id, ::LookupIconIdFromDirectoryEx(group, TRUE, side, side, LR_DEFAULTCOLOR)) << side;
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ(kIconImages, images);
}
