#pragma once

#include "sim/SimCommandList.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace camsim {

// One camera property as a desclist names it: the captured initial state.
struct SimPropertyData
{
    std::string name;
    std::string attribute; // "get", "set", "getset"
    std::string value;
    std::vector<std::string> enumValues;
    bool hasEnum = false;
};

// How the allowed values of a property depend on the state of other properties.
struct SimPropertyRule
{
    std::string property;
    std::vector<std::string> settableIn; // take modes; empty = no restriction
    std::map<std::string, std::vector<std::string>> when; // property -> values that activate it
    std::vector<std::string> exclude; // values removed while active
    std::string upTo; // values after this one removed
};

// A camera model as data: the files and settings under sim/profiles/<name>/.
class SimProfile
{
public:
    static std::optional<SimProfile> load(const std::string& name, std::string* error = nullptr);
    static std::vector<std::string> names();

    std::string name;
    std::string model;
    std::string make;
    std::string quality;
    std::string commandListBytes; // served verbatim
    SimCommandList commands;
    std::string caminfo;
    std::string errorBodyFormat; // "%1" stands for the code
    std::map<std::string, std::string> descPropnameQuirks;
    std::string funcidList;
    std::string dcimRootPage; // empty: the body serves no /DCIM pages
    std::string dcimFolderPage;
    bool listsInRec = false; // the E-M10 also lists and sends thumbnails in recording mode
    std::vector<SimPropertyData> properties; // desclist order
    std::map<std::string, std::vector<std::string>> baseEnums;
    std::vector<SimPropertyRule> rules;
    int focalMin = 14, focalMax = 42, apertureWide10 = 35, apertureSmallest10 = 220;

    bool hasDcimPages() const { return !dcimRootPage.empty(); }
    std::vector<std::string> recSizes() const;
    std::vector<std::string> shutterSizes() const;
    bool hasMode(const std::string& mode) const;
    std::string errorBody(int code) const;
};

// Splits a desclist answer into its properties (also used by tests to read captures).
std::vector<SimPropertyData> parseDesclist(const std::string& xml);

} // namespace camsim
