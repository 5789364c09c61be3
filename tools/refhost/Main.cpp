// zao-host: a headless reference host for FFGL 2 effect plug-ins. Parses the
// command line, runs one command, and turns every failure into one line on
// standard error with a non-zero exit.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <optional>

#include "Commands.h"
#include "FrameSize.h"
#include "hostsupport/HostError.h"
#include "hostsupport/Interrupt.h"
#ifdef ZAO_HAS_PLAY
#include "play/Play.h"
#endif

namespace {

constexpr int kUsageError = 2;
constexpr int kRunError = 1;
constexpr int kInterrupted = 130;

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "zao-host: %s\n", hostsupport::OneLine(message).c_str());
    return status;
}

void AddGlOption(CLI::App* command, std::string* gl)
{
    command->add_option("--gl", *gl, "GL context: glx (Xvfb is started when DISPLAY is unset) or egl (no display)")
        ->check(CLI::IsMember({"glx", "egl"}));
}

CLI::App* AddInfoCommand(CLI::App& app, refhost::InfoOptions& info)
{
    CLI::App* command = app.add_subcommand("info", "Describe the plug-in and its parameters (no GL needed)");
    command->add_option("PLUGIN", info.plugin, "The plug-in file (.so)")->required();
    command->add_option("--thumbnail", info.thumbnail,
                        "Also write the plug-in's thumbnail, as a host's effect browser shows it, to this PNG");
    return command;
}

CLI::App* AddRenderCommand(CLI::App& app, refhost::RenderOptions& render)
{
    CLI::App* command = app.add_subcommand("render", "Process frames through the plug-in and write them out");
    command->add_option("PLUGIN", render.plugin, "The plug-in file (.so)")->required();
    command->add_option("--input,-i", render.input,
                        "Video, image or image sequence (e.g. shots/%04d.png) read by ffmpeg; "
                        "default: a generated scene");
    command->add_option("--output,-o", render.output, "MP4 video to write");
    command->add_option("--frames-dir", render.framesDir, "Folder for PNG frames frame-000000.png, ...");
    command->add_option("--contact-sheet", render.contactSheet, "PNG with a few frames spread over the run");
    command->add_option("--sheet-grid", render.sheetGrid, "Contact sheet tiles, COLUMNSxROWS")->capture_default_str();
    command->add_option("--timing", render.timingFile, "Also write the timing summary to this file");
    command->add_option("--set,-s", render.settings,
                        "Parameter by name, \"Name=Value\" (repeatable); options take element names, "
                        "booleans on/off/true/false/1/0");
    command->add_option("--size", render.size, "Frame size WIDTHxHEIGHT (default: the input's, or 1280x720)");
    command->add_option("--frames,-n", render.frames, "Frames to render (default: 120, or all of the input)")
        ->check(CLI::Range(uint64_t(1), uint64_t(1000000)));
    command->add_option("--fps", render.fps, "Frame rate (default: the input's, or 30)")
        ->check(CLI::Range(0.001, 1000.0));
    command->add_option("--seed", render.seed, "Seed of the generated scene")->capture_default_str();
    command->add_option("--codec", render.codec, "MP4 encoder: auto (libx264 if ffmpeg has it), libx264, mpeg4")
        ->capture_default_str();
    AddGlOption(command, &render.gl);
    command->add_flag("--verbose,-v", render.verbose, "Show the GL renderer and the plug-in's log lines");
    return command;
}

CLI::App* AddBenchCommand(CLI::App& app, refhost::BenchOptions& bench)
{
    CLI::App* command = app.add_subcommand("bench", "Time the plug-in at several sizes against a bare pass-through");
    command->add_option("PLUGIN", bench.plugin, "The plug-in file (.so)")->required();
    command->add_option("--sizes", bench.sizes, "Frame sizes (default: 1280x720 1920x1080 3840x2160)")
        ->delimiter(',');
    command->add_option("--frames,-n", bench.frames, "Timed frames per run")
        ->capture_default_str()
        ->check(CLI::Range(uint64_t(1), uint64_t(100000)));
    command->add_option("--warmup", bench.warmup, "Untimed frames before each run")
        ->capture_default_str()
        ->check(CLI::Range(uint64_t(0), uint64_t(100000)));
    command->add_option("--blobs", bench.blobs, "Bright blobs in the input frame")
        ->capture_default_str()
        ->check(CLI::Range(0u, 400u));
    command->add_option("--set,-s", bench.settings, "Extra parameter setting \"Name=Value\" (repeatable)");
    command->add_option("--seed", bench.seed, "Seed of the input frame")->capture_default_str();
    command->add_option("--json", bench.json, "Also write the results as JSON to this file");
    command->add_option("--snapshot-dir", bench.snapshotDir,
                        "Write the last frame of each plug-in run as PNG into this folder");
    AddGlOption(command, &bench.gl);
    command->add_flag("--verbose,-v", bench.verbose, "Report each size as it starts");
    return command;
}

CLI::App* AddValidateCommand(CLI::App& app, refhost::ValidateOptions& validate)
{
    CLI::App* command = app.add_subcommand(
        "validate", "Test any FFGL 2 plug-in for crashes, leaks and host mistakes, each test in its own process");
    command->add_option("PLUGIN", validate.plugin, "The plug-in file (.so)");
    command->add_option("--only", validate.only, "Run only these tests (repeatable or comma-separated)")
        ->delimiter(',');
    command->add_flag("--list", validate.list, "List the tests and exit");
    command->add_option("--timeout", validate.timeout, "Seconds a test may take before it counts as hung")
        ->capture_default_str()
        ->check(CLI::Range(1.0, 3600.0));
    AddGlOption(command, &validate.gl);
    command->add_option("--context", validate.context,
                        "Kind of GL context: core, forward (forward-compatible core), compat, debug (core with "
                        "debug output), mac (macOS's 4.1 core: its extension list, nothing past 4.1), or all that "
                        "this machine can make")
        ->capture_default_str()
        ->check(CLI::IsMember({"core", "forward", "compat", "debug", "mac", "all"}));
    command->add_option("--validate-one", validate.validateOne)->group("");
    command->add_flag("--probe-context", validate.probeContext)->group("");
    return command;
}

