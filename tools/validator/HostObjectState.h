// The host's own GL objects around a plug-in call, which a plug-in may bind
// and read but never change: the input texture's parameters and levels, the
// output framebuffer's attachments, draw buffers and read buffer, and the
// vertex array the host left bound with its attributes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GlStateTable.h"

namespace validator {

struct HostObjects {
    uint32_t texture = 0;
    uint32_t framebuffer = 0;
};

class HostObjectState {
public:
    // Builds the tables for the current context (with objects of its own,
    // deleted again).
    HostObjectState();

    struct Reading {
        HostObjects objects;
        // The bound one, where it is the host's: not 0 in a core context.
        uint32_t vertexArray = 0;
        bool hasVertexArray = false;
        StateValues texture, framebuffer, attributes;
    };
    // Every binding it changes to read is put back.
    Reading Read(const HostObjects& objects) const;
    // "changed the host's input texture 4: GL_TEXTURE_MIN_FILTER to GL_LINEAR
    // (the host had GL_NEAREST)", one per object; empty when all are as they were.
    std::vector<std::string> Changes(const Reading& before, const Reading& after) const;

private:
    StateTable texture, framebuffer, vertexArray;
    bool vertexArrayZeroIsObject = false;
};

}  // namespace validator
