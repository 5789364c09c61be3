// The one place that decides how GL is declared: GLEW's loader, linked statically.
#pragma once

#if !defined(GLEW_STATIC)
#define GLEW_STATIC
#endif
#include <GL/glew.h>
