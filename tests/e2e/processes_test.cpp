// The harness's own failures: a child that cannot be started and an X server
// that does not come up must say so, and must not disturb anything else.
#include "processes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace {

bool forkFails = false;

}

// Stands in for the C library's fork, so that a test can make it fail.
extern "C" pid_t fork()
{
    using ForkFunction = pid_t (*)();
    static const auto realFork = reinterpret_cast<ForkFunction>(dlsym(RTLD_NEXT, "fork"));
    if (forkFails) {
        errno = EAGAIN;
        return -1;
    }
    return realFork();
}

namespace {

TEST(ChildProcessTest, FailedForkThrowsAndLeavesOtherChildrenAlone)
{
    const Timeout bystanderLife = std::chrono::milliseconds(100);
    ChildProcess bystander("sleep", {"sleep", "0.1"}, "");
    forkFails = true;
    // Were there a child without a process, waiting for it could reap the bystander.
    EXPECT_THROW(ChildProcess("true", {"true"}, "").waitForEnd(10 * bystanderLife), std::system_error);
    EXPECT_THROW(XvfbServer().displayName(), std::system_error);
    forkFails = false;
    ASSERT_TRUE(bystander.waitForEnd(10 * bystanderLife)) << "the bystander was reaped by someone else";
    EXPECT_EQ("exit status 0", bystander.end().describe());
}

TEST(XvfbServerTest, FailedStartCarriesXvfbsOwnMessage)
{
    try {
        const XvfbServer server({"-no-such-option"});
        FAIL() << "Xvfb started on " << server.displayName() << " with an option it does not know";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("Unrecognized option: -no-such-option"))
            << "the error says: " << error.what();
    }
}

}
