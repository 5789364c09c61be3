// Sanitized builds only: the executables' dlclose (wrapped at link time) keeps
// every plug-in mapped, so LeakSanitizer, which runs at exit, still scans the
// plug-in's globals as roots and can name its frames in a report.
extern "C" int __wrap_dlclose(void*)
{
    return 0;
}

// And every library's: GLFW unloads the X libraries it opened, and GLX the
// driver, when a window closes. Kept mapped, what they keep is still named,
// and suppressed as theirs. Exported, so that their calls bind here.
extern "C" __attribute__((visibility("default"))) int dlclose(void*)
{
    return 0;
}
