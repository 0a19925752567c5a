#pragma once

// A change of one profile's lighting record as the panel or the command line asks for it: the
// fields to write, in the order they go into one transfer bracket. Empty when nothing changes.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "lighting/lighting_record.h"

namespace qv::lighting {

struct FieldWrite {
    std::uint8_t field = 0;  // offset inside the record
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const FieldWrite&, const FieldWrite&) = default;
};

struct LightingWrite {
    int profile = 0;
    std::vector<FieldWrite> fields;

    [[nodiscard]] bool empty() const { return fields.empty(); }
    void Add(std::size_t field, std::initializer_list<std::uint8_t> bytes) {
        fields.push_back({static_cast<std::uint8_t>(field), bytes});
    }
    void Add(std::size_t field, std::vector<std::uint8_t> bytes) {
        fields.push_back({static_cast<std::uint8_t>(field), std::move(bytes)});
    }
    // The other write's fields after this one's, in the same bracket.
    void Append(const LightingWrite& other) {
        fields.insert(fields.end(), other.fields.begin(), other.fields.end());
    }
    friend bool operator==(const LightingWrite&, const LightingWrite&) = default;
};

// The record with the write's fields in place. Fields that would reach past the record are
// left out: a write is built by this program, but the record is not the place to find out.
void ApplyToRecord(const LightingWrite& write, LightingRecord& record);

}  // namespace qv::lighting
