#include "HidStringCache.h"

void HidStringCache::Remember(const Key& key) {
    if (entries_.size() >= MaxEntries && !Known(key)) {
        entries_.clear();
    }
    entries_[key];
}

std::optional<std::u16string> HidStringCache::Find(const Key& key, Kind kind) const {
    const auto it = entries_.find(key);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return kind == Kind::Product ? it->second.product : it->second.serial;
}

void HidStringCache::Store(const Key& key, Kind kind, std::u16string text) {
    const auto it = entries_.find(key);
    if (it != entries_.end()) {
        (kind == Kind::Product ? it->second.product : it->second.serial) = std::move(text);
    }
}
