// Lighting and per-key colour changes: each is planned against what the session knows the
// keyboard holds and goes to the keyboard at once.

#include <optional>

#include "core/memory_layout.h"
#include "lighting/mode_catalogue.h"
#include "service/keyboard_session.h"

namespace qv::service {
namespace {

OperationResult FromLightingWrite(const driver::LightingWriteResult& written) {
    OperationResult result;
    if (!written.Succeeded()) {
        result.status = written.mayBePartlyWritten ? OperationStatus::PartlyWritten
                                                   : OperationStatus::NotWritten;
        result.commandResult = written.commandResult;
    }
    return result;
}

// The first failure of several writes, or the last result.
void Keep(OperationResult& kept, const OperationResult& next) {
    if (kept.Succeeded()) {
        kept = next;
    }
}

OperationResult Refused(lighting::LightingRefusal why) {
    OperationResult result(OperationStatus::LightingRefused);
    result.lightingRefusal = why;
    return result;
}

OperationResult FileProblem(OperationStatus status, const std::string& why) {
    OperationResult result(status);
    result.problems.push_back(why);
    return result;
}

}  // namespace

void KeyboardSession::FollowLightingRead(bool arrival) {
    const int current = lighting_.currentProfile();
    panel_.Refresh(lighting_.mirror(), lighting_.state(), current,
                   arrival ? lighting::LightingPanelModel::RefreshKind::Arrival
                           : lighting::LightingPanelModel::RefreshKind::Read);
    if (!panel_.PerKeyModeSupported()) {
        return;
    }
    const bool perKeyMode = lighting_.state().mode == lighting::kPerKeyColourMode;
    if (arrival || !paintLoaded_ || current != paint_.Profile()) {
        const bool profileChanged = paintLoaded_ && current != paint_.Profile();
        const lighting::ColourWrite page = paint_.Load(current);
        paintLoaded_ = true;
        // The keyboard's page may hold anything, and the tool never reads it back: the scheme
        // in use is what the tool shows, so it is written where the per-key mode runs.
        if (perKeyMode && options_.colourPageOnArrival && (arrival || profileChanged) &&
            !driver_.WriteColours(page).Succeeded()) {
            observer_.Notify({Notice::ColourPageNotWritten, {}});
        }
    }
    if (arrival) {
        paint_.RebuildBaseMarks(lighting_.mirror());
    }
}

OperationResult KeyboardSession::WriteLightingChange(const lighting::LightingWrite& write) {
    if (write.empty()) {
        return {OperationStatus::NothingToDo};
    }
    return FromLightingWrite(lighting_.Write(write));
}

OperationResult KeyboardSession::WriteColourPage(const lighting::ColourWrite& write) {
    if (write.empty()) {
        return {OperationStatus::NothingToDo};
    }
    return FromLightingWrite(driver_.WriteColours(write));
}

HeldAfterFailure KeyboardSession::ReadBackRecord(const lighting::LightingWrite& write,
                                                 const lighting::LightingRecord& before) {
    const auto index = static_cast<std::size_t>(write.profile);
    const lighting::LightingRecord wanted = lighting_.mirror().records[index];
    HeldAfterFailure held = HeldAfterFailure::Unknown;
    if (lighting_.ReadRecord(write.profile) == device::kSuccess) {
        const lighting::LightingRecord& now = lighting_.mirror().records[index];
        held = now == wanted   ? HeldAfterFailure::New
               : now == before ? HeldAfterFailure::Old
                               : HeldAfterFailure::Part;
    }
    if (write.profile == panel_.CurrentProfile()) {
        panel_.Refresh(lighting_.mirror(), lighting_.state(), panel_.CurrentProfile(),
                       lighting::LightingPanelModel::RefreshKind::Read);
    }
    return held;
}

LightingChangeResult KeyboardSession::ChangeLighting(const LightingChangeRequest& request) {
    LightingChangeResult outcome;
    if (outcome.result = CheckWritable(); !outcome.result.Succeeded()) {
        return outcome;
    }
    if (!layout::IsProfileIndex(request.profile)) {
        outcome.result = OperationStatus::ProfileUnknown;
        return outcome;
    }
    const lighting::LightingMirror& mirror = lighting_.mirror();
    if (!mirror.settingsRead || !mirror.recordsRead[static_cast<std::size_t>(request.profile)]) {
        outcome.result = OperationStatus::KeyboardUnread;
        return outcome;
    }
    const bool shown = request.profile == panel_.CurrentProfile();
    for (const lighting::LightingChange& change : request.changes) {
        if (const auto refusal = lighting::CheckLightingChange(mirror.settings, change)) {
            // A mode without settings is still what the panel shows as chosen.
            if (*refusal == lighting::LightingRefusal::ModeWithoutSettings && shown &&
                request.changes.size() == 1) {
                (void)panel_.Change(change);
                PublishLighting();
            }
            outcome.result = Refused(*refusal);
            return outcome;
        }
    }
    // Another profile's record is planned on its own, from what the mirror holds.
    std::optional<lighting::LightingPanelModel> other;
    if (!shown) {
        other.emplace();
        other->Refresh(mirror,
                       lighting::DecodeLightingState(
                           mirror.records[static_cast<std::size_t>(request.profile)], {}),
                       request.profile, lighting::LightingPanelModel::RefreshKind::Read);
    }
    lighting::LightingPanelModel& model = other ? *other : panel_;
    const bool perKeyBefore = model.State().mode == lighting::kPerKeyColourMode;
    const lighting::LightingRecord before =
        mirror.records[static_cast<std::size_t>(request.profile)];
    auto plan = model.PlanChanges(request.changes);
    outcome.changed = std::move(plan.changed);
    outcome.result = WriteLightingChange(plan.write);
    if (!outcome.result.Succeeded()) {
        outcome.held = ReadBackRecord(plan.write, before);
        if (outcome.held == HeldAfterFailure::New) {
            // Only the answer was lost: the keyboard holds the change.
            outcome.result = OperationStatus::Done;
        }
    }
    if (!perKeyBefore && model.State().mode == lighting::kPerKeyColourMode &&
        outcome.result.Succeeded()) {
        const lighting::ColourWrite page =
            shown && paintLoaded_
                ? paint_.PageWrite(request.profile)
                : lighting::PerKeyPaint(options_.profileFolder).Load(request.profile);
        Keep(outcome.result, WriteColourPage(page));
    }
    PublishLighting();
    return outcome;
}

void KeyboardSession::SetLightingPanelOpen(bool open) {
    if (open == panel_.IsOpen()) {
        return;
    }
    if (open) {
        panel_.Open();
    } else {
        panel_.Close();
    }
    PublishLighting();
}

OperationResult KeyboardSession::RestorePanelDefaults() {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (!panel_.IsOpen()) {
        return {OperationStatus::NothingToDo};
    }
    OperationResult result;
    for (const lighting::LightingWrite& write : panel_.RestoreDefaults()) {
        Keep(result, WriteLightingChange(write));
    }
    if (panel_.PerKeyModeSupported()) {
        const lighting::ColourWrite page = paint_.RestoreDefaults();
        if (paint_.Problem()) {
            Keep(result, FileProblem(OperationStatus::FileNotSaved, *paint_.Problem()));
        } else {
            Keep(result, WriteColourPage(page));
        }
    }
    PublishLighting();
    return result;
}

OperationResult KeyboardSession::RestoreLighting(int profile) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (!layout::IsProfileIndex(profile)) {
        return {OperationStatus::ProfileUnknown};
    }
    const int current = lighting_.currentProfile();
    lighting_.SetCurrentProfile(profile);
    const driver::LightingWriteResult written = lighting_.RestoreLightingDefaults();
    lighting_.SetCurrentProfile(current);
    // The restore decoded its record as the state; the state is the current profile's.
    const lighting::LightingMirror& mirror = lighting_.mirror();
    lighting_.state() = lighting::DecodeLightingState(
        mirror.records[static_cast<std::size_t>(current)], lighting_.state());
    panel_.Refresh(mirror, lighting_.state(), current,
                   lighting::LightingPanelModel::RefreshKind::Read);
    PublishLighting();
    return FromLightingWrite(written);
}

