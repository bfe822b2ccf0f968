#pragma once
// One entry of the mod catalogue.
#include <cstdint>
#include <string>

class cMod {
public:
    // The mod file's name without its folder, as the mod list shows it.
    const std::wstring& Path() const { return path_; }
    void Path(std::wstring value) { path_ = std::move(value); }

    // A random number, stored and loaded but used for nothing else; not unique.
    std::int16_t iID() const { return id_; }
    void iID(std::int16_t value) { id_ = value; }

    // The mod's name; stored and loaded, shown nowhere. Empty for entries the launcher adds.
    const std::wstring& sName() const { return name_; }
    void sName(std::wstring value) { name_ = std::move(value); }

    bool operator==(const cMod&) const = default;

private:
    std::wstring path_;
    std::int16_t id_ = 0;
    std::wstring name_;
};
