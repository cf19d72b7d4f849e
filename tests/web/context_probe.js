// Loaded by the context-loss tests before the game, into a copy of the page: counts the
// WebGL objects the game makes and deletes in each life of the canvas's context, loses and
// restores that context on F8 and F9, and puts what it saw at the end of the page's title,
// where the test reads it:
//   [probe lost L losses N live b t p s f r v stale S twice D dialog "caption" "text"]
// `live` counts buffers, textures, programs, shaders, framebuffers, renderbuffers and vertex
// arrays of the present context; `stale` counts deletes of objects of a context since lost,
// `twice` deletes of an object already deleted.
"use strict";
(function () {
  var kinds = ["Buffer", "Texture", "Program", "Shader", "Framebuffer", "Renderbuffer",
               "VertexArray"];
  var live = {};
  var life = 0, losses = 0, stale = 0, twice = 0;
  var proto = WebGL2RenderingContext.prototype;
  kinds.forEach(function (kind) {
    live[kind] = 0;
    var create = proto["create" + kind], remove = proto["delete" + kind];
    proto["create" + kind] = function () {
      var made = create.apply(this, arguments);
      if (made) {
        made.probeLife = life;
        ++live[kind];
      }
      return made;
    };
    proto["delete" + kind] = function (object) {
      if (object && object.probeLife !== undefined) {
        if (object.probeDeleted) {
          ++twice;
        } else if (object.probeLife !== life) {
          ++stale;
        } else {
          --live[kind];
        }
        object.probeDeleted = true;
      }
      return remove.apply(this, arguments);
    };
  });

  // The page's and the game's own context, never one of the probe's making.
  var gl = null, extension = null;
  var getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type) {
    var made = getContext.apply(this, arguments);
    if (type === "webgl2" && made && !gl) {
      gl = made;
      extension = gl.getExtension("WEBGL_lose_context");
    }
    return made;
  };
  addEventListener("webglcontextlost", function () {
    ++losses;
    ++life;
    kinds.forEach(function (kind) { live[kind] = 0; });
  }, true);
  addEventListener("keydown", function (event) {
    if (event.key !== "F8" && event.key !== "F9") return;
    if (extension) {
      if (event.key === "F8" && !gl.isContextLost()) extension.loseContext();
      if (event.key === "F9" && gl.isContextLost()) extension.restoreContext();
    }
    event.preventDefault();
  }, true);

  var suffix = / \[probe .*\]$/;
  setInterval(function () {
    var dialog = document.getElementById("message");
    var report = " [probe lost " + (gl && gl.isContextLost() ? 1 : 0) + " losses " + losses +
      " live " + kinds.map(function (kind) { return live[kind]; }).join(" ") +
      " stale " + stale + " twice " + twice + " dialog " +
      (dialog && dialog.open
         ? JSON.stringify(document.getElementById("message-caption").textContent) + " " +
           JSON.stringify(document.getElementById("message-text").textContent)
         : "none") + "]";
    var title = document.title.replace(suffix, "") + report;
    if (document.title !== title) document.title = title;
  }, 100);
})();
