#pragma once

#include <map>
#include <string>
#include <vector>

// Runs a generated patch in the real Pd (pd -nogui -batch) and returns what
// the user would see: the console bytes and the samples of chosen outlets.
//
//   pd_host::Patch p;
//   int src = p.obj("sig~ 1");
//   int pan = p.obj("sorvel~ 4");
//   p.connect(src, 0, pan, 0);
//   p.record(pan, 0, "hp0");
//   p.send_at(640, pan, 0, "x 0.5");
//   pd_host::Result r = p.run(2048);
//   r.signals["hp0"][i] ...
namespace pd_host {

// The bytes of a file; empty when it cannot be read.
std::string read_file(const std::string &path);

struct Result {
    std::string console;                               // raw bytes Pd wrote
    std::map<std::string, std::vector<float>> signals; // one per record()
    int exit_status = -1;
    double cpu_seconds = 0; // user and system time of the Pd process

    // The console split into lines, without their line ends (LF or CR LF).
    std::vector<std::string> lines() const;
    // How many console lines contain the text.
    int count(const std::string &text) const;
};

// The Pd that runs the patches: the program named by RC_PD in the
// environment, if any (for instance a wrapper that runs another machine's
// Pd under qemu-user, as tools/fetch-sysroot writes, or another release of
// Pd, as tools/fetch-pd055 writes), else the Pd of the machine the tests run
// on, which native_pd_program() names.
std::string pd_program();
std::string native_pd_program();

class Patch {
  public:
    explicit Patch(int sample_rate = 44100);
    // Removes the run's folder, unless RC_KEEP_RUNS is set in the environment.
    ~Patch();
    Patch(const Patch &) = delete;
    Patch &operator=(const Patch &) = delete;

    // Adds a box; returns its index for connect().
    int obj(const std::string &text);
    int msg(const std::string &text);
    void connect(int from, int outlet, int to, int inlet);

    // Writes the signal of an outlet, sample by sample, into signals[name].
    void record(int from, int outlet, const std::string &name);

    // Adds the box with a constant 1 at its left inlet, so that its outlets
    // carry its gains, and records its first `outlets` outlets as
    // prefix + "hp0", prefix + "hp1", ...; returns the box.
    int gains(const std::string &box, int outlets, const std::string &prefix = "");
    // Constant signals, one a value, at the inlets of the box from inlet 1:
    // the position inlets of the three objects.
    void positions(int box, const std::vector<float> &values);
    // The signals of the boxes joined into one of as many channels by
    // [snake~ in] (Pd 0.54 and later), or the one box itself.
    int joined(const std::vector<int> &signals);

    // Sends a message (message-box text, commas allowed) to an inlet when
    // the logical time reaches the sample. It takes effect from the start of
    // the block that holds that sample: use multiples of 64.
    void send_at(long sample, int to, int inlet, const std::string &text);

    // Loads a Pd library (a path without its extension) before the patch.
    void load_library(const std::string &path);

    // Loads the patch with DSP on, runs it for the given number of samples
    // (0: load and quit) and returns the console and the recordings.
    Result run(long samples) const { return run(samples, pd_program()); }
    // The same in a Pd of one's choice: a program that takes Pd's arguments.
    Result run(long samples, const std::string &program) const;

    // The patch text, for diagnostics.
    std::string text(long samples) const;

  private:
    int sample_rate_;
    std::vector<std::string> boxes_;
    std::vector<std::string> connections_;
    std::vector<std::string> recordings_;
    std::vector<std::string> libraries_;
    std::string directory_;
};

// Console lines, and expected ones put one after the other.
using Lines = std::vector<std::string>;
Lines operator+(Lines a, const Lines &b);

// What Pd writes when it loads a patch of this one box; with a message, also
// what the box says when the message reaches its left inlet at load.
Lines console_of(const std::string &box, const std::string &message = "");

// The box with a signal connected to each of its first `inlets` inlets and
// each of its first `outlets` outlets connected to a signal inlet, played for
// two blocks: what Pd refused.
struct Wiring {
    int failed = 0;    // connections to inlets or outlets the box lacks
    int nonsignal = 0; // signals refused by float inlets
    int exit_status = -1;
};
Wiring wire(const std::string &box, int inlets, int outlets);

// How many signal outlets the box has, of the 17 tried.
int outlets_of(const std::string &box);

} // namespace pd_host
