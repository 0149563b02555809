#include "render/measure_memo.h"

#include <cstring>

namespace gfx {

std::string MeasureMemo::Bytes(const MeasureKey& key) {
    const float layout[4] = {key.layout.x, key.layout.y, key.layout.width, key.layout.height};
    std::string bytes;
    bytes.reserve(sizeof key.font + sizeof key.format + sizeof layout + sizeof key.transform +
                  key.text.size() * sizeof(char16_t));
    bytes.append(reinterpret_cast<const char*>(&key.font), sizeof key.font);
    bytes.append(reinterpret_cast<const char*>(&key.format), sizeof key.format);
    bytes.append(reinterpret_cast<const char*>(layout), sizeof layout);
    bytes.append(reinterpret_cast<const char*>(key.transform), sizeof key.transform);
    bytes.append(reinterpret_cast<const char*>(key.text.data()),
                 key.text.size() * sizeof(char16_t));
    return bytes;
}

bool MeasureMemo::Recall(const MeasureKey& key, MeasureBox* bounds) const {
    auto found = kept_.find(Bytes(key));
    if (found == kept_.end()) return false;
    *bounds = found->second;
    return true;
}

void MeasureMemo::Keep(const MeasureKey& key, const MeasureBox& bounds) {
    if (kept_.size() >= kLimit) kept_.clear();
    kept_[Bytes(key)] = bounds;
}

} // namespace gfx
