// The application object of the test programs that run the windows in-process.
// A program has exactly one; the product's own, which also initialises the
// component runtime, is not linked here (the tests' main initialises it).
#include "WinApp.h"

namespace {

class CTestApp : public CWinApp
{
};

CTestApp theTestApp;

} // namespace
