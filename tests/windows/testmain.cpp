#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

int main(int argc, char **argv)
{
    // The shell may hand a document to a COM extension.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
