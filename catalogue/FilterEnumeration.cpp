#include "FilterEnumeration.h"
