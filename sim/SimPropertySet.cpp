#include "sim/SimPropertySet.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace camsim {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string joinBlanks(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& v : list) {
        if (!out.empty())
            out += ' ';
        out += v;
    }
    return out;
}

} // namespace

SimPropertySet::SimPropertySet(const SimProfile& profile)
    : m_rules(profile.rules)
{
    for (const SimPropertyData& data : profile.properties) {
        Property p { data, data.enumValues };
        auto base = profile.baseEnums.find(data.name);
        if (base != profile.baseEnums.end())
            p.baseEnum = base->second;
        m_props.push_back(std::move(p));
    }
}

const SimPropertySet::Property* SimPropertySet::find(const std::string& name) const
{
    for (const Property& p : m_props) {
        if (p.data.name == name)
            return &p;
    }
    return nullptr;
}

SimPropertySet::Property* SimPropertySet::find(const std::string& name)
{
    return const_cast<Property*>(std::as_const(*this).find(name));
}

bool SimPropertySet::has(const std::string& name) const
{
    return find(name) != nullptr;
}

std::optional<std::string> SimPropertySet::value(const std::string& name) const
{
    const Property* p = find(name);
    if (!p)
        return std::nullopt;
    return p->data.value;
}

bool SimPropertySet::ruleActive(const SimPropertyRule& rule) const
{
    for (const auto& [other, values] : rule.when) {
        const Property* p = find(other);
        if (!p || !contains(values, p->data.value))
            return false;
    }
    return true;
}

std::vector<std::string> SimPropertySet::offered(const std::string& name) const
{
    const Property* p = find(name);
    if (!p)
        return {};
    std::vector<std::string> out = p->baseEnum;
    for (const SimPropertyRule& rule : m_rules) {
        if (rule.property != name || rule.when.empty() || !ruleActive(rule))
            continue;
        if (!rule.upTo.empty()) {
            auto it = std::find(out.begin(), out.end(), rule.upTo);
            if (it != out.end())
                out.erase(it + 1, out.end());
        }
        std::erase_if(out, [&](const std::string& v) { return contains(rule.exclude, v); });
    }
    return out;
}

bool SimPropertySet::canSet(const std::string& name) const
{
    const Property* p = find(name);
    return p && p->data.attribute.find("set") != std::string::npos;
}

SimPropertySet::SetResult SimPropertySet::set(const std::string& name, const std::string& value)
{
    Property* p = find(name);
    if (!p)
        return SetResult::UnknownProperty;
    if (!canSet(name))
        return SetResult::ReadOnly;
    if (!contains(offered(name), value))
        return SetResult::ValueNotOffered;
    const std::string takemode = this->value("takemode").value_or("");
    for (const SimPropertyRule& rule : m_rules) {
        if (rule.property == name && !rule.settableIn.empty() && !contains(rule.settableIn, takemode))
            return SetResult::NotInThisTakeMode;
    }
    p->data.value = value;
    settle();
    return SetResult::Ok;
}

// A change of mode can take the current value of another property out of its offered list (a
// live bulb speed in S); the camera then moves it to the nearest offered value, as bodies do.
void SimPropertySet::settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        bool changed = false;
        for (Property& p : m_props) {
            if (!p.data.hasEnum)
                continue;
            const std::vector<std::string> now = offered(p.data.name);
            if (now.empty() || contains(now, p.data.value))
                continue;
            auto at = std::find(p.baseEnum.begin(), p.baseEnum.end(), p.data.value);
            const long index = at == p.baseEnum.end() ? 0 : long(at - p.baseEnum.begin());
            std::string best = now.front();
            long bestDistance = -1;
            for (const std::string& candidate : now) {
                auto c = std::find(p.baseEnum.begin(), p.baseEnum.end(), candidate);
                const long distance = std::labs(long(c - p.baseEnum.begin()) - index);
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    best = candidate;
                }
            }
            p.data.value = best;
            changed = true;
        }
        if (!changed)
            break;
    }
}

std::string SimPropertySet::descElement(const std::string& name, const std::string& propnameShown) const
{
    const Property* p = find(name);
    if (!p)
        return {};
    std::string out = "<desc><propname>" + propnameShown + "</propname><attribute>" + p->data.attribute
        + "</attribute><value>" + p->data.value + "</value>";
    if (p->data.hasEnum)
        out += "<enum>" + joinBlanks(offered(name)) + "</enum>";
    return out + "</desc>";
}

std::string SimPropertySet::desclistElement() const
{
    std::string out = "<desclist>";
    for (const Property& p : m_props)
        out += descElement(p.data.name, p.data.name);
    return out + "</desclist>";
}

std::vector<std::string> SimPropertySet::names() const
{
    std::vector<std::string> out;
    for (const Property& p : m_props)
        out.push_back(p.data.name);
    return out;
}

} // namespace camsim
