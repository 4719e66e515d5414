#pragma once

#include <map>
#include <string>
#include <vector>

namespace camsim {

// The camera's own command list, read once so the simulator's routes follow what the profile
// announces (which CGIs exist, which modes, sizes and command values they take).
class SimCommandList
{
public:
    struct Node
    {
        std::string name; // key of a cmdN element, or value of a paramN element
        std::vector<Node> children; // paramN under a cmdN, cmdN under a paramN (or directly nested)
        bool isCommand = false;
    };
    struct Cgi
    {
        std::string name;
        std::string method; // "get" or "post"
        std::vector<Node> commands; // the cmd1 elements
    };

    bool parse(const std::string& xml);

    bool hasCgi(const std::string& name) const;
    const Cgi* cgi(const std::string& name) const;
    // Values reached by walking key, value, key, ... from a CGI's top level, for example
    // {"mode", "rec", "lvqty"} gives the rec sizes. Empty when the path does not exist.
    std::vector<std::string> values(const std::string& cgiName, const std::vector<std::string>& path) const;
    // Whether the key exists at the end of the path (a command with or without values).
    bool hasKey(const std::string& cgiName, const std::vector<std::string>& path) const;

private:
    const std::vector<Node>* walk(
        const std::string& cgiName, const std::vector<std::string>& path, const Node** last) const;
    std::map<std::string, Cgi> m_cgis;
};

} // namespace camsim
