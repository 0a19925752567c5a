#pragma once

// Which lighting modes the tool knows the parameters of. A keyboard may list other modes; the
// tool shows them, but choosing one writes nothing, since what their record bytes mean is not
// known.

namespace qv::lighting {

inline constexpr int kFirstCataloguedMode = 1;
inline constexpr int kLastCataloguedMode = 20;
inline constexpr int kUncataloguedMode = 19;

[[nodiscard]] constexpr bool HasCatalogueEntry(int mode) {
    return mode >= kFirstCataloguedMode && mode <= kLastCataloguedMode && mode != kUncataloguedMode;
}

static_assert(HasCatalogueEntry(1) && HasCatalogueEntry(18) && HasCatalogueEntry(20));
static_assert(!HasCatalogueEntry(0) && !HasCatalogueEntry(19) && !HasCatalogueEntry(21));

}  // namespace qv::lighting
