#include "texts/cached_ini_file.h"

#include <mutex>
#include <utility>

namespace qv::ui {

CachedIniFile::CachedIniFile(std::filesystem::path path) : path_(std::move(path)) {}

std::shared_ptr<const platform::IniFile> CachedIniFile::Get() const {
    // The time comes before the stamp and the stamp before the read: a change after either is
    // then seen by the next call, never hidden behind the stamp taken here.
    const std::int64_t now = FileClockNowNs();
    const FileStamp stamp = StampOf(path_);
    {
        std::shared_lock lock(mutex_);
        if (kept_.file && kept_.settled && kept_.stamp == stamp) {
            return kept_.file;
        }
    }
    std::unique_lock lock(mutex_);
    // Another thread may have read the same state meanwhile.
    if (kept_.file && kept_.settled && kept_.stamp == stamp) {
        return kept_.file;
    }
    auto file = std::make_shared<const platform::IniFile>(platform::IniFile::Load(path_).file);
    ++reads_;
    kept_ = {stamp, StampIsSettled(stamp, now), file};
    return file;
}

std::uint64_t CachedIniFile::Reads() const {
    std::shared_lock lock(mutex_);
    return reads_;
}

}  // namespace qv::ui
