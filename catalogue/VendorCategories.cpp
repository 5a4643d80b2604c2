#include "VendorCategories.h"
