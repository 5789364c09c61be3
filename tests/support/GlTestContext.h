// A GL context current for the whole test, for tests that link GL code in-process.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <memory>
#include <string>

#include "hostkit/GlContext.h"

namespace testsupport {

class GlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        context = hostkit::GlContext::Create(hostkit::GlApi::Glx, 4, 1, &error);
        ASSERT_TRUE(context) << error;
    }
    void TearDown() override { context.reset(); }

    static GLint Integer(GLenum name)
    {
        GLint value = -1;
        glGetIntegerv(name, &value);
        return value;
    }

    std::unique_ptr<hostkit::GlContext> context;
};

}  // namespace testsupport
