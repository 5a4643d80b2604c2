#include "FilterListFigure.h"

#include "BareWalk.h"
#include "resource.h"

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
    return figure;
}
