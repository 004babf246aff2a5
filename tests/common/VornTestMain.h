#pragma once

#include "VornApp.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace VornTest {

// Points the user's configuration and application-data folders at a fresh
// temporary folder, so that a test never reads or writes the real settings
// and log file. Call before the application object exists.
QTemporaryDir& isolateUserFolders();

// Ends the discovery scan the application starts with and gives it the
// test's network manager.
void useNetwork(QNetworkAccessManager* nam);

// The process's resident memory in bytes (VmRSS of /proc/self/status).
qint64 residentBytes();

// The 16-bit sample of a camera's pixel code by the companding rule: the
// linear value 0 … 511 scaled to 16 bits.
inline int expandedSample(int code)
{
    const int linear = code < 128 ? code : (code < 192 ? 2 * code - 127 : 4 * code - 509);
    return int(std::lround(linear * 65535.0 / 511.0));
}

} // namespace VornTest

// A Qt Test main for tests that need the application object: VornApp is the
// QGuiApplication of the process, constructed without command-line arguments
// (those belong to Qt Test), with its user folders in a temporary folder.
#define VORN_TEST_MAIN(TestObject)                                                                           \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        VornTest::isolateUserFolders();                                                                      \
        static int appArgc = 1;                                                                              \
        VornApp app(appArgc, argv);                                                                          \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