OperationResult KeyboardSession::WriteReportRate(int index) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (index < 0 || index > lighting::kMaxReportRate) {
        return {OperationStatus::NotWritten};
    }
    const int profile = lighting_.currentProfile();
    // Written also when the record holds it already: the buttons say what the user chose.
    lighting::LightingWrite write{profile, {}};
    write.Add(lighting::kReportRateField, {static_cast<std::uint8_t>(index)});
    const lighting::LightingRecord before =
        lighting_.mirror().records[static_cast<std::size_t>(profile)];
    OperationResult result = WriteLightingChange(write);
    if (profile == panel_.CurrentProfile()) {
        (void)panel_.SetReportRate(index);
    }
    // The buttons show what the keyboard holds, not what it refused.
    if (!result.Succeeded() && ReadBackRecord(write, before) == HeldAfterFailure::New) {
        result = OperationStatus::Done;
    }
    PublishLighting();
    return result;
}

ColourChangeResult KeyboardSession::ChangeColours(const lighting::ColourChange& change) {
    using Kind = lighting::ColourChange::Kind;
    ColourChangeResult outcome;
    if (outcome.result = CheckWritable(); !outcome.result.Succeeded()) {
        return outcome;
    }
    if (!layout::IsProfileIndex(change.profile)) {
        outcome.result = OperationStatus::ProfileUnknown;
        return outcome;
    }
    const lighting::LightingMirror& mirror = lighting_.mirror();
    const auto profile = static_cast<std::size_t>(change.profile);
    if (!mirror.settingsRead || !mirror.recordsRead[profile]) {
        outcome.result = OperationStatus::KeyboardUnread;
        return outcome;
    }
    if (!mirror.settings.IsModeSupported(lighting::kPerKeyColourMode)) {
        outcome.result = Refused(lighting::LightingRefusal::NoPerKeyColours);
        return outcome;
    }
    outcome.perKeyModeActive =
        mirror.records[profile][lighting::kModeField] == lighting::kPerKeyColourMode;
    // Key clicks paint only while the panel shows the per-key mode.
    if (change.kind == Kind::PaintKey && !panel_.PerKeyModeSelected()) {
        outcome.result = OperationStatus::NothingToDo;
        return outcome;
    }
    const bool shown = paintLoaded_ && change.profile == paint_.Profile();
    std::optional<lighting::PerKeyPaint> other;
    if (!shown) {
        other.emplace(options_.profileFolder);
        (void)other->Load(change.profile);
    }
    lighting::PerKeyPaint& paint = other ? *other : paint_;
    if (paint.Problem()) {
        outcome.result = FileProblem(OperationStatus::FileRefused, *paint.Problem());
        return outcome;
    }
    // What the change asks, given back should the colour file not keep it.
    const lighting::PerKeyPaint before = paint;
    lighting::ColourWrite write;
    switch (change.kind) {
        case Kind::SelectScheme:
            write = paint.SelectScheme(change.value);
            break;
        case Kind::RenameScheme:
            paint.RenameScheme(change.name);
            break;
        case Kind::PaintTool:
            paint.SetPaintTool(change.value);
            break;
        case Kind::KeyColour:
            paint.SetKeyColour(change.colour);
            break;
        case Kind::BaseColour:
            write = paint.SetBaseColour(change.colour);
            break;
        case Kind::PaintKey:
            write = paint.Paint(change.key);
            break;
        case Kind::PaintKeyWith:
            write = paint.Paint(change.key, change.colour);
            break;
        case Kind::Fill:
            write = paint.Fill(change.colour);
            break;
    }
    if (paint.Problem()) {
        const std::string why = *paint.Problem();
        paint = before;
        outcome.result = FileProblem(OperationStatus::FileNotSaved, why);
        PublishLighting();
        return outcome;
    }
    if (write.kind == lighting::ColourWrite::Kind::Slot) {
        outcome.slot = write.slot;
    }
    outcome.scheme = paint.CurrentScheme();
    outcome.schemeName = paint.SchemeNames()[static_cast<std::size_t>(outcome.scheme)];
    outcome.result = WriteColourPage(write);
    if (outcome.result.status == OperationStatus::NothingToDo) {
        outcome.result = OperationStatus::Done;
    }
    PublishLighting();
    return outcome;
}

}  // namespace qv::service
