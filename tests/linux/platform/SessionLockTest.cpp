// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/SessionLock.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/Fakes.h"

namespace lumi::platform {
namespace {

using namespace std::chrono_literals;
using testing::FakeLockService;
using testing::ManualLockScheduler;

// Three services in the order of the desktop's, with the outcome noted once it comes.
struct LockRig {
    LockRig() {
        std::vector<std::unique_ptr<LockService>> services;
        for (const char* name : {"logind", "freedesktop", "gnome"}) {
            auto service = std::make_unique<FakeLockService>(QString::fromLatin1(name), log_);
            fakes_.push_back(service.get());
            services.push_back(std::move(service));
        }
        lock_ = std::make_unique<SessionLock>(std::move(services), clock_.scheduler());
    }

    void startLock() {
        lock_->lock([this](SessionLock::Outcome outcome, const QString& service) {
            ++outcomes_;
            outcome_ = outcome;
            service_ = service;
        });
    }

    QStringList log_;  // first, for the services that write to it
    std::vector<FakeLockService*> fakes_;
    ManualLockScheduler clock_;
    std::unique_ptr<SessionLock> lock_;
    int outcomes_ = 0;
    std::optional<SessionLock::Outcome> outcome_;
    QString service_;
};

TEST(SessionLock, PrepareReachesEveryServiceAndAsksNothing) {
    LockRig rig;
    rig.lock_->prepare();
    EXPECT_EQ(rig.log_, QStringList({"logind prepare", "freedesktop prepare", "gnome prepare"}));
    EXPECT_FALSE(rig.lock_->requested());
}

// Each service refuses or takes the request; the first that takes it is the one asked
// whether the session is locked, and the ones after it are never asked.
TEST(SessionLock, AsksTheServicesInOrderUntilOneTakesTheRequest) {
    struct Case {
        int firstAccepting;  // -1: none
        QStringList log;
        SessionLock::Outcome outcome;
        QString service;
    };
    const Case cases[] = {
        {0, {"logind lock", "logind query"}, SessionLock::Outcome::Locked, "logind"},
        {1,
         {"logind lock", "freedesktop lock", "freedesktop query"},
         SessionLock::Outcome::Locked,
         "freedesktop"},
        {2,
         {"logind lock", "freedesktop lock", "gnome lock", "gnome query"},
         SessionLock::Outcome::Locked,
         "gnome"},
        {-1,
         {"logind lock", "freedesktop lock", "gnome lock"},
         SessionLock::Outcome::NoService,
         ""},
    };
    for (const Case& c : cases) {
        LockRig fixture;
        fixture.startLock();
        EXPECT_TRUE(fixture.lock_->requested());
        for (int i = 0; i < 3 && fixture.outcomes_ == 0; ++i) {
            const bool accepts = i == c.firstAccepting;
            fixture.fakes_[i]->answerLock(accepts);
            if (accepts) {
                fixture.fakes_[i]->answerLocked(true);
                break;
            }
        }
        EXPECT_EQ(fixture.log_, c.log) << c.firstAccepting;
        EXPECT_EQ(fixture.outcomes_, 1) << c.firstAccepting;
        EXPECT_EQ(fixture.outcome_, c.outcome) << c.firstAccepting;
        EXPECT_EQ(fixture.service_, c.service) << c.firstAccepting;
        EXPECT_EQ(fixture.clock_.now(), 0ms) << "no wait when every service answered at once";
    }
}

TEST(SessionLock, AsksAgainUntilLockedWithinTheBound) {
    LockRig rig;
    rig.startLock();
    rig.fakes_[0]->answerLock(true);
    for (int i = 0; i < 5; ++i) {
        rig.fakes_[0]->answerLocked(false);
        EXPECT_FALSE(rig.fakes_[0]->lockedAnswer) << "asked again before the interval";
        rig.clock_.advance(SessionLock::kLockPollInterval);
    }
    EXPECT_EQ(rig.log_.count("logind query"), 6);
    EXPECT_EQ(rig.outcomes_, 0);
    rig.fakes_[0]->answerLocked(true);
    EXPECT_EQ(rig.outcome_, SessionLock::Outcome::Locked);
    rig.clock_.advance(SessionLock::kLockWait);
    EXPECT_EQ(rig.outcomes_, 1) << "the bound told a second outcome";
}

// The outcome comes at the bound however the services behave, and nothing that answers
// later changes it or asks another service.
TEST(SessionLock, TheBoundEndsTheWait) {
    struct Case {
        const char* what;
        bool accepts;  // the first service takes the request and never says locked
        SessionLock::Outcome outcome;
        QString service;
    };
    for (const Case& c : {Case{"never locked", true, SessionLock::Outcome::NotConfirmed, "logind"},
                          Case{"no answer", false, SessionLock::Outcome::NoService, ""}}) {
        LockRig fixture;
        fixture.startLock();
        if (c.accepts) {
            fixture.fakes_[0]->answerLock(true);
        }
        // Every query answers "not locked" as soon as it is asked.
        while (fixture.clock_.now() < SessionLock::kLockWait - 1ms) {
            if (fixture.fakes_[0]->lockedAnswer) {
                fixture.fakes_[0]->answerLocked(false);
            }
            fixture.clock_.advance(1ms);
        }
        EXPECT_EQ(fixture.outcomes_, 0) << c.what;
        fixture.clock_.advance(1ms);
        EXPECT_EQ(fixture.outcomes_, 1) << c.what;
        EXPECT_EQ(fixture.outcome_, c.outcome) << c.what;
        EXPECT_EQ(fixture.service_, c.service) << c.what;

        const qsizetype calls = fixture.log_.size();
        if (fixture.fakes_[0]->lockAnswer) {
            fixture.fakes_[0]->answerLock(false);
        }
        if (fixture.fakes_[0]->lockedAnswer) {
            fixture.fakes_[0]->answerLocked(true);
        }
        fixture.clock_.advance(10s);
        EXPECT_EQ(fixture.log_.size(), calls) << c.what << ": asked after the bound";
        EXPECT_EQ(fixture.outcomes_, 1) << c.what;
    }
}

TEST(SessionLock, ASecondLockWhileOneRunsIsIgnored) {
    LockRig rig;
    rig.startLock();
    rig.startLock();
    EXPECT_EQ(rig.log_, QStringList{"logind lock"});
    rig.fakes_[0]->answerLock(true);
    rig.fakes_[0]->answerLocked(true);
    EXPECT_EQ(rig.outcomes_, 1);
}

TEST(LockOutcomeText, NamesTheServiceAndSaysWhenTheSessionIsNotLocked) {
    EXPECT_EQ(lockOutcomeText(SessionLock::Outcome::Locked, "logind"), QString());
    EXPECT_EQ(lockOutcomeText(SessionLock::Outcome::NoService, QString()),
              "no lock screen answered; the session is not locked");
    EXPECT_EQ(lockOutcomeText(SessionLock::Outcome::NotConfirmed, "logind"),
              "logind took the lock request, but the session was not locked within 2 s; it "
              "may be unlocked");
}

}  // namespace
}  // namespace lumi::platform
