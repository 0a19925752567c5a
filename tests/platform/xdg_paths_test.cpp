#include "platform/xdg_paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace qv::platform {
namespace {

TEST(DocumentsFolderInTest, TakesTheFirstAbsoluteDocumentsLine) {
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::string> folder;
    };
    const std::vector<Case> cases{
        {"home relative", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n",
         "/home/u/Docs"},
        {"absolute, no final line break", "XDG_DOCUMENTS_DIR=\"/data/docs\"", "/data/docs"},
        {"relative value skipped for a later one",
         "XDG_DOCUMENTS_DIR=\"docs\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", "/b"},
        {"first absolute wins", "XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", "/a"},
        {"CR LF line is no line of the form", "XDG_DOCUMENTS_DIR=\"/a\"\r\n", std::nullopt},
        {"opening quote alone", "XDG_DOCUMENTS_DIR=\"\n", std::nullopt},
        {"empty value", "XDG_DOCUMENTS_DIR=\"\"\n", std::nullopt},
        {"commented out", "# XDG_DOCUMENTS_DIR=\"/a\"\n", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto folder = DocumentsFolderIn(c.text, "/home/u");
        ASSERT_EQ(folder.has_value(), c.folder.has_value());
        if (folder) {
            EXPECT_EQ(folder->string(), *c.folder);
        }
    }
}

}  // namespace
}  // namespace qv::platform
