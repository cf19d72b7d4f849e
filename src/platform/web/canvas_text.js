// Text for the game, drawn by the page's 2D canvas in the font the page loaded before the
// game started. Fonts are numbers; each keeps its CSS font and its ascent in pixels.
var tavorinText = (function () {
  var family = "'DejaVu Sans', sans-serif";
  var canvas = document.createElement("canvas");
  var context = canvas.getContext("2d", { willReadFrequently: true });
  var fonts = [null];

  function css(font) {
    return (font.italic ? "italic " : "") + (font.bold ? "bold " : "") + font.size + "px " + family;
  }

  // Ascent and descent of the face at `size` pixels; DejaVu Sans's own where the browser
  // does not tell.
  function extent(size, bold, italic) {
    context.font = css({ size: size, bold: bold, italic: italic });
    var m = context.measureText("Hg");
    var ascent = m.fontBoundingBoxAscent, descent = m.fontBoundingBoxDescent;
    if (!(ascent > 0) || !(descent >= 0)) {
      ascent = size * 0.928;
      descent = size * 0.236;
    }
    return { ascent: Math.round(ascent), descent: Math.round(descent) };
  }

  function open(height, cellHeight, bold, italic, stepOut) {
    if (!(height > 0) || height > 2048) return 0;
    var size = height;
    if (cellHeight) {
      // The Windows font mapper's reading of a positive height: the largest size whose cell
      // (ascent plus descent) is no taller.
      var low = 1, high = height * 2;
      while (low < high) {
        var middle = (low + high + 1) >> 1;
        var e = extent(middle, bold, italic);
        if (e.ascent + e.descent <= height) low = middle; else high = middle - 1;
      }
      size = low;
    }
    var font = { size: size, bold: !!bold, italic: !!italic };
    var e = extent(size, font.bold, font.italic);
    font.ascent = e.ascent;
    HEAP32[stepOut >> 2] = cellHeight ? height : Math.max(1, e.ascent + e.descent);
    fonts.push(font);
    return fonts.length - 1;
  }

  function width(id, text) {
    var font = fonts[id];
    if (!font) return 0;
    context.font = css(font);
    return Math.ceil(context.measureText(text).width);
  }

  function utf8Length(text) {
    return lengthBytesUTF8(text);
  }

  // The longest start of the text within `limit` pixels, in UTF-8 bytes.
  function fit(id, text, limit) {
    var low = 0, high = text.length;
    while (low < high) {
      var middle = (low + high + 1) >> 1;
      if (width(id, text.slice(0, middle)) <= limit) low = middle; else high = middle - 1;
    }
    return utf8Length(text.slice(0, low));
  }

  function draw(id, text, coverage, columns, rows) {
    var font = fonts[id];
    if (!font || columns <= 0 || rows <= 0) return;
    canvas.width = columns;
    canvas.height = rows;
    context.clearRect(0, 0, columns, rows);
    context.font = css(font);
    context.fillStyle = "#fff";
    context.textBaseline = "alphabetic";
    context.fillText(text, 0, font.ascent);
    var pixels = context.getImageData(0, 0, columns, rows).data;
    for (var i = 0, n = columns * rows; i < n; ++i) {
      HEAPU8[coverage + i] = pixels[i * 4 + 3];
    }
  }

  return { open: open, width: width, fit: fit, draw: draw };
})();
