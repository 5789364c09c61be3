// Sanitized builds only: the executables' dlclose (wrapped at link time) keeps
// every plug-in mapped, so LeakSanitizer, which runs at exit, still scans the
// plug-in's globals as roots and can name its frames in a report.
extern "C" int __wrap_dlclose(void*)
{
    return 0;
}
