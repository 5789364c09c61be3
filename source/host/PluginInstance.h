// The instance base: what the host tells an instance about its surroundings,
// and the virtual operations through which the dispatch drives it. Effects
// derive from it and replace the operations they need.
#pragma once

#include <cstdint>
#include <string>

#include "HostRecords.h"
#include "ParameterRegistry.h"
#include "PluginApi.h"

class CFFGLPlugin : public CFFGLPluginManager {
public:
    explicit CFFGLPlugin(bool supportsTopLeftOrientation = false);
    ~CFFGLPlugin() override;

    virtual uint32_t InitGL(const ViewportRecord* viewport);
    virtual uint32_t DeInitGL();
    virtual const char* GetParameterDisplay(uint32_t number);
    virtual uint32_t SetFloatParameter(uint32_t number, float value);
    virtual uint32_t SetTextParameter(uint32_t number, const char* value);
    virtual float GetFloatParameter(uint32_t number);
    // A text pointer, or the failure code where the parameter has no text.
    virtual MixedValue GetTextParameter(uint32_t number);
    virtual uint32_t ProcessOpenGL(const FrameInput* frame);
    virtual uint32_t SetTime(double time);
    virtual void SetBeatInfo(float tempo, float barPhase);
    virtual void SetHostInfo(const char* hostName, const char* hostVersion);
    virtual void SetSampleRate(uint32_t sampleRate);
    virtual uint32_t GetInputStatus(uint32_t inputIndex);
    virtual const char* GetShortName();
    virtual uint32_t Connect();
    virtual uint32_t Disconnect();
    virtual uint32_t Resize(const ViewportRecord* viewport);

    // Kept by the dispatch; read back by effects that want them.
    bool connected = false;
    CFFGLPlugin* selfHandle = nullptr;

    const ViewportRecord& Viewport() const { return viewport; }
    float Tempo() const { return tempo; }
    float BarPhase() const { return barPhase; }
    const std::string& HostName() const { return hostName; }
    const std::string& HostVersion() const { return hostVersion; }
    double HostTime() const { return hostTime; }
    uint32_t SampleRate() const { return sampleRate; }

protected:
    ViewportRecord viewport{};

private:
    float tempo = 120.0f;
    float barPhase = 0.0f;
    std::string hostName;
    std::string hostVersion;
    double hostTime = 0.0;
    uint32_t sampleRate = 0;
};

// Size of the display buffer that every instance shares.
constexpr size_t kDisplayTextBufferSize = 16;
