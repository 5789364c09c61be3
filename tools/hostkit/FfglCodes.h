// The numbers of the FFGL 2 interface by name, as a host uses them: the
// function codes of plugMain, capabilities, plug-in and parameter types.
// Written from the published interface, independent of the plug-in's sources,
// so that a wrong number on either side shows up in tests; the names are the
// plug-in's own (source/host/PluginApi.h) with a k in front.
#pragma once

#include <cstdint>

namespace ffgl {

enum FunctionCode : uint32_t {
    kGetInfo = 0,
    kDeinitialise = 2,
    kGetNumParameters = 4,
    kGetParameterName = 5,
    kGetParameterDefault = 6,
    kGetParameterDisplay = 7,
    kSetParameter = 8,
    kGetParameter = 9,
    kGetPluginCaps = 10,
    kGetExtendedInfo = 13,
    kGetParameterType = 15,
    kGetInputStatus = 16,
    kProcessOpenGL = 17,
    kInstantiateGL = 18,
    kDeinstantiateGL = 19,
    kSetTime = 20,
    kConnect = 21,
    kDisconnect = 22,
    kResize = 23,
    kGetNumParameterElements = 31,
    kGetParameterUsage = 32,
    kGetPluginShortName = 33,
    kInitialiseV2 = 34,
    kGetParameterElementName = 35,
    kGetParameterElementValue = 36,
    kSetParameterElementValue = 37,
    kSetBeatInfo = 38,
    kSetHostInfo = 39,
    kSetSampleRate = 40,
    kGetRange = 41,
    kGetThumbnail = 42,
    kGetNumFileExtensions = 43,
    kGetFileExtension = 44,
    kGetParameterVisibility = 45,
    kGetParameterEvents = 46,
    kGetNumElementSeparators = 47,
    kGetElementSeparator = 48,
    kEnablePluginCap = 49,
    kGetParameterGroup = 50,
    kGetParameterDisplayName = 51,
};

// The argument of kGetPluginCaps and kEnablePluginCap.
enum Capability : uint32_t {
    kCapabilitySetTime = 5,
    kCapabilityMinimumInputs = 10,
    kCapabilityMaximumInputs = 11,
    kCapabilityTopLeftOrientation = 16,
};

// The plug-in type field of the information record.
enum PluginType : uint32_t {
    kPluginTypeEffect = 0,
    kPluginTypeSource = 1,
    kPluginTypeMixer = 2,
};

enum ParameterType : uint32_t {
    kParameterBoolean = 0,
    kParameterEvent = 1,
    kParameterRed = 2,
    kParameterGreen = 3,
    kParameterBlue = 4,
    kParameterXPosition = 5,
    kParameterYPosition = 6,
    kParameterStandard = 10,
    kParameterOption = 11,
    kParameterBuffer = 12,
    kParameterInteger = 13,
    kParameterFile = 14,
    kParameterHue = 15,
    kParameterSaturation = 16,
    kParameterBrightness = 17,
    kParameterAlpha = 18,
    kParameterText = 100,
};

}  // namespace ffgl
