// Preloaded into the game by measure_startup.py --phases: the wall time at which each step of
// the start first happens, from the library calls that mark it, on standard error in
// milliseconds since launch (TAVORIN_LAUNCH_NS, CLOCK_MONOTONIC, set by the script). With
// TAVORIN_EXIT_AFTER_FRAME=1 the process ends right after its first swap, so that a profile
// holds the start alone.

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double SinceLaunch() {
    static const double launch = [] {
        const char* at = std::getenv("TAVORIN_LAUNCH_NS");
        return at ? std::atof(at) : 0.0;
    }();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec) - launch) /
           1e6;
}

void Mark(const char* what) {
    std::fprintf(stderr, "phase %9.2f %s\n", SinceLaunch(), what);
}

// Marks the first call only, before and after it.
template <typename Fn>
Fn Next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

struct Once {
    std::atomic<bool> seen{false};
    bool First() { return !seen.exchange(true); }
};

__attribute__((constructor)) void Loaded() {
    Mark("libraries loaded, constructors run");
}

}  // namespace

#define PROBE(ret, name, params, args)                 \
    extern "C" ret name params {                       \
        static Once once;                              \
        static auto next = Next<ret(*) params>(#name); \
        const bool first = once.First();               \
        if (first)                                     \
            Mark(#name " begins");                     \
        ret result = next args;                        \
        if (first)                                     \
            Mark(#name " ends");                       \
        return result;                                 \
    }

struct SDL_Window;
struct FT_LibraryRec_;
struct FT_FaceRec_;
struct FT_Open_Args;
struct _FcPattern;
struct _FcConfig;

PROBE(int, SDL_InitSubSystem, (unsigned flags), (flags))
PROBE(SDL_Window*, SDL_CreateWindow, (const char* t, int x, int y, int w, int h, unsigned f),
      (t, x, y, w, h, f))
PROBE(int, SDL_GL_LoadLibrary, (const char* path), (path))
PROBE(void*, SDL_GL_CreateContext, (SDL_Window * w), (w))
PROBE(int, SDL_GL_SetSwapInterval, (int interval), (interval))
PROBE(int, FT_Init_FreeType, (FT_LibraryRec_ * *library), (library))
PROBE(int, FcInit, (), ())
PROBE(_FcPattern*, FcFontMatch, (_FcConfig * c, _FcPattern* p, int* r), (c, p, r))
PROBE(int, FT_Open_Face, (FT_LibraryRec_ * l, const FT_Open_Args* a, long i, FT_FaceRec_** f),
      (l, a, i, f))
PROBE(unsigned, SDL_GetRelativeMouseState, (int* x, int* y), (x, y))
PROBE(int, FT_Render_Glyph, (void* slot, int mode), (slot, mode))
PROBE(int, SDL_PollEvent, (void* event), (event))

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    static Once once;
    static auto next = Next<void (*)(SDL_Window*)>("SDL_GL_SwapWindow");
    const bool first = once.First();
    if (first) {
        Mark("SDL_GL_SwapWindow begins (the first frame)");
    }
    next(window);
    if (first) {
        Mark("SDL_GL_SwapWindow ends");
        const char* exit = std::getenv("TAVORIN_EXIT_AFTER_FRAME");
        if (exit && exit[0] == '1') {
            std::fflush(stderr);
            _exit(0);
        }
    }
}
