#pragma once

#include <httplib.h>

#include <string>

namespace camsim {

class SimProfile;

// The shapes of the camera's answers.
class SimReply
{
public:
    enum Code { BadBody = 1000, WrongMode = 1001, BadParameter = 1004, Unknown = 3001 };

    static void xml(httplib::Response& res, const std::string& body);
    // An answer without a body (the camera still names a content type).
    static void empty(httplib::Response& res, int status = 200, const std::string& type = "text/xml");
    static void error(httplib::Response& res, const SimProfile& profile, int code);
    static void notFound(httplib::Response& res);
    // Text answered without Content-Length, ended by closing the connection.
    static void closeDelimited(httplib::Response& res, std::string body, const std::string& type);
};

} // namespace camsim
