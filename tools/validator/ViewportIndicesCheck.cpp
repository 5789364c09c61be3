// The validator's viewport-indices test: a frame must leave the viewport,
// scissor box and scissor test of indices other than 0 as the host set them
// (glViewport, glScissor and glEnable(GL_SCISSOR_TEST) change every index).
#include "Checks.h"

#include <GL/glew.h>

#include <string>

namespace validator {

namespace {

struct IndexedItem {
    const char* name;
    std::string (*read)();
};

std::string ScissorBox(GLuint index)
{
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegeri_v(GL_SCISSOR_BOX, index, box);
    return std::to_string(box[0]) + "," + std::to_string(box[1]) + "," + std::to_string(box[2]) + "," +
           std::to_string(box[3]);
}

std::string ScissorTest(GLuint index)
{
    return glIsEnabledi(GL_SCISSOR_TEST, index) ? "on" : "off";
}

const IndexedItem kItems[] = {
    {"viewport 1",
     [] {
         GLfloat viewport[4] = {0, 0, 0, 0};
         glGetFloati_v(GL_VIEWPORT, 1, viewport);
         return FloatText(viewport[0]) + "," + FloatText(viewport[1]) + "," + FloatText(viewport[2]) + "," +
                FloatText(viewport[3]);
     }},
    {"scissor box 1", [] { return ScissorBox(1); }},
    {"the scissor test of index 1", [] { return ScissorTest(1); }},
    {"scissor box 0", [] { return ScissorBox(0); }},
    {"the scissor test of index 0", [] { return ScissorTest(0); }},
};

// Index 1 off to one side with its scissor test off; index 0 scissored to the
// whole output, so that the output is the one without any of it.
void SetIndexedState(uint32_t width, uint32_t height)
{
    glViewportIndexedf(1, 3.5f, 2.25f, 20.0f, 10.0f);
    glScissorIndexed(1, 2, 3, 17, 9);
    glDisablei(GL_SCISSOR_TEST, 1);
    glScissorIndexed(0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glEnablei(GL_SCISSOR_TEST, 0);
}

std::vector<std::string> ReadItems()
{
    std::vector<std::string> values;
    for (const IndexedItem& item : kItems)
        values.push_back(item.read());
    return values;
}

}  // namespace

std::string ViewportIndices(Session& session)
{
    GLint viewports = 0;
    glGetIntegerv(GL_MAX_VIEWPORTS, &viewports);
    if (viewports < 2)
        return "the context has a single viewport";
    struct Case {
        uint32_t width, height;
    };
    for (const Case& size : {Case{64, 48}, Case{640, 360}}) {
        const std::string name = Size(size.width, size.height);
        FrameRig rig(TestImage(size.width, size.height, 43));
        session.report.Step("code 18 for the " + name + " frames with viewport index 1 set");
        hostkit::EffectInstance instance = session.Create(size.width, size.height);
        for (int frame = 1; frame <= 2; ++frame) {
            const std::string what = "frame " + std::to_string(frame) + " at " + name + " with viewport index 1 set";
            std::vector<std::string> before, after;
            session.report.Step(what);
            rig.ProcessOrFail(
                session, instance, what,
                [&] {
                    SetIndexedState(size.width, size.height);
                    before = ReadItems();
                },
                [&] {
                    after = ReadItems();
                    glDisable(GL_SCISSOR_TEST);
                });
            for (size_t i = 0; i < before.size(); ++i)
                Require(after[i] == before[i], "the frame left " + std::string(kItems[i].name) + " at " + after[i] +
                                                   " instead of " + before[i] + " during: " + what);
        }
        session.report.Step("code 19 after the " + name + " frames");
        session.Destroy(instance);
    }
    return "viewport, scissor box and scissor test of index 1 kept over 4 frames at 2 sizes";
}

}  // namespace validator
