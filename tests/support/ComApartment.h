// Included once by a test program that uses the shell link object: COM in a
// single-threaded apartment on the test thread, as Zarninst runs it.
#ifndef ZARN_TEST_COM_APARTMENT_H
#define ZARN_TEST_COM_APARTMENT_H
#include <objbase.h>
#include <gtest/gtest.h>

namespace {
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};
::testing::Environment *const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
}

#endif
