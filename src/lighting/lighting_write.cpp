#include "lighting/lighting_write.h"

#include <algorithm>

namespace qv::lighting {

void ApplyToRecord(const LightingWrite& write, LightingRecord& record) {
    for (const FieldWrite& field : write.fields) {
        if (field.field + field.bytes.size() <= kRecordReadLength) {
            std::ranges::copy(field.bytes, record.begin() + field.field);
        }
    }
}

}  // namespace qv::lighting
