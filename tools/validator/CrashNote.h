// What a crashing plug-in most likely did, said before the process dies: a
// call through a null function pointer (an OpenGL function the context does
// not give, called unchecked), or, in a mac context, GL loaded by the
// extension list, which leaves what 4.1 includes and macOS does not list null.
#pragma once

#include <string>

namespace validator {

// From now on a crash of this process writes its note, if it has one, as a
// "note" line to the report descriptor before the signal takes its course;
// what is looked up from now on is the plug-in's, not the host's.
void InstallCrashNote(int reportFd);

// The mac context's finding on how the plug-in looks up GL functions, for a
// refusal that did not crash; empty when there is nothing to say.
std::string LoaderNote();

}  // namespace validator
