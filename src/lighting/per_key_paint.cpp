#include "lighting/per_key_paint.h"

#include <algorithm>

namespace qv::lighting {
PerKeyPaint::PerKeyPaint(std::filesystem::path folder)
    : folder_(std::move(folder)), followsBase_(ColouredKeys().size()) {}

std::filesystem::path PerKeyPaint::File() const {
    return UserColourFilePath(folder_, profile_);
}

template <typename Change>
void PerKeyPaint::Edit(Change&& change) {
    auto loaded = UserColourFile::Load(File());
    if (auto* problem = std::get_if<std::string>(&loaded)) {
        problem_ = std::move(*problem);
        return;
    }
    UserColourFile& file = std::get<UserColourFile>(loaded);
    change(file);
    problem_ = file.Save(File());
}

ColourWrite PerKeyPaint::PageWrite(int profile) const {
    ColourWrite write;
    write.kind = ColourWrite::Kind::Page;
    write.profile = profile;
    write.page = Page(profile);
    return write;
}

ColourWrite PerKeyPaint::Load(int profile) {
    if (!layout::IsProfileIndex(profile)) {
        return {};
    }
    profile_ = profile;
    auto loaded = UserColourFile::Load(File());
    const UserColourFile* file = std::get_if<UserColourFile>(&loaded);
    const UserColourFile defaults;
    if (!file) {
        problem_ = std::get<std::string>(loaded);
        file = &defaults;
    } else {
        problem_.reset();
    }
    scheme_ = file->PresentScheme();
    tools_ = file->Tools(scheme_);
    const auto keys = ColouredKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int slot = *PaintSlotOf(keys[i]);
        const SlotEntry entry = file->Slot(scheme_, slot);
        SetSlotColour(pages_[static_cast<std::size_t>(profile)], slot, entry.colour);
        followsBase_[i][static_cast<std::size_t>(profile)] = entry.followsBase;
    }
    return file == &defaults ? ColourWrite{} : PageWrite(profile_);
}

std::array<std::string, kSchemeCount> PerKeyPaint::SchemeNames() const {
    std::array<std::string, kSchemeCount> names;
    auto loaded = UserColourFile::Load(File());
    const UserColourFile* file = std::get_if<UserColourFile>(&loaded);
    const UserColourFile defaults;
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        names[static_cast<std::size_t>(scheme)] = (file ? *file : defaults).SchemeName(scheme);
    }
    return names;
}

const ColourPage& PerKeyPaint::Page(int profile) const {
    return pages_[static_cast<std::size_t>(layout::IsProfileIndex(profile) ? profile : 0)];
}

std::optional<Colour> PerKeyPaint::KeyColour(ViewKey key) const {
    if (!ColouredKeyIndex(key)) {
        return std::nullopt;
    }
    return SlotColour(Page(), *PaintSlotOf(key));
}

bool PerKeyPaint::FollowsBase(ViewKey key, int profile) const {
    const auto index = ColouredKeyIndex(key);
    return index && layout::IsProfileIndex(profile) &&
           followsBase_[*index][static_cast<std::size_t>(profile)];
}

ColourWrite PerKeyPaint::SelectScheme(int scheme) {
    if (scheme < 0 || scheme >= kSchemeCount) {
        return {};
    }
    Edit([scheme](UserColourFile& file) { file.SetPresentScheme(scheme); });
    if (problem_) {
        return {};
    }
    return Load(profile_);
}

void PerKeyPaint::RenameScheme(std::string_view name) {
    if (const auto problem = UserColourFile::SchemeNameProblem(name)) {
        problem_ = *problem;
        return;
    }
    if (UserColourFile check; !check.SetSchemeName(scheme_, name)) {
        problem_ = "a scheme name is one line of text";
        return;
    }
    Edit([&](UserColourFile& file) { static_cast<void>(file.SetSchemeName(scheme_, name)); });
}

void PerKeyPaint::SetPaintTool(int tool) {
    tools_.paintTool = tool == kToolBaseColour ? kToolBaseColour : kToolKeyColour;
    Edit([this](UserColourFile& file) { file.SetTools(scheme_, tools_); });
}

void PerKeyPaint::SetKeyColour(Colour colour) {
    tools_.keyColour = colour & 0xFFFFFF;
    Edit([this](UserColourFile& file) { file.SetTools(scheme_, tools_); });
}

ColourWrite PerKeyPaint::SetBaseColour(Colour colour) {
    colour &= 0xFFFFFF;
    if (colour == tools_.baseColour) {
        return {};
    }
    tools_.baseColour = colour;
    const auto keys = ColouredKeys();
    const auto profile = static_cast<std::size_t>(profile_);
    std::vector<int> recoloured;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (followsBase_[i][profile]) {
            const int slot = *PaintSlotOf(keys[i]);
            SetSlotColour(pages_[profile], slot, colour);
            recoloured.push_back(slot);
        }
    }
    Edit([&](UserColourFile& file) {
        file.SetTools(scheme_, tools_);
        for (int slot : recoloured) {
            file.SetSlot(scheme_, slot, {colour, true});
        }
    });
    return PageWrite(profile_);
}

ColourWrite PerKeyPaint::Paint(ViewKey key) {
    const bool base = tools_.paintTool == kToolBaseColour;
    return PaintSlot(key, base ? tools_.baseColour : tools_.keyColour, base);
}

ColourWrite PerKeyPaint::Paint(ViewKey key, Colour colour) {
    return PaintSlot(key, colour & 0xFFFFFF, false);
}

ColourWrite PerKeyPaint::PaintSlot(ViewKey key, Colour colour, bool followsBase) {
    const std::optional<int> slot = PaintSlotOf(key);
    if (!slot) {
        return {};
    }
    const auto profile = static_cast<std::size_t>(profile_);
    if (const auto index = ColouredKeyIndex(key)) {
        followsBase_[*index][profile] = followsBase;
    }
    SetSlotColour(pages_[profile], *slot, colour);
    Edit([&](UserColourFile& file) { file.SetSlot(scheme_, *slot, {colour, followsBase}); });
    ColourWrite write;
    write.kind = ColourWrite::Kind::Slot;
    write.profile = profile_;
    write.slot = *slot;
    write.colour = colour;
    return write;
}

ColourWrite PerKeyPaint::Fill(Colour colour) {
    colour &= 0xFFFFFF;
    const auto keys = ColouredKeys();
    const auto profile = static_cast<std::size_t>(profile_);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        followsBase_[i][profile] = false;
        SetSlotColour(pages_[profile], *PaintSlotOf(keys[i]), colour);
    }
    Edit([&](UserColourFile& file) {
        for (const ViewKey key : keys) {
            file.SetSlot(scheme_, *PaintSlotOf(key), {colour, false});
        }
    });
    return PageWrite(profile_);
}

ColourWrite PerKeyPaint::RestoreDefaults() {
    problem_ = CopyDefaultSchemes(folder_, profile_);
    if (problem_) {
        return {};
    }
    return Load(profile_);
}

void PerKeyPaint::RebuildBaseMarks(const LightingMirror& mirror) {
    const auto keys = ColouredKeys();
    for (std::size_t p = 0; p < layout::kProfileCount; ++p) {
        const Colour base =
            ColourFromBytes(std::span(mirror.records[p]).subspan(kBaseColourField, 3));
        for (std::size_t i = 0; i < keys.size(); ++i) {
            followsBase_[i][p] = SlotColour(pages_[p], *PaintSlotOf(keys[i])) == base;
        }
    }
}

}  // namespace qv::lighting
