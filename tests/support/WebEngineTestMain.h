#pragma once

#include <QGuiApplication>
#include <QTest>

// QTEST_MAIN for tests that run the browser engine, which needs shared OpenGL contexts set before the
// application object exists.
#define ORV_WEBENGINE_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                          \
        QGuiApplication app(argc, argv);                                                                     \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
