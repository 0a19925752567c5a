#include "service/lighting_writer.h"

#include <string>

namespace qv::service {
namespace {

// Writes of the same fields replace each other while they wait.
std::string KeyOf(const lighting::LightingWrite& write) {
    std::string key = "record " + std::to_string(write.profile);
    for (const lighting::FieldWrite& field : write.fields) {
        key += " " + std::to_string(field.field) + "+" + std::to_string(field.bytes.size());
    }
    return key;
}

std::string KeyOf(const lighting::ColourWrite& write) {
    std::string key = "colours " + std::to_string(write.profile);
    return write.kind == lighting::ColourWrite::Kind::Slot
               ? key + " slot " + std::to_string(write.slot)
               : key + " page";
}

}  // namespace

void LightingWriter::Write(const lighting::LightingWrite& write) {
    if (write.empty()) {
        return;
    }
    coalescer_.Submit(KeyOf(write), [write](KeyboardSession& session) {
        // Lighting writes report nothing: the next read shows what the keyboard holds.
        (void)session.WriteLighting(write);
    });
}

void LightingWriter::Write(const lighting::ColourWrite& write) {
    if (write.empty()) {
        return;
    }
    coalescer_.Submit(KeyOf(write),
                      [write](KeyboardSession& session) { (void)session.WriteColours(write); });
}

}  // namespace qv::service
