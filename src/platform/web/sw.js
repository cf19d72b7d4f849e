"use strict";
// Keeps the game's few files for play without a network. Each is fetched from the server
// while it answers, so a new version arrives at once, and taken from here when it does not.
var CACHE = "tavorin";
var FILES = ["./", "index.html", "tavorin.js", "tavorin.wasm", "arrow.bmp", "DejaVuSans.woff2",
             "tavorin.svg", "manifest.webmanifest", "tavorin-180.png", "tavorin-192.png",
             "tavorin-512.png"];

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(CACHE)
    .then(function (cache) { return cache.addAll(FILES); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(self.clients.claim());
});

self.addEventListener("fetch", function (event) {
  var url = new URL(event.request.url);
  if (event.request.method !== "GET" || url.origin !== location.origin) {
    return;
  }
  // A file is kept once, whatever the query (index.html?time=T is index.html).
  url.search = "";
  url.hash = "";
  event.respondWith(fetch(event.request).then(function (response) {
    if (response.ok && response.type === "basic") {
      var copy = response.clone();
      event.waitUntil(caches.open(CACHE).then(function (cache) { return cache.put(url.href, copy); }));
    }
    return response;
  }, function () {
    return caches.match(url.href).then(function (kept) { return kept || Response.error(); });
  }));
});
