#include "CategoryWalkFigure.h"

#include "ComPtr.h"
#include "FilterEnumeration.h"

WalkCount ProgramCategoryWalk(ICreateDevEnum* filterDevEnum)
{
    WalkCount count;
    auto countFilter = [&count](const NamedClsid&) { ++count.filters; };
    auto walkCategory = [&](const NamedClsid& category) {
        ++count.categories;
        ComPtr<IEnumMoniker> filters;
        if (SUCCEEDED(filterDevEnum->CreateClassEnumerator(category.clsid, filters.put(), 0)))
            EnumerateCategoryFilters(filters.get(), countFilter);
    };
    EnumerateFilterCategories(walkCategory);
    return count;
}

CategoryWalkFigure MeasureCategoryWalk(ICreateDevEnum* filterDevEnum, int runs)
{
    CategoryWalkFigure figure;
    figure.timing = Compare(
        runs, [&] { return TimeOf([&] { figure.delivered = ProgramCategoryWalk(filterDevEnum); }); },
        [&] { return TimeOf([&] { figure.floorCount = BareWalkAllCategories(filterDevEnum, nullptr); }); });
    return figure;
}
