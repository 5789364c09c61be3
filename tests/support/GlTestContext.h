// A GL context current for the whole test, for tests that link GL code
// in-process: the kind the test matrix asks for (GLX core by default), with
// whatever the test ran in it checked for GL errors and debug messages.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <memory>
#include <string>

#include "GlCallChecks.h"
#include "hostkit/GlContext.h"

namespace testsupport {

class GlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        context = MatrixContext(&error);
        ASSERT_TRUE(context) << error;
        glCalls.Begin();
        glCalls.Watch();
    }
    void TearDown() override
    {
        if (context) {
            glCalls.Check("the test's GL code");
            glCalls.End();
        }
        context.reset();
    }

    static GLint Integer(GLenum name)
    {
        GLint value = -1;
        glGetIntegerv(name, &value);
        return value;
    }

    std::unique_ptr<hostkit::GlContext> context;
    GlCallChecks glCalls;
};

}  // namespace testsupport
