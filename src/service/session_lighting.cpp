// Lighting and per-key colour writes: each goes to the keyboard at once.

#include "core/memory_layout.h"
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

}  // namespace

OperationResult KeyboardSession::WriteLighting(const lighting::LightingWrite& write) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (write.empty()) {
        return {OperationStatus::NothingToDo};
    }
    const OperationResult result = FromLightingWrite(lighting_.Write(write));
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
    lighting_.state().reportRate = index;
    const std::uint8_t rate = static_cast<std::uint8_t>(index);
    const driver::LightingWriteResult written = lighting_.WriteLightingBytes(
        lighting::RecordOffset(lighting_.currentProfile(), lighting::kReportRateField),
        Bytes(&rate, 1));
    PublishLighting();
    return FromLightingWrite(written);
}

OperationResult KeyboardSession::WriteColours(const lighting::ColourWrite& write) {
    if (OperationResult writable = CheckWritable(); !writable.Succeeded()) {
        return writable;
    }
    if (write.empty()) {
        return {OperationStatus::NothingToDo};
    }
    return FromLightingWrite(driver_.WriteColours(write));
}

}  // namespace qv::service
