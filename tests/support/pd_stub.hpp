#pragma once

#include <string>
#include <vector>

// A stand-in for the few Pd functions the laws and handlers call, so that
// they run in plain tests: post() lines are collected, atoms are read as Pd
// reads them, and the sample rate is settable.
namespace pd_stub {

// Every line posted since the last clear, one entry per post().
std::vector<std::string> &console();
void clear_console();
void set_sample_rate(float sr);

} // namespace pd_stub
