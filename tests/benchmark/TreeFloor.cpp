#include "TreeFloor.h"

#include "BareWalk.h"
#include "Stopwatch.h"

TreeFloorRun FillBareTree(ICreateDevEnum* filterDevEnum, BareTree& tree)
{
    TreeFloorRun run;
    Stopwatch watch;
    BareWalkAllCategories(filterDevEnum, &tree);
    run.seconds = watch.Seconds();
    run.items = tree.ItemCount();
    tree.Clear();
    return run;
}
