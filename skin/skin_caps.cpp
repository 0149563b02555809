#include "skin/skin_caps.h"

#include <climits>
#include <cstring>

int32_t MaxFrameSide() {
    for (const SkinCap& cap : kSkinCaps)
        if (cap.field == CappedField::FrameSide) return cap.limit;
    return INT32_MAX;
}

namespace {

// Label slots: 0 names paramB, 1 names paramA.
constexpr int kParamBSlot = 0;
constexpr int kParamASlot = 1;

bool Lower(uint16_t& field, uint16_t limit) {
    if (field <= limit) return false;
    field = limit;
    return true;
}

} // namespace

int ApplySkinCaps(SkinRecord& skin) {
    int lowered = 0;
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        GaugeRecord& record = KindRecord(skin, kind);
        for (const SkinCap& cap : kSkinCaps) {
            if (cap.field == CappedField::ParamA &&
                std::strcmp(GaugeParamLabel(kind, kParamASlot), cap.label) == 0)
                lowered += Lower(record.paramA, cap.limit);
            if (cap.field == CappedField::ParamB &&
                std::strcmp(GaugeParamLabel(kind, kParamBSlot), cap.label) == 0)
                lowered += Lower(record.paramB, cap.limit);
        }
    }
    return lowered;
}
