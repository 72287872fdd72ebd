#include "harness.hpp"

#include "instance_pd.hpp"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

namespace {

bool tolerated(const char *message) {
    const char *list = getenv("FUZZ_TOLERATE");
    if (!list || !*list) return false;
    std::string names(list);
    for (size_t start = 0; start <= names.size();) {
        size_t end = names.find('|', start);
        if (end == std::string::npos) end = names.size();
        const std::string name = names.substr(start, end - start);
        if (!name.empty() && strstr(message, name.c_str())) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

void fail(const char *format, ...) {
    char message[1000];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    watch::in_perform = false;
    if (tolerated(message)) return;
    fprintf(stderr, "fuzz check failed: %s\n", message);
    abort();
}

namespace {

// Per input: enough steps and samples to reach every state, few enough that
// one input runs in milliseconds.
constexpr int MAX_STEPS = 256;
constexpr long MAX_SAMPLES = 1L << 16;
constexpr int MAX_ATOMS = 8;

const float NAN_F = std::numeric_limits<float>::quiet_NaN();
const float INF_F = std::numeric_limits<float>::infinity();

// Values where code breaks: signs of zero, limits of each argument, the
// borders of the float range and of int conversion, and the non-finite.
const float SPECIAL[] = {
    0.0f,    -0.0f,   1.0f,          -1.0f,          0.5f,       2.0f,        3.0f,    3.9f,
    4.0f,    8.0f,    15.0f,         16.0f,          17.0f,      -2.0f,       90.0f,   180.0f,
    270.0f,  360.0f,  -90.0f,        -360.0f,        1e-6f,      1.0001e-6f,  1e-7f,   0.3f,
    10.0f,   -20.0f,  1e3f,          1e9f,           1e18f,      -1e18f,      1e19f,   1e30f,
    3.4e38f, FLT_MAX, -FLT_MAX,      FLT_MIN,        1e-45f,     -1e-45f,     NAN_F,   -NAN_F,
    INF_F,   -INF_F,  2147483648.0f, -2147483904.0f, 8388608.0f, 16777216.0f, 1.5e38f, 45.0f,
    135.0f,  -45.0f,  35.26f,        0.707f,         6.2831855f, 3.1415927f,  1e-30f,  1e-38f,
    0.001f,  1e6f,    4096.0f};
constexpr int N_SPECIAL = sizeof SPECIAL / sizeof SPECIAL[0];

const char *const WORDS[] = {"c",        "p",   "s",   "cart", "polaire", "signal", "spherique",
                             "controle", "x",   "z",   "",     "C",       "P",      "S",
                             "\\",       "$1",  ";",   "list", "bang",    "float",  "1",
                             "-c",       "cps", "nan", "inf",  "sig",     "y",      "set_nb_hp"};
constexpr int N_WORDS = sizeof WORDS / sizeof WORDS[0];

const float SAMPLE_RATES[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f,  8000.0f, 192000.0f,
                              1.0f,     32000.0f, 88200.0f, 384000.0f, 1e9f,    11025.0f};
constexpr int N_SAMPLE_RATES = sizeof SAMPLE_RATES / sizeof SAMPLE_RATES[0];

const int BLOCK_SIZES[] = {64, 64, 64, 1, 2, 8, 16, 32, 128, 256, 0, 3, 7, 63, 65, 17, 1024, 4096};
constexpr int N_BLOCK_SIZES = sizeof BLOCK_SIZES / sizeof BLOCK_SIZES[0];

class Reader {
  public:
    Reader(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}
    bool done() const { return p_ == end_; }
    uint8_t byte() { return p_ == end_ ? 0 : *p_++; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; i++) w = w << 8 | byte();
        return w;
    }
    // Any float: a special value, a small integer, or any bit pattern.
    float number() {
        const uint8_t tag = byte();
        if (tag < 128) return SPECIAL[tag % N_SPECIAL];
        if (tag < 192) return static_cast<float>(static_cast<int8_t>(byte()));
        const uint32_t bits = word();
        float f;
        memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A sample within [-1, 1].
    float audio() {
        const uint8_t tag = byte();
        switch (tag % 8) {
        case 0:
            return 0.0f;
        case 1:
            return 1.0f;
        case 2:
            return -1.0f;
        case 3:
            return -0.0f;
        case 4:
            return 1e-40f; // subnormal
        default:
            return static_cast<float>(static_cast<int16_t>(word() >> 16)) / 32768.0f;
        }
    }
    t_symbol *symbol() {
        const uint8_t tag = byte();
        if (tag < 200) return gensym(WORDS[tag % N_WORDS]);
        std::string s;
        for (int n = byte() % 6; n > 0; n--) s += static_cast<char>(byte() | 1);
        return gensym(s.c_str());
    }
    void atoms(std::vector<t_atom> &out) {
        out.resize(byte() % (MAX_ATOMS + 1));
        for (t_atom &a : out) {
            if (byte() % 4 == 3)
                SETSYMBOL(&a, symbol());
            else
                SETFLOAT(&a, number());
        }
    }

  private:
    const uint8_t *p_;
    const uint8_t *end_;
};

// FUZZ_TRACE set: every step is written to stderr, as the patch a user would
// have to build to see the same thing.
bool tracing() {
    static const bool on = getenv("FUZZ_TRACE") != nullptr;
    return on;
}

std::string text(const char *selector, const std::vector<t_atom> &args) {
    std::string out = selector;
    char number[32];
    for (const t_atom &a : args) {
        if (a.a_type == A_FLOAT) {
            snprintf(number, sizeof number, " %.9g", a.a_w.w_float);
            out += number;
        } else {
            out += std::string(" '") + a.a_w.w_symbol->s_name + "'";
        }
    }
    return out;
}

// Cheap noise for long signals, seeded from the input.
struct Noise {
    uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
    }
};

bool same_bits(const float *a, const float *b, int n) {
    return n <= 0 || memcmp(a, b, sizeof(float) * static_cast<size_t>(n)) == 0;
}

// Never a value an object writes: an outlet sample left unwritten keeps it.
float unwritten_mark() {
    const uint32_t bits = 0x7fc0dead;
    float f;
    memcpy(&f, &bits, sizeof f);
    return f;
}

class Session {
  public:
    Session(const Object &object, t_class *c, Reader &r) : object_(object), class_(c), r_(r) {}

    void create() {
        destroy();
        std::vector<t_atom> args;
        r_.atoms(args);
        watch::fail_next_malloc = r_.byte() % 8 == 0;
        if (tracing())
            fprintf(stderr, "create [%s]%s\n", text(object_.name, args).c_str(),
                    watch::fail_next_malloc ? " without memory" : "");
        objet_ = std::make_unique<test::Objet>(object_.setup, args);
        x_ = objet_->objet();
        watch::fail_next_malloc = false;
        check();
    }

    void destroy() {
        objet_.reset();
        x_ = nullptr;
        bloc_.reset();
    }

    void message() {
        const std::vector<fake_pd::Method> &methods = class_->methods;
        const int m = static_cast<int>(methods.size());
        const int choice = r_.byte() % (m + 3);
        std::vector<t_atom> args;
        r_.atoms(args);
        const std::string selector = choice < m        ? methods[choice].selector->s_name
                                     : choice == m     ? "float"
                                     : choice == m + 1 ? "list"
                                                       : "bang";
        if (selector == "bang") args.clear();
        if (tracing()) fprintf(stderr, "message %s\n", text(selector.c_str(), args).c_str());
        const std::vector<char> before = record();
        const size_t lines = fake_pd::console().size();
        if (!test::livrer(x_, selector, args)) return; // refused by the host, as Pd does

        // A position that must leave everything as it was: a bang, or a
        // non-finite coordinate.
        bool ignored = selector == "bang";
        const bool single =
            selector == "x" || selector == "y" || selector == "z" || selector == "float";
        const int coordinates = selector == "list" ? object_.coordinates : single ? 1 : 0;
        for (int i = 0; i < coordinates && i < static_cast<int>(args.size()); i++)
            if (args[i].a_type == A_FLOAT && !std::isfinite(args[i].a_w.w_float)) ignored = true;
        if (ignored) {
            if (record() != before)
                fail("a position with a non-finite coordinate (or a bang) changed the record");
            if (fake_pd::console().size() != lines)
                fail("a position with a non-finite coordinate (or a bang) posted a line");
        }
        check();
    }

    // The host's DSP rebuild: the object's signals, inputs first, with the
    // block size; an outlet may be given an inlet's vector, as Pd does.
    void rebuild() {
        const int n = r_.byte() % 4 == 3 ? r_.byte() % 300 : BLOCK_SIZES[r_.byte() % N_BLOCK_SIZES];
        const fake_pd::Boxes &b = fake_pd::boxes(x_);
        inputs_ = 1 + b.signal_inlets;
        outputs_ = b.outlets;
        n_ = n;
        shares_.assign(outputs_, -1);
        std::vector<bool> taken(inputs_, false);
        for (int j = 0; j < outputs_; j++) {
            const uint8_t choice = r_.byte();
            const int input = (choice >> 2) % inputs_;
            if (choice % 4 == 0 && !taken[input]) {
                taken[input] = true;
                shares_[j] = input;
            }
        }
        bloc_ = std::make_unique<test::Bloc>(inputs_, outputs_, n, shares_);
        perform_ = test::installer(x_, bloc_->vecteurs(), n);
        if (tracing()) {
            fprintf(stderr, "dsp, block of %d, outlets sharing inlets:", n);
            for (int j = 0; j < outputs_; j++)
                if (shares_[j] >= 0) fprintf(stderr, " %d<-%d", j, shares_[j]);
            fprintf(stderr, "\n");
        }

        // The contract: the record, every vector in order, the block size.
        if (!perform_.routine) fail("dsp installed no perform routine");
        const std::vector<t_int> &a = perform_.arguments;
        if (static_cast<int>(a.size()) != 1 + inputs_ + outputs_ + 1)
            fail("dsp passed %zu words for %d inputs and %d outputs", a.size(), inputs_, outputs_);
        if (a[0] != reinterpret_cast<t_int>(x_)) fail("the first word is not the record");
        for (int i = 0; i < inputs_ + outputs_; i++)
            if (a[1 + i] != reinterpret_cast<t_int>(bloc_->vecteurs()[i]))
                fail("word %d is not vector %d", 1 + i, i);
        if (a.back() != n) fail("the last word is not the block size");
        check();
    }

    void perform(long &budget) {
        if (!bloc_) return;
        for (int blocks = 1 + r_.byte() % 4; blocks > 0 && budget > 0; blocks--) {
            budget -= 2L * n_ + 1;
            block();
        }
    }

  private:
    void fill_source(float *v) {
        const uint8_t pattern = r_.byte();
        Noise noise{r_.word()};
        const float c = r_.audio();
        for (int i = 0; i < n_; i++) {
            switch (pattern % 6) {
            case 0:
                v[i] = c;
                break;
            case 1:
                v[i] = noise.next();
                break;
            case 2:
                v[i] = r_.audio();
                break;
            case 3:
                v[i] = (i & 1) ? 1.0f : -1.0f;
                break;
            case 4:
                v[i] = r_.number();
                break; // anything, non-finite too
            default:
                v[i] = noise.next() * 1e-3f;
                break;
            }
        }
    }

    void fill_position(float *v) {
        const uint8_t pattern = r_.byte();
        Noise noise{r_.word()};
        const float a = r_.number();
        const float b = r_.number();
        for (int i = 0; i < n_; i++) {
            switch (pattern % 6) {
            case 0:
                v[i] = a;
                break;
            case 1:
                v[i] = a + (b - a) * static_cast<float>(i) / static_cast<float>(n_);
                break;
            case 2:
                v[i] = noise.next() * a;
                break;
            case 3:
                v[i] = r_.number();
                break;
            case 4:
                v[i] = (i % 16 == 7) ? b : a;
                break;
            default:
                v[i] = noise.next() * 720.0f;
                break;
            }
        }
    }

    void block() {
        const int n = n_;
        test::Bloc &bloc = *bloc_;
        fill_source(bloc.entree(0));
        for (int i = 1; i < inputs_; i++) fill_position(bloc.entree(i));
        std::vector<std::vector<float>> in;
        for (int k = 0; k < inputs_; k++) in.emplace_back(bloc.entree(k), bloc.entree(k) + n);
        if (tracing()) {
            fprintf(stderr, "perform");
            for (int k = 0; k < inputs_; k++) {
                fprintf(stderr, " [");
                for (int i = 0; i < n && i < 8; i++) fprintf(stderr, " %.9g", in[k][i]);
                fprintf(stderr, n > 8 ? " ...]" : " ]");
            }
            fprintf(stderr, "\n");
        }
        const float mark = unwritten_mark();
        bloc.marquer(mark);

        const std::vector<char> state = record();
        const float *table = object_.cosine_table(x_);
        std::vector<float> table_before;
        if (table) table_before.assign(table, table + 4096);
        const int active = object_.active_outlets(x_);
        const bool follows = object_.reads_positions(x_);

        call(x_, bloc);

        if (table && !same_bits(table, table_before.data(), 4096))
            fail("the perform routine wrote the cosine table");
        const std::vector<std::vector<float>> out = bloc.sorties();

        // The same block again on a copy of the state, with every vector
        // apart: sharing memory must not change a bit of the result.
        bool shared = false;
        for (int s : shares_) shared = shared || s >= 0;
        if (shared) {
            std::vector<char> copy = state;
            test::Bloc apart(inputs_, outputs_, n);
            for (int k = 0; k < inputs_; k++)
                std::copy(in[k].begin(), in[k].end(), apart.entree(k));
            apart.marquer(mark);
            call(reinterpret_cast<t_object *>(copy.data()), apart);
            const std::vector<std::vector<float>> alone = apart.sorties();
            for (int j = 0; j < outputs_; j++)
                if (!same_bits(out[j].data(), alone[j].data(), n))
                    fail("outlet %d differs when outlets share the inlets' vectors", j);
            if (copy != record()) fail("the record differs after a run with shared vectors");
        }

        for (int i = 0; i < n; i++) {
            const float s = in[0][i];
            const bool clean = std::isfinite(s) && std::fabs(s) <= 1.0f;
            bool lost = false;
            for (int k = 1; k < inputs_; k++) lost = lost || !std::isfinite(in[k][i]);
            for (int j = 0; j < outputs_; j++) {
                const float v = out[j][i];
                const char *fault = nullptr;
                if (same_bits(&v, &mark, 1))
                    fault = "left unwritten";
                else if (j >= active && v != 0.0f)
                    fault = "not in use";
                else if (j < active && clean && follows && lost && v != 0.0f)
                    fault = "not silent for a non-finite position";
                else if (j < active && clean && !std::isfinite(v))
                    fault = "not finite";
                if (!fault) continue;
                char where[200] = "";
                for (int k = 1; k < inputs_; k++)
                    snprintf(where + strlen(where), sizeof where - strlen(where), " %.9g",
                             in[k][i]);
                fail("outlet %d %s: %.9g at sample %d of %d (source %.9g, positions%s)", j, fault,
                     v, i, n, s, where);
            }
        }
        check();
    }

    // One perform call as Pd makes it, watched: no heap call, no line.
    void call(t_object *x, const test::Bloc &b) {
        std::vector<t_int> w = test::mots(perform_.routine, x, b);
        const size_t lines = fake_pd::console().size();
        watch::heap_calls = 0;
        watch::in_perform = true;
        const bool returned = test::executer(w);
        watch::in_perform = false;
        if (!returned) fail("the perform routine did not return the word past its arguments");
        if (b.deborde()) fail("the perform routine wrote past the block");
        if (fake_pd::console().size() != lines) fail("the perform routine posted a line");
        if (watch::heap_calls != 0)
            fail("the perform routine made %ld heap calls", watch::heap_calls);
    }

    std::vector<char> record() const {
        const char *p = reinterpret_cast<const char *>(x_);
        return std::vector<char>(p, p + class_->size);
    }

    void check() { object_.check(x_, fake_pd::boxes(x_)); }

    const Object &object_;
    t_class *class_;
    Reader &r_;
    std::unique_ptr<test::Objet> objet_;
    t_object *x_ = nullptr;
    int n_ = 0, inputs_ = 0, outputs_ = 0;
    std::unique_ptr<test::Bloc> bloc_; // the vectors of the last rebuild
    std::vector<int> shares_;          // per outlet: the inlet whose vector it has, or -1
    fake_pd::Perform perform_;
};

} // namespace

int run(const Object &object, const uint8_t *data, size_t size) {
    static t_class *c = nullptr;
    if (!c) {
        c = test::classe(object.setup);
        if (!c || strcmp(c->name->s_name, object.name) != 0)
            fail("set-up made no class %s", object.name);
        if (!c->float_method || !c->list_method) fail("no float or list method");
    }
    fake_pd::console().clear();
    Reader r(data, size);
    fake_pd::set_sample_rate(SAMPLE_RATES[r.byte() % N_SAMPLE_RATES]);
    Session session(object, c, r);
    session.create();
    long budget = MAX_SAMPLES;
    for (int step = 0; step < MAX_STEPS && !r.done(); step++) {
        switch (r.byte() % 8) {
        case 0:
        case 1:
        case 2:
            session.message();
            break;
        case 3:
            session.rebuild();
            break;
        case 4:
        case 5:
            session.perform(budget);
            break;
        case 6:
            session.create();
            break;
        default:
            fake_pd::set_sample_rate(SAMPLE_RATES[r.byte() % N_SAMPLE_RATES]);
            break;
        }
    }
    return 0;
}

} // namespace fuzz
