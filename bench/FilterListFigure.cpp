#include "FilterListFigure.h"

#include <string>
#include <vector>

#include "BareWalk.h"
#include "resource.h"

namespace {

class NameRecorder : public BareWalkVisitor
{
public:
    void* Category(const wchar_t*, REFCLSID) override { return nullptr; }
    void Filter(void*, const wchar_t* name, REFCLSID) override
    {
        char text[512] = "";
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        names.push_back(text);
    }

    std::vector<std::string> names;
};

Sample FillList(HWND list, const std::vector<std::string>& names, bool withoutRedraw)
{
    return TimeOf([&] {
        if (withoutRedraw)
            ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (const std::string& name : names)
        {
            const LRESULT index =
                ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
        }
        if (withoutRedraw)
        {
            ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            ::InvalidateRect(list, nullptr, TRUE);
        }
    });
}

} // namespace

FilterListFigure MeasureFilterListRefill(HWND managerWindow, const char* categoryName,
                                         ICreateDevEnum* devEnum, REFCLSID category, int runs)
{
    FilterListFigure figure;
    const HWND categories = ::GetDlgItem(managerWindow, IDC_CATEGORY_LIST);
    const HWND filters = ::GetDlgItem(managerWindow, IDC_FILTER_LIST);
    const LRESULT index = ::SendMessageA(categories, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(categoryName));
    if (index == LB_ERR)
        return figure;
    ::SendMessageA(categories, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    auto select = [&] {
        ::SendMessageW(managerWindow, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(categories));
    };
    select(); // so that every measured refill also empties a full list, as a repeated one does
    figure.timing = Compare(
        runs,
        [&] {
            const Sample sample = TimeOf(select);
            figure.listed = static_cast<int>(::SendMessageW(filters, LB_GETCOUNT, 0, 0));
            return sample;
        },
        [&] {
            return TimeOf([&] { figure.walked = BareWalkCategory(devEnum, category, nullptr, nullptr); });
        });

    NameRecorder recorder;
    BareWalkCategory(devEnum, category, &recorder, nullptr);
    figure.listInsertion = FillList(filters, recorder.names, false);
    figure.listInsertionWithoutRedraw = FillList(filters, recorder.names, true);
    select(); // the list as the program fills it, with its own entries
    return figure;
}
