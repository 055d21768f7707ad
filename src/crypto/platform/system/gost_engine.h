// The GOST engine under the boundary: started once per process, on first use.
#pragma once

#include <string>

namespace velmora::platform {

// Loads, initialises and registers the GOST engine as the default for every
// method, once per process and safely from any thread. Returns false (and
// sets the last error) when the engine is not installed or does not start;
// every later call gives the same answer without trying again.
bool StartGostEngine();

// The Russian text that explains why the engine did not start; empty while it works.
std::string GostEngineFailureText();

// The version of the OpenSSL library the program runs with ("3.0.19").
std::string OpenSslVersionText();

}  // namespace velmora::platform
