// Context creation with the reasons of each step kept for the error line.
#include "GlSession.h"

#include "HostError.h"

namespace hostsupport {

std::unique_ptr<GlSession> GlSession::Open(hostkit::GlApi api)
{
    std::unique_ptr<GlSession> session(new GlSession());
    if (api == hostkit::GlApi::Glx)
        session->display = VirtualDisplay::EnsureDisplay();
    std::string reason;
    session->context = hostkit::GlContext::Create(api, 4, 1, &reason);
    session->apiName = api == hostkit::GlApi::Glx ? "GLX" : "EGL";
    if (!session->context)
        throw HostError("no " + session->apiName + " OpenGL 4.1 context: " + reason);
    session->renderer = hostkit::CurrentRendererDescription();
    return session;
}

GlSession::~GlSession()
{
    context.reset();
    display.Stop();
}

std::string GlSession::Description() const
{
    std::string where = apiName;
    if (display.Started())
        where += " on " + display.Name() + " (Xvfb started for this run)";
    return where + ", " + renderer;
}

hostkit::GlApi ParseGlApi(const std::string& name)
{
    return name == "egl" ? hostkit::GlApi::Egl : hostkit::GlApi::Glx;
}

}  // namespace hostsupport
