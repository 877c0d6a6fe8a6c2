// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "linux/idle/IdleStarter.h"

namespace lumi::idle {
namespace {

using namespace std::chrono_literals;
using Hold = platform::SessionState::Hold;

// Records every watch; the test says when the user is idle or active.
class FakeIdleMonitor final : public platform::IdleMonitor {
public:
    QString sourceName() const override { return QStringLiteral("fake"); }
    void watch(std::chrono::milliseconds timeout) override { watches.push_back(timeout); }
    void becomeIdle() { emit idle(); }
    void becomeActive() { emit active(); }

    std::vector<std::chrono::milliseconds> watches;
};

// Keeps each question until the test answers it.
class FakeSessionState final : public platform::SessionState {
public:
    void query(std::function<void(Hold)> answer) override {
        questions.push_back(std::move(answer));
    }
    void answerLast(Hold hold) { questions.back()(hold); }

    std::vector<std::function<void(Hold)>> questions;
};

class IdleStarterTest : public ::testing::Test {
protected:
    IdleStarter::Services services() {
        return {monitor,
                session,
                [this] { return displayRunning; },
                [this] { ++starts; },
                [this](const QString& line) { reports << line; },
                20ms,
                [this] { return otherScreenSaver; }};
    }

    FakeIdleMonitor monitor;
    FakeSessionState session;
    bool displayRunning = false;
    QString otherScreenSaver;
    int starts = 0;
    QStringList reports;
};

TEST_F(IdleStarterTest, StartsOncePerIdlePeriod) {
    IdleStarter starter(services(), 10min);
    ASSERT_EQ(monitor.watches, std::vector<std::chrono::milliseconds>{10min});

    monitor.becomeIdle();
    ASSERT_EQ(session.questions.size(), 1u);
    session.answerLast(Hold::None);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(reports, QStringList{"idle for 10 minutes: starting the display"});

    // However long the period lasts, it starts nothing more and asks nothing more.
    displayRunning = true;
    QTest::qWait(100);
    EXPECT_EQ(session.questions.size(), 1u);

    displayRunning = false;
    monitor.becomeActive();
    monitor.becomeIdle();
    session.answerLast(Hold::None);
    EXPECT_EQ(starts, 2);
}

struct HoldCase {
    Hold hold;
    bool displayRunning;
    const char* report;
    const char* otherScreenSaver = "";
};

class IdleStarterHoldTest : public IdleStarterTest,
                            public ::testing::WithParamInterface<HoldCase> {};

// Held back, it tells why once and asks again within the same idle period; it starts once
// the hold has ended while the user is still away.
TEST_P(IdleStarterHoldTest, StartsNothingWhileHeldAndStartsOnceTheHoldEnds) {
    IdleStarter starter(services(), 1min);
    displayRunning = GetParam().displayRunning;
    otherScreenSaver = QString::fromUtf8(GetParam().otherScreenSaver);
    monitor.becomeIdle();
    session.answerLast(GetParam().hold);
    EXPECT_EQ(starts, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return session.questions.size() == 2; }, 120000));
    session.answerLast(GetParam().hold);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(reports, QStringList{GetParam().report});

    displayRunning = false;
    otherScreenSaver.clear();
    ASSERT_TRUE(QTest::qWaitFor([this] { return session.questions.size() == 3; }, 120000));
    session.answerLast(Hold::None);
    EXPECT_EQ(starts, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Holds, IdleStarterHoldTest,
    ::testing::Values(
        HoldCase{Hold::Locked, false, "idle, but the session is locked: starting nothing"},
        HoldCase{Hold::Inhibited, false,
                 "idle, but an application inhibits idle: starting nothing"},
        HoldCase{Hold::None, true, "idle, but Lumiscribe runs already: starting nothing"},
        HoldCase{Hold::None, false,
                 "idle, but XScreenSaver runs on the X display :5 and starts the savers: "
                 "starting nothing",
                 "XScreenSaver runs on the X display :5 and starts the savers"}));

TEST_F(IdleStarterTest, AWaitOfZeroDisarmsAndAChangedWaitRearms) {
    IdleStarter starter(services(), 0ms);
    starter.setWait(5min);
    starter.setWait(5min);
    EXPECT_EQ(monitor.watches, (std::vector<std::chrono::milliseconds>{0ms, 5min}));

    // An answer that comes after the user came back, or after the wait changed, starts nothing.
    monitor.becomeIdle();
    monitor.becomeActive();
    session.answerLast(Hold::None);
    monitor.becomeIdle();
    starter.setWait(7min);
    session.answerLast(Hold::None);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(monitor.watches.back(), 7min);
}

}  // namespace
}  // namespace lumi::idle
