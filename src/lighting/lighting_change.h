#pragma once

// What a front end asks of the lighting, before anything is planned or written: one control's
// new value for a profile's record, or one per-key colour change. The keyboard service turns
// them into writes against what it knows the keyboard holds, so that the window and the command
// line follow the same rules.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "lighting/colour_slots.h"
#include "lighting/device_settings_block.h"
#include "lighting/lighting_record.h"

namespace qv::lighting {

struct LightingChange {
    enum class Control : std::uint8_t {
        Mode,          // value: the mode number
        Brightness,    // 0..4
        Speed,         // 0 (fastest)..4
        Direction,     // kDirectionFirst or kDirectionSecond
        SingleColour,  // the single colour; turns multicolour off
        Multicolour,   // 0 off, 1 on, kToggle
        PresetColour,  // 0..3
        ReportRate,    // 0..3
    };
    static constexpr int kToggle = -1;

    Control control = Control::Brightness;
    int value = 0;

    friend bool operator==(const LightingChange&, const LightingChange&) = default;
};

// Why a lighting or per-key colour change cannot be made on this keyboard.
enum class LightingRefusal : std::uint8_t {
    NoSuchMode,           // the keyboard does not list the mode
    ModeWithoutSettings,  // it lists the mode, but this tool knows no settings for it
    NoPerKeyColours,      // the keyboard has no per-key colour mode
};

// What the keyboard's settings block says about the change.
[[nodiscard]] std::optional<LightingRefusal> CheckLightingChange(
    const DeviceSettingsBlock& settings, const LightingChange& change);

struct ColourChange {
    enum class Kind : std::uint8_t {
        SelectScheme,  // value: the scheme 0..9, loaded and written
        RenameScheme,  // name: the scheme in use's new name
        PaintTool,     // value: 0 paints the key colour, 1 the base colour
        KeyColour,     // colour: what tool 0 paints
        BaseColour,    // colour: what tool 1 paints; keys that follow it take it
        PaintKey,      // key: painted with the tool in use, while the per-key mode is shown
        PaintKeyWith,  // key, colour: painted with the colour, whatever the tools say
        Fill,          // colour: every coloured key
    };

    Kind kind = Kind::PaintKey;
    int profile = 0;
    ViewKey key{};
    Colour colour = 0;
    int value = 0;
    std::string name;

    [[nodiscard]] static ColourChange Of(Kind kind, int profile = 0) {
        ColourChange change;
        change.kind = kind;
        change.profile = profile;
        return change;
    }
    [[nodiscard]] ColourChange WithKey(ViewKey k) && {
        key = k;
        return std::move(*this);
    }
    [[nodiscard]] ColourChange WithColour(Colour c) && {
        colour = c;
        return std::move(*this);
    }
    [[nodiscard]] ColourChange WithValue(int v) && {
        value = v;
        return std::move(*this);
    }
    [[nodiscard]] ColourChange WithName(std::string n) && {
        name = std::move(n);
        return std::move(*this);
    }
};

}  // namespace qv::lighting
