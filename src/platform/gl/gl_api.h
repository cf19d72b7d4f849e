#pragma once

// The one place where the two OpenGLs the device runs on differ: OpenGL 3.3 core on the
// desktop (through libepoxy) and OpenGL ES 3.0 in the browser (WebGL 2). Everything else the
// device does is written in their common part: colours swizzled in the shader rather than
// read as BGRA, base vertices as buffer offsets, pixels read back as RGBA. The back buffer
// is shown with a blit in the browser (WebGL 2 has one, from a single-sampled canvas) and
// drawn as a texture on the desktop (kDrawnPresent).

#if TAVORIN_GLES
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

namespace platform::gl {

#if TAVORIN_GLES
// WebGL 2 speaks GLSL ES 3.00, which wants a precision for floats in fragment shaders.
inline constexpr const char* kShaderPrelude = "#version 300 es\nprecision highp float;\n";
inline void ClearDepth(float depth) {
    glClearDepthf(depth);
}
inline constexpr bool kDrawnPresent = false;
#else
inline constexpr const char* kShaderPrelude = "#version 330 core\n";
inline void ClearDepth(float depth) {
    glClearDepth(depth);  // glClearDepthf only came with 4.1
}
// Mesa's software renderer compiles its blit's shaders anew at every start (they miss its
// shader cache), where a draw through the device's own programs finds them compiled: the
// first frame comes tens of milliseconds sooner.
inline constexpr bool kDrawnPresent = true;
#endif

}  // namespace platform::gl
