#include "WindowDriver.h"

#include <algorithm>

#include "WinApp.h"
#include "ZarvFMgrDlg.h"

INT_PTR RunModal(Here here, CDialog& dialog, const ModalStep& steps)
{
    CWinApp::GetApp()->m_pMainWnd = &dialog;
    const ModalRun run = RunInsideModal(dialog, {steps});
    if (run.stepsRun != 1)
        ADD_FAILURE_AT(here.file, here.line) << "the dialog never came up (result " << run.result << ")";
    return run.result;
}

INT_PTR RunManager(Here here, const ModalStep& steps)
{
    CZarvFMgrDlg manager;
    return RunModal(here, manager, steps);
}

void RunManagerOnVideo(Here here, const ModalStep& steps)
{
    RunManager(here, [&](HWND manager) {
        const ::testing::ScopedTrace trace(here.file, here.line, "manager run here");
        ASSERT_TRUE(SelectListEntry(Categories(manager), kVideo));
        steps(manager);
    });
}

INT_PTR RunOwnedDialog(Here here, HWND owner, std::vector<ModalStep> steps,
                       const std::function<INT_PTR()>& open)
{
    const std::size_t count = steps.size();
    const ModalRun run = RunInsideModal([owner] { return FindOwnedDialog(owner); }, std::move(steps), open);
    if (run.stepsRun != count)
        ADD_FAILURE_AT(here.file, here.line)
            << "the dialog closed, or never opened, after " << run.stepsRun << " of " << count << " steps";
    if (run.leftOpen)
        ADD_FAILURE_AT(here.file, here.line) << "the dialog stayed open";
    return run.result;
}

void ClickListItem(HWND list, int index)
{
    RECT item = {};
    ListBox_GetItemRect(list, index, &item);
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void ClickButton(HWND button)
{
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

UINT SendPointerInput(HWND window, POINT at, std::initializer_list<DWORD> flags)
{
    ::ClientToScreen(window, &at);
    const LONG x = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG y = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    std::vector<INPUT> events;
    for (const DWORD flag : flags)
        events.push_back({INPUT_MOUSE, {{x, y, 0, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flag, 0, 0}}});
    return ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!done())
    {
        if (::GetTickCount64() >= end)
            return false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

int FindListText(HWND list, const std::string& text)
{
    const std::vector<std::string> texts = ListTexts(list);
    const auto found = std::find(texts.begin(), texts.end(), text);
    return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

const CLSID* ListEntryClsid(HWND list, int index)
{
    const LRESULT data = ListBox_GetItemData(list, index);
    return data == LB_ERR ? nullptr : reinterpret_cast<const CLSID*>(data);
}

std::vector<int> ListEntriesOf(HWND list, REFCLSID clsid)
{
    std::vector<int> entries;
    for (int index = 0, count = ListBox_GetCount(list); index < count; ++index)
        if (const CLSID* carried = ListEntryClsid(list, index); carried && *carried == clsid)
            entries.push_back(index);
    return entries;
}

Names ListedNames(HWND list, REFCLSID clsid)
{
    const std::vector<std::string> texts = ListTexts(list);
    Names names;
    for (const int index : ListEntriesOf(list, clsid))
        names.push_back(texts[static_cast<size_t>(index)]);
    return names;
}

::testing::AssertionResult SelectListEntry(HWND list, const std::string& text)
{
    const int index = FindListText(list, text);
    if (index < 0)
        return ::testing::AssertionFailure() << "no entry \"" << text << "\"";
    ClickListItem(list, index);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SelectListEntry(HWND list, REFCLSID clsid)
{
    const std::vector<int> entries = ListEntriesOf(list, clsid);
    if (entries.empty())
        return ::testing::AssertionFailure() << "no entry carries " << GuidText(clsid);
    ClickListItem(list, entries.front());
    return ::testing::AssertionSuccess();
}
