// Entry point of the test programs that drive the catalogue directly: the
// main thread is a single-threaded apartment, as in the program.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const HRESULT hr = ::CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return result;
}
