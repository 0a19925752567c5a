#pragma once

// An INI file that is read once and kept parsed, and read again only when it has changed: a
// lookup costs one status call of the file instead of opening and parsing it. Safe to use from
// several threads at once; a copy handed out stays valid and unchanged while another thread
// reads a newer one.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <shared_mutex>

#include "platform/ini_file.h"
#include "texts/file_stamp.h"

namespace qv::ui {

class CachedIniFile {
public:
    explicit CachedIniFile(std::filesystem::path path);

    // The file as it is now; empty when it is missing, unreadable or too large.
    [[nodiscard]] std::shared_ptr<const platform::IniFile> Get() const;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    // How often the file has been read and parsed so far.
    [[nodiscard]] std::uint64_t Reads() const;

private:
    struct Kept {
        FileStamp stamp;
        bool settled = false;
        std::shared_ptr<const platform::IniFile> file;
    };

    std::filesystem::path path_;
    mutable std::shared_mutex mutex_;
    mutable Kept kept_;
    mutable std::uint64_t reads_ = 0;
};

}  // namespace qv::ui
