#include "pd_host.hpp"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pd_host {

namespace {

std::string escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == ',' || c == ';')
            out += std::string(" \\") + c + " ";
        else if (c == '$')
            out += "\\$";
        else
            out += c;
    }
    return out;
}

std::string new_directory() {
    std::string pattern = std::string(RC_TEST_TMP) + "/run.XXXXXX";
    mkdir(RC_TEST_TMP, 0755);
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed in " RC_TEST_TMP);
    return pattern;
}

} // namespace

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Result::lines() const {
    std::vector<std::string> out;
    std::istringstream in(console);
    // A Pd for Windows ends its lines with CR LF.
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

int Result::count(const std::string &text) const {
    int n = 0;
    for (const std::string &line : lines())
        if (line.find(text) != std::string::npos) n++;
    return n;
}

// Boxes 0 to 3 switch DSP on at load and quit at the end of the run.
Patch::Patch(int sample_rate) : sample_rate_(sample_rate), directory_(new_directory()) {
    boxes_ = {"obj 10 10 loadbang", "msg 10 30 \\; pd dsp 1", "", "msg 10 70 \\; pd quit"};
    connections_ = {"0 0 1 0", "0 0 2 0", "2 0 3 0"};
}

Patch::~Patch() {
    if (!std::getenv("RC_KEEP_RUNS")) std::filesystem::remove_all(directory_);
}

int Patch::obj(const std::string &text) {
    boxes_.push_back("obj 200 " + std::to_string(10 * boxes_.size()) + " " + text);
    return static_cast<int>(boxes_.size()) - 1;
}

int Patch::msg(const std::string &text) {
    boxes_.push_back("msg 400 " + std::to_string(10 * boxes_.size()) + " " + escape(text));
    return static_cast<int>(boxes_.size()) - 1;
}

void Patch::connect(int from, int outlet, int to, int inlet) {
    connections_.push_back(std::to_string(from) + " " + std::to_string(outlet) + " " +
                           std::to_string(to) + " " + std::to_string(inlet));
}

void Patch::record(int from, int outlet, const std::string &name) {
    const int probe = obj("rc_probe~ " + directory_ + "/" + name + ".f32");
    connect(from, outlet, probe, 0);
    recordings_.push_back(name);
}

int Patch::gains(const std::string &box, int outlets, const std::string &prefix) {
    const int x = obj(box);
    connect(obj("sig~ 1"), 0, x, 0);
    for (int k = 0; k < outlets; k++) record(x, k, prefix + "hp" + std::to_string(k));
    return x;
}

int Patch::joined(const std::vector<int> &signals) {
    if (signals.size() == 1) return signals[0];
    const int snake = obj("snake~ in " + std::to_string(signals.size()));
    for (size_t k = 0; k < signals.size(); k++) connect(signals[k], 0, snake, static_cast<int>(k));
    return snake;
}

void Patch::positions(int box, const std::vector<float> &values) {
    for (size_t k = 0; k < values.size(); k++)
        connect(obj("sig~ " + std::to_string(values[k])), 0, box, static_cast<int>(k) + 1);
}

void Patch::send_at(long sample, int to, int inlet, const std::string &text) {
    // A loadbang of its own: loadbangs fire in box order and clocks due at
    // the same time fire in the order they were set, so sends keep their order.
    const int bang = obj("loadbang");
    const int wait = obj("delay " + std::to_string(sample) + " 1 samp");
    const int message = msg(text);
    connect(bang, 0, wait, 0);
    connect(wait, 0, message, 0);
    connect(message, 0, to, inlet);
}

void Patch::load_library(const std::string &path) {
    libraries_.push_back(path);
}

std::string Patch::text(long samples) const {
    std::ostringstream s;
    s << "#N canvas 0 0 800 600 10;\n";
    for (size_t i = 0; i < boxes_.size(); i++) {
        if (i == 2)
            s << "#X obj 10 50 delay " << samples << " 1 samp;\n";
        else
            s << "#X " << boxes_[i] << ";\n";
    }
    for (const std::string &c : connections_) s << "#X connect " << c << ";\n";
    return s.str();
}

std::string native_pd_program() {
    return RC_PD_PROGRAM;
}

std::string pd_program() {
    const char *program = std::getenv("RC_PD");
    return program && *program ? program : native_pd_program();
}

Result Patch::run(long samples, const std::string &program) const {
    const std::string patch = directory_ + "/patch.pd";
    const std::string console = directory_ + "/console.txt";
    std::ofstream(patch) << text(samples);

    std::ostringstream command;
    command << "timeout 120 '" << program << "' -nogui -batch -noprefs -nosound -nostdpath"
            << " -stderr -r " << sample_rate_ << " -path '" << RC_LIBRARY_DIR << "' -path '"
            << RC_PROBE_DIR << "'";
    for (const std::string &library : libraries_) command << " -lib '" << library << "'";
    command << " -open '" << patch << "' 2>'" << console << "'";
    Result result;
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    const int status = std::system(command.str().c_str());
    getrusage(RUSAGE_CHILDREN, &after);
    auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
    result.cpu_seconds = seconds(after.ru_utime) - seconds(before.ru_utime) +
                         seconds(after.ru_stime) - seconds(before.ru_stime);
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.console = read_file(console);
    for (const std::string &name : recordings_) {
        const std::string bytes = read_file(directory_ + "/" + name + ".f32");
        std::vector<float> samples_read(bytes.size() / sizeof(float));
        std::copy(bytes.begin(), bytes.begin() + samples_read.size() * sizeof(float),
                  reinterpret_cast<char *>(samples_read.data()));
        if (samples_read.size() > static_cast<size_t>(samples)) samples_read.resize(samples);
        result.signals[name] = samples_read;
    }
    return result;
}

Lines operator+(Lines a, const Lines &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Lines console_of(const std::string &box, const std::string &message) {
    Patch p;
    const int x = p.obj(box);
    if (!message.empty()) p.send_at(0, x, 0, message);
    return p.run(message.empty() ? 0 : 64).lines();
}

Wiring wire(const std::string &box, int inlets, int outlets) {
    Patch p;
    const int x = p.obj(box);
    const int source = p.obj("sig~ 0.5");
    const int sink = p.obj("*~");
    for (int k = 0; k < inlets; k++) p.connect(source, 0, x, k);
    for (int k = 0; k < outlets; k++) p.connect(x, k, sink, 0);
    const Result r = p.run(128);
    return {r.count("connection failed"), r.count("nonsignal inlet"), r.exit_status};
}

int outlets_of(const std::string &box) {
    return 17 - wire(box, 0, 17).failed;
}

} // namespace pd_host
