// Sessions, their idle end and the refused logins of one address.
#include <gtest/gtest.h>

#include <set>

#include "platform/remote/PasswordHash.h"
#include "platform/remote/RemoteSessions.h"

namespace pelvano::platform {
namespace {

constexpr std::int64_t kSecond = 1000000;

TEST(RemoteSessions, IdsAndTokensAreRandomAndASessionEndsAfterTwelveIdleHours) {
    RemoteSessions sessions;
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const auto s = sessions.open("admin", 0);
        EXPECT_EQ(s.id.size(), 32u);
        EXPECT_NE(s.id, s.csrf);
        EXPECT_TRUE(seen.insert(s.id).second && seen.insert(s.csrf).second);
    }
    const auto s = sessions.open("admin", 0);
    const std::int64_t eleven = 11 * 3600 * kSecond;
    ASSERT_TRUE(sessions.touch(s.id, eleven));  // each request restarts the idle time
    EXPECT_EQ(sessions.touch(s.id, 2 * eleven)->csrf, s.csrf);
    EXPECT_FALSE(sessions.touch(s.id, 2 * eleven + RemoteSessions::kIdleUs + 1));
    EXPECT_FALSE(sessions.touch(s.id, 2 * eleven)) << "an expired session came back";
    EXPECT_FALSE(sessions.touch("", 0));
    const auto other = sessions.open("admin", 0);
    sessions.close(other.id);
    EXPECT_FALSE(sessions.touch(other.id, 1));
}

TEST(LoginLimiter, FiveFailuresInAMinuteRefuseTheAddressUntilTheyAgeOut) {
    LoginLimiter limiter;
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(limiter.refused("10.0.0.1", i * kSecond));
        limiter.failed("10.0.0.1", i * kSecond);
    }
    EXPECT_TRUE(limiter.refused("10.0.0.1", 10 * kSecond));
    EXPECT_FALSE(limiter.refused("10.0.0.2", 10 * kSecond)) << "another address was refused";
    EXPECT_TRUE(limiter.refused("10.0.0.1", 59 * kSecond));
    EXPECT_FALSE(limiter.refused("10.0.0.1", 60 * kSecond)) << "the first failure never ages out";
}

TEST(PasswordHash, OnlyTheRightPasswordMatchesItsSaltedHash) {
    const std::string hash = HashPassword("长城 secret");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u);
    EXPECT_EQ(hash.find("secret"), std::string::npos);
    EXPECT_NE(HashPassword("长城 secret"), hash) << "no salt";
    EXPECT_TRUE(VerifyPassword(hash, "长城 secret"));
    EXPECT_FALSE(VerifyPassword(hash, "长城 secreT"));
    EXPECT_FALSE(VerifyPassword("", ""));
    EXPECT_FALSE(VerifyPassword("not a hash", "not a hash"));
    EXPECT_TRUE(SameSecret("abc", "abc"));
    EXPECT_FALSE(SameSecret("abc", "abd"));
    EXPECT_FALSE(SameSecret("abc", "abcd"));
}

}  // namespace
}  // namespace pelvano::platform
