// The floor for the game's start: a bare SDL2 window with an OpenGL 3.3 core context, made
// the way the game makes its own (EGL on X, the same size and attributes), cleared red and
// swapped once, then left open until it is closed or killed. With --drawn the red is cleared
// into a 16-bit back buffer with a depth buffer, one small textured quad blended into it,
// and the back buffer drawn into the window: the least a program drawing as the game does
// asks of the renderer. Not part of the game.

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

GLuint Program(const char* vertex, const char* fragment) {
    const GLuint program = glCreateProgram();
    for (const GLenum kind : {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}) {
        const GLuint shader = glCreateShader(kind);
        const char* parts[] = {"#version 330 core\n", kind == GL_VERTEX_SHADER ? vertex : fragment};
        glShaderSource(shader, 2, parts, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// A quad over `area` (left, top, right, bottom of a `target`-sized picture).
const char* const kQuad = R"(uniform vec4 area;
uniform vec2 target;
out vec2 uv;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vec2 pixel = mix(area.xy, area.zw, corner);
    uv = corner;
    gl_Position = vec4(pixel.x / target.x * 2.0 - 1.0, 1.0 - pixel.y / target.y * 2.0, 0.0, 1.0);
})";
const char* const kBlended = R"(uniform sampler2D image;
in vec2 uv;
out vec4 colour;
void main() {
    colour = vec4(1.0, 0.0, 0.0, texture(image, uv).r);
})";
const char* const kCopied = R"(uniform sampler2D image;
in vec2 uv;
out vec4 colour;
void main() {
    colour = texture(image, vec2(uv.x, 1.0 - uv.y));
})";

void DrawQuad(GLuint program, float right, float bottom, float width, float height) {
    glUseProgram(program);
    glUniform4f(glGetUniformLocation(program, "area"), 0.0f, 0.0f, right, bottom);
    glUniform2f(glGetUniformLocation(program, "target"), width, height);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void DrawThroughBackBuffer() {
    GLuint array = 0, framebuffer = 0, colour = 0, depth = 0, glyphs = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, 1280, 768, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, 1280, 768);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glViewport(0, 0, 1280, 768);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    unsigned char coverage[64 * 32];
    for (unsigned i = 0; i < sizeof coverage; ++i) {
        coverage[i] = static_cast<unsigned char>(i);
    }
    glGenTextures(1, &glyphs);
    glBindTexture(GL_TEXTURE_2D, glyphs);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, 64, 32, 0, GL_RED, GL_UNSIGNED_BYTE, coverage);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawQuad(Program(kQuad, kBlended), 64.0f, 32.0f, 1280.0f, 768.0f);
    glDisable(GL_BLEND);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1280, 760);
    glBindTexture(GL_TEXTURE_2D, colour);
    DrawQuad(Program(kQuad, kCopied), 1280.0f, 760.0f, 1280.0f, 760.0f);
}

}  // namespace

int main(int argc, char** argv) {
    const bool drawn = argc > 1 && std::strcmp(argv[1], "--drawn") == 0;
    SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_Window* window = SDL_CreateWindow("Tavorin bare window", 30, 30, 1280, 760,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "bare window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    if (drawn) {
        DrawThroughBackBuffer();
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    SDL_GL_SwapWindow(window);
    SDL_Event event;
    while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
        // An uncovered window shows its one frame again.
        if (!drawn && event.type == SDL_WINDOWEVENT &&
            event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            glClear(GL_COLOR_BUFFER_BIT);
            SDL_GL_SwapWindow(window);
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
