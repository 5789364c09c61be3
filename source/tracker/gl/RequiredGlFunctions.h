// The GL entry points the plug-in calls through the loader, checked once per
// InitGL: a context may leave any of them null (a driver without a feature,
// macOS's core profile for everything past 4.1), and a call through null
// would take the host down with it.
#pragma once

// The name of the first entry point of 4.1 core that the plug-in needs and
// the context did not give, or null when all are there. Functions past 4.1
// (direct state access, multi-bind) are optional: ReadContextFacts decides
// whether to use them, and the 4.1 path stands beside each.
const char* MissingGlFunction();
