#include "service/lighting_writer.h"

#include <string>

namespace qv::service {

void LightingWriter::Change(int profile, const lighting::LightingChange& change) {
    std::string key = "record " + std::to_string(profile) + " control " +
                      std::to_string(static_cast<int>(change.control));
    if (change.value == lighting::LightingChange::kToggle) {
        key += " toggle " + std::to_string(++toggles_);
    }
    coalescer_.Submit(std::move(key), [profile, change](KeyboardSession& session) {
        // The panel shows what the session publishes afterwards, written or not.
        (void)session.ChangeLighting({profile, {change}});
    });
}

void LightingWriter::Change(const lighting::ColourChange& change) {
    using Kind = lighting::ColourChange::Kind;
    std::string key = "colours " + std::to_string(change.profile) + " change " +
                      std::to_string(static_cast<int>(change.kind));
    if (change.kind == Kind::PaintKey || change.kind == Kind::PaintKeyWith) {
        key += " key " + std::to_string(static_cast<int>(change.key.kind)) + "/" +
               std::to_string(change.key.value);
    }
    coalescer_.Submit(std::move(key), [change, outcome = colourOutcome_](KeyboardSession& session) {
        const ColourChangeResult result = session.ChangeColours(change);
        if (outcome) {
            outcome(result);
        }
    });
}

}  // namespace qv::service
