// The page's side of the backend, in JavaScript. The page (index.html) gives `tavorinPage`
// its dialog, its end screen and the font's family; everything else is here.

#include "platform/web/web_page.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, tavorin_webgl2_offered, (), {
    return typeof WebGL2RenderingContext !== "undefined" ? 1 : 0;
});

EM_ASYNC_JS(void, tavorin_wait_for_frame, (), {
    await new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
});

EM_JS(void, tavorin_mark_first_frame, (), {
    performance.mark("tavorin-first-frame");
    if (tavorinPage.firstFrame) tavorinPage.firstFrame();
});

EM_ASYNC_JS(void, tavorin_wait_for_change, (int milliseconds), {
    await new Promise(function(resolve) {
        var events = ["keydown", "keyup", "mousemove", "mousedown", "mouseup", "wheel", "resize",
                      "focus", "blur", "visibilitychange", "webglcontextlost",
                      "webglcontextrestored"];
        var timer = setTimeout(wake, milliseconds);
        events.forEach(function(e) { addEventListener(e, wake, true); });
        function wake() {
            clearTimeout(timer);
            events.forEach(function(e) { removeEventListener(e, wake, true); });
            requestAnimationFrame(function() { resolve(); });
        }
    });
});

// Outside Emscripten's own handlers, which go with each context it lets go of. Preventing the
// loss's default is what has the browser restore the context at all. The browser may tell of
// a loss a moment after the context says it is lost: that is asked of the context itself.
EM_JS(int, tavorin_context_state, (int losses), {
    var canvas = document.querySelector("#canvas");
    var state = canvas.tavorinContext;
    if (!state) {
        state = canvas.tavorinContext = {losses: 0, gl: canvas.getContext("webgl2")};
        canvas.addEventListener("webglcontextlost", function(event) {
            event.preventDefault();
            state.losses++;
        });
    }
    return losses ? state.losses : (state.gl && state.gl.isContextLost() ? 1 : 0);
});

EM_JS(int, tavorin_hidden, (), {
    return document.hidden ? 1 : 0;
});

EM_JS(void, tavorin_canvas_size, (int* width, int* height), {
    var canvas = document.querySelector("#canvas");
    var ratio = window.devicePixelRatio || 1;
    var rect = canvas.getBoundingClientRect();
    var w = Math.max(1, Math.round(rect.width * ratio));
    var h = Math.max(1, Math.round(rect.height * ratio));
    if (canvas.width !== w || canvas.height !== h) {
        canvas.width = w;
        canvas.height = h;
    }
    HEAP32[width >> 2] = w;
    HEAP32[height >> 2] = h;
});

EM_JS(void, tavorin_set_title, (const char* title), {
    document.title = UTF8ToString(title);
});

// Its length in bytes; copied into `out` (with a terminating zero) when `size` allows.
EM_JS(int, tavorin_query, (char* out, int size), {
    var query = location.search;
    if (size > 0) stringToUTF8(query, out, size);
    return lengthBytesUTF8(query);
});

EM_JS(void, tavorin_show_cursor, (int show), {
    document.querySelector("#canvas").style.cursor = show ? "" : "none";
});

EM_ASYNC_JS(void, tavorin_show_message, (const char* caption, const char* text), {
    await tavorinPage.showMessage(UTF8ToString(caption), UTF8ToString(text));
});

EM_ASYNC_JS(void, tavorin_await_page, (), {
    var files = await tavorinPage.ready;
    Object.keys(files).forEach(function(name) {
        if (files[name]) FS.writeFile(name, new Uint8Array(files[name]));
    });
});

EM_JS(void, tavorin_ended, (int status), {
    tavorinPage.ended(status);
});

EM_JS(int, tavorin_open_font, (int height, int cellHeight, int bold, int italic, int* step), {
    return tavorinText.open(height, cellHeight, bold, italic, step);
});

EM_JS(int, tavorin_text_width, (int font, const char* text), {
    return tavorinText.width(font, UTF8ToString(text));
});

EM_JS(int, tavorin_text_fit, (int font, const char* text, int width), {
    return tavorinText.fit(font, UTF8ToString(text), width);
});

EM_JS(void, tavorin_draw_text, (int font, const char* text, uint8_t* coverage, int columns,
                                int rows), {
    tavorinText.draw(font, UTF8ToString(text), coverage, columns, rows);
});
// clang-format on

namespace platform::web::page {

bool WebGl2Offered() {
    return tavorin_webgl2_offered() != 0;
}
void WaitForFrame() {
    tavorin_wait_for_frame();
}
void MarkFirstFrame() {
    tavorin_mark_first_frame();
}
void WaitForChange(int milliseconds) {
    tavorin_wait_for_change(milliseconds);
}
bool Hidden() {
    return tavorin_hidden() != 0;
}
int ContextLosses() {
    return tavorin_context_state(1);
}
bool ContextLostNow() {
    return tavorin_context_state(0) != 0;
}
void CanvasSize(int& width, int& height) {
    tavorin_canvas_size(&width, &height);
}
void SetTitle(const char* title) {
    tavorin_set_title(title);
}
std::string Query() {
    std::string query(static_cast<std::size_t>(tavorin_query(nullptr, 0)), '\0');
    tavorin_query(query.data(), static_cast<int>(query.size()) + 1);
    return query;
}
void ShowCursor(bool show) {
    tavorin_show_cursor(show ? 1 : 0);
}
void ShowMessage(const char* caption, const char* text) {
    tavorin_show_message(caption, text);
}
void AwaitPage() {
    tavorin_await_page();
}
void Ended(int status) {
    tavorin_ended(status);
}
int OpenFont(int pixelHeight, bool cellHeight, bool bold, bool italic, int& lineStep) {
    return tavorin_open_font(pixelHeight, cellHeight ? 1 : 0, bold ? 1 : 0, italic ? 1 : 0,
                             &lineStep);
}
int TextWidth(int font, const char* text) {
    return tavorin_text_width(font, text);
}
int TextFit(int font, const char* text, int width) {
    return tavorin_text_fit(font, text, width);
}
void DrawText(int font, const char* text, uint8_t* coverage, int columns, int rows) {
    tavorin_draw_text(font, text, coverage, columns, rows);
}

}  // namespace platform::web::page
