#include "gui/widgets/ini_file_reader.h"

#include <filesystem>
#include <string>

#include "platform/ini_file.h"

namespace qv::gui {
namespace {

std::filesystem::path ToPath(const QString& path) {
    // UTF-16 in, the platform's own encoding out, so non-ASCII folders work everywhere.
    return std::filesystem::path(path.toStdU16String());
}

std::string ToUtf8(QStringView text) {
    return text.toString().toStdString();
}

}  // namespace

std::optional<QString> SkinIniFile::GetString(QStringView section, QStringView key,
                                              QStringView defaultValue) const {
    const std::string value = qv::platform::ReadProfileString(
        ToPath(path_), ToUtf8(section), ToUtf8(key), ToUtf8(defaultValue), kIniReadMaxChars);
    if (value.empty()) {
        return std::nullopt;
    }
    return QString::fromStdString(value);
}

bool SkinIniFile::WriteString(QStringView section, QStringView key, QStringView value) const {
    return qv::platform::WriteProfileString(ToPath(path_), ToUtf8(section), ToUtf8(key),
                                            ToUtf8(value)) == qv::platform::IniWriteStatus::Ok;
}

}  // namespace qv::gui
