#pragma once
// The product and serial number strings of HID interfaces that cannot be a
// KX-RD4, kept per interface path (with the device's identifiers) so that a
// rescan does not ask those devices again: some (Bluetooth LE devices,
// headsets) take seconds to answer. A KX-RD4 candidate is always asked anew.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>

class HidStringCache {
public:
    // Entries kept at most; the cache starts over beyond that.
    static constexpr std::size_t MaxEntries = 1024;

    struct Key {
        std::string path;
        std::uint16_t vendorID = 0;
        std::uint16_t productID = 0;
        std::uint16_t versionNumber = 0;
        bool operator<(const Key& other) const {
            return std::tie(path, vendorID, productID, versionNumber) <
                   std::tie(other.path, other.vendorID, other.productID, other.versionNumber);
        }
    };
    enum class Kind { Product, Serial };

    // Whether the device under this key is known not to be a KX-RD4.
    bool Known(const Key& key) const { return entries_.count(key) != 0; }
    // Marks the device as not a KX-RD4.
    void Remember(const Key& key);
    // The string as read before (possibly empty), or nullopt when not yet read.
    std::optional<std::u16string> Find(const Key& key, Kind kind) const;
    void Store(const Key& key, Kind kind, std::u16string text);

private:
    struct Strings {
        std::optional<std::u16string> product;
        std::optional<std::u16string> serial;
    };
    std::map<Key, Strings> entries_;
};
