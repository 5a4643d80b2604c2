#include "WindowDriver.h"

#include <gtest/gtest.h>

#include "WinApp.h"

namespace {

struct ModalRun
{
    CDialog* dialog;
    const std::function<void(HWND)>* steps;
    bool ran;
};
ModalRun* g_run = nullptr;

void CALLBACK RunSteps(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    if (!g_run)
        return;
    const HWND window = g_run->dialog->m_hWnd;
    if (!window)
        return;
    g_run->ran = true;
    (*g_run->steps)(window);
    if (::IsWindow(window))
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

INT_PTR Run(CDialog& dialog, const std::function<void(HWND)>& steps, bool& ran)
{
    ModalRun run{&dialog, &steps, false};
    g_run = &run;
    CWinApp::GetApp()->m_pMainWnd = &dialog;
    // A timer fires only once the modal loop waits for input: after WM_INITDIALOG.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 0, &RunSteps);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_run = nullptr;
    ran = run.ran;
    return result;
}

} // namespace

INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND)>& steps)
{
    bool ran = false;
    const INT_PTR result = Run(dialog, steps, ran);
    EXPECT_TRUE(ran) << "the dialog never came up (result " << result << ")";
    return result;
}

INT_PTR RunModalEndingAtStart(CDialog& dialog)
{
    bool ran = false;
    const INT_PTR result = Run(dialog, [](HWND) {}, ran);
    EXPECT_FALSE(ran) << "the dialog came up";
    return result;
}

void ClickListItem(HWND list, int index)
{
    RECT item = {};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void ClickButton(HWND button)
{
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

std::vector<std::string> ListTexts(HWND list)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, index, 0);
        std::vector<char> buffer(length > 0 ? static_cast<size_t>(length) + 1 : 1);
        ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
        texts.emplace_back(buffer.data());
    }
    return texts;
}

int FindListText(HWND list, const std::string& text)
{
    const std::vector<std::string> texts = ListTexts(list);
    for (size_t index = 0; index < texts.size(); ++index)
        if (texts[index] == text)
            return static_cast<int>(index);
    return -1;
}

const CLSID* ListEntryClsid(HWND list, int index)
{
    const LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<const CLSID*>(data);
}

bool IsItemEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}
