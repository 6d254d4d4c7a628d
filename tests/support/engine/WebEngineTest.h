#pragma once

#include <QEventLoop>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

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

// Runs the event loop until `done()` holds or `timeoutMs` pass; returns `done()`. QTRY_* and qWaitFor sleep
// between their rounds, which starves the engine's message pump and makes each page load take seconds.
template <typename Done> bool waitForEngine(Done done, int timeoutMs = 30000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}
