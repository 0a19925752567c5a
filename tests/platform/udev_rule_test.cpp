#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace qv::platform {
namespace {

// The shipped rule file, checked by the system's own rule parser where it has one (`udevadm
// verify` is only in newer systemd releases).
TEST(UdevRule, PassesTheSystemsRuleCheck) {
    if (std::system("udevadm verify --help >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no udevadm with a verify command here";
    }
    const std::string command = std::string("udevadm verify --resolve-names=never '") +
                                QV_SOURCE_DIR + "/packaging/60-quorvane.rules'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
}  // namespace qv::platform
