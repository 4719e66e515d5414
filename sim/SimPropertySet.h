#pragma once

#include "sim/SimProfile.h"

#include <optional>
#include <string>
#include <vector>

namespace camsim {

// The camera's shooting properties with the profile's rules: which values are offered depends
// on the take mode and on other properties, as a camera's menus do. Not synchronised; SimCamera
// holds its lock around every call.
class SimPropertySet
{
public:
    enum class SetResult { Ok, UnknownProperty, ReadOnly, ValueNotOffered, NotInThisTakeMode };

    explicit SimPropertySet(const SimProfile& profile);

    bool has(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
    // Values offered now, in the camera's order.
    std::vector<std::string> offered(const std::string& name) const;
    bool canSet(const std::string& name) const;
    SetResult set(const std::string& name, const std::string& value);

    // "<desc>...</desc>" as the camera writes it; propnameShown replaces the name element's text.
    std::string descElement(const std::string& name, const std::string& propnameShown) const;
    std::string desclistElement() const;
    std::vector<std::string> names() const;

private:
    struct Property
    {
        SimPropertyData data; // value and attribute follow the state
        std::vector<std::string> baseEnum; // all values the body knows
    };
    const Property* find(const std::string& name) const;
    Property* find(const std::string& name);
    bool ruleActive(const SimPropertyRule& rule) const;
    void settle();

    std::vector<Property> m_props;
    std::vector<SimPropertyRule> m_rules;
};

} // namespace camsim
