# What the plug-in says about itself outside its information record: the
# version from project(), and the texts of the Windows version resource and the
# macOS bundle's Info.plist, which repeat the registration record's so that a
# file's properties match the host. Also the install layout of the plug-in and
# of zao-host.
set(ZAO_PLUGIN_NAME "ZEL DadiDaruzad")
set(ZAO_PLUGIN_DESCRIPTION "K.V.R. blob/motion tracking with surveillance overlay")
set(ZAO_PLUGIN_AUTHOR "Zozivad Uzozaro")
set(ZAO_PLUGIN_BUNDLE_IDENTIFIER "com.zozivad-uzozaro.ZudArazOdudave")
set(ZAO_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")

add_library(zao_version INTERFACE)
target_compile_definitions(zao_version INTERFACE
  ZAO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} ZAO_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  ZAO_VERSION_TEXT="${ZAO_VERSION_TEXT}")

# A relative folder lies under the install prefix; an absolute one, such as a
# host's plug-in folder, is used as it is.
set(ZAO_PLUGIN_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/ZudArazOdudave" CACHE PATH
    "Folder that cmake --install puts the plug-in into (relative to the prefix, or absolute)")
