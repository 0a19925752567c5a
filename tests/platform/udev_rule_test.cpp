#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::platform {
namespace {

const std::string kShippedRule = std::string(QV_SOURCE_DIR) + "/packaging/60-quorvane.rules";
const std::string kTestingRule = std::string(QV_SOURCE_DIR) + "/tools/uhid/61-quorvane-uhid.rules";

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Both rule files, checked by the system's own rule parser where it has one (`udevadm verify`
// is only in newer systemd releases).
TEST(UdevRule, PassesTheSystemsRuleCheck) {
    if (std::system("udevadm verify --help >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no udevadm with a verify command here";
    }
    for (const std::string& rule : {kShippedRule, kTestingRule}) {
        const std::string command = "udevadm verify --resolve-names=never '" + rule + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
}

// What udevadm test checks in the test machine, also where there is no such machine: the rule
// a package installs opens USB devices only, and the uhid device is left to the testing rule.
TEST(UdevRule, TheShippedRuleOpensNoUhidDevice) {
    const std::string shipped = ReadText(kShippedRule);
    ASSERT_FALSE(shipped.empty()) << kShippedRule;
    EXPECT_EQ(shipped.find("DEVPATH"), std::string::npos);
    EXPECT_EQ(shipped.find("misc/uhid"), std::string::npos);
    const std::string testing = ReadText(kTestingRule);
    EXPECT_NE(testing.find("DEVPATH==\"/devices/virtual/misc/uhid/0003:0C45:5004.*\""),
              std::string::npos);
}

}  // namespace
}  // namespace qv::platform
