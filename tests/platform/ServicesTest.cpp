#include "support/FakeServices.h"

#include "platform/LastError.h"
#include "platform/Library.h"
#include "platform/WaitCursor.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

TEST(FakeServices, RecordsSleepsAndBeepsAndPinsTheClock)
{
    platform::FakeServices services;
    platform::Sleep(5000);
    platform::Sleep(10);
    platform::Beep(1000, 1000);
    const QDateTime pinned(QDate(2026, 3, 5), QTime(13, 4, 5));
    services.PinNow(pinned);
    EXPECT_EQ(services.Sleeps(), (std::vector<uint32_t>{5000, 10}));
    EXPECT_EQ(services.Beeps(), (std::vector<platform::FakeServices::BeepCall>{{1000, 1000}}));
    EXPECT_EQ(platform::Now(), pinned);
}

TEST(FakeServices, SleepHookRunsOnTheSleepingThread)
{
    platform::FakeServices services;
    std::thread::id hookThread;
    uint32_t hookMs = 0;
    services.OnSleep([&](uint32_t ms) {
        hookThread = std::this_thread::get_id();
        hookMs = ms;
    });
    std::thread::id sleeper;
    std::thread worker([&] {
        sleeper = std::this_thread::get_id();
        platform::Sleep(10);
    });
    worker.join();
    EXPECT_EQ(hookThread, sleeper);
    EXPECT_EQ(hookMs, 10u);
}

TEST(FakeServices, NestedFakesRestoreInOrder)
{
    platform::FakeServices outer;
    {
        platform::FakeServices inner;
        platform::Sleep(1);
        EXPECT_EQ(inner.Sleeps().size(), 1u);
    }
    platform::Sleep(2);
    EXPECT_EQ(outer.Sleeps(), std::vector<uint32_t>{2});
}

TEST(Services, SystemServicesAreInstalledWithoutAFake)
{
    {
        platform::FakeServices fake;
        EXPECT_EQ(&platform::CurrentServices(), &fake);
    }
    EXPECT_NE(dynamic_cast<platform::SystemServices*>(&platform::CurrentServices()), nullptr);
    EXPECT_LE(std::abs(platform::Now().secsTo(QDateTime::currentDateTime())), 1);
}

TEST(Services, SleepAfterWakesNoEarlierThanItsDeadlineAndNotAtAllForOnePassed)
{
    using Clock = std::chrono::steady_clock;
    const auto since = Clock::now() - std::chrono::milliseconds(4);
    platform::SleepAfter(since, 10);
    EXPECT_GE(Clock::now(), since + std::chrono::milliseconds(10));
    const auto before = Clock::now();
    platform::SleepAfter(before - std::chrono::seconds(1), 10);
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
}

TEST(WaitCursor, ShowsTheHourglassAndRestoresThePreviousCursor)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::setOverrideCursor(Qt::CrossCursor);
    {
        platform::WaitCursor hourglass;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, RestoresWhenAnExceptionPasses)
{
    EXPECT_THROW(
        {
            platform::WaitCursor hourglass;
            throw std::runtime_error("transfer failed");
        },
        std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(LastError, IsTheThreadsOwnCode)
{
    platform::SetLastError(0x20000000);
    uint32_t otherThreads = 0;
    std::thread other([&] {
        platform::SetLastError(5);
        otherThreads = platform::GetLastError();
    });
    other.join();
    EXPECT_EQ(platform::GetLastError(), 0x20000000u);
    EXPECT_EQ(otherThreads, 5u);
}

TEST(Library, FileNameFollowsThePlatformConvention)
{
#if defined(_WIN32)
    EXPECT_EQ(platform::LibraryFileName("Korvane"), "Korvane.dll");
    EXPECT_EQ(platform::LibraryFileName("C:\\drivers\\Korvane.dll"), "C:\\drivers\\Korvane.dll");
#else
    EXPECT_EQ(platform::LibraryFileName("Korvane"), "libKorvane.so");
    EXPECT_EQ(platform::LibraryFileName("/opt/lib/libKorvane.so"), "/opt/lib/libKorvane.so");
    EXPECT_EQ(platform::LibraryFileName("./custom"), "./custom");
    EXPECT_EQ(platform::LibraryFileName("libc.so.6"), "libc.so.6");
#endif
}

TEST(Library, MissingLibraryAndSymbolGiveNull)
{
    EXPECT_EQ(platform::OpenLibrary("korvane_no_such_library"), nullptr);
    EXPECT_EQ(platform::OpenLibrary(""), nullptr);
    EXPECT_EQ(platform::LibrarySymbol(nullptr, "OpenInterface"), nullptr);
#if !defined(_WIN32)
    platform::LibraryHandle libc = platform::OpenLibrary("libc.so.6");
    ASSERT_NE(libc, nullptr);
    EXPECT_NE(platform::LibrarySymbol(libc, "strlen"), nullptr);
    EXPECT_EQ(platform::LibrarySymbol(libc, "NoSuchEntryPoint"), nullptr);
#endif
}

} // namespace
