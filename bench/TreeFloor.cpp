#include "TreeFloor.h"

void* CatalogueRecorder::Category(const wchar_t* name, REFCLSID clsid)
{
    categories.push_back(RecordedCategory{RecordedItem{name, clsid}, {}});
    return &categories.back();
}

void CatalogueRecorder::Filter(void* parent, const wchar_t* name, REFCLSID clsid)
{
    static_cast<RecordedCategory*>(parent)->filters.push_back(RecordedItem{name, clsid});
}

TreeFill FillBareTree(const std::vector<RecordedCategory>& catalogue, BareTree& tree)
{
    TreeFill fill;
    Stopwatch watch;
    for (const RecordedCategory& category : catalogue)
    {
        void* parent = tree.Category(category.category.name.c_str(), category.category.clsid);
        for (const RecordedItem& filter : category.filters)
            tree.Filter(parent, filter.name.c_str(), filter.clsid);
    }
    fill.time = watch.Elapsed();
    fill.items = tree.ItemCount();
    tree.Clear();
    return fill;
}
