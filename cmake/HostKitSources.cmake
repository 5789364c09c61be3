# The host kit's sources that every platform builds: the instance driver, host
# GL helpers, the image type and plug-in loading. Each platform's hostkit
# target adds its own contexts and module calls.
set(ZAO_HOSTKIT_COMMON_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/hostkit/EffectInstance.cpp
  ${PROJECT_SOURCE_DIR}/tools/hostkit/GlDiagnostics.cpp
  ${PROJECT_SOURCE_DIR}/tools/hostkit/GlFeatures.cpp
  ${PROJECT_SOURCE_DIR}/tools/hostkit/HostGl.cpp
  ${PROJECT_SOURCE_DIR}/tools/hostkit/Image.cpp
  ${PROJECT_SOURCE_DIR}/tools/hostkit/PluginLibrary.cpp)
