// The About box's template and logo, as the resource compiler wrote them into
// the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

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

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }
    BYTE Byte() { return Read<BYTE>(); }

    // A name or ordinal: "#n" for an ordinal, the text otherwise, "" for none.
    std::wstring NameOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

    void AlignToDword()
    {
        while ((m_at - m_start) % 4 != 0)
            ++m_at;
    }

private:
    template <typename T>
    T Read()
    {
        T value;
        memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }

    const BYTE* m_start;
    const BYTE* m_at;
};

struct Control
{
    DWORD id;
    const wchar_t* className; // or its ordinal, "#128" for a button, "#130" for a static
    const wchar_t* ordinalClass;
    const wchar_t* text;       // nullptr: any non-empty text
    short x, y, cx, cy;
    DWORD style;
};

bool SameClass(const std::wstring& actual, const Control& expected)
{
    return actual == expected.ordinalClass || _wcsicmp(actual.c_str(), expected.className) == 0;
}

} // namespace

TEST(AboutBoxResources, TemplateMatchesTheLayout)
{
    DWORD size = 0;
    const BYTE* data = LoadResourceBytes(IDD_ABOUT, RT_DIALOG, &size);
    ASSERT_NE(nullptr, data);
    TemplateReader in(data);

    EXPECT_EQ(1, in.Word());      // extended template
    EXPECT_EQ(0xFFFF, in.Word());
    EXPECT_EQ(0u, in.Dword());    // help id
    EXPECT_EQ(0u, in.Dword());    // extended style
    EXPECT_EQ(0x80C800C0u, in.Dword()); // WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SETFONT
    const WORD controls = in.Word();
    EXPECT_EQ(0, in.Short());
    EXPECT_EQ(0, in.Short());
    EXPECT_EQ(285, in.Short());
    EXPECT_EQ(145, in.Short());
    EXPECT_EQ(L"", in.NameOrOrdinal()); // menu
    EXPECT_EQ(L"", in.NameOrOrdinal()); // class
    EXPECT_EQ(L"About", in.NameOrOrdinal());
    EXPECT_EQ(8, in.Word());  // points
    EXPECT_EQ(0, in.Word());  // weight
    EXPECT_EQ(0, in.Byte());  // italic
    EXPECT_EQ(0, in.Byte());  // character set
    EXPECT_EQ(L"MS Sans Serif", in.NameOrOrdinal());

    const DWORD shown = WS_CHILD | WS_VISIBLE;
    const Control expected[] = {
        {IDC_ABOUT_LOGO, L"Static", L"#130", L"#2102", 65, 60, 15, 13, shown | SS_BITMAP},
        {IDC_ABOUT_TITLE, L"Static", L"#130", L"Demo Name", 32, 11, 220, 8,
         shown | SS_CENTER | SS_NOPREFIX | WS_GROUP},
        {IDOK, L"Button", L"#128", L"OK", 117, 122, 50, 14, shown | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
        {IDC_ABOUT_COPYRIGHT, L"Static", L"#130", nullptr, 30, 33, 225, 22, shown | SS_CENTER | WS_GROUP},
        {IDC_ABOUT_LINK, L"Static", L"#130", nullptr, 101, 106, 85, 8, shown | SS_LEFT | SS_NOTIFY | WS_GROUP},
    };
    ASSERT_EQ(std::size(expected), controls);
    for (const Control& control : expected)
    {
        SCOPED_TRACE(control.id);
        in.AlignToDword();
        EXPECT_EQ(0u, in.Dword()); // help id
        EXPECT_EQ(0u, in.Dword()); // extended style
        EXPECT_EQ(control.style, in.Dword());
        EXPECT_EQ(control.x, in.Short());
        EXPECT_EQ(control.y, in.Short());
        EXPECT_EQ(control.cx, in.Short());
        EXPECT_EQ(control.cy, in.Short());
        EXPECT_EQ(control.id, in.Dword());
        EXPECT_TRUE(SameClass(in.NameOrOrdinal(), control));
        const std::wstring text = in.NameOrOrdinal();
        if (control.text)
            EXPECT_EQ(control.text, text);
        else
            EXPECT_FALSE(text.empty());
        EXPECT_EQ(0, in.Word()); // no creation data
    }
}

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
}
