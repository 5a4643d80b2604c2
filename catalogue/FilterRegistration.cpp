#include "FilterRegistration.h"
