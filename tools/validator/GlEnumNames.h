// The names of the GL enums that host state takes as values, for reasons
// that say "GL_ALWAYS" rather than 519.
#pragma once

#include <cstdint>
#include <string>

namespace validator {

// "GL_LESS", "GL_TEXTURE3", or "0x1234" for a value without a name here.
std::string GlEnumName(uint32_t value);

}  // namespace validator
