// A loadable library without plugMain, to check that the host refuses it.
extern "C" __attribute__((visibility("default"))) int NotAnFfglEntry()
{
    return 42;
}
