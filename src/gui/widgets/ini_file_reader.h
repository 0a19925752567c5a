#pragma once

// The reader of one window's skin file: a path and the two private-profile calls on it, with Qt
// strings for the widgets.

#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <utility>

namespace qv::gui {

// The reads of the skin files pass buffers of 2048 units with the terminator.
inline constexpr std::size_t kIniReadMaxChars = 2047;

class SkinIniFile {
public:
    SkinIniFile() = default;
    explicit SkinIniFile(QString path) : path_(std::move(path)) {}

    void SetPath(QString path) { path_ = std::move(path); }
    [[nodiscard]] const QString& Path() const { return path_; }

    // The value (or the default) cut to kIniReadMaxChars characters; nothing when that is empty,
    // so that callers cannot mistake a blank entry for a file name.
    [[nodiscard]] std::optional<QString> GetString(QStringView section, QStringView key,
                                                   QStringView defaultValue = {}) const;

    // Creates the file (not its folder) when missing; false when the write was refused.
    bool WriteString(QStringView section, QStringView key, QStringView value) const;

private:
    QString path_;
};

}  // namespace qv::gui
