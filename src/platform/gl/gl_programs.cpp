#include "platform/gl/gl_programs.h"

#include "platform/gl/gl_api.h"

namespace platform::gl {

namespace {

const char* const kMeshVertexShader = R"(layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
uniform mat4 world;
uniform mat4 projection;
out vec4 vertexColour;
void main() {
    // Row vectors, as the game's matrices are written.
    vec4 clip = vec4(position, 1.0) * world * projection;
    // The game's clip depth runs 0..w, OpenGL's -w..w: the one place it is converted.
    gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
    vertexColour = colour.bgra;  // the bytes come as B, G, R, A
}
)";

const char* const kMeshFragmentShader = R"(in vec4 vertexColour;
out vec4 fragColour;
void main() {
    fragColour = vertexColour;
}
)";

const char* const kTextVertexShader =
    R"(uniform vec4 area;    // left, top, right, bottom in back-buffer pixels
uniform vec2 target;  // back-buffer size
out vec2 uv;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vec2 pixel = mix(area.xy, area.zw, corner);
    uv = corner;
    gl_Position = vec4(pixel.x / target.x * 2.0 - 1.0, 1.0 - pixel.y / target.y * 2.0, 0.0, 1.0);
}
)";

const char* const kTextFragmentShader = R"(uniform sampler2D glyphs;
uniform vec4 colour;
in vec2 uv;
out vec4 fragColour;
void main() {
    fragColour = vec4(colour.rgb, colour.a * texture(glyphs, uv).r);
}
)";

// The back buffer into the window, drawn with the text program's vertex stage over the
// whole window. At the window's own size each window pixel shows the back-buffer pixel
// nearest its centre, as a nearest blit takes it: floor((2p + 1) * source / (2 * shown)), a
// half added to the exact numerator so that a whole quotient stays whole; its 5 and 6 bits
// widened to 8 by repeating their top bits, as a blit widens them.
const char* const kNearestPresentShader = R"(uniform sampler2D image;
uniform vec2 source;  // back-buffer size
uniform vec2 target;  // window size
in vec2 uv;
out vec4 fragColour;
void main() {
    // The window pixel, counted from the bottom, from the text program's own interpolant
    // (a half pixel off every edge): it then shares the text program's set-up code.
    vec2 pixel = floor(vec2(uv.x, 1.0 - uv.y) * target);
    vec2 numerator = (2.0 * pixel + 1.0) * source + 0.5;
    ivec2 texel = min(ivec2(numerator / (2.0 * target)), ivec2(source) - 1);
    vec3 bits = floor(texelFetch(image, texel, 0).rgb * vec3(31.0, 63.0, 31.0) + 0.5);
    vec3 bytes = bits * vec3(8.0, 4.0, 8.0) + floor(bits / vec3(4.0, 16.0, 4.0));
    fragColour = vec4(bytes / 255.0, 1.0);
}
)";

// At another size: the four back-buffer pixels around the window pixel's centre, blended.
// A program of its own, as a software renderer runs both sides of a branch.
const char* const kSmoothPresentShader = R"(uniform sampler2D image;
in vec2 uv;
out vec4 fragColour;
void main() {
    fragColour = texture(image, vec2(uv.x, 1.0 - uv.y));
}
)";

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {kShaderPrelude, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    return shader;
}

// The compiler's words on a shader that failed; empty for one that compiled.
std::string CompilerLog(GLuint shader) {
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) {
        return {};
    }
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    return std::string("shader not compiled: ") + log + "; ";
}

// Only the link's status is asked for, as a shader that failed fails the link too: every
// question waits for the driver (in a browser, for another process) to finish all before it.
GLuint LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& why) {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        why = CompilerLog(vertex) + CompilerLog(fragment) + "shaders not linked: " + log;
        glDeleteProgram(program);
        program = 0;
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

bool MakePresent(PresentProgram& present, const char* fragmentSource, std::string& why) {
    present.program = LinkProgram(kTextVertexShader, fragmentSource, why);
    if (!present.program) {
        return false;
    }
    present.area = glGetUniformLocation(present.program, "area");
    present.target = glGetUniformLocation(present.program, "target");
    present.source = glGetUniformLocation(present.program, "source");
    glUseProgram(present.program);
    glUniform1i(glGetUniformLocation(present.program, "image"), 0);
    glUseProgram(0);
    return true;
}

}  // namespace

bool GlPrograms::Make(std::string& why) {
    text = LinkProgram(kTextVertexShader, kTextFragmentShader, why);
    if (!text) {
        Drop();
        return false;
    }
    textArea = glGetUniformLocation(text, "area");
    textTarget = glGetUniformLocation(text, "target");
    textColour = glGetUniformLocation(text, "colour");
    glUseProgram(text);
    glUniform1i(glGetUniformLocation(text, "glyphs"), 0);
    glUseProgram(0);
    if (kDrawnPresent && !MakePresent(nearestPresent, kNearestPresentShader, why)) {
        Drop();
        return false;
    }
    glGenVertexArrays(1, &meshArray);
    glGenVertexArrays(1, &textArray);
    return true;
}

bool GlPrograms::MakeMesh(std::string& why) {
    if (mesh) {
        return true;
    }
    mesh = LinkProgram(kMeshVertexShader, kMeshFragmentShader, why);
    if (!mesh) {
        return false;
    }
    world = glGetUniformLocation(mesh, "world");
    projection = glGetUniformLocation(mesh, "projection");
    return true;
}

const PresentProgram& GlPrograms::Present(bool nearest) {
    if (!nearest && !smoothPresent.program && !smoothRefused) {
        std::string why;
        smoothRefused = !MakePresent(smoothPresent, kSmoothPresentShader, why);
    }
    // Where the blending program will not build, the nearest pixel still shows the picture.
    return nearest || !smoothPresent.program ? nearestPresent : smoothPresent;
}

void GlPrograms::Drop() {
    glDeleteProgram(mesh);
    glDeleteProgram(text);
    glDeleteProgram(nearestPresent.program);
    glDeleteProgram(smoothPresent.program);
    glDeleteVertexArrays(1, &meshArray);
    glDeleteVertexArrays(1, &textArray);
    *this = {};
}

void ArgbToFloats(uint32_t argb, float rgba[4]) {
    rgba[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(argb >> 24) / 255.0f;
}

}  // namespace platform::gl
