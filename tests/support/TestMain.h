#pragma once

#include <QApplication>
#include <QTest>

namespace tess::test {

/// Points HOME (and the XDG folders) at a fresh temporary folder for the life of the
/// process, and selects the offscreen platform, so no test touches a real documents folder.
void isolateEnvironment();
/// The temporary home of this test process.
QString testHome();

} // namespace tess::test

/// Like QTEST_MAIN, with the environment isolated before the application starts.
#define TESS_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        tess::test::isolateEnvironment();                                                          \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
