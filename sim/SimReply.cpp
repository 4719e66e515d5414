#include "sim/SimReply.h"

#include "sim/SimProfile.h"

#include <memory>

namespace camsim {

void SimReply::xml(httplib::Response& res, const std::string& body)
{
    res.status = 200;
    res.set_content(body, "text/xml");
}

void SimReply::empty(httplib::Response& res, int status, const std::string& type)
{
    res.status = status;
    res.set_content(std::string(), type);
}

void SimReply::error(httplib::Response& res, const SimProfile& profile, int code)
{
    res.status = 520;
    res.set_content(profile.errorBody(code), "text/xml");
}

void SimReply::notFound(httplib::Response& res)
{
    res.status = 404;
    res.set_content(std::string(), "text/html");
}

void SimReply::closeDelimited(httplib::Response& res, std::string body, const std::string& type)
{
    res.status = 200;
    auto text = std::make_shared<std::string>(std::move(body));
    res.set_content_provider(type, [text](size_t offset, httplib::DataSink& sink) {
        if (offset < text->size())
            return sink.write(text->data() + offset, text->size() - offset);
        sink.done();
        return true;
    });
}

} // namespace camsim
