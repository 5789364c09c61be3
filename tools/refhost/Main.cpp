// zao-host: a headless reference host for FFGL 2 effect plug-ins. Parses the
// command line, runs one command, and turns every failure into one line on
// standard error with a non-zero exit.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

#include "Commands.h"
#include "HostError.h"
#include "Interrupt.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kRunError = 1;
constexpr int kInterrupted = 130;

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "zao-host: %s\n", refhost::OneLine(message).c_str());
    return status;
}

void AddGlOption(CLI::App* command, std::string* gl)
{
    command->add_option("--gl", *gl, "GL context: glx (Xvfb is started when DISPLAY is unset) or egl (no display)")
        ->check(CLI::IsMember({"glx", "egl"}));
}

}  // namespace

int main(int argc, char** argv)
{
    refhost::InstallInterruptHandlers();

    CLI::App app("zao-host: renders video through an FFGL 2 effect plug-in, headless, and times it", "zao-host");
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", "zao-host " ZAO_VERSION_TEXT);

    refhost::InfoOptions info;
    CLI::App* infoCommand = app.add_subcommand("info", "Describe the plug-in and its parameters (no GL needed)");
    infoCommand->add_option("PLUGIN", info.plugin, "The plug-in file (.so)")->required();
    infoCommand->add_option("--thumbnail", info.thumbnail,
                            "Also write the plug-in's thumbnail, as a host's effect browser shows it, to this PNG");

    refhost::RenderOptions render;
    CLI::App* renderCommand = app.add_subcommand("render", "Process frames through the plug-in and write them out");
    renderCommand->add_option("PLUGIN", render.plugin, "The plug-in file (.so)")->required();
    renderCommand->add_option("--input,-i", render.input,
                              "Video, image or image sequence (e.g. shots/%04d.png) read by ffmpeg; "
                              "default: a generated scene");
    renderCommand->add_option("--output,-o", render.output, "MP4 video to write");
    renderCommand->add_option("--frames-dir", render.framesDir, "Folder for PNG frames frame-000000.png, ...");
    renderCommand->add_option("--contact-sheet", render.contactSheet, "PNG with a few frames spread over the run");
    renderCommand->add_option("--sheet-grid", render.sheetGrid, "Contact sheet tiles, COLUMNSxROWS")
        ->capture_default_str();
    renderCommand->add_option("--timing", render.timingFile, "Also write the timing summary to this file");
    renderCommand->add_option("--set,-s", render.settings,
                              "Parameter by name, \"Name=Value\" (repeatable); options take element names, "
                              "booleans on/off/true/false/1/0");
    renderCommand->add_option("--size", render.size, "Frame size WIDTHxHEIGHT (default: the input's, or 1280x720)");
    renderCommand->add_option("--frames,-n", render.frames, "Frames to render (default: 120, or all of the input)")
        ->check(CLI::Range(uint64_t(1), uint64_t(1000000)));
    renderCommand->add_option("--fps", render.fps, "Frame rate (default: the input's, or 30)")
        ->check(CLI::Range(0.001, 1000.0));
    renderCommand->add_option("--seed", render.seed, "Seed of the generated scene")->capture_default_str();
    renderCommand->add_option("--codec", render.codec, "MP4 encoder: auto (libx264 if ffmpeg has it), libx264, mpeg4")
        ->capture_default_str();
    AddGlOption(renderCommand, &render.gl);
    renderCommand->add_flag("--verbose,-v", render.verbose, "Show the GL renderer and the plug-in's log lines");

    refhost::BenchOptions bench;
    CLI::App* benchCommand =
        app.add_subcommand("bench", "Time the plug-in at several sizes against a bare pass-through");
    benchCommand->add_option("PLUGIN", bench.plugin, "The plug-in file (.so)")->required();
    benchCommand->add_option("--sizes", bench.sizes, "Frame sizes (default: 1280x720 1920x1080 3840x2160)")
        ->delimiter(',');
    benchCommand->add_option("--frames,-n", bench.frames, "Timed frames per run")
        ->capture_default_str()
        ->check(CLI::Range(uint64_t(1), uint64_t(100000)));
    benchCommand->add_option("--warmup", bench.warmup, "Untimed frames before each run")
        ->capture_default_str()
        ->check(CLI::Range(uint64_t(0), uint64_t(100000)));
    benchCommand->add_option("--blobs", bench.blobs, "Bright blobs in the input frame")
        ->capture_default_str()
        ->check(CLI::Range(0u, 400u));
    benchCommand->add_option("--set,-s", bench.settings, "Extra parameter setting \"Name=Value\" (repeatable)");
    benchCommand->add_option("--seed", bench.seed, "Seed of the input frame")->capture_default_str();
    benchCommand->add_option("--json", bench.json, "Also write the results as JSON to this file");
    benchCommand->add_option("--snapshot-dir", bench.snapshotDir,
                             "Write the last frame of each plug-in run as PNG into this folder");
    AddGlOption(benchCommand, &bench.gl);
    benchCommand->add_flag("--verbose,-v", bench.verbose, "Report each size as it starts");

    refhost::ValidateOptions validate;
    CLI::App* validateCommand = app.add_subcommand(
        "validate", "Test any FFGL 2 plug-in for crashes, leaks and host mistakes, each test in its own process");
    validateCommand->add_option("PLUGIN", validate.plugin, "The plug-in file (.so)");
    validateCommand->add_option("--only", validate.only, "Run only these tests (repeatable or comma-separated)")
        ->delimiter(',');
    validateCommand->add_flag("--list", validate.list, "List the tests and exit");
    validateCommand->add_option("--timeout", validate.timeout, "Seconds a test may take before it counts as hung")
        ->capture_default_str()
        ->check(CLI::Range(1.0, 3600.0));
    AddGlOption(validateCommand, &validate.gl);
    validateCommand->add_option("--validate-one", validate.validateOne)->group("");

    // CLI11 would only say that a command is missing.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string command = argv[1];
        if (command != "info" && command != "render" && command != "bench" && command != "validate")
            return Fail(kUsageError, "unknown command \"" + command +
                                         "\" (use info, render, bench or validate; see zao-host --help)");
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

    try {
        if (*infoCommand)
            return refhost::RunInfo(info);
        if (*renderCommand)
            return refhost::RunRender(render);
        if (*validateCommand)
            return refhost::RunValidate(validate);
        return refhost::RunBench(bench);
    } catch (const refhost::HostError& error) {
        if (refhost::Interrupted())
            return Fail(kInterrupted, "interrupted");
        return Fail(kRunError, error.what());
    } catch (const std::exception& error) {
        return Fail(kRunError, std::string("unexpected failure: ") + error.what());
    }
}
