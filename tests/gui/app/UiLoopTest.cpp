// The UI loop's error handling and the Qt ports: what a handler throws is reported once per text
// with a count, goes to the log, and never stops the next tick or posted event.
#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/app/SilentAbort.h"
#include "gui/app/PelvanoApplication.h"
#include "gui/app/QtPorts.h"
#include "gui/app/UiErrors.h"

namespace pelvano::gui {
namespace {

TEST(ErrorFoldingTest, RepeatedTextsFoldWithACountInOrderOfFirstArrival) {
    ErrorFolding f;
    f.add("Audio file is empty.");
    f.add("No file opened");
    f.add("Audio file is empty.");
    f.add("Audio file is empty.");
    EXPECT_EQ(f.boxText(), "Audio file is empty. (\u00d73)\nNo file opened");
    f.clear();
    EXPECT_TRUE(f.empty());
}

TEST(UiErrorsTest, SilentAbortIsDroppedOtherErrorsReachLogAndBox) {
    UiErrors errors(/*showBoxes=*/false);
    std::vector<std::string> logged;
    errors.setLogSink([&](const std::string& t) { logged.push_back(t); });

    errors.runGuarded([] { throw core::SilentAbort(); });
    EXPECT_EQ(errors.silentAborts(), 1);
    EXPECT_FALSE(errors.boxOpen());
    EXPECT_TRUE(logged.empty());

    for (int i = 0; i < 3; ++i)
        errors.runGuarded([] { throw std::runtime_error("Invalid number of channels."); });
    errors.runGuarded([] { throw 42; });
    EXPECT_TRUE(errors.boxOpen());
    EXPECT_EQ(errors.boxText(),
              QStringLiteral("Invalid number of channels. (\u00d73)\nUnknown error"));
    EXPECT_EQ(errors.reportCount(), 4);
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[0], "Invalid number of channels.");
}

TEST(UiErrorsTest, AThrowingLogSinkDoesNotEscapeOrRecurse) {
    UiErrors errors(false);
    int sinkCalls = 0;
    errors.setLogSink([&](const std::string&) {
        ++sinkCalls;
        throw std::runtime_error("disk full");
    });
    errors.runGuarded([] { throw std::runtime_error("first"); });
    EXPECT_EQ(sinkCalls, 1);
    EXPECT_EQ(errors.boxText(), QStringLiteral("first"));
}

TEST(UiErrorsTest, NotifyCatchesWhatAnEventHandlerThrows) {
    struct Throwing : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
            return QObject::event(e);
        }
    } receiver;
    auto* app = static_cast<PelvanoApplication*>(QCoreApplication::instance());
    const int before = app->errors().reportCount();
    QEvent e(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&receiver, &e));
    EXPECT_EQ(app->errors().reportCount(), before + 1);
    EXPECT_TRUE(app->errors().boxText().contains(QStringLiteral("handler failed")));
}

TEST(QtPortsTest, ATimerWhoseHandlerThrowsKeepsTicking) {
    UiErrors errors(false);
    QtTimerService timers(errors);
    auto timer = timers.createTimer();
    int ticks = 0;
    timer->setInterval(20);
    timer->setOnTimer([&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    EXPECT_FALSE(timer->enabled());
    timer->setEnabled(true);
    EXPECT_TRUE(timer->enabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 2000));
    EXPECT_EQ(errors.boxText(), QString("tick failed (\u00d7%1)").arg(errors.reportCount()));
    timer->setEnabled(false);
    const int stopped = ticks;
    QTest::qWait(60);
    EXPECT_EQ(ticks, stopped);
    EXPECT_EQ(timer->interval(), 20u);
}

TEST(QtPortsTest, PostedEventsRunOnTheUiThreadInPostingOrderPastAThrowingOne) {
    UiErrors errors(false);
    QtEventQueue queue(errors);
    std::vector<int> order;
    std::vector<bool> onUiThread;
    QThread* ui = QThread::currentThread();
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i) {
            queue.post([&, i] {
                order.push_back(i);
                onUiThread.push_back(QThread::currentThread() == ui);
                if (i == 10) throw std::runtime_error("event failed");
            });
        }
    });
    poster.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return order.size() == 50; }, 2000));
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(std::count(onUiThread.begin(), onUiThread.end(), true), 50);
    EXPECT_EQ(errors.boxText(), QStringLiteral("event failed"));
}

TEST(QtPortsTest, EventsStillQueuedWhenTheQueueGoesAreDropped) {
    UiErrors errors(false);
    int ran = 0;
    {
        QtEventQueue queue(errors);
        queue.post([&] { ++ran; });
    }
    QTest::qWait(20);
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace pelvano::gui
