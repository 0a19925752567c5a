#pragma once

// Per-key colours without their widgets: the tool's copy of the four colour pages, the user
// scheme in use for the current profile, the two paint colours and the tool switch, and each
// key's "follows the base colour" flag (one per profile). Every change is kept in the profile's
// user colour file at once and gives the colour write it makes, which the caller sends to the
// keyboard through the keyboard service.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/colour_page.h"
#include "lighting/colour_slots.h"
#include "lighting/lighting_mirror.h"
#include "lighting/user_colour_file.h"

namespace qv::lighting {

// What a per-key colour change sends to the keyboard.
struct ColourWrite {
    enum class Kind : std::uint8_t { None, Slot, Page };
    Kind kind = Kind::None;
    int profile = 0;
    int slot = 0;       // Slot
    Colour colour = 0;  // Slot
    ColourPage page{};  // Page

    [[nodiscard]] bool empty() const { return kind == Kind::None; }
};

class PerKeyPaint {
public:
    static constexpr int kToolKeyColour = 0;
    static constexpr int kToolBaseColour = 1;

    // `folder` holds the user colour files.
    explicit PerKeyPaint(std::filesystem::path folder = {});

    // Makes `profile` the current one and loads its scheme in use: the tools, each key's
    // colour into the profile's page and its flag. Gives the whole page to write; nothing when
    // the file is damaged (the copy then holds the defaults, and Problem() says why).
    [[nodiscard]] ColourWrite Load(int profile);

    [[nodiscard]] int Profile() const { return profile_; }
    [[nodiscard]] int CurrentScheme() const { return scheme_; }
    [[nodiscard]] const SchemeTools& Tools() const { return tools_; }
    [[nodiscard]] std::array<std::string, kSchemeCount> SchemeNames() const;
    [[nodiscard]] const ColourPage& Page(int profile) const;
    [[nodiscard]] const ColourPage& Page() const { return Page(profile_); }
    // The write of a profile's whole page as the copy holds it.
    [[nodiscard]] ColourWrite PageWrite(int profile) const;
    // The colour the current profile's page holds for a key that is loaded from a scheme
    // (main keys, G1..G7, Fn); nothing for the others.
    [[nodiscard]] std::optional<Colour> KeyColour(ViewKey key) const;
    [[nodiscard]] bool FollowsBase(ViewKey key, int profile) const;
    // Why the last read or write of the user colour file failed; cleared by a success.
    [[nodiscard]] const std::optional<std::string>& Problem() const { return problem_; }

    // ---- Scheme controls ----
    // Makes the scheme the one in use, loads it and gives the page to write.
    [[nodiscard]] ColourWrite SelectScheme(int scheme);
    // Renames the scheme in use.
    void RenameScheme(std::string_view name);
    void SetPaintTool(int tool);
    // The colour tool 0 paints; nothing is repainted.
    void SetKeyColour(Colour colour);
    // The colour tool 1 paints, and every key following it takes it; the page is written.
    // Choosing the colour it already is writes nothing.
    [[nodiscard]] ColourWrite SetBaseColour(Colour colour);

    // ---- Painting ----
    // A click on the key while the panel is open on the per-key mode: the key takes the
    // tool's colour, follows the base colour after tool 1 and no longer after tool 0, and the
    // one slot is written. Nothing for keys without a slot (G8, G9).
    [[nodiscard]] ColourWrite Paint(ViewKey key);
    // The key takes `colour` as tool 0 would paint it, whatever the tools say.
    [[nodiscard]] ColourWrite Paint(ViewKey key, Colour colour);
    // Every key loaded from a scheme takes the colour and stops following the base colour.
    [[nodiscard]] ColourWrite Fill(Colour colour);

    // The schemes of the current profile become the defaults (a copy of profile 3's file),
    // loaded and written.
    [[nodiscard]] ColourWrite RestoreDefaults();

    // After a full read of the keyboard: a key follows the base colour of a profile exactly
    // when its colour in that profile's page is the record's base colour.
    void RebuildBaseMarks(const LightingMirror& mirror);

private:
    [[nodiscard]] std::filesystem::path File() const;
    // Reads the file, lets `change` edit it and keeps it; a damaged or unwritable file is
    // left as it is and noted.
    template <typename Change>
    void Edit(Change&& change);
    [[nodiscard]] ColourWrite PaintSlot(ViewKey key, Colour colour, bool followsBase);

    std::filesystem::path folder_;
    int profile_ = 0;
    int scheme_ = 0;
    SchemeTools tools_;
    std::array<ColourPage, layout::kProfileCount> pages_{};
    // Per coloured key (ColouredKeys() order), one flag per profile.
    std::vector<std::array<bool, layout::kProfileCount>> followsBase_;
    std::optional<std::string> problem_;
};

}  // namespace qv::lighting