#ifdef ZAO_HAS_PLAY
CLI::App* AddPlayCommand(CLI::App& app, play::PlayOptions& play, std::string* size)
{
    CLI::App* command = app.add_subcommand(
        "play", "Show effects live in a window, with their parameters, hot reload and a chain of effects");
    command->add_option("PLUGIN", play.plugins, "The plug-in files (.so), chained in this order")->required();
    command->add_option("--input,-i", play.input,
                        "Video, image, image sequence (e.g. shots/%04d.png) or camera (/dev/video0), looped; "
                        "default: a generated scene");
    command->add_option("--set,-s", play.settings,
                        "Parameter by name, \"Name=Value\" (repeatable), for every plug-in that has it");
    command->add_flag("--watch,-w", play.watch, "Reload a plug-in when its file changes, keeping its values");
    command->add_option("--size", *size, "Frame size WIDTHxHEIGHT (default: the input's, or 1280x720)");
    command->add_option("--fps", play.fps, "Frame rate (default: the input's, or 30)")->check(CLI::Range(0.1, 1000.0));
    command->add_option("--seed", play.seed, "Seed of the generated scene")->capture_default_str();
    command->add_flag("--fullscreen", play.fullscreen, "Start in full screen (F switches)");
    command->add_option("--monitor", play.monitor, "Monitor for full screen, 0 the primary")
        ->capture_default_str()
        ->check(CLI::Range(0, 63));
    command->add_option("--frames,-n", play.frames, "Quit after this many frames (default: when closed)")
        ->check(CLI::Range(uint64_t(1), uint64_t(100000000)));
    command->add_option("--screenshot", play.screenshot, "Write the whole window, panel included, to this PNG at the end");
    command->add_flag("--headless", play.headless,
                      "Run on a virtual display of its own, unseen (for scripts; without a display play refuses to "
                      "start otherwise)");
    command->add_option("--trial-limit", play.trialSeconds,
                        "Seconds one plug-in call may take while a new version is tried in a process of its own "
                        "before it counts as hung")
        ->capture_default_str()
        ->check(CLI::Range(0.5, 3600.0));
    command->add_option("--describe-panel", play.describePanel)->group("");
    command->add_flag("--try-version", play.tryVersion)->group("");
    command->add_option("--kept", play.kept)->group("");
    command->add_flag("--verbose,-v", play.verbose, "Show the GL renderer and the plug-ins' log lines");
    return command;
}
#endif

// Parses the command line; a status to exit with when parsing ends the run (help, version, a usage error).
std::optional<int> Parse(CLI::App& app, int argc, char** argv)
{
    // CLI11 would only say that a command is missing.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string command = argv[1];
#ifndef ZAO_HAS_PLAY
        if (command == "play")
            return Fail(kUsageError, "this zao-host was built without play (GLFW or Dear ImGui were missing)");
#endif
        if (command != "info" && command != "render" && command != "bench" && command != "validate" &&
            command != "play")
            return Fail(kUsageError, "unknown command \"" + command +
                                         "\" (use info, render, bench, validate or play; see zao-host --help)");
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help("", CLI::AppFormatMode::All).c_str(), stdout);
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        std::fputs(app.help("", CLI::AppFormatMode::All).c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::puts("zao-host " ZAO_VERSION_TEXT);
        return 0;
    } catch (const CLI::ParseError& error) {
        return Fail(kUsageError, std::string(error.what()) + " (see zao-host --help)");
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    hostsupport::InstallInterruptHandlers();

    CLI::App app("zao-host: describes, renders, times, validates and plays FFGL 2 effect plug-ins", "zao-host");
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", "zao-host " ZAO_VERSION_TEXT);
    refhost::InfoOptions info;
    refhost::RenderOptions render;
    refhost::BenchOptions bench;
    refhost::ValidateOptions validate;
    const CLI::App* infoCommand = AddInfoCommand(app, info);
    const CLI::App* renderCommand = AddRenderCommand(app, render);
    AddBenchCommand(app, bench);
    const CLI::App* validateCommand = AddValidateCommand(app, validate);
#ifdef ZAO_HAS_PLAY
    play::PlayOptions play;
    std::string playSize;
    const CLI::App* playCommand = AddPlayCommand(app, play, &playSize);
#endif
    if (const std::optional<int> status = Parse(app, argc, argv))
        return *status;

    try {
        if (*infoCommand)
            return refhost::RunInfo(info);
        if (*renderCommand)
            return refhost::RunRender(render);
        if (*validateCommand)
            return refhost::RunValidate(validate);
#ifdef ZAO_HAS_PLAY
        if (*playCommand) {
            if (!playSize.empty()) {
                const refhost::FrameSize size = refhost::ParseFrameSize(playSize);
                play.width = size.width;
                play.height = size.height;
            }
            return play::RunPlay(play);
        }
#endif
        return refhost::RunBench(bench);
    } catch (const hostsupport::HostError& error) {
        if (hostsupport::Interrupted())
            return Fail(kInterrupted, "interrupted");
        return Fail(kRunError, error.what());
    } catch (const std::exception& error) {
        return Fail(kRunError, std::string("unexpected failure: ") + error.what());
    }
}
